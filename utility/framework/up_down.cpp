#include "framework/up_down.h"

#include <QVBoxLayout>
#include <algorithm>

namespace kv::ui {

UpDownControl::UpDownControl(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    up_->setAutoRepeat(true);
    down_->setAutoRepeat(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton* arrow : {up_, down_}) {
        arrow->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(arrow);
    }
    connect(up_, &QToolButton::clicked, this, [this] { step(+1); });
    connect(down_, &QToolButton::clicked, this, [this] { step(-1); });
}

void UpDownControl::setRange(int lower, int upper) {
    lower_ = lower;
    upper_ = upper;
}

void UpDownControl::setPosition(int position) {
    position_ = std::clamp(position, std::min(lower_, upper_), std::max(lower_, upper_));
    writeBuddy();
}

void UpDownControl::step(int direction) {
    int current = position_;
    if (buddy_) {
        bool ok = false;
        const int typed = buddy_->text().trimmed().toInt(&ok);
        if (ok) current = typed;
    }
    const int towardsUpper = upper_ >= lower_ ? direction : -direction;
    setPosition(current + towardsUpper);
}

void UpDownControl::writeBuddy() {
    if (buddy_) buddy_->setText(QString::number(position_));
}

}  // namespace kv::ui
