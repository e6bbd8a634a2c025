// The second computer of the send-and-receive tests, run as a process of its own: the page as
// Responder on a machine of its own (adapter 0 at 10.2.2.5/255.255.0.0, gateway 10.2.0.1). It
// writes "listening" into its working directory once it listens for the Initiator, echoes until
// it has received `count` blocks, presses "Stop" and prints
//   sent <S> received <R> settings <address>/<mask>/<gateway> boxes <N>
// with the adapter's settings read back after "Stop". Exit code 0; 1 when the Initiator did not
// come in time; 2 for bad arguments.
#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <cstdio>
#include <cstdlib>

#include "kelvalib.h"
#include "kv/sim/testing/machine_builder.h"
#include "kv/sim/testing/machine_directory.h"
#include "pages/send_receive_page.h"
#include "pages/tcpip_backup.h"
#include "resources/resource_ids.h"
#include "support/page_harness.h"
#include "support/send_receive_support.h"
#include "support/test_host.h"

using namespace kv::diag;
using namespace kv::diag::testing;
namespace ctl = kv::diag::res::ctl;

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const int count = std::atoi(argv[1]);
    if (count <= 0) return 2;

    QApplication application(argc, argv);
    BoxAnswerer boxes;
    PageHarness harness(sendReceiveMachine("10.2.2.5", "255.255.0.0", "10.2.0.1"));
    if (!harness.selectAdapter(0)) return 1;
    auto& page = harness.host<CBcstTRxPage>();
    harness.activate();
    page.control<QRadioButton>(ctl::kSendReceiveResponder)->click();
    page.control<QPushButton>(ctl::kSendReceiveStart)->click();

    if (!deliverUntil(responderListens)) return 1;
    kv::sim::testing::writeFile("listening", "");
    if (!deliverUntil([&page, count] { return page.link()->counters().second >= count; })) return 1;
    page.control<QPushButton>(ctl::kSendReceiveStop)->click();
    if (!deliverUntil([&page] { return page.link()->workerEnded(); })) return 1;
    QCoreApplication::processEvents();

    const TcpipBackup now = readTcpipBackup(harness.session());
    std::printf("sent %s received %s settings %s/%s/%s boxes %zu\n",
                qPrintable(page.controlText(ctl::kSendReceiveSent)),
                qPrintable(page.controlText(ctl::kSendReceiveReceived)), dottedText(now.address).c_str(),
                dottedText(now.mask).c_str(), dottedText(now.gateway).c_str(), boxes.boxes().size());
    return 0;
}
