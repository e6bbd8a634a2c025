// The page table: the pages the main window can show, in sheet order, as data. A page joins the
// utility by a row here: how to make it, its caption, the page-set bits it is shown for and its
// 32 x 32 bitmap.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/property_page.h"

namespace kv::diag {

class PageServices;

struct PageRow {
    using Factory = std::unique_ptr<ui::PropertyPage> (*)(PageServices& services);

    Factory make = nullptr;
    const char* caption = "";  // the caption of the page's template
    uint32_t mask = 0;         // page-set bits for which the page is shown
    int bitmapId = 0;          // its icon in the page tree
};

using PageTable = std::vector<PageRow>;

// The utility's pages: General, Driver and Cable.
const PageTable& pageTable();
// The "all pages" mode (app/all_pages_mode.h): the same pages, then every other page of the
// utility, each for the adapter kinds it works on.
const PageTable& allPagesTable();

// A factory for a page class constructed from the window's services.
template <typename Page>
std::unique_ptr<ui::PropertyPage> makePage(PageServices& services) {
    return std::make_unique<Page>(services);
}

}  // namespace kv::diag
