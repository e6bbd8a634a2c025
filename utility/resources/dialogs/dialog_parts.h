// Shorthands the page templates share.
#pragma once

#include "framework/dialog_template.h"
#include "resources/resource_ids.h"

namespace kv::diag::dialogs {

using ui::ControlKind;
using ui::ControlTemplate;
using ui::DialogTemplate;
namespace cs = ui::cs;
inline constexpr int kStatic = ui::kNoControlId;

// The size of every page but the green feature page, in dialog units.
inline constexpr int kPageWidth = 235;
inline constexpr int kPageHeight = 156;

// A page that holds one list view at (7,7), 221 x 142.
inline DialogTemplate singleListPage(int id, std::string_view caption, int listId) {
    return DialogTemplate{id, caption, kPageWidth, kPageHeight, {{listId, ControlKind::ListView, 7, 7, 221, 142}}};
}

}  // namespace kv::diag::dialogs
