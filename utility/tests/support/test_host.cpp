#include "support/test_host.h"

#include <QAbstractButton>
#include <mutex>

#include "framework/message_box.h"
#include "framework/ui_thread.h"
#include "framework/window_timers.h"

namespace kv::diag::testing {

kv::sim::Host& installMachine(kv::sim::testing::MachineBuilder builder) {
    kv::sim::Host& host = builder.install();
    ui::TimerClock::setMode(ui::TimerClock::Mode::Virtual);
    ui::TimerClock::setTimePasser([](uint32_t ms) { kv::sim::Host::get().passTime(ms); });
    return host;
}

struct BoxAnswerer::State {
    mutable std::mutex mutex;
    std::vector<AnsweredBox> boxes;
    std::function<void(const QString&)> whileShown;
};

BoxAnswerer::BoxAnswerer(QMessageBox::StandardButton answer) : state_(std::make_shared<State>()) {
    ui::QtMessageBoxes::install();
    ui::QtMessageBoxes::setAnswerer([state = state_, answer](QMessageBox& box) {
        std::function<void(const QString&)> whileShown;
        {
            std::lock_guard lock(state->mutex);
            state->boxes.push_back(
                {box.text(), box.windowTitle(), box.standardButtons(), box.icon(), ui::onUiThread()});
            whileShown = state->whileShown;
        }
        if (whileShown) whileShown(box.text());
        if (answer != QMessageBox::NoButton) return answer;
        return (box.standardButtons() & QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
    });
}

BoxAnswerer::~BoxAnswerer() {
    ui::QtMessageBoxes::setAnswerer(nullptr);
    ui::QtMessageBoxes::uninstall();
}

void BoxAnswerer::whileShown(std::function<void(const QString& text)> action) {
    std::lock_guard lock(state_->mutex);
    state_->whileShown = std::move(action);
}

std::vector<AnsweredBox> BoxAnswerer::boxes() const {
    std::lock_guard lock(state_->mutex);
    return state_->boxes;
}

}  // namespace kv::diag::testing
