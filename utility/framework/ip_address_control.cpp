#include "framework/ip_address_control.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <algorithm>
#include <memory>

#include "framework/message_box.h"

namespace kv::ui {

namespace {

constexpr int kFieldDigits = 3;

// The "Paste" item of an edit's standard context menu: named so by newer Qt versions, known by
// its text (without the shortcut after the tab) before them.
bool isPasteAction(const QAction& action) {
    return action.objectName() == QStringLiteral("edit-paste") ||
           action.text().section(QLatin1Char('\t'), 0, 0) == QLineEdit::tr("&Paste");
}

// A value the next digit would take past the maximum (26 and up: 260 > 255).
bool cannotGrow(int value) { return value * 10 > IpAddressControl::kFieldMaximum; }

}  // namespace

// One field: digits only, up to three; the keys that move between fields and a pasted address
// go to the control first.
class IpAddressField : public QLineEdit {
public:
    IpAddressField(IpAddressControl& control, int index) : QLineEdit(&control), control_(control), index_(index) {
        setMaxLength(kFieldDigits);
        setAlignment(Qt::AlignCenter);
        setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(kFieldDigits)), this));
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (control_.takeFieldKey(index_, *event)) {
            event->accept();
            return;
        }
        const QString before = text();
        QLineEdit::keyPressEvent(event);
        if (text() != before && !event->text().isEmpty() && event->text().front().isDigit())
            control_.fieldTyped(index_);
    }

    void focusOutEvent(QFocusEvent* event) override {
        QLineEdit::focusOutEvent(event);
        // A context menu of the field's own does not leave it.
        if (event->reason() != Qt::PopupFocusReason) control_.clampField(index_);
    }

    // The context menu's "Paste" takes a dotted address as Ctrl+V does.
    void contextMenuEvent(QContextMenuEvent* event) override {
        const std::unique_ptr<QMenu> menu(createStandardContextMenu());
        for (QAction* action : menu->actions()) {
            if (!isPasteAction(*action)) continue;
            disconnect(action, &QAction::triggered, this, nullptr);
            connect(action, &QAction::triggered, this, [this] {
                if (!control_.takePaste()) paste();
            });
        }
        menu->exec(event->globalPos());
    }

private:
    IpAddressControl& control_;
    const int index_;
};

IpAddressControl::IpAddressControl(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < kFields; ++i) {
        if (i > 0) layout->addWidget(new QLabel(QStringLiteral("."), this));
        auto* field = new IpAddressField(*this, i);
        connect(field, &QLineEdit::textChanged, this, &IpAddressControl::changed);
        layout->addWidget(field);
        fields_[static_cast<size_t>(i)] = field;
    }
    setFocusProxy(fields_[0]);
}

IpAddressControl::~IpAddressControl() {
    // The fields go first, while the control they report to is whole: a focused field loses the
    // focus as it goes, and that must not clamp through a control already half destroyed.
    for (IpAddressField*& field : fields_) {
        delete field;
        field = nullptr;
    }
}

QLineEdit* IpAddressControl::field(int index) const { return fields_.at(static_cast<size_t>(index)); }

int IpAddressControl::address(std::array<uint8_t, kFields>& out) const {
    int filled = 0;
    for (size_t i = 0; i < fields_.size(); ++i) {
        const QString text = fields_[i]->text();
        out[i] = static_cast<uint8_t>(std::min(text.toInt(), kFieldMaximum));
        if (!text.isEmpty()) ++filled;
    }
    return filled;
}

void IpAddressControl::setAddress(const std::array<uint8_t, kFields>& address) {
    for (size_t i = 0; i < fields_.size(); ++i) fields_[i]->setText(QString::number(address[i]));
}

void IpAddressControl::clearAddress() {
    for (QLineEdit* field : fields_) field->clear();
}

bool IpAddressControl::isBlank() const {
    return std::all_of(fields_.begin(), fields_.end(), [](const QLineEdit* field) { return field->text().isEmpty(); });
}

bool IpAddressControl::setAddressText(const QString& text) {
    static const QRegularExpression dotted(QStringLiteral("^(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})$"));
    const QRegularExpressionMatch match = dotted.match(text.trimmed());
    if (!match.hasMatch()) return false;
    for (int i = 0; i < kFields; ++i) fields_[static_cast<size_t>(i)]->setText(match.captured(i + 1));
    for (int i = 0; i < kFields; ++i) clampField(i);
    return true;
}

bool IpAddressControl::takePaste() {
    const QString text = QGuiApplication::clipboard()->text().trimmed();
    if (setAddressText(text)) {
        moveToField(kFields - 1, kFields - 1, Caret::End);
        return true;
    }
    // Digits go into the field as typed ones do; any other text is refused.
    static const QRegularExpression digits(QStringLiteral("^\\d+$"));
    return !digits.match(text).hasMatch();
}

bool IpAddressControl::takeFieldKey(int index, const QKeyEvent& event) {
    QLineEdit& field = *fields_[static_cast<size_t>(index)];
    if (event.matches(QKeySequence::Paste)) return takePaste();
    const bool first = index == 0;
    const bool last = index == kFields - 1;
    const bool plain = !(event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
    const bool atStart = field.cursorPosition() == 0 && !field.hasSelectedText();
    const bool atEnd = field.cursorPosition() == field.text().size() && !field.hasSelectedText();
    switch (event.key()) {
        case Qt::Key_Period:
            // An empty field keeps the caret: "." only ends a number.
            if (!last && !field.text().isEmpty()) moveToField(index, index + 1, Caret::SelectAll);
            return true;
        case Qt::Key_Backspace:
            if (first || !field.text().isEmpty()) return false;
            moveToField(index, index - 1, Caret::End);
            return true;
        case Qt::Key_Left:
            if (first || !plain || !atStart) return false;
            moveToField(index, index - 1, Caret::End);
            return true;
        case Qt::Key_Right:
            if (last || !plain || !atEnd) return false;
            moveToField(index, index + 1, Caret::Start);
            return true;
        default:
            return false;
    }
}

void IpAddressControl::fieldTyped(int index) {
    const QLineEdit& field = *fields_[static_cast<size_t>(index)];
    if (index == kFields - 1 || field.cursorPosition() != field.text().size()) return;
    if (field.text().size() == kFieldDigits || cannotGrow(field.text().toInt()))
        moveToField(index, index + 1, Caret::SelectAll);
}

void IpAddressControl::clampField(int index) {
    QLineEdit& field = *fields_[static_cast<size_t>(index)];
    const int value = field.text().toInt();
    if (value <= kFieldMaximum) return;
    field.setText(QString::number(kFieldMaximum));
    messageBox(QStringLiteral("%1 is not a valid entry. Please specify a value between 0 and %2.")
                   .arg(value)
                   .arg(kFieldMaximum),
               mb::kOk | mb::kIconExclamation);
}

void IpAddressControl::moveToField(int from, int to, Caret caret) {
    clampField(from);
    QLineEdit& field = *fields_[static_cast<size_t>(to)];
    field.setFocus(Qt::OtherFocusReason);
    switch (caret) {
        case Caret::SelectAll:
            field.selectAll();
            break;
        case Caret::Start:
            field.setCursorPosition(0);
            break;
        case Caret::End:
            field.setCursorPosition(static_cast<int>(field.text().size()));
            break;
    }
}

}  // namespace kv::ui
