// The Green Feature page: the status, stage and power texts the PHY's
// status gives at each link speed, and the enable, disable and refresh buttons.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "pages/green_feature_page.h"
#include "resources/resource_ids.h"
#include "support/page_session.h"

using kv::sim::Json;
using kv::sim::testing::MachineBuilder;
using namespace kv::diag;
using namespace kv::diag::testing;
namespace ctl = kv::diag::res::ctl;

namespace {

constexpr int64_t kLinkSpeedOid = 0x00010107;

// The page needs nothing of the window; the session hosts it like the other pages.
class HostedGreenFeature : public GreenFeature {
public:
    explicit HostedGreenFeature(PageServices&) {}
};
using Session = PageSession<HostedGreenFeature>;

QStringList fields(const Session& fx) {
    return {fx.control<QLineEdit>(ctl::kGreenStatus)->text(), fx.control<QLineEdit>(ctl::kGreenStage)->text(),
            fx.control<QLineEdit>(ctl::kGreenPower)->text()};
}

void click(Session& fx, int id) { fx.control<QPushButton>(id)->click(); }

}  // namespace

class GreenFeaturePageTest : public QObject {
    Q_OBJECT

private slots:
    void whatTheStatusShows_data() {
        QTest::addColumn<bool>("link");
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("cableMetres");
        QTest::addColumn<bool>("enable");
        QTest::addColumn<bool>("speedQueryFails");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("off at 1000 Mbps")
            << true << 1000 << 42 << false << false << QStringList{"Disable", "Normal", "644.7mW"};
        QTest::newRow("off at 100 Mbps") << true << 100 << 42 << false << false
                                         << QStringList{"Disable", "Normal", "354.9mW"};
        QTest::newRow("stage 4 at 1000 Mbps is the power off")
            << true << 1000 << 120 << true << false << QStringList{"Enable", "Stage 4 ( >100m)", "644.7mW"};
        QTest::newRow("stage 1 at 100 Mbps")
            << true << 100 << 10 << true << false << QStringList{"Enable", "Stage 1 (0-30m)", "333.6mW"};
        // Without a speed the library takes the PHY's estimate for whole metres (a 50 m cable reads 32
        // in the gigabit steps); the page takes the column of the other speeds.
        QTest::newRow("failed speed query: the other speeds' column")
            << true << 1000 << 50 << false << true << QStringList{"Enable", "Stage 2 (30-70m)", "336.9mW"};
        QTest::newRow("no link") << false << 1000 << 42 << false << false << QStringList{"Disable", "Unlink", ""};
    }
    void whatTheStatusShows() {
        QFETCH(bool, link);
        QFETCH(int, speed);
        QFETCH(int, cableMetres);
        QFETCH(bool, enable);
        QFETCH(bool, speedQueryFails);
        QFETCH(QStringList, shown);
        MachineBuilder machine;
        auto& adapter = machine.addAdapter(0x4450).link(link, static_cast<uint32_t>(speed));
        adapter.set("cable.length", Json(int64_t{cableMetres}));
        if (speedQueryFails) {
            Json failing = Json::array();
            failing.push_back(Json(kLinkSpeedOid));
            adapter.fault("failingOids", failing);
        }
        Session fx(machine);
        if (enable) {
            const uint64_t before = kv::sim::testing::sleptMs();
            click(fx, ctl::kGreenEnable);
            QVERIFY(kv::sim::testing::sleptMs() - before >= GreenFeature::kSettleMs);
        }
        QCOMPARE(fields(fx), shown);
    }

    void disablingAndRefreshing() {
        MachineBuilder machine;
        machine.addAdapter(0x4450).set("cable.length", Json(int64_t{30}));  // the PHY estimates 46 m
        Session fx(machine);
        click(fx, ctl::kGreenEnable);
        QCOMPARE(fields(fx), QStringList({"Enable", "Stage 2 (30-70m)", "587.7mW"}));
        click(fx, ctl::kGreenDisable);
        QCOMPARE(fields(fx), QStringList({"Disable", "Normal", "644.7mW"}));
        fx.control<QLineEdit>(ctl::kGreenStage)->setText("stale");
        click(fx, ctl::kGreenRefresh);
        QCOMPARE(fields(fx), QStringList({"Disable", "Normal", "644.7mW"}));
    }

    // Statuses outside -1 to 4 have no texts: the page then leaves its fields as they are.
    void statusesOutsideTheTableHaveNoTexts() {
        for (int status : {-2, 5, 0x7FFFFFFF}) QVERIFY(!greenFeatureTexts(status, true));
        QCOMPARE(greenFeatureTexts(4, true)->power, greenFeatureTexts(0, true)->power);
        QCOMPARE(greenFeatureTexts(4, false)->power, std::string_view("346.8mW"));
    }
};

QTEST_MAIN(GreenFeaturePageTest)
#include "green_feature_page_tests.moc"
