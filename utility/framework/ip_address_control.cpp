#include "framework/ip_address_control.h"

#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <algorithm>

namespace kv::ui {

IpAddressControl::IpAddressControl(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (size_t i = 0; i < fields_.size(); ++i) {
        if (i > 0) layout->addWidget(new QLabel(QStringLiteral("."), this));
        auto* field = new QLineEdit(this);
        field->setMaxLength(3);
        field->setAlignment(Qt::AlignCenter);
        field->setValidator(new QIntValidator(0, 255, field));
        connect(field, &QLineEdit::textChanged, this, &IpAddressControl::changed);
        layout->addWidget(field);
        fields_[i] = field;
    }
}

int IpAddressControl::address(std::array<uint8_t, 4>& out) const {
    int filled = 0;
    for (size_t i = 0; i < fields_.size(); ++i) {
        const QString text = fields_[i]->text();
        out[i] = static_cast<uint8_t>(std::min(text.toInt(), 255));
        if (!text.isEmpty()) ++filled;
    }
    return filled;
}

void IpAddressControl::setAddress(const std::array<uint8_t, 4>& address) {
    for (size_t i = 0; i < fields_.size(); ++i) fields_[i]->setText(QString::number(address[i]));
}

void IpAddressControl::clearAddress() {
    for (QLineEdit* field : fields_) field->clear();
}

bool IpAddressControl::isBlank() const {
    for (const QLineEdit* field : fields_) {
        if (!field->text().isEmpty()) return false;
    }
    return true;
}

}  // namespace kv::ui
