// The "VLAN" page: the VLANs of the selected adapter (each a virtual adapter of its own) with
// their IDs, connection names and adapter names, and adding, deleting and renumbering them. A new
// ID is typed into the empty last row ("Add"), a changed one over a VLAN's ID ("Modify VID"); the
// changes run on workers while the window keeps the user away from the adapters.
#pragma once

#include <QString>
#include <optional>

#include "kv/jobs/vlans.h"
#include "pages/list_page.h"

namespace kv::diag {

class CVlanPage : public ListPage {
    Q_OBJECT

public:
    // Drivers from this version number on carry VLANs.
    static constexpr int kFirstVlanDriverVersion = jobs::kFirstVlanDriverVersion;

    explicit CVlanPage(PageServices& services);

    bool onSetActive() override;

protected:
    bool onInitDialog() override;
    void onCommand(int id, int notification) override;

private:
    // What the next label edit is for.
    enum EditMode : int { kNoEdit = 0, kAdding = 1, kChanging = 2 };

    bool appendVlanRows(int parentIndex);
    void addVlan();
    void modifyVid();
    void deleteVlan();
    bool isVlanRow(int row) const;
    bool beginLabelEdit(int row) const;
    bool endLabelEdit(int row, const std::optional<QString>& text);
    bool startAdd(int vlanId);
    bool startChange(int row, int vlanId);

    int selectedRow_ = -1;
    EditMode editMode_ = kNoEdit;
};

}  // namespace kv::diag
