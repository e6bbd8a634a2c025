// The "all pages" mode: the registry value and the command-line switch that turn it on.
#include <QTest>

#include "app/all_pages_mode.h"
#include "app/command_line.h"
#include "support/test_host.h"

using kv::sim::testing::MachineBuilder;
using namespace kv::diag;
using namespace kv::diag::testing;

class AllPagesTest : public QObject {
    Q_OBJECT

private slots:
    void switchedByTheRegistryOrTheCommandLine_data() {
        QTest::addColumn<QString>("value");  // .reg data of "AllPages"; empty: no value
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("on");
        QTest::newRow("neither") << "" << QStringList() << false;
        QTest::newRow("value 1") << "\"1\"" << QStringList() << true;
        QTest::newRow("value 0") << "\"0\"" << QStringList() << false;
        QTest::newRow("value as a DWORD") << "dword:00000001" << QStringList() << true;
        QTest::newRow("value not a number") << "\"yes\"" << QStringList() << false;
        QTest::newRow("switch") << "" << QStringList{"/allpages"} << true;
        QTest::newRow("switch with a dash, in capitals") << "" << QStringList{"-AllPages"} << true;
        QTest::newRow("another switch") << "" << QStringList{"/all"} << false;
        QTest::newRow("not a switch") << "" << QStringList{"allpages"} << false;
        QTest::newRow("switch beats value 0") << "\"0\"" << QStringList{"/allpages"} << true;
    }
    void switchedByTheRegistryOrTheCommandLine() {
        QFETCH(QString, value);
        QFETCH(QStringList, arguments);
        QFETCH(bool, on);
        MachineBuilder machine;
        if (!value.isEmpty())
            machine.registry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Kelvadiag]\r\n\"AllPages\"=" + value.toStdString() +
                             "\r\n");
        installMachine(machine);
        std::vector<std::string> list;
        for (const QString& argument : arguments) list.push_back(argument.toStdString());
        QCOMPARE(allPagesMode(parseCommandLine(list).allPages), on);
    }

    // The switch is no parameter for "/hw": a hidden start stays one.
    void theSwitchLeavesTheHiddenStart() {
        const CommandLine line = parseCommandLine({"/hw", "/allpages"});
        QVERIFY(line.hiddenStart && line.allPages);
        QVERIFY(line.switches.empty());
    }
};

QTEST_MAIN(AllPagesTest)
#include "all_pages_mode_tests.moc"
