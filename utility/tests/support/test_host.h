// What every utility test needs: a simulated machine on the virtual clock, window timers driven
// by it without trace lines, and message boxes that never block.
#pragma once

#include <QMessageBox>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "kv/sim/host.h"
#include "kv/sim/testing/machine_builder.h"

namespace kv::diag::testing {

// Installs the machine (a default one when none is given) on the virtual clock and makes the
// window timers run on it.
kv::sim::Host& installMachine(kv::sim::testing::MachineBuilder builder = {});

// A box the test answered: what it showed and on which thread.
struct AnsweredBox {
    QString text;
    QString caption;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon;
    bool onUiThread;
};

// Shows every box (the utility's and the library's) as a QMessageBox, answered at once by the
// test with `answer` (or the box's default: Yes, or OK); the boxes are recorded.
class BoxAnswerer {
public:
    explicit BoxAnswerer(QMessageBox::StandardButton answer = QMessageBox::NoButton);
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    std::vector<AnsweredBox> boxes() const;
    // Runs on the user-interface thread with each box's text before the box is answered: what the
    // user does while a box is up (a worker that shows it waits meanwhile).
    void whileShown(std::function<void(const QString& text)> action);

private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace kv::diag::testing
