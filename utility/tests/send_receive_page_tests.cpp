// The "Diagnostics::Send and Receive" page: two simulated computers exchanging blocks (the
// Responder a process of its own), the failures the Initiator reports against responder doubles,
// the adapter's settings put back after "Stop", and a "Start" that finds no adapter.
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidgetItem>
#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <thread>
#include <vector>

#include "app/diag_sheet.h"
#include "app/page_table.h"
#include "framework/ui_thread.h"
#include "kelvalib.h"
#include "kv/platform/sockets.h"
#include "kv/sim/tcpip_interfaces.h"
#include "kv/sim/testing/machine_directory.h"
#include "kv/text.h"
#include "pages/send_receive_page.h"
#include "resources/resource_ids.h"
#include "support/diag_fixture.h"
#include "support/page_session.h"
#include "support/responder_double.h"
#include "support/send_receive_support.h"

using kv::sim::Json;
using kv::sim::testing::MachineBuilder;
using namespace kv::diag;
using namespace kv::diag::testing;
namespace ctl = kv::diag::res::ctl;
namespace net = kv::platform;

namespace {

using Session = PageSession<CBcstTRxPage>;

void click(Session& s, int id) { s.control<QAbstractButton>(id)->click(); }

QString text(Session& s, int id) { return s.page->controlText(id); }

bool enabled(Session& s, int id) { return s.control(id)->isEnabled(); }

bool workerEnded(Session& s) { return s.page->link() && s.page->link()->workerEnded(); }

struct TcpipValues {
    int mode = -1;
    std::array<uint8_t, 4> address{}, mask{}, gateway{}, dns{};
    bool operator==(const TcpipValues&) const = default;
};

TcpipValues readSettings() {
    TcpipValues s;
    API_GetNicTcpipAddr(&s.mode, s.address.data(), s.mask.data(), s.gateway.data(), s.dns.data());
    return s;
}

// The interface key's values, as the registry holds them.
QStringList interfaceValues() {
    kv::sim::Host::Call call(kv::sim::Host::get());
    const auto* key = call.host.machine().registry.find(std::u16string(kv::sim::kTcpipInterfacesKeyPath) + u"\\" +
                                                        kv::utf8ToUtf16(MachineBuilder::guidOf(0)));
    QStringList values;
    if (!key) return values;
    for (const char16_t* name : {u"IPAddress", u"SubnetMask", u"DefaultGateway"}) {
        const auto* value = key->findValue(name);
        values << (value ? QString::fromStdU16String(value->asMultiString().empty() ? u""
                                                                                    : value->asMultiString().front())
                         : QString());
    }
    return values;
}

// The adapter's TCP/IP settings written (as "IPAddress=10.1.1.5", "EnableDHCP=0") and
// the driver reloads ("reload"), in the order of the trace.
QStringList settingsTrace() {
    std::vector<std::string> lines;
    {
        kv::sim::Host::Call call(kv::sim::Host::get());
        lines = call.host.trace().lines();
    }
    QStringList out;
    for (const std::string& line : lines) {
        const QStringList words = QString::fromStdString(line).split(' ');
        if (words.size() >= 3 && words[0] == "propchange" && words[2] == "propchange") out << "reload";
        if (words.size() != 5 || words[0] != "regwrite" || !words[1].contains("Interfaces")) continue;
        const QByteArray bytes = QByteArray::fromHex(words[4].toLatin1());
        if (words[2] == "EnableDHCP") {
            out << "EnableDHCP=" + QString::number(bytes.isEmpty() ? -1 : bytes[0]);
            continue;
        }
        QString value = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
        out << words[2] + "=" + value.section(QChar(0), 0, 0);
    }
    return out;
}

// The driver reloads so far: each is one restart of the adapter's device.
int reloads() {
    int count = 0;
    for (const std::string& line : tracedNow("propchange")) count += line.find(" propchange ") != std::string::npos;
    return count;
}

}  // namespace

class SendReceivePageTest : public QObject {
    Q_OBJECT

private slots:
    // The page as Initiator here, the page as Responder in a process on a machine of its own.
    void twoComputersExchangeBlocksUntilTheResponderStops() {
        const MachineBuilder responderMachine = sendReceiveMachine("10.2.2.5", "255.255.0.0", "10.2.0.1");
        const kv::sim::testing::MachineDirectory responder(responderMachine);
        kv::sim::testing::ProgramRun run;
        std::thread peer([&] { run = responder.run(KV_SEND_RECEIVE_RESPONDER, {"5"}); });
        const auto listening = responder.workingDirectory() / "listening";
        const bool peerListens = deliverUntil([&] { return std::filesystem::exists(listening); });

        Session s(initiatorMachine());
        if (peerListens) click(s, ctl::kSendReceiveStart);
        const bool ended = peerListens && deliverUntil([&] { return workerEnded(s); });
        peer.join();
        QVERIFY(peerListens);
        QVERIFY(ended);
        QCoreApplication::processEvents();

        // The Responder received at least the five blocks it waited for and echoed each one.
        QVERIFY2(run.exitCode == 0, run.output.c_str());
        int peerSent = 0, peerReceived = 0;
        char settings[64] = {};
        QCOMPARE(
            std::sscanf(run.output.c_str(), "sent %d received %d settings %63s", &peerSent, &peerReceived, settings),
            3);
        QVERIFY(peerReceived >= 5);
        QVERIFY(peerReceived - peerSent <= 1);
        QCOMPARE(QString(settings), "10.2.2.5/255.255.0.0/10.2.0.1");

        // The Initiator counted as many, each echo one behind its block at most, and its next
        // send or receive failed once the Responder had stopped.
        const int sent = text(s, ctl::kSendReceiveSent).toInt();
        const int received = text(s, ctl::kSendReceiveReceived).toInt();
        QVERIFY(sent >= 5);
        QVERIFY(received >= 4);  // the Responder had its fifth block only after the fourth echo
        QVERIFY(sent - received == 0 || sent - received == 1);
        QCOMPARE(s.boxes.boxes().size(), size_t{1});
        const AnsweredBox box = s.boxes.boxes().front();
        QVERIFY2(box.text == "recvfrom()" || box.text == "sendto()", qPrintable(box.text));
        QCOMPARE(box.caption, "SOCKET ERROR");
        QVERIFY(enabled(s, ctl::kSendReceiveStart) && enabled(s, ctl::kSendReceiveStop));
        QCOMPARE(readSettings(), (TcpipValues{0, {10, 1, 1, 5}, {255, 0, 0, 0}, {10, 0, 0, 1}, {10, 0, 0, 53}}));
        QCOMPARE(tracedNow("socket").at(1), "connect 192.168.12.1:8888 ok");
    }

    // Each failure the Initiator meets: its message, the counters, and what the page is left as.
    void theInitiatorReportsEachFailure() {
        struct Case {
            const char* name;
            std::optional<ResponderDouble::Mode> responder;
            int blocks;
            QString box;
            QString sent, received;
            bool stillRunning;  // "Start" disabled until "Stop"
        };
        const Case cases[] = {
            {"nobody listens", std::nullopt, 0, "Failed connect()", "0", "0", false},
            {"the echo comes in two segments", ResponderDouble::Mode::SplitEcho, 0, "Compare date FAIL", "2", "2",
             true},
            {"the responder goes after three blocks", ResponderDouble::Mode::EchoThenClose, 3, "recvfrom()", "4", "3",
             false},
        };
        for (const Case& c : cases) {
            Session s(initiatorMachine());
            std::optional<ResponderDouble> responder;
            if (c.responder) responder.emplace(*c.responder, c.blocks);
            click(s, ctl::kSendReceiveStart);
            QVERIFY2(deliverUntil([&] { return workerEnded(s); }), c.name);
            QCoreApplication::processEvents();
            QCOMPARE(s.boxTexts(), QStringList{c.box});
            QCOMPARE(s.boxes.boxes().front().caption, "SOCKET ERROR");
            QCOMPARE(text(s, ctl::kSendReceiveSent), c.sent);
            QCOMPARE(text(s, ctl::kSendReceiveReceived), c.received);
            QCOMPARE(enabled(s, ctl::kSendReceiveStart), !c.stillRunning);
            QVERIFY(enabled(s, ctl::kSendReceiveStop));
            // The worker put the settings back before it ended; "Stop" has nothing left to restore.
            QCOMPARE(reloads(), 2);
            click(s, ctl::kSendReceiveStop);
            QCOMPARE(reloads(), 2);
            QCOMPARE(readSettings(), (TcpipValues{0, {10, 1, 1, 5}, {255, 0, 0, 0}, {10, 0, 0, 1}, {10, 0, 0, 53}}));
            QVERIFY(enabled(s, ctl::kSendReceiveStart));
        }
    }

    // "Stop" on a Responder still waiting for its Initiator: the settings are back exactly, in
    // the library's reading and in the registry, and the window's watch ends at once.
    void stopPutsTheSettingsBackExactly() {
        struct Case {
            const char* name;
            MachineBuilder machine;
            TcpipValues expected;
            QStringList registry;
            QStringList restored;
        };
        MachineBuilder dhcp = sendReceiveMachine("0.0.0.0", "0.0.0.0");
        dhcp.adapter(0).set("ip.dhcp", Json(true));
        const Case cases[] = {
            {"static with gateway and DNS",
             sendReceiveMachine("10.1.1.5", "255.0.0.0", "10.0.0.1", "10.0.0.53"),
             {0, {10, 1, 1, 5}, {255, 0, 0, 0}, {10, 0, 0, 1}, {10, 0, 0, 53}},
             {"10.1.1.5", "255.0.0.0", "10.0.0.1"},
             {"EnableDHCP=0", "IPAddress=10.1.1.5", "SubnetMask=255.0.0.0", "DefaultGateway=10.0.0.1",
              "NameServer=10.0.0.53"}},
            {"static alone",
             sendReceiveMachine("172.16.4.9", "255.255.0.0"),
             {0, {172, 16, 4, 9}, {255, 255, 0, 0}, {}, {}},
             {"172.16.4.9", "255.255.0.0", ""},
             {"EnableDHCP=0", "IPAddress=172.16.4.9", "SubnetMask=255.255.0.0", "DefaultGateway=", "NameServer="}},
            {"DHCP",
             dhcp,
             {1, {}, {}, {}, {}},
             {"0.0.0.0", "0.0.0.0", ""},
             {"EnableDHCP=1", "IPAddress=0.0.0.0", "SubnetMask=0.0.0.0", "DefaultGateway=", "NameServer="}},
        };
        for (const Case& c : cases) {
            Session s(c.machine);
            const TcpipValues before = readSettings();
            QCOMPARE(before, c.expected);
            click(s, ctl::kSendReceiveResponder);
            click(s, ctl::kSendReceiveStart);
            QVERIFY(!enabled(s, ctl::kSendReceiveStart));
            QVERIFY(enabled(s, ctl::kSendReceiveStop));
            QCOMPARE(s.harness.watch().started, 1);
            QVERIFY(!s.harness.watch().refreshAfter && !s.harness.watch().disableActivePage);
            QVERIFY2(deliverUntil(responderListens), c.name);
            QCOMPARE(readSettings(), (TcpipValues{0, {192, 168, 12, 1}, {255, 255, 255, 0}, {}, {}}));

            click(s, ctl::kSendReceiveStop);
            QCOMPARE(s.harness.watch().endedAtOnce, 1);
            QVERIFY(!enabled(s, ctl::kSendReceiveStop));
            QVERIFY(deliverUntil([&] { return workerEnded(s) && enabled(s, ctl::kSendReceiveStart); }));
            QCOMPARE(readSettings(), c.expected);
            QCOMPARE(interfaceValues(), c.registry);
            QCOMPARE(reloads(), 2);  // the test address, then the saved settings
            const QStringList testAddress = {"EnableDHCP=0", "IPAddress=192.168.12.1", "SubnetMask=255.255.255.0",
                                             "DefaultGateway=", "NameServer="};
            QCOMPARE(settingsTrace(), testAddress + QStringList{"reload"} + c.restored + QStringList{"reload"});
            QCOMPARE(s.boxTexts(), QStringList());
        }
    }

    // "Start" while the page may not touch the adapter changes nothing.
    void startWithoutAnAdapterLeavesThePageIdle() {
        for (const bool channelClosed : {false, true}) {
            Session s(initiatorMachine());
            if (channelClosed) {
                API_Close();
            } else {
                s.harness.setAdapterReady(0);
            }
            click(s, ctl::kSendReceiveStart);
            QVERIFY(!s.page->link());
            QVERIFY(enabled(s, ctl::kSendReceiveStart) && enabled(s, ctl::kSendReceiveStop));
            QCOMPARE(s.harness.watch().started, 0);
            QCOMPARE(s.harness.refreshRequests(), channelClosed ? 1 : 0);
            QVERIFY(tracedNow("regwrite").empty());
            QCOMPARE(reloads(), 0);
        }
    }

    // After a failure the worker still puts the settings back (a reload and 3000 ms): "Start" stays
    // disabled until the worker has ended, so that no next test drives the library beside it.
    void startWaitsForThePreviousWorkersEnd() {
        Session s(initiatorMachine());  // nobody listens: "Failed connect()"
        std::optional<kv::sim::Host::Call> hold;
        size_t postedBeforeTheEnd = 0;
        s.boxes.whileShown([&](const QString&) {
            postedBeforeTheEnd = kv::ui::postedUiCalls();
            hold.emplace(kv::sim::Host::get());  // the worker stops at its next call into the host
        });
        click(s, ctl::kSendReceiveStart);
        // The page has heard of the failure; the worker is held in its clean-up.
        QVERIFY(deliverUntil(
            [&] { return hold && kv::ui::postedUiCalls() > postedBeforeTheEnd && kv::ui::pendingUiCalls() == 0; }));
        QVERIFY(enabled(s, ctl::kSendReceiveStop));
        QVERIFY(!enabled(s, ctl::kSendReceiveStart));
        hold.reset();
        QVERIFY(deliverUntil([&] { return workerEnded(s) && enabled(s, ctl::kSendReceiveStart); }));
        QCOMPARE(reloads(), 2);
    }

    // A Responder that echoes at once, and the Initiator's pauses passing at once on the virtual
    // clock: thousands of blocks, each changing both counters, and the window queues nothing per
    // block. "Stop" shows the counts the worker made.
    void countersOfAFastExchangeQueueNothingPerBlock() {
        Session s(initiatorMachine());
        ResponderDouble responder(ResponderDouble::Mode::EchoUntilClosed, 0);
        click(s, ctl::kSendReceiveStart);
        size_t mostWaiting = 0;
        QVERIFY(deliverUntil([&] {
            mostWaiting = std::max(mostWaiting, kv::ui::pendingUiCalls());
            return s.page->link()->counters().second >= 3000;
        }));
        click(s, ctl::kSendReceiveStop);
        QVERIFY(deliverUntil([&] { return workerEnded(s); }));
        QVERIFY2(mostWaiting <= 2, qPrintable(QString::number(mostWaiting)));
        const auto [sent, received] = s.page->link()->counters();
        QCOMPARE(text(s, ctl::kSendReceiveSent), QString::number(sent));
        QCOMPARE(text(s, ctl::kSendReceiveReceived), QString::number(received));
        QCOMPARE(s.boxTexts(), QStringList());
    }

    // The role buttons: the role follows them, except while a test runs.
    void theRoleIsKeptWhileATestRuns() {
        Session s(initiatorMachine());
        QVERIFY(s.page->isChecked(ctl::kSendReceiveInitiator));
        click(s, ctl::kSendReceiveResponder);
        QCOMPARE(s.page->role(), TestRole::Responder);
        click(s, ctl::kSendReceiveStart);
        click(s, ctl::kSendReceiveInitiator);
        QCOMPARE(s.page->role(), TestRole::Responder);
        QVERIFY(s.page->isChecked(ctl::kSendReceiveResponder));
        QVERIFY(!s.page->isChecked(ctl::kSendReceiveInitiator));
        click(s, ctl::kSendReceiveStop);
        QVERIFY(deliverUntil([&] { return workerEnded(s); }));
        click(s, ctl::kSendReceiveInitiator);
        QCOMPARE(s.page->role(), TestRole::Initiator);
    }

    // A page destroyed while its worker waits: the test ends with it, the settings come back, and
    // what the worker posts later finds no page.
    void aPageGoneBeforeItsWorkerEndsTheTest() {
        PageHarness harness(initiatorMachine());
        BoxAnswerer boxes;
        QVERIFY(harness.selectAdapter(0));
        auto page = std::make_unique<CBcstTRxPage>(harness);
        page->createWindow();
        QVERIFY(page->onSetActive());
        page->control<QAbstractButton>(ctl::kSendReceiveResponder)->click();
        page->control<QAbstractButton>(ctl::kSendReceiveStart)->click();
        const std::shared_ptr<const SendReceiveLink> link = page->link();
        QVERIFY(deliverUntil(responderListens));
        page.reset();
        QVERIFY(deliverUntil([&link] { return link->workerEnded(); }));
        QCoreApplication::processEvents();
        QCOMPARE(readSettings(), (TcpipValues{0, {10, 1, 1, 5}, {255, 0, 0, 0}, {10, 0, 0, 1}, {10, 0, 0, 53}}));
        QCOMPARE(reloads(), 2);
        QCOMPARE(boxes.boxes().size(), size_t{0});
    }

    // The page's place in the page tree: under "Diagnostics", an inner node of its own while the
    // Diagnostics page is not in the table.
    void thePageNestsUnderDiagnostics() {
        DiagFixture fx(MachineBuilder::defaultMachine());
        CDiagSheet& sheet = fx.start(testEnvironment(), allPagesTable());
        QVERIFY(fx.pageTitles().contains("Diagnostics::Send and Receive"));
        const int index = static_cast<int>(fx.pageTitles().indexOf("Diagnostics::Send and Receive"));
        QTreeWidgetItem* item = sheet.FindPageTreeItem(index);
        QVERIFY(item && item->parent());
        QCOMPARE(sheet.PageTreeCtrl()->itemText(item), "Send and Receive");
        QCOMPARE(sheet.PageTreeCtrl()->itemText(item->parent()), "Diagnostics");
        QVERIFY(fx.activatePage("Diagnostics::Send and Receive"));
        QCOMPARE(fx.activePage()->caption(), "Diagnostics::Send and Receive");
    }
};

QTEST_MAIN(SendReceivePageTest)
#include "send_receive_page_tests.moc"
