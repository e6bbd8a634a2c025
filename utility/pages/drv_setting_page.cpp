#include "pages/drv_setting_page.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <algorithm>

#include "framework/ansi_text.h"
#include "framework/busy_cursor.h"
#include "framework/dialog_units.h"
#include "framework/message_box.h"
#include "framework/string_lists.h"
#include "framework/up_down.h"
#include "kv/jobs/library_text.h"
#include "pages/page_guard.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "session/page_services.h"

namespace kv::diag {

namespace ctl = res::ctl;

namespace {

// Shown for each property whose own key does not open for writing.
constexpr char kPropertyKeyNotWritable[] = "???";

// The value controls' size in pixels, and the up-down control's beside them, as they are for the
// system's standard dialog font (base units 6 x 13). The page's own font may be wider: the sizes
// grow with its base units, so that the longest values ("Rx & Tx Enabled") fit as they do there.
constexpr int kValueWidth = 100;
constexpr int kValueHeight = 18;
constexpr int kUpDownWidth = 20;
constexpr int kStandardBaseX = 6;
constexpr int kStandardBaseY = 13;

// The up-down control keeps its range in 16 bits.
int low16(int32_t value) { return static_cast<int16_t>(static_cast<uint16_t>(value & 0xFFFF)); }

}  // namespace

CDrvSettingPage::CDrvSettingPage(PageServices& services)
    : ui::PropertyPage(advancedSettingDialog()), services_(services) {}

ui::ListBox* CDrvSettingPage::propertyList() const { return control<ui::ListBox>(ctl::kSettingList); }

bool CDrvSettingPage::onInitDialog() {
    placeValueControls();
    return true;
}

// A value wider than the placed box (the page's font draws wider than the standard one) widens the
// box as far as the page's margin allows; it never becomes narrower than placed.
void CDrvSettingPage::fitToLongestValue(ui::ComboBox& combo) const {
    constexpr int kMarginDlu = 7;
    const QFontMetrics metrics(combo.font());
    int widest = 0;
    for (int i = 0; i < combo.count(); ++i) widest = std::max(widest, metrics.horizontalAdvance(combo.itemText(i)));
    QStyleOptionComboBox option;
    option.initFrom(&combo);
    const int needed =
        combo.style()->sizeFromContents(QStyle::CT_ComboBox, &option, QSize(widest, metrics.height()), &combo).width();
    const int room = width() - combo.x() - baseUnits().toPixelsX(kMarginDlu);
    combo.resize(std::clamp(needed, valueWidth_, std::max(valueWidth_, room)), combo.height());
}

// The value controls share the place the hidden group box marks; only the current property's show.
void CDrvSettingPage::placeValueControls() {
    const QWidget* placeholder = control(ctl::kSettingPlaceholder);
    if (!placeholder) return;
    const QPoint corner = placeholder->geometry().topLeft();
    const ui::DialogBaseUnits units = baseUnits();
    const int width = valueWidth_ = std::max(kValueWidth, ui::mulDiv(kValueWidth, units.baseX(), kStandardBaseX));
    const int height = std::max(kValueHeight, ui::mulDiv(kValueHeight, units.baseY(), kStandardBaseY));
    const int upDownWidth = std::max(kUpDownWidth, ui::mulDiv(kUpDownWidth, units.baseX(), kStandardBaseX));
    for (int id : {ctl::kSettingEnum, ctl::kSettingNumber, ctl::kSettingText})
        if (QWidget* value = control(id)) value->setGeometry(corner.x(), corner.y(), width, height);
    if (QWidget* upDown = control(ctl::kSettingUpDown))
        upDown->setGeometry(corner.x() + width, corner.y(), upDownWidth, height);
    if (QWidget* combo = control(ctl::kSettingEnum)) combo->setFont(propertyList()->font());
    for (int id : {ctl::kSettingEnum, ctl::kSettingNumber, ctl::kSettingUpDown, ctl::kSettingText,
                   ctl::kSettingHasValue, ctl::kSettingNotPresent})
        showControl(id, false);
}

bool CDrvSettingPage::onSetActive() {
    if (checkAdapter(services_) != AdapterAccess::Ready) return true;
    clearProperties();
    loadProperties();
    current_ = -1;
    if (propertyList()->count() > 0) propertyList()->setCurrentSelection(0);
    switchProperty();
    return true;
}

bool CDrvSettingPage::onKillActive() {
    if (checkAdapter(services_) != AdapterAccess::Ready) return true;
    // Changes that "Modify" has not written are dropped.
    clearProperties();
    return ui::PropertyPage::onKillActive();
}

void CDrvSettingPage::clearProperties() {
    params_.clear();
    current_ = -1;
    if (ui::ListBox* list = propertyList()) list->resetContent();
}

void CDrvSettingPage::loadProperties() {
    params_ = jobs::loadDriverSettings();
    ui::ListBox& list = *propertyList();
    for (size_t index = 0; index < params_.size(); ++index) {
        const int entry = list.addString(ui::fromAnsi(params_[index].Desc));
        list.setItemData(entry, static_cast<intptr_t>(index));
    }
}

void CDrvSettingPage::onCommand(int id, int notification) {
    if (id == ctl::kSettingList && notification == ui::notify::kSelChange) return switchProperty();
    if (id == ctl::kSettingText && notification == ui::notify::kChange) return textEdited();
    if (notification != ui::notify::kClicked) return;
    if (id == ctl::kSettingHasValue) chooseHasValue();
    if (id == ctl::kSettingNotPresent) chooseNotPresent();
    if (id == ctl::kSettingModify) modify();
}

void CDrvSettingPage::chooseHasValue() {
    checkRadioButton(ctl::kSettingHasValue, ctl::kSettingNotPresent, ctl::kSettingHasValue);
    radioState_ = kHasValue;
}

void CDrvSettingPage::chooseNotPresent() {
    checkRadioButton(ctl::kSettingHasValue, ctl::kSettingNotPresent, ctl::kSettingNotPresent);
    radioState_ = kNotPresent;
    text_.clear();
    pushValues();
}

// Only what the user types counts: the page's own writes into the edit (emptying it for "Not
// Present", showing a property) would otherwise choose "has a value" again at once.
void CDrvSettingPage::textEdited() {
    if (pushingValues_) return;
    if (current_ >= 0 && static_cast<size_t>(current_) < params_.size() && params_[current_].Optional) chooseHasValue();
    auto* edit = control<QLineEdit>(ctl::kSettingText);
    text_ = edit->text().toUpper();
    if (text_ != edit->text()) {
        const QScopedValueRollback pushing(pushingValues_, true);
        edit->setText(text_);
    }
    edit->setCursorPosition(static_cast<int>(text_.size()));
}

void CDrvSettingPage::pushValues() {
    const QScopedValueRollback pushing(pushingValues_, true);
    setControlText(ctl::kSettingNumber, QString::number(number_));
    setControlText(ctl::kSettingText, text_);
    checkRadioButton(ctl::kSettingHasValue, ctl::kSettingNotPresent,
                     radioState_ == kNotPresent ? ctl::kSettingNotPresent : ctl::kSettingHasValue);
}

void CDrvSettingPage::switchProperty() {
    if (current_ >= 0 && static_cast<size_t>(current_) < params_.size()) storeControls(params_[current_]);
    const ui::ListBox* list = propertyList();
    const int selected = list->currentSelection();
    if (selected < 0) return;
    const intptr_t index = list->itemData(selected);
    if (index < 0 || static_cast<size_t>(index) >= params_.size()) return;
    showProperty(params_[static_cast<size_t>(index)]);
    current_ = static_cast<int>(index);
}

// A value typed into a control reaches its property here: when the user picks another property or
// presses "Modify". A number outside the property's range is dropped silently.
void CDrvSettingPage::storeControls(CDrvParam& param) {
    if (param.Optional) param.NotPresent = isChecked(ctl::kSettingNotPresent) ? 1 : 0;
    switch (param.Kind) {
        case CDrvParam::kEnum: {
            const auto* combo = control<ui::ComboBox>(ctl::kSettingEnum);
            const int selected = combo->currentSelection();
            if (selected < 0) break;
            const intptr_t index = combo->itemDataValue(selected);
            if (index >= 0 && static_cast<size_t>(index) < param.EnumValues.size())
                param.EnumIndex = static_cast<int>(index);
            break;
        }
        case CDrvParam::kNumber:
            if (const auto number = jobs::scanDecimal(ui::toAnsi(controlText(ctl::kSettingNumber)));
                number && param.Min <= *number && *number <= param.Max)
                param.Value = *number;
            break;
        case CDrvParam::kText:
            param.Text = ui::toAnsi(controlText(ctl::kSettingText));
            break;
        default:
            break;
    }
}

void CDrvSettingPage::showValueControls(bool enumeration, bool number, bool text) {
    showControl(ctl::kSettingEnum, enumeration);
    showControl(ctl::kSettingNumber, number);
    showControl(ctl::kSettingUpDown, number);
    showControl(ctl::kSettingText, text);
}

void CDrvSettingPage::showProperty(const CDrvParam& param) {
    showControl(ctl::kSettingHasValue, param.Optional != 0);
    showControl(ctl::kSettingNotPresent, param.Optional != 0);
    if (param.Optional) {
        if (param.NotPresent)
            chooseNotPresent();
        else
            chooseHasValue();
    }
    switch (param.Kind) {
        case CDrvParam::kEnum: {
            showValueControls(true, false, false);
            auto* combo = control<ui::ComboBox>(ctl::kSettingEnum);
            combo->resetContent();
            for (size_t i = 0; i < param.EnumDescs.size(); ++i)
                combo->setItemDataValue(combo->addString(ui::fromAnsi(param.EnumDescs[i])), static_cast<intptr_t>(i));
            combo->setCurrentSelection(-1);
            for (int entry = 0; entry < combo->count(); ++entry)
                if (combo->itemDataValue(entry) == param.EnumIndex) combo->setCurrentSelection(entry);
            fitToLongestValue(*combo);
            break;
        }
        case CDrvParam::kNumber: {
            showValueControls(false, true, false);
            number_ = param.Value;
            auto* upDown = control<ui::UpDownControl>(ctl::kSettingUpDown);
            upDown->setRange(low16(param.Min), low16(param.Max));
            upDown->setPosition(number_);
            pushValues();
            break;
        }
        case CDrvParam::kText:
            showValueControls(false, false, true);
            text_ = ui::fromAnsi(param.Text);
            pushValues();
            break;
        default:
            // A type the page has no control for: no value area rather than the last property's.
            showValueControls(false, false, false);
            break;
    }
}

void CDrvSettingPage::modify() {
    if (checkAdapter(services_) != AdapterAccess::Ready) return;
    switchProperty();
    const ui::BusyCursor busy;
    jobs::writeSettingsAndReload(params_, [](const CDrvParam&) { ui::messageBox(kPropertyKeyNotWritable); });
}

}  // namespace kv::diag
