// The guard every page of the sheet keeps around the selected adapter: a page does nothing while
// no adapter is selected or the page set does not match it yet, and asks the main window for the
// adapter-list refresh instead of touching an adapter whose driver channel has closed. The list
// pages (General, Driver, Statistics, Diagnostics, VLAN) also share one deactivation.
#pragma once

namespace kv::ui {
class ListView;
class PropertyPage;
}  // namespace kv::ui

namespace kv::diag {

class PageServices;

// What a page may do with the selected adapter right now.
enum class AdapterAccess {
    NotReady,  // no adapter selected, or the adapter-ready flag is 0: leave everything as it is
    Gone,      // the driver channel is closed: the adapter-list refresh has been requested
    Ready,     // the page may ask the library about the selected adapter
};

// Checks the selection, the adapter-ready flag and the driver channel; on a closed channel
// starts the window's adapter-list refresh.
AdapterAccess checkAdapter(PageServices& services);

// The kill-active step the list pages share: without a ready adapter the change is allowed; with
// the channel open the list is emptied and the page's standard kill-active step decides; with
// the channel closed the adapter-list refresh starts and the change is allowed.
bool leaveListPage(PageServices& services, ui::PropertyPage& page, ui::ListView* list);

}  // namespace kv::diag
