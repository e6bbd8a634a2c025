// A machine directory that cannot be used: the utility tells why in a box and ends, since a
// window over no computer could show and do nothing.
#include <QTest>
#include <filesystem>

#include "app/diag_app.h"
#include "kv/sim/testing/machine_directory.h"
#include "support/diag_fixture.h"
#include "support/test_host.h"

using namespace kv::diag;
using namespace kv::diag::testing;

class MachineProblemTest : public QObject {
    Q_OBJECT
private slots:
    void aBrokenMachineFileIsToldInABoxAndTheProgramEnds_data() {
        QTest::addColumn<QString>("machineJson");
        QTest::addColumn<QString>("told");
        QTest::newRow("wrong type") << R"({"adapters": [{"guid": "{A}", "link": {"up": "no"}}]})"
                                    << R"(machine.json: adapters[0].link.up: expects true or false, not "no")";
        QTest::newRow("syntax") << "{\n  \"name\": \"x\",,\n}"
                                << "machine.json: line 2, column 15:";
    }
    void aBrokenMachineFileIsToldInABoxAndTheProgramEnds() {
        QFETCH(QString, machineJson);
        QFETCH(QString, told);
        const auto directory = std::filesystem::temp_directory_path() / "kelva-machine-problem";
        std::filesystem::create_directories(directory);
        kv::sim::testing::writeFile(directory / "machine.json", machineJson.toStdString());
        kv::sim::Host::get().startOn(directory);
        BoxAnswerer answerer;
        CDiagApp app;
        QVERIFY(!app.initInstance({}, testEnvironment()));
        QCOMPARE(app.exitCode(), kv::sim::Host::kMachineProblemExitCode);
        QVERIFY(app.mainWindow() == nullptr);
        const auto boxes = answerer.boxes();
        QCOMPARE(boxes.size(), size_t(1));
        QVERIFY2(boxes[0].text.contains(told), qPrintable(boxes[0].text));
        QCOMPARE(boxes[0].icon, QMessageBox::Critical);
        std::filesystem::remove_all(directory);
    }
};

QTEST_MAIN(MachineProblemTest)
#include "machine_problem_tests.moc"
