// The utility's outer shell on simulated machines: the start-up sequence, the settings and their
// toggles in the registry, the tray icon and its menu, the animation, Close and the message
// protocol — read from the trace, the notification area and the window.
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <tuple>

#include "app/diag_app.h"
#include "app/diag_sheet.h"
#include "app/nics_menu.h"
#include "app/tray_icon.h"
#include "app/window_protocol.h"
#include "framework/menu_template.h"
#include "framework/worker_thread.h"
#include "kv/platform/notify_area.h"
#include "kv/platform/window_messages.h"
#include "resources/resource_ids.h"
#include "support/diag_fixture.h"
#include "support/main_window_pages.h"

using namespace kv::diag;
using namespace kv::diag::testing;
using kv::sim::testing::MachineBuilder;

namespace {

constexpr char kInstallFolder[] = "C:\\Program Files\\Tavrick\\Kelvadiag";

// A machine with one adapter and the given settings; with an install folder holding the program.
MachineBuilder machineWith(const std::string& showTrayIcon, bool appDir, bool runEntry = false) {
    MachineBuilder machine;
    machine.addAdapter(0x4450);
    std::string reg;
    if (!showTrayIcon.empty() || appDir) {
        reg += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Kelvadiag]\r\n";
        if (!showTrayIcon.empty()) reg += "\"ShowTrayIcon\"=\"" + showTrayIcon + "\"\r\n";
        if (appDir) reg += "\"AppDir\"=\"C:\\\\Program Files\\\\Tavrick\\\\Kelvadiag\"\r\n";
    }
    reg += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n";
    if (runEntry) reg += "\"Kelvadiag\"=\"C:\\\\Program Files\\\\Tavrick\\\\Kelvadiag\\\\Kelvadiag /hw\"\r\n";
    machine.registry(reg);
    if (appDir) machine.file("C/Program Files/Tavrick/Kelvadiag/Kelvadiag.exe", "MZ");
    return machine;
}

// The state of each item of the tray menu when it opens: "id:enabled:text".
QStringList menuItems(CDiagSheet& sheet) {
    QStringList items;
    setPopupPresenter([&](QMenu& menu) {
        for (QAction* action : menu.actions()) {
            if (action->isSeparator()) continue;
            items << QStringLiteral("%1:%2:%3")
                         .arg(kv::ui::commandId(*action))
                         .arg(action->isEnabled() ? 1 : 0)
                         .arg(action->text());
        }
        return 0;
    });
    sheet.handleProtocolMessage(request::kTrayRightButton);
    setPopupPresenter(nullptr);
    return items;
}

// Posts a protocol message to the running window as an outside program does.
void post(DiagFixture& fx, intptr_t lParam) {
    auto& desktop = kv::platform::windowMessages();
    desktop.postMessage(desktop.findWindow(kWindowCaption), kProtocolMessage, 0, lParam);
    fx.deliverPosted();
}

// A string value as the registry keeps it (UTF-16 with its terminator), in the trace's hex.
std::string storedString(const QString& text) {
    QByteArray bytes(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    bytes.append(2, '\0');
    return bytes.toHex().toStdString();
}

int trayImage() {
    const auto icons = kv::platform::notifyArea().icons();
    return icons.empty() ? 0 : static_cast<int>(icons.front().iconResource);
}

}  // namespace

class ShellTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { setPopupPresenter(nullptr); }

    void aSecondStartWakesTheFirstAndEnds() {
        DiagFixture fx(machineWith("1", false), QMessageBox::Ok);
        CDiagSheet& sheet = fx.start(testEnvironment(), hookedPageTable());
        sheet.hide();
        const size_t regLines = fx.traced("regwrite").size();
        CDiagApp second;
        QVERIFY(!second.initInstance({}, testEnvironment()));
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(second.mainWindow() == nullptr);
        QCOMPARE(fx.traced("regwrite").size(), regLines);
        fx.deliverPosted();
        QVERIFY(sheet.isVisible());
    }

    void hiddenStart_data() {
        QTest::addColumn<QString>("tray");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("visible");
        QTest::newRow("/hw, tray on") << "1" << QStringList{"/hw"} << false;
        QTest::newRow("/hw, tray off") << "0" << QStringList{"/hw"} << true;
        QTest::newRow("/hw, no settings") << "" << QStringList{"/hw"} << true;
        QTest::newRow("after another parameter") << "1" << QStringList{"/x", "/hw"} << false;
        QTest::newRow("followed by another") << "1" << QStringList{"/hw", "/x"} << true;
        QTest::newRow("hwx") << "1" << QStringList{"-hwx"} << false;
        QTest::newRow("HW") << "1" << QStringList{"/HW"} << true;
        QTest::newRow("tray setting 7") << "7" << QStringList{"/hw"} << false;
    }
    void hiddenStart() {
        QFETCH(QString, tray);
        QFETCH(QStringList, arguments);
        QFETCH(bool, visible);
        CDiagApp app;
        DiagFixture fx(machineWith(tray.toStdString(), false), QMessageBox::Ok);
        std::vector<std::string> args;
        for (const QString& a : arguments) args.push_back(a.toStdString());
        QVERIFY(app.initInstance(args, testEnvironment()));
        CDiagSheet& sheet = fx.adopt(*app.mainWindow());
        fx.advance(5);
        QCOMPARE(sheet.isVisible(), visible);
        QVERIFY(!sheet.timers().isRunning(timer::kHiddenStart));
        QCOMPARE(kv::platform::notifyArea().icons().size(), size_t(tray == "1" || tray == "7" ? 1 : 0));
        fx.stop();
    }

    void aDocumentOnTheCommandLineEndsTheStart() {
        CDiagApp app;
        DiagFixture fx(machineWith("", false), QMessageBox::Ok);
        QVERIFY(!app.initInstance({"report.txt"}, testEnvironment()));
        QCOMPARE(app.exitCode(), 1);
        QVERIFY(app.mainWindow() == nullptr);
    }

    void olderSystemsPrepareTheProtocolDriver_data() {
        QTest::addColumn<int>("minor");
        QTest::addColumn<bool>("driverPresent");
        QTest::addColumn<int>("sleptSeconds");
        QTest::addColumn<bool>("installer");
        QTest::newRow("5.1 without the driver") << 1 << false << 100 << false;
        QTest::newRow("5.2 without the driver") << 2 << false << 100 << true;
        QTest::newRow("5.1 with the driver") << 1 << true << 0 << false;
    }
    void olderSystemsPrepareTheProtocolDriver() {
        QFETCH(int, minor);
        QFETCH(bool, driverPresent);
        QFETCH(int, sleptSeconds);
        QFETCH(bool, installer);
        MachineBuilder machine = machineWith("", false);
        machine.set("os.major", kv::sim::Json(int64_t{5})).set("os.minor", kv::sim::Json(int64_t{minor}));
        // The older driver starts only while its file is in the system's driver folder.
        if (driverPresent) machine.file("C/WINDOWS/System32/Drivers/diag50xp.sys", "driver");
        CDiagApp app;
        DiagFixture fx(machine, QMessageBox::Ok);
        QVERIFY(app.initInstance({}, testEnvironment()));
        const auto sleeps = fx.traced("sleep");
        QCOMPARE(static_cast<int>(std::count(sleeps.begin(), sleeps.end(), std::string("10000"))), sleptSeconds / 10);
        const auto starts = fx.traced("start");
        QCOMPARE(static_cast<int>(std::count(starts.begin(), starts.end(), std::string("NET START NPROBE"))), 10);
        QCOMPARE(!starts.empty() && starts.front().starts_with("Plantdrv64.exe"), installer);
        fx.adopt(*app.mainWindow());
        QVERIFY(app.mainWindow()->isVisible());
        fx.stop();
    }

    void newerSystemsStartNothing() {
        CDiagApp app;
        DiagFixture fx(machineWith("", false), QMessageBox::Ok);
        QVERIFY(app.initInstance({}, testEnvironment()));
        QVERIFY(fx.traced("start").empty());
        QCOMPARE(kv::sim::testing::sleptMs(), uint64_t{0});
    }

    void trayMenuFollowsTheSettings_data() {
        QTest::addColumn<QString>("tray");
        QTest::addColumn<bool>("appDir");
        QTest::addColumn<bool>("runEntry");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("all off") << "0" << false << false
                                 << QStringList{"32788:1:&Refresh NIC List", "32771:1:Show the &Tray Icon",
                                                "32772:0:&Enable Start Up Launch", "32782:0:&Launch", "32784:1:E&xit"};
        QTest::newRow("Run entry without AppDir")
            << "1" << false << true
            << QStringList{"32788:1:&Refresh NIC List", "32771:1:Remove the &Tray Icon",
                           "32772:0:&Disable Start Up Launch", "32782:0:&Launch", "32784:1:E&xit"};
        QTest::newRow("installed") << "1" << true << false
                                   << QStringList{"32788:1:&Refresh NIC List", "32771:1:Remove the &Tray Icon",
                                                  "32772:1:&Enable Start Up Launch", "32782:0:&Launch",
                                                  "32784:1:E&xit"};
    }
    void trayMenuFollowsTheSettings() {
        QFETCH(QString, tray);
        QFETCH(bool, appDir);
        QFETCH(bool, runEntry);
        QFETCH(QStringList, items);
        DiagFixture fx(machineWith(tray.toStdString(), appDir, runEntry), QMessageBox::Ok);
        CDiagSheet& sheet = fx.start(testEnvironment(), hookedPageTable());
        QCOMPARE(menuItems(sheet), items);
    }

    void hiddenWindowMenu() {
        DiagFixture fx(machineWith("1", false), QMessageBox::Ok);
        CDiagSheet& sheet = fx.start(testEnvironment(), hookedPageTable());
        sheet.hide();
        const QStringList items = menuItems(sheet);
        QVERIFY(items.contains("32788:0:&Refresh NIC List"));
        QVERIFY(items.contains("32782:1:&Launch"));
        sheet.runCommand(res::kCmdLaunch);
        QVERIFY(sheet.isVisible());
    }

    void togglesWriteTheSettings() {
        DiagFixture fx(machineWith("0", true), QMessageBox::Ok);
        CDiagSheet& sheet = fx.start(testEnvironment(), hookedPageTable());
        QCOMPARE(QString::fromStdString(sheet.settings().appDir), QString::fromLatin1(kInstallFolder));
        sheet.runCommand(res::kCmdShowTrayIcon);
        sheet.runCommand(res::kCmdShowTrayIcon);
        sheet.runCommand(res::kCmdStartUpLaunch);
        sheet.runCommand(res::kCmdStartUpLaunch);
        const std::string settings = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Kelvadiag ShowTrayIcon 1 ";
        const std::string run = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run Kelvadiag";
        const std::vector<std::string> expected = {
            settings + storedString("1"), settings + storedString("0"),
            run + " 1 " + storedString("C:\\Program Files\\Tavrick\\Kelvadiag\\Kelvadiag /hw"), run + " (deleted)"};
        QCOMPARE(fx.traced("regwrite"), expected);
    }

    void withoutTheSettingsKeyTheTrayToggleDoesNothing() {
        DiagFixture fx(machineWith("", false), QMessageBox::Ok);
        CDiagSheet& sheet = fx.start(testEnvironment(), hookedPageTable());
        sheet.runCommand(res::kCmdShowTrayIcon);
        QVERIFY(fx.traced("regwrite").empty());
        QCOMPARE(sheet.settings().showTrayIcon, 0);
        QVERIFY(kv::platform::notifyArea().icons().empty());
    }

    // Esc and Alt+F4 are the Close command, never a way past it: with the tray icon on the window
    // hides and the program goes on; with it off the window ends.
    void escAndAltF4AreTheCloseCommand_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("trayIcon");
        QTest::addColumn<bool>("ends");
        for (const auto& [name, key, modifiers] :
             {std::tuple{"Esc", Qt::Key_Escape, 0}, {"Alt+F4", Qt::Key_F4, int(Qt::AltModifier)}}) {
            QTest::addRow("%s, tray icon on", name) << int(key) << modifiers << "1" << false;
            QTest::addRow("%s, tray icon off", name) << int(key) << modifiers << "0" << true;
        }
    }
    void escAndAltF4AreTheCloseCommand() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, trayIcon);
        QFETCH(bool, ends);
        DiagFixture fx(machineWith(trayIcon.toStdString(), false), QMessageBox::Ok);
        CDiagSheet& sheet = fx.start(testEnvironment(), hookedPageTable());
        QSignalSpy finished(&sheet, &QDialog::finished);
        QTest::keyClick(&sheet, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QVERIFY(!sheet.isVisible());
        QCOMPARE(finished.count(), ends ? 1 : 0);
        QCOMPARE(kv::platform::notifyArea().icons().size(), size_t{ends ? 0u : 1u});
    }

    void switchingTheTrayOffWhileHiddenShowsTheWindow() {
        DiagFixture fx(machineWith("1", false), QMessageBox::Ok);
        CDiagSheet& sheet = fx.start(testEnvironment(), hookedPageTable());
        QCOMPARE(kv::platform::notifyArea().icons().size(), size_t{1});
        sheet.close();
        QVERIFY(!sheet.isVisible());  // Close hides while the tray icon is on
        QVERIFY(!sheet.quitPosted());
        sheet.runCommand(res::kCmdShowTrayIcon);
        QVERIFY(sheet.isVisible());
        QVERIFY(kv::platform::notifyArea().icons().empty());
    }

    void trayRecord() {
        DiagFixture fx(machineWith("1", false), QMessageBox::Ok);
        fx.start(testEnvironment(), hookedPageTable());
        const auto icons = kv::platform::notifyArea().icons();
        QCOMPARE(icons.size(), size_t{1});
        QCOMPARE(icons[0].id, kTrayIconUid);
        QCOMPARE(icons[0].callbackMessage, 0x0401u);
        QCOMPARE(icons[0].iconResource, 128u);
        QCOMPARE(QString::fromStdString(icons[0].tip), QStringLiteral("Tavrick Diagnostic Utility"));
        fx.stop();
        QVERIFY(kv::platform::notifyArea().icons().empty());
    }

    void doubleClickTogglesTheWindow() {
        DiagFixture fx(machineWith("1", false), QMessageBox::Ok);
        CDiagSheet& sheet = fx.start(testEnvironment(), hookedPageTable());
        post(fx, request::kTrayDoubleClick);
        QVERIFY(!sheet.isVisible());
        post(fx, request::kTrayDoubleClick);
        QVERIFY(sheet.isVisible());
    }

    void quitRequest() {
        DiagFixture fx(machineWith("1", false), QMessageBox::Ok);
        CDiagSheet& sheet = fx.start(testEnvironment(), hookedPageTable());
        auto release = std::make_shared<std::atomic<bool>>(false);
        kv::ui::WorkerHandle worker = kv::ui::WorkerThread::start([release] {
            while (!release->load()) std::this_thread::yield();
            return 0u;
        });
        sheet.watchWorker(worker, false, false);
        const QString busy = QStringLiteral("Please close Kelvadiag first!");
        post(fx, request::kQuit);
        QCOMPARE(fx.boxTexts().count(busy), 1);
        QVERIFY(!sheet.quitPosted());
        post(fx, request::kTrayDoubleClick);  // ignored while busy
        QVERIFY(sheet.isVisible());
        release->store(true);
        worker->join();
        fx.advance(5000);
        post(fx, request::kQuit);
        QVERIFY(sheet.quitPosted());
        QCOMPARE(fx.boxTexts().count(busy), 1);
    }

    void animationFrameByFrame() {
        DiagFixture fx(machineWith("1", false), QMessageBox::Ok);
        fx.start(testEnvironment(), hookedPageTable());
        post(fx, request::kTrayMouseMove);
        QList<int> frames;
        for (int tick = 0; tick < 6; ++tick) {
            fx.advance(50);
            frames << trayImage();
        }
        QCOMPARE(frames, (QList<int>{301, 302, 303, 304, 305, 305}));
        fx.advance(900);  // 20 hold ticks after the last move: 1000 ms
        QCOMPARE(trayImage(), 305);
        post(fx, request::kTrayMouseMove);  // two hold ticks left: stretched to 250 ms
        fx.advance(200);
        QCOMPARE(trayImage(), 305);
        fx.advance(50);
        QCOMPARE(trayImage(), 128);
    }
};

QTEST_MAIN(ShellTest)
#include "shell_tests.moc"
