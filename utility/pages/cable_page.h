// The "Cable" page: the status and length of each of the four cable pairs, from the library's
// cable analysis, run when the page becomes active and when the user presses "Refresh".
#pragma once

#include <array>
#include <cstdint>

#include "kv/jobs/cable.h"
#include "pages/list_page.h"

namespace kv::ui {
class ListView;
}

namespace kv::diag {

class PageServices;

class CCablePage : public ListPage {
    Q_OBJECT

public:
    explicit CCablePage(PageServices& services);

    bool onSetActive() override;
    // Leaving keeps the pairs shown: the list is not emptied as the other list pages empty theirs.
    bool onKillActive() override;

protected:
    bool onInitDialog() override;
    void onCommand(int id, int notification) override;

private:
    void insertPairRows(ui::ListView& list);
    void refresh();
    void analyse(ui::ListView& list);
    // Starts the result afresh (zeros, as at the program's start) when the selected adapter is
    // not the one whose analysis it holds.
    void forgetOtherAdaptersResult();

    // The analysis result: statuses of the pairs 1-2, 3-6, 4-5, 7-8, then their lengths. It lives
    // as long as the page, that is the whole run of the program, and keeps its entries between
    // analyses of one adapter: a length the analysis does not write shows the previous one. A
    // length from another adapter's cable would be plainly wrong, so the result starts afresh
    // when the analysis runs on another adapter.
    jobs::CableResult result_{};
    // The adapter whose analyses the result holds: its list index and Ethernet address.
    struct Analysed {
        int index = -1;
        std::array<uint8_t, 6> ethernetAddress{};
        bool operator==(const Analysed&) const = default;
    };
    Analysed analysed_;
};

}  // namespace kv::diag
