// The IPv4 address control: four fields of 0 to 255, read and set as four bytes; any change of
// a field is notified. It moves between its fields as users expect of an address control: "."
// goes on to the next field, and so does a field once it holds three digits or a value that no
// further digit can keep at 255 or below; backspace in an empty field and the arrow keys at a
// field's edge go to the neighbouring field; a pasted dotted address ("192.168.1.50") fills all
// four fields. A field above 255 becomes 255 when it is left, with a message box saying so.
#pragma once

#include <QLineEdit>
#include <QWidget>
#include <array>
#include <cstdint>

class QKeyEvent;

namespace kv::ui {

class IpAddressField;

class IpAddressControl : public QWidget {
    Q_OBJECT

public:
    static constexpr int kFields = 4;
    static constexpr int kFieldMaximum = 255;

    explicit IpAddressControl(QWidget* parent = nullptr);
    ~IpAddressControl() override;

    // The four fields in order; returns how many of them are filled in (an empty field reads 0).
    int address(std::array<uint8_t, kFields>& out) const;
    void setAddress(const std::array<uint8_t, kFields>& address);
    void clearAddress();
    bool isBlank() const;
    QLineEdit* field(int index) const;

    // Fills the four fields from a dotted address of four decimal numbers of up to three digits
    // each (blanks around it ignored); a number above 255 is clamped with the message. False, and
    // nothing changes, for any other text.
    bool setAddressText(const QString& text);

signals:
    void changed();

private:
    friend class IpAddressField;
    // A key in field `index` that moves between fields or pastes an address: true when taken.
    bool takeFieldKey(int index, const QKeyEvent& event);
    // After a digit was typed into the field: on to the next field once it is full.
    void fieldTyped(int index);
    // Clamps a value above 255 to 255 and says so.
    void clampField(int index);
    // Leaves field `from` (clamping it) for field `to`: its text selected, or the caret at its
    // start or end.
    enum class Caret { SelectAll, Start, End };
    void moveToField(int from, int to, Caret caret);
    // A paste: a dotted address fills all four fields, digits are left to the field, anything
    // else is refused. True when the control took it.
    bool takePaste();

    std::array<IpAddressField*, kFields> fields_{};
};

}  // namespace kv::ui
