// The up-down control: two arrows that step the integer shown in a buddy edit within a range
// (the buddy's text is set to the new integer).
#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QToolButton>
#include <QWidget>

namespace kv::ui {

class UpDownControl : public QWidget {
    Q_OBJECT

public:
    explicit UpDownControl(QWidget* parent = nullptr);

    void setBuddy(QLineEdit* buddy) { buddy_ = buddy; }
    QLineEdit* buddy() const { return buddy_; }
    // The up arrow moves towards `upper`; a range with lower above upper runs downwards.
    void setRange(int lower, int upper);
    // The range's ends (not lower(), which would hide QWidget::lower).
    int lowerBound() const { return lower_; }
    int upperBound() const { return upper_; }
    int position() const { return position_; }
    void setPosition(int position);
    // One click of the up arrow (+1) or the down arrow (-1).
    void step(int direction);

private:
    void writeBuddy();

    QPointer<QLineEdit> buddy_;
    QToolButton* up_;
    QToolButton* down_;
    int lower_ = 100;  // the platform control's default range runs from 100 down to 0
    int upper_ = 0;
    int position_ = 0;
};

}  // namespace kv::ui
