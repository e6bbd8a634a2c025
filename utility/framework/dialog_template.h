// A dialog template as data: the dialog's size in dialog units and its controls, each with its
// id, kind, place in dialog units, text and style. Pages are laid out from their templates.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "framework/control_id.h"

namespace kv::ui {

enum class ControlKind {
    Static,       // a text
    GroupBox,     // a framed caption (also a hidden placeholder)
    PushButton,   // a button; its clicks reach the page as commands
    CheckBox,     // an auto check box
    RadioButton,  // a radio button; the page checks it (checkRadioButton)
    Edit,         // a one-line edit, or a multi-line one with cs::kMultiLine
    ListBox,      // a list of strings with item data
    ComboBox,     // a drop-down list of strings with item data
    ListView,     // a report-style list (ListView)
    TreeView,     // a tree (TreeControl)
    UpDown,       // arrows stepping the integer of a buddy edit (UpDownControl)
    IpAddress,    // four address fields (IpAddressControl)
};

// Control styles, the few the templates use.
namespace cs {
inline constexpr uint32_t kHidden = 1u << 0;
inline constexpr uint32_t kDisabled = 1u << 1;
inline constexpr uint32_t kReadOnly = 1u << 2;
inline constexpr uint32_t kMultiLine = 1u << 3;
inline constexpr uint32_t kVScroll = 1u << 4;
inline constexpr uint32_t kSorted = 1u << 5;
inline constexpr uint32_t kRight = 1u << 6;   // text right-aligned
inline constexpr uint32_t kCenter = 1u << 7;  // text centred
inline constexpr uint32_t kDefaultButton = 1u << 8;
}  // namespace cs

struct ControlTemplate {
    constexpr ControlTemplate(int id_, ControlKind kind_, int x_, int y_, int width_, int height_,
                              std::string_view text_ = {}, uint32_t style_ = 0, int textLimit_ = 0,
                              int buddy_ = kNoControlId)
        : id(id_),
          kind(kind_),
          x(x_),
          y(y_),
          width(width_),
          height(height_),
          text(text_),
          style(style_),
          textLimit(textLimit_),
          buddy(buddy_) {}

    int id = kNoControlId;
    ControlKind kind = ControlKind::Static;
    int x = 0, y = 0, width = 0, height = 0;  // dialog units
    std::string_view text;
    uint32_t style = 0;
    int textLimit = 0;         // edits: the most characters the user may type; 0 = no limit
    int buddy = kNoControlId;  // up-down: the edit whose integer it steps
};

struct DialogTemplate {
    int id = 0;
    std::string_view caption;
    int width = 0, height = 0;  // dialog units
    std::vector<ControlTemplate> controls;
};

}  // namespace kv::ui
