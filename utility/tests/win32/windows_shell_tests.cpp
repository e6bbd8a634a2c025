// The utility's Windows-only paths on the system itself, with the Windows platform plugin: the
// main window found by its caption and reached with posted messages from other processes
// (kelvapost, a second start of Kelvadiag.exe), and the tray icon in the shell's notification
// area — added, animated and removed through Shell_NotifyIcon. The clock is the real one here;
// every wait is for a condition, with a deadline.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QTest>
#include <cstring>
#include <memory>

#include "app/diag_sheet.h"
#include "app/tray_icon.h"
#include "app/window_protocol.h"
#include "kv/platform/notify_area.h"
#include "kv/platform/registry.h"
#include "kv/platform/window_messages.h"

using namespace kv::diag;
namespace platform = kv::platform;

namespace {

constexpr int kProgramPatienceMs = 30000;

QString programPath(const char* name) { return QCoreApplication::applicationDirPath() + u'/' + QLatin1String(name); }

// Runs one of the suite's programs to its end; its exit code, or -1 when it did not end in time.
int runProgram(const char* name, const QStringList& arguments) {
    QProcess process;
    process.start(programPath(name), arguments);
    if (!process.waitForFinished(kProgramPatienceMs) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    return process.exitCode();
}

// The main window as the program makes it, on this system's screen, named like the program.
std::unique_ptr<CDiagSheet> startMainWindow() {
    SheetEnvironment environment = SheetEnvironment::ofThisProcess();
    environment.appName = "Kelvadiag";
    auto sheet = std::make_unique<CDiagSheet>(environment);
    sheet->createWindow();
    sheet->show();
    QCoreApplication::processEvents();
    return sheet;
}

// Whether the shell holds the utility's icon for that window: a change of no part succeeds only
// for an icon it has.
bool shellHasTrayIcon(platform::WindowHandle window) {
    platform::NotifyIconRecord record;
    record.hWnd = window;
    record.uID = kTrayIconUid;
    record.uFlags = 0;
    return platform::notifyArea().notify(platform::NotifyAction::Modify, record);
}

// The resource id of the image the shell was last given for the utility's icon; 0 for none.
uint32_t trayImage() {
    for (const platform::NotifyIcon& icon : platform::notifyArea().icons())
        if (icon.id == kTrayIconUid) return icon.iconResource;
    return 0;
}

// "ShowTrayIcon" under HKLM\SOFTWARE\Kelvadiag for as long as it lives; removed again afterwards.
class TraySetting {
public:
    explicit TraySetting(const char* value) {
        platform::RegKey key;
        created_ = platform::registry().createKeyA(platform::hiveKey(platform::Hive::LocalMachine), kKey,
                                                   platform::regaccess::kAllAccess, key.receive()) == 0;
        if (created_)
            platform::registry().setValueA(key.get(), "ShowTrayIcon", platform::regtype::kSz, value,
                                           static_cast<uint32_t>(std::strlen(value) + 1));
    }
    ~TraySetting() {
        platform::RegKey key;
        if (platform::registry().openKeyA(platform::hiveKey(platform::Hive::LocalMachine), kKey,
                                          platform::regaccess::kAllAccess, key.receive()) == 0)
            platform::registry().deleteValueA(key.get(), "ShowTrayIcon");
    }
    TraySetting(const TraySetting&) = delete;
    TraySetting& operator=(const TraySetting&) = delete;
    bool written() const { return created_; }

private:
    static constexpr char kKey[] = "SOFTWARE\\Kelvadiag";
    bool created_ = false;
};

}  // namespace

class WindowsShellTest : public QObject {
    Q_OBJECT

private slots:
    void theProgramRunsAndEndsOnAQuitRequest() {
        QProcess program;
        program.start(programPath("Kelvadiag.exe"), {});
        QVERIFY(program.waitForStarted(kProgramPatienceMs));
        QTRY_VERIFY_WITH_TIMEOUT(platform::windowMessages().findWindow(kWindowCaption) != 0, kProgramPatienceMs);
        QCOMPARE(runProgram("kelvapost.exe", {QStringLiteral("quit")}), 0);
        QVERIFY(program.waitForFinished(kProgramPatienceMs));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(platform::windowMessages().findWindow(kWindowCaption), 0u);
    }

    void aSecondStartShowsTheRunningWindowAndEnds() {
        auto sheet = startMainWindow();
        QCOMPARE(platform::windowMessages().findWindow(kWindowCaption),
                 static_cast<platform::WindowHandle>(sheet->winId()));
        sheet->hide();
        QCOMPARE(runProgram("Kelvadiag.exe", {}), 0);
        QTRY_VERIFY_WITH_TIMEOUT(sheet->isVisible(), kProgramPatienceMs);
        sheet->destroyWindow();
    }

    void kelvapostShowsAndQuits() {
        auto sheet = startMainWindow();
        sheet->hide();
        QCOMPARE(runProgram("kelvapost.exe", {QStringLiteral("show")}), 0);
        QTRY_VERIFY_WITH_TIMEOUT(sheet->isVisible(), kProgramPatienceMs);
        QVERIFY(!sheet->quitPosted());
        QCOMPARE(runProgram("kelvapost.exe", {QStringLiteral("quit")}), 0);
        QTRY_VERIFY_WITH_TIMEOUT(sheet->quitPosted(), kProgramPatienceMs);
        sheet->destroyWindow();
        QCOMPARE(runProgram("kelvapost.exe", {QStringLiteral("quit")}), 2);  // no such window any more
    }

    void theTrayIconIsAddedAnimatedAndRemovedInTheShell() {
        TraySetting setting("1");
        QVERIFY(setting.written());
        auto sheet = startMainWindow();
        const auto window = static_cast<platform::WindowHandle>(sheet->winId());
        QVERIFY(shellHasTrayIcon(window));
        QCOMPARE(trayImage(), 128u);

        // The pointer over the icon, as the shell reports it: five frames, then the program icon.
        QCOMPARE(runProgram("kelvapost.exe", {QStringLiteral("mouse-move")}), 0);
        QList<uint32_t> frames;
        QDeadlineTimer deadline(kProgramPatienceMs);
        while (!deadline.hasExpired() && (frames.isEmpty() || frames.back() != 128u)) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            if (const uint32_t image = trayImage(); frames.isEmpty() || frames.back() != image) {
                if (image != 128u || !frames.isEmpty()) frames << image;
            }
        }
        QCOMPARE(frames, (QList<uint32_t>{301, 302, 303, 304, 305, 128}));
        QVERIFY(shellHasTrayIcon(window));

        sheet->destroyWindow();
        QVERIFY(!shellHasTrayIcon(window));
        QCOMPARE(trayImage(), 0u);
    }
};

QTEST_MAIN(WindowsShellTest)
#include "windows_shell_tests.moc"
