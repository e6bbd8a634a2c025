// The main window's rules that need no window: the driver version number, the page set of each
// chip kind, bringing the sheet's pages in line with a mask, and the command line.
#include <QTest>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/page_set.h"
#include "kv/jobs/driver_version.h"
#include "kv/jobs/library_text.h"

using namespace kv::diag;

namespace {

// Records what the membership algorithm does to the sheet.
class RecordingSheet : public PageMembership {
public:
    void addTablePage(size_t entry) override { log += "+" + std::to_string(entry); }
    void removeTablePage(size_t entry) override { log += "-" + std::to_string(entry); }
    void setTablePageIcon(size_t entry, int image) override {
        log += "i" + std::to_string(entry) + ":" + std::to_string(image);
    }
    std::string log;
};

std::vector<PageSlot> threePages() {
    return {{.mask = 0x1F, .image = 0}, {.mask = 0x1E, .image = 1}, {.mask = 0x18, .image = 2}};
}

}  // namespace

class WindowRulesTest : public QObject {
    Q_OBJECT
private slots:
    void driverVersionNumber_data() {
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("version");
        QTest::addColumn<int>("expected");
        QTest::newRow("4450 release") << 0x08 << "5.611.0.0" << 611;
        QTest::newRow("4420 release") << 0x02 << "6.702.1024.2008" << 702;
        QTest::newRow("empty on 4450") << 0x08 << "" << 601;
        QTest::newRow("empty on 0x80") << 0x80 << "" << 601;
        QTest::newRow("0x20 set") << 0x28 << "5.611.0.0" << -1;
        QTest::newRow("0x20 alone") << 0x20 << "" << -1;
        QTest::newRow("unknown chip") << 0x00 << "5.611.0.0" << -1;
        QTest::newRow("two numbers") << 0x04 << "5.611" << 611;
        QTest::newRow("blanks before numbers") << 0x08 << " 5. 611.0.0" << 611;
        QTest::newRow("negative second") << 0x08 << "5.-3.0.0" << -3;
        QTest::newRow("no second number") << 0x08 << "5" << -1;
        QTest::newRow("comma separated") << 0x08 << "5,611,0,0" << -1;
        QTest::newRow("not a number") << 0x08 << "beta" << -1;
        QTest::newRow("second too large") << 0x08 << "5.99999999999.0.0" << -1;
    }
    void driverVersionNumber() {
        QFETCH(int, flags);
        QFETCH(QString, version);
        QFETCH(int, expected);
        const std::string text = version.toStdString();
        QCOMPARE(kv::jobs::driverVersionNumber(static_cast<uint8_t>(flags), text), expected);
    }

    void fieldStopsAtTheFieldsEnd() {
        char field[4] = {'5', '.', '6', '1'};
        QCOMPARE(kv::jobs::fieldText(field, sizeof field), std::string_view("5.61"));
        char shorter[4] = {'5', 0, 'x', 'x'};
        QCOMPARE(kv::jobs::fieldText(shorter, sizeof shorter), std::string_view("5"));
    }

    void pageSetMask_data() {
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("register43");  // -1: the read fails
        QTest::addColumn<int>("expected");
        QTest::addColumn<bool>("registerRead");
        QTest::newRow("none") << 0x00 << 0x3C << 0x01 << false;
        QTest::newRow("0x20 first") << 0x2C << 0x3C << 0x05 << false;
        QTest::newRow("4450") << 0x08 << 0x3C << 0x09 << false;
        QTest::newRow("4450 before 4420") << 0x0A << 0x00 << 0x09 << false;
        QTest::newRow("4420") << 0x02 << 0x3C << 0x03 << false;
        QTest::newRow("0x80") << 0x80 << 0x3C << 0x03 << false;
        QTest::newRow("4420 before 4410") << 0x06 << 0x3C << 0x03 << false;
        QTest::newRow("4410 gigabit byte") << 0x04 << 0x3C << 0x39 << true;
        QTest::newRow("4410 other bits ignored") << 0x04 << 0xBF << 0x39 << true;
        QTest::newRow("4410 other byte") << 0x04 << 0x38 << 0x19 << true;
        QTest::newRow("4410 read fails") << 0x04 << -1 << 0x19 << true;
        QTest::newRow("other bits only") << 0x51 << 0x3C << 0x01 << false;
    }
    void pageSetMask() {
        QFETCH(int, flags);
        QFETCH(int, register43);
        QFETCH(int, expected);
        QFETCH(bool, registerRead);
        bool read = false;
        const auto reader = [&]() -> std::optional<uint8_t> {
            read = true;
            if (register43 < 0) return std::nullopt;
            return static_cast<uint8_t>(register43);
        };
        QCOMPARE(kv::diag::pageSetMask(static_cast<uint8_t>(flags), reader), static_cast<uint32_t>(expected));
        QCOMPARE(read, registerRead);
    }

    void pagesFollowTheMask_data() {
        QTest::addColumn<QList<int>>("masks");
        QTest::addColumn<bool>("iconMode");
        QTest::addColumn<QString>("log");
        QTest::addColumn<QString>("added");
        QTest::newRow("general alone") << QList<int>{0x01} << true << "+0i0:0"
                                       << "100";
        QTest::newRow("three pages") << QList<int>{0x09} << true << "+0i0:0+1i1:1+2i2:2"
                                     << "111";
        QTest::newRow("no icons without icon mode") << QList<int>{0x09} << false << "+0+1+2"
                                                    << "111";
        QTest::newRow("two pages, then three: re-added in table order")
            << QList<int>{0x03, 0x19} << false << "+0+1|-1+1+2"
            << "111";
        QTest::newRow("three pages, then general alone") << QList<int>{0x09, 0x01} << false << "+0+1+2|-2-1"
                                                         << "100";
        QTest::newRow("0x20 pages") << QList<int>{0x05} << false << "+0+1"
                                    << "110";
    }
    void pagesFollowTheMask() {
        QFETCH(QList<int>, masks);
        QFETCH(bool, iconMode);
        QFETCH(QString, log);
        QFETCH(QString, added);
        std::vector<PageSlot> table = threePages();
        RecordingSheet sheet;
        for (int i = 0; i < masks.size(); ++i) {
            if (i) sheet.log += "|";
            applyPageSet(table, static_cast<uint32_t>(masks[i]), iconMode, sheet);
        }
        QCOMPARE(QString::fromStdString(sheet.log), log);
        QString state;
        for (const PageSlot& slot : table) state += slot.added ? '1' : '0';
        QCOMPARE(state, added);
    }

    void missingPagesAreSkipped() {
        std::vector<PageSlot> table = threePages();
        table[1].exists = false;
        RecordingSheet sheet;
        applyPageSet(table, 0x09, false, sheet);
        QCOMPARE(QString::fromStdString(sheet.log), QStringLiteral("+0+2"));
    }

    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<bool>("goesOn");
        QTest::newRow("nothing") << QStringList{} << false << true;
        QTest::newRow("/hw") << QStringList{"/hw"} << true << true;
        QTest::newRow("-hw") << QStringList{"-hw"} << true << true;
        QTest::newRow("longer switch") << QStringList{"/hwx"} << true << true;
        QTest::newRow("capitals") << QStringList{"/HW"} << false << true;
        QTest::newRow("after another switch") << QStringList{"/x", "/hw"} << true << true;
        QTest::newRow("followed by another switch") << QStringList{"/hw", "/x"} << false << true;
        QTest::newRow("without a switch sign") << QStringList{"hw"} << false << false;
        QTest::newRow("a document") << QStringList{"report.txt"} << false << false;
        QTest::newRow("printing") << QStringList{"/p", "/hw"} << true << false;
        QTest::newRow("a lone sign") << QStringList{"/"} << false << true;
    }
    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, hidden);
        QFETCH(bool, goesOn);
        std::vector<std::string> args;
        for (const QString& a : arguments) args.push_back(a.toStdString());
        const CommandLine parsed = parseCommandLine(args);
        QCOMPARE(parsed.hiddenStart, hidden);
        QCOMPARE(processCommandLine(parsed), goesOn);
    }
};

QTEST_GUILESS_MAIN(WindowRulesTest)
#include "window_rules_tests.moc"
