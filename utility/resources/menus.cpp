#include "resources/menus.h"

#include "resources/resource_ids.h"

namespace kv::diag {

const ui::MenuTemplate& nicsMenu() {
    static const ui::MenuTemplate menu{res::kMenuNics,
                                       {{"NicsMenu",
                                         {
                                             {res::kCmdRefreshNicList, "&Refresh NIC List"},
                                             {},
                                             {res::kCmdShowTrayIcon, "Show the &Tray Icon"},
                                             {res::kCmdStartUpLaunch, "Enable  Start Up Launch"},
                                             {},
                                             {res::kCmdLaunch, "&Launch"},
                                             {res::kCmdExit, "E&xit"},
                                         }}}};
    return menu;
}

const ui::MenuTemplate* menuResource(int id) { return id == res::kMenuNics ? &nicsMenu() : nullptr; }

}  // namespace kv::diag
