// The busy lock on the real main window: while a page's worker holds the library, no way the user
// has into the window reaches it, for every kind of worker; the guard that reports a second
// thread in the library, naming both; and a window that ends while a worker runs, which lets the
// worker clean up first.
#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <algorithm>
#include <array>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/adapter_tree.h"
#include "app/diag_sheet.h"
#include "app/nics_menu.h"
#include "app/page_table.h"
#include "app/window_protocol.h"
#include "framework/list_view.h"
#include "framework/worker_thread.h"
#include "kelvalib.h"
#include "kv/platform/window_messages.h"
#include "pages/send_receive_page.h"
#include "resources/resource_ids.h"
#include "session/adapter_session.h"
#include "support/diag_fixture.h"
#include "support/page_machines.h"
#include "support/responder_double.h"
#include "support/send_receive_support.h"

using kv::sim::Json;
using kv::sim::testing::MachineBuilder;
using namespace kv::diag;
using namespace kv::diag::testing;
namespace ctl = kv::diag::res::ctl;

namespace {

constexpr uint32_t kWatchPeriodMs = 5000;

// What the library's guard reports while this lives, instead of ending the process.
class IntrusionLog {
public:
    IntrusionLog() {
        LibraryHolder::setIntrusionHandler([this](const std::string& message) {
            const std::lock_guard lock(mutex_);
            messages_ << QString::fromStdString(message);
        });
    }
    ~IntrusionLog() { LibraryHolder::setIntrusionHandler(nullptr); }
    QStringList messages() const {
        const std::lock_guard lock(mutex_);
        return messages_;
    }

private:
    mutable std::mutex mutex_;
    QStringList messages_;
};

void click(DiagFixture& fx, int id) {
    fx.control<QAbstractButton>(id)->click();
    fx.deliverPosted();
}

void post(DiagFixture& fx, intptr_t lParam) {
    auto& desktop = kv::platform::windowMessages();
    desktop.postMessage(desktop.findWindow(kWindowCaption), kProtocolMessage, 0, lParam);
    fx.deliverPosted();
}

// An outside tool's run that began so, in the trace.
bool toolRan(const std::string& start) {
    const std::vector<std::string> lines = tracedNow("tool");
    return std::any_of(lines.begin(), lines.end(),
                       [&start](const std::string& line) { return line.starts_with(start); });
}

CBcstTRxPage& sendReceivePage(DiagFixture& fx) { return *qobject_cast<CBcstTRxPage*>(fx.activePage()); }

MachineBuilder oneAdapter(int major = 6, int minor = 0) {
    MachineBuilder machine;
    machine.addAdapter(0x4450);
    machine.set("os.major", Json(int64_t{major})).set("os.minor", Json(int64_t{minor}));
    if (major == 5) machine.set("protocolDriver.running", Json(true));
    return machine;
}

void startRepeatRun(DiagFixture& fx) {
    fx.control<kv::ui::ListView>(ctl::kDiagnosticsList)->setChecked(0, true);  // "Register"
    click(fx, ctl::kDiagnosticsRepeat);
    click(fx, ctl::kDiagnosticsStart);
}

void startResponder(DiagFixture& fx) {
    click(fx, ctl::kSendReceiveResponder);
    click(fx, ctl::kSendReceiveStart);
    QVERIFY(deliverUntil(responderListens));
}

void stopSendReceive(DiagFixture& fx) {
    click(fx, ctl::kSendReceiveStop);
    QVERIFY(deliverUntil([&fx] { return sendReceivePage(fx).link()->workerEnded(); }));
}

// A kind of worker: its machine and page, how the user starts it and ends it.
struct WorkerKind {
    const char* name;
    std::function<MachineBuilder()> machine;
    QString page;
    std::function<void(DiagFixture&)> start;
    std::function<void(DiagFixture&)> stop;
    bool needsResponder = false;
    bool waitsInAccept = false;  // its Stop breaks off a socket wait of the worker
};

// Wine's closesocket does not break off an accept another thread waits in, as Windows does: a
// responder that is stopped there never ends (the send-and-receive suite is not run there either).
bool acceptWaitEndsOnClose() {
#ifdef Q_OS_WIN
    return false;
#else
    return true;
#endif
}

const std::vector<WorkerKind>& workerKinds() {
    static const std::vector<WorkerKind> kinds = {
        {"Diagnostics run with Repeat", [] { return oneAdapter(); }, "Diagnostics", startRepeatRun,
         [](DiagFixture& fx) {
             click(fx, ctl::kDiagnosticsStop);
             fx.finishWatchedWorker();
         }},
        {"Send and Receive as Initiator", initiatorMachine, "Diagnostics::Send and Receive",
         [](DiagFixture& fx) {
             click(fx, ctl::kSendReceiveStart);
             QVERIFY(deliverUntil([&fx] { return sendReceivePage(fx).link()->counters().second >= 10; }));
         },
         stopSendReceive, true},
        {"Send and Receive as Responder", [] { return sendReceiveMachine("10.2.2.5", "255.255.0.0"); },
         "Diagnostics::Send and Receive", startResponder, stopSendReceive, false, true},
        {"VLAN change", [] { return defaultMachineWithDriver(); }, "VLAN",
         [](DiagFixture& fx) {
             auto* list = fx.control<kv::ui::ListView>(ctl::kVlanList);
             list->selectRow(0);
             click(fx, ctl::kVlanModifyVid);
             QLineEdit* editor = list->labelEditor();
             QVERIFY(editor);
             editor->setText(QStringLiteral("30"));
             QTest::keyClick(editor, Qt::Key_Return);
             fx.deliverPosted();
         },
         [](DiagFixture& fx) { fx.finishWatchedWorker(); }},
    };
    return kinds;
}

// A way the user has into the window.
struct InputPath {
    const char* name;
    std::function<void(DiagFixture&)> act;
};

const std::vector<InputPath>& inputPaths() {
    static const std::vector<InputPath> paths = {
        {"Ctrl+Tab", [](DiagFixture& fx) { QTest::keyClick(&fx.sheet(), Qt::Key_Tab, Qt::ControlModifier); }},
        {"Ctrl+Shift+Tab",
         [](DiagFixture& fx) {
             QTest::keyClick(&fx.sheet(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
         }},
        {"arrows in the page tree",
         [](DiagFixture& fx) {
             QTest::keyClick(fx.sheet().PageTreeCtrl(), Qt::Key_Up);
             QTest::keyClick(fx.sheet().PageTreeCtrl(), Qt::Key_Down);
         }},
        {"arrows in the adapter tree",
         [](DiagFixture& fx) { QTest::keyClick(fx.sheet().adapterTree(), Qt::Key_Down); }},
        {"Esc", [](DiagFixture& fx) { QTest::keyClick(&fx.sheet(), Qt::Key_Escape); }},
        {"Enter",
         [](DiagFixture& fx) {
             // Not on a page's button, which Enter would press as a click does.
             if (QWidget* focus = QApplication::focusWidget()) focus->clearFocus();
             QTest::keyClick(&fx.sheet(), Qt::Key_Return);
         }},
        {"Alt+F4", [](DiagFixture& fx) { QTest::keyClick(&fx.sheet(), Qt::Key_F4, Qt::AltModifier); }},
        {"the close button and the system menu's Close", [](DiagFixture& fx) { fx.sheet().close(); }},
        {"a click on another adapter",
         [](DiagFixture& fx) {
             AdapterTree* tree = fx.sheet().adapterTree();
             QTreeWidgetItem* last = tree->topLevelItem(tree->topLevelItemCount() - 1);
             QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(last).center());
         }},
        {"the adapter tree's context menu",
         [](DiagFixture& fx) {
             AdapterTree* tree = fx.sheet().adapterTree();
             const QPoint at = tree->viewport()->rect().center();
             QContextMenuEvent event(QContextMenuEvent::Mouse, at, tree->viewport()->mapToGlobal(at));
             QApplication::sendEvent(tree->viewport(), &event);
         }},
        {"the tray menu", [](DiagFixture& fx) { post(fx, request::kTrayRightButton); }},
        {"a tray double-click", [](DiagFixture& fx) { post(fx, request::kTrayDoubleClick); }},
        {"the quit request", [](DiagFixture& fx) { post(fx, request::kQuit); }},
    };
    return paths;
}

// What still holds after an input while a worker has the library; empty when all does.
QString heldFailure(DiagFixture& fx, const QString& page, int adapter, int menus) {
    const CDiagSheet& sheet = fx.sheet();
    if (!fx.activePage() || fx.activePage()->caption() != page) return "the active page changed";
    if (sheet.selectedAdapterIndex() != adapter) return "the adapter changed";
    if (!sheet.isVisible() || sheet.quitPosted()) return "the window went";
    if (sheet.uiEnabled() || sheet.isCloseEnabled() || sheet.windowFlags().testFlag(Qt::WindowCloseButtonHint))
        return "the window let the user act";
    if (menus != 0) return "a menu opened";
    return {};
}

}  // namespace

class BusyLockTest : public QObject {
    Q_OBJECT

private slots:
    void noInputPathReachesTheLibraryWhileAWorkerHoldsIt_data() {
        QTest::addColumn<int>("kind");
        for (size_t i = 0; i < workerKinds().size(); ++i) QTest::newRow(workerKinds()[i].name) << static_cast<int>(i);
    }
    void noInputPathReachesTheLibraryWhileAWorkerHoldsIt() {
        QFETCH(int, kind);
        const WorkerKind& worker = workerKinds()[static_cast<size_t>(kind)];
        if (worker.waitsInAccept && !acceptWaitEndsOnClose()) QSKIP("a stopped accept does not end here");
        const IntrusionLog intrusions;
        DiagFixture fx(worker.machine());
        std::optional<ResponderDouble> responder;
        if (worker.needsResponder) responder.emplace(ResponderDouble::Mode::EchoUntilClosed, 0);
        CDiagSheet& sheet = fx.start(testEnvironment(), allPagesTable());
        QVERIFY(fx.activatePage(worker.page));
        const int adapter = sheet.selectedAdapterIndex();
        worker.start(fx);
        QVERIFY(!sheet.uiEnabled());

        int menus = 0;
        setPopupPresenter([&menus](QMenu&) {
            ++menus;
            return 0;
        });
        for (const InputPath& path : inputPaths()) {
            path.act(fx);
            fx.deliverPosted();
            const QString failure = heldFailure(fx, worker.page, adapter, menus);
            QVERIFY2(failure.isEmpty(), qPrintable(QStringLiteral("%1: %2").arg(path.name, failure)));
            QVERIFY2(intrusions.messages().isEmpty(), qPrintable(intrusions.messages().join('\n')));
        }
        setPopupPresenter(nullptr);
        QCOMPARE(fx.boxTexts().count(QStringLiteral("Please close Kelvadiag first!")), 1);

        worker.stop(fx);
        fx.advance(kWatchPeriodMs);
        QVERIFY(sheet.uiEnabled());
        QVERIFY(sheet.windowFlags().testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(intrusions.messages().isEmpty());
    }

    // The guard: a thread that enters the library while another holds it is reported with both
    // named, and its call is refused.
    void aSecondThreadInTheLibraryIsReportedWithBoth() {
        installMachine();
        const IntrusionLog intrusions;
        AdapterSession session;
        const kv::ui::WorkerHandle worker =
            kv::ui::WorkerThread::start([&session] { return session.channelOpen() ? 1u : 0u; });
        worker->join();
        QCOMPARE(worker->exitCode(), 0u);
        session.lendTo(worker->id());
        QVERIFY(!session.select(0));
        session.takeBack();
        QVERIFY(session.reopen());
        const QStringList messages = intrusions.messages();
        QCOMPARE(messages.size(), 2);
        QVERIFY2(messages[0].contains(QStringLiteral("by worker thread")) &&
                     messages[0].contains(QStringLiteral("while the window's thread")),
                 qPrintable(messages[0]));
        QVERIFY2(messages[1].contains(QStringLiteral("(select) by the window's thread")) &&
                     messages[1].contains(QStringLiteral("while worker thread")),
                 qPrintable(messages[1]));
    }

    // Whatever ends the window during a worker's run — its destruction, or the system ending the
    // session, after which the process ends at once — the worker is stopped as its page's Stop
    // stops it, and its own clean-up has run when the end returns.
    void theWorkerCleansUpBeforeTheWindowEnds_data() {
        QTest::addColumn<bool>("diagnostics");
        QTest::addColumn<bool>("sessionEnds");
        QTest::newRow("Diagnostics, window destroyed") << true << false;
        QTest::newRow("Diagnostics, session ends") << true << true;
        QTest::newRow("Send and Receive, session ends") << false << true;
    }
    void theWorkerCleansUpBeforeTheWindowEnds() {
        QFETCH(bool, diagnostics);
        QFETCH(bool, sessionEnds);
        if (!diagnostics && !acceptWaitEndsOnClose()) QSKIP("a stopped accept does not end here");
        // Windows 5.1: the run unbinds the adapter's protocols and binds them again at its end.
        DiagFixture fx(diagnostics ? oneAdapter(5, 1) : sendReceiveMachine("10.2.2.5", "255.255.0.0", "10.2.0.1"));
        fx.start(testEnvironment(), allPagesTable());
        QVERIFY(fx.activatePage(diagnostics ? "Diagnostics" : "Diagnostics::Send and Receive"));
        if (diagnostics) {
            startRepeatRun(fx);
            QVERIFY(DiagFixture::deliverPostedUntil([] { return toolRan("tvxbind unbind "); }));
        } else {
            startResponder(fx);
        }
        const kv::ui::WorkerHandle worker = fx.sheet().workerWatch().worker();
        QVERIFY(worker);
        if (sessionEnds) {
            QVERIFY(QMetaObject::invokeMethod(qApp, "aboutToQuit"));
        } else {
            fx.stop();
        }
        QVERIFY(worker->hasEnded());
        if (diagnostics) {
            QVERIFY(toolRan("tvxbind bind "));
            QVERIFY(!DiagFixture::traced("propchange").empty());
        } else {
            std::array<uint8_t, 4> address{};
            QCOMPARE(API_GetIPAddress(address.data()), 1);
            QCOMPARE(address, (std::array<uint8_t, 4>{10, 2, 2, 5}));
        }
    }
};

QTEST_MAIN(BusyLockTest)
#include "busy_lock_tests.moc"
