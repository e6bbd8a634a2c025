// A page whose content is one list view about the selected adapter (General, Driver, Statistics,
// Cable, Diagnostics, VLAN), left through the deactivation the list pages share (the list is
// emptied while the adapter is there).
#pragma once

#include "framework/property_page.h"

namespace kv::ui {
class ListView;
}

namespace kv::diag {

class PageServices;

class ListPage : public ui::PropertyPage {
    Q_OBJECT

public:
    ListPage(const ui::DialogTemplate& dialogTemplate, int listId, PageServices& services);

    bool onKillActive() override;

protected:
    // The list; it exists while the page's window does.
    ui::ListView& list() const;
    // The list, or null before the page's window is made (for drawings that may arrive early).
    ui::ListView* findList() const;
    PageServices& services() const { return services_; }
    // Appends a row of two columns: the label (string `labelId`) and the value.
    void appendLabelValue(int labelId, const QString& value);

private:
    int listId_;
    PageServices& services_;
};

}  // namespace kv::diag
