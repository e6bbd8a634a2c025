#include "framework/dialog_builder.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "framework/ansi_text.h"
#include "framework/ip_address_control.h"
#include "framework/list_view.h"
#include "framework/string_lists.h"
#include "framework/tree_control.h"
#include "framework/up_down.h"

namespace kv::ui {

namespace {

Qt::Alignment textAlignment(uint32_t style) {
    if (style & cs::kRight) return Qt::AlignRight;
    if (style & cs::kCenter) return Qt::AlignHCenter;
    return Qt::AlignLeft;
}

QWidget* createEdit(QWidget& parent, const ControlTemplate& control, const QString& text) {
    if (control.style & cs::kMultiLine) {
        auto* edit = new QPlainTextEdit(&parent);
        edit->setReadOnly(control.style & cs::kReadOnly);
        edit->setVerticalScrollBarPolicy((control.style & cs::kVScroll) ? Qt::ScrollBarAlwaysOn
                                                                        : Qt::ScrollBarAlwaysOff);
        edit->setPlainText(text);
        return edit;
    }
    auto* edit = new QLineEdit(text, &parent);
    edit->setReadOnly(control.style & cs::kReadOnly);
    edit->setAlignment(textAlignment(control.style));
    if (control.textLimit > 0) edit->setMaxLength(control.textLimit);
    return edit;
}

QWidget* createControl(QWidget& parent, const ControlTemplate& control) {
    QString text = fromAnsi(control.text);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    switch (control.kind) {
        case ControlKind::Static: {
            auto* label = new QLabel(text, &parent);
            label->setAlignment(textAlignment(control.style) | Qt::AlignTop);
            label->setWordWrap(true);
            label->setTextFormat(Qt::PlainText);
            return label;
        }
        case ControlKind::GroupBox:
            return new QGroupBox(text, &parent);
        case ControlKind::PushButton: {
            auto* button = new QPushButton(text, &parent);
            button->setAutoDefault(false);
            button->setDefault(control.style & cs::kDefaultButton);
            return button;
        }
        case ControlKind::CheckBox:
            return new QCheckBox(text, &parent);
        case ControlKind::RadioButton: {
            auto* radio = new QRadioButton(text, &parent);
            // The page checks its radio buttons itself (checkRadioButton).
            radio->setAutoExclusive(false);
            return radio;
        }
        case ControlKind::Edit:
            return createEdit(parent, control, text);
        case ControlKind::ListBox: {
            auto* list = new ListBox(&parent);
            list->setSorted(control.style & cs::kSorted);
            return list;
        }
        case ControlKind::ComboBox: {
            auto* combo = new ComboBox(&parent);
            combo->setSorted(control.style & cs::kSorted);
            return combo;
        }
        case ControlKind::ListView:
            return new ListView(&parent);
        case ControlKind::TreeView:
            return new TreeControl(&parent);
        case ControlKind::UpDown:
            return new UpDownControl(&parent);
        case ControlKind::IpAddress:
            return new IpAddressControl(&parent);
    }
    return new QWidget(&parent);
}

}  // namespace

std::vector<BuiltControl> buildControls(QWidget& parent, const DialogTemplate& dialog, const DialogBaseUnits& units) {
    std::vector<BuiltControl> built;
    built.reserve(dialog.controls.size());
    for (const ControlTemplate& control : dialog.controls) {
        QWidget* widget = createControl(parent, control);
        setControlId(widget, control.id);
        widget->setGeometry(units.toPixels(QRect(control.x, control.y, control.width, control.height)));
        widget->setEnabled(!(control.style & cs::kDisabled));
        widget->setVisible(!(control.style & cs::kHidden));
        built.push_back({&control, widget});
    }
    // Up-down controls step their buddy edits.
    for (const BuiltControl& control : built) {
        if (auto* upDown = qobject_cast<UpDownControl*>(control.widget)) {
            upDown->setBuddy(findControl<QLineEdit>(&parent, control.source->buddy));
        }
    }
    return built;
}

}  // namespace kv::ui
