// The IPv4 address control: four fields of 0 to 255, read and set as four bytes; any change of
// a field is notified.
#pragma once

#include <QLineEdit>
#include <QWidget>
#include <array>
#include <cstdint>

namespace kv::ui {

class IpAddressControl : public QWidget {
    Q_OBJECT

public:
    explicit IpAddressControl(QWidget* parent = nullptr);

    // The four fields in order; returns how many of them are filled in (an empty field reads 0).
    int address(std::array<uint8_t, 4>& out) const;
    void setAddress(const std::array<uint8_t, 4>& address);
    void clearAddress();
    bool isBlank() const;
    QLineEdit* field(int index) const { return fields_.at(static_cast<size_t>(index)); }

signals:
    void changed();

private:
    std::array<QLineEdit*, 4> fields_{};
};

}  // namespace kv::ui
