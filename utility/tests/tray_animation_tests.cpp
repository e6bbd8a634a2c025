// The tray animation on a millisecond timeline: which icon the tray shows when, driven by the
// frame timer (6) and the hold timer (7).
#include <QTest>
#include <map>
#include <string>
#include <vector>

#include "app/tray_animation.h"

using namespace kv::diag;

namespace {

// Window timers on a simulated timeline: each running timer fires every period.
class TimelineHost : public TrayAnimationHost {
public:
    void startTrayTimer(int id, uint32_t periodMs) override { timers[id] = {periodMs, now + periodMs}; }
    void stopTrayTimer(int id) override { timers.erase(id); }
    bool trayIconShown() const override { return shown; }
    void modifyTrayIcon(int iconId) override { icons.push_back(std::to_string(now) + ":" + std::to_string(iconId)); }

    void advance(TrayAnimation& animation, uint64_t ms) {
        const uint64_t until = now + ms;
        for (;;) {
            int next = -1;
            for (const auto& [id, t] : timers) {
                if (t.due <= until && (next < 0 || t.due < timers[next].due)) next = id;
            }
            if (next < 0) break;
            now = timers[next].due;
            timers[next].due += timers[next].period;
            if (next == timer::kTrayFrame) animation.frameTick();
            if (next == timer::kTrayHold) animation.holdTick();
        }
        now = until;
    }

    struct Timer {
        uint64_t period;
        uint64_t due;
    };
    std::map<int, Timer> timers;
    uint64_t now = 0;
    bool shown = true;
    std::vector<std::string> icons;
};

QStringList asList(const std::vector<std::string>& lines) {
    QStringList out;
    for (const auto& l : lines) out << QString::fromStdString(l);
    return out;
}

}  // namespace

class TrayAnimationTest : public QObject {
    Q_OBJECT
private slots:
    void playsFiveFramesHoldsOneSecondAndReturns() {
        TimelineHost host;
        TrayAnimation animation(host);
        animation.mouseMove();
        host.advance(animation, 2000);
        QCOMPARE(asList(host.icons), (QStringList{"50:301", "100:302", "150:303", "200:304", "250:305", "1300:128"}));
        QVERIFY(host.timers.empty());
        QCOMPARE(animation.iconId(), 128);
        QVERIFY(!animation.animating());
    }

    void movesWhilePlayingChangeNothing() {
        TimelineHost host;
        TrayAnimation animation(host);
        animation.mouseMove();
        host.advance(animation, 120);
        animation.mouseMove();
        host.advance(animation, 2000);
        QCOMPARE(host.icons.back(), std::string("1300:128"));
        QCOMPARE(host.icons.size(), size_t{6});
    }

    void aMoveLateInTheHoldKeepsTheLastFrame250Ms() {
        TimelineHost host;
        TrayAnimation animation(host);
        animation.mouseMove();
        host.advance(animation, 1200);  // hold ticks left: 2 (at 1250 and 1300)
        QCOMPARE(animation.holdTicks(), 2);
        animation.mouseMove();
        QCOMPARE(animation.holdTicks(), 5);
        host.advance(animation, 1000);
        QCOMPARE(host.icons.back(), std::string("1450:128"));
    }

    void aMoveEarlyInTheHoldDoesNotShortenIt() {
        TimelineHost host;
        TrayAnimation animation(host);
        animation.mouseMove();
        host.advance(animation, 400);
        animation.mouseMove();
        QCOMPARE(animation.holdTicks(), 18);  // the hold began at 300 ms
        host.advance(animation, 2000);
        QCOMPARE(host.icons.back(), std::string("1300:128"));
    }

    void withoutTheTrayIconTheFrameTimerStopsAtOnce() {
        TimelineHost host;
        host.shown = false;
        TrayAnimation animation(host);
        animation.mouseMove();
        host.advance(animation, 500);
        QVERIFY(host.icons.empty());
        QVERIFY(host.timers.empty());
        QCOMPARE(animation.iconId(), 128);
        QVERIFY(!animation.animating());
    }
};

QTEST_GUILESS_MAIN(TrayAnimationTest)
#include "tray_animation_tests.moc"
