// The "all pages" mode: the registry value and the command-line switch that turn it on.
#include <QTest>

#include "app/all_pages_mode.h"
#include "support/test_host.h"

using kv::sim::testing::MachineBuilder;
using namespace kv::diag;
using namespace kv::diag::testing;

class AllPagesTest : public QObject {
    Q_OBJECT

private slots:
    void switchedByTheRegistryOrTheCommandLine_data() {
        QTest::addColumn<QString>("value");  // .reg data of "AllPages"; empty: no value
        QTest::addColumn<QStringList>("switches");
        QTest::addColumn<bool>("on");
        QTest::newRow("neither") << "" << QStringList() << false;
        QTest::newRow("value 1") << "\"1\"" << QStringList() << true;
        QTest::newRow("value 0") << "\"0\"" << QStringList() << false;
        QTest::newRow("value as a DWORD") << "dword:00000001" << QStringList() << true;
        QTest::newRow("value not a number") << "\"yes\"" << QStringList() << false;
        QTest::newRow("switch") << "" << QStringList{"allpages"} << true;
        QTest::newRow("switch in capitals") << "" << QStringList{"AllPages"} << true;
        QTest::newRow("another switch") << "" << QStringList{"all"} << false;
        QTest::newRow("switch beats value 0") << "\"0\"" << QStringList{"allpages"} << true;
    }
    void switchedByTheRegistryOrTheCommandLine() {
        QFETCH(QString, value);
        QFETCH(QStringList, switches);
        QFETCH(bool, on);
        MachineBuilder machine;
        if (!value.isEmpty())
            machine.registry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Kelvadiag]\r\n\"AllPages\"=" + value.toStdString() +
                             "\r\n");
        installMachine(machine);
        std::vector<std::string> names;
        for (const QString& name : switches) names.push_back(name.toStdString());
        QCOMPARE(allPagesMode(names), on);
    }
};

QTEST_MAIN(AllPagesTest)
#include "all_pages_mode_tests.moc"
