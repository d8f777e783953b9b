#include "excel_export.h"

#include "app_context.h"
#include "dataset.h"
#include "dialogs.h"
#include "testdb.h"
#include "tfdata.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {

QByteArray unzipped(const QString &xlsx, const QString &member)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), xlsx, member});
    if (!unzip.waitForFinished(-1) || unzip.exitCode() != 0)
        return {};
    return unzip.readAllStandardOutput();
}

struct Cell {
    QString value; // the text, or the number as written
    bool number = false;
};

// The first sheet as cell reference ("B2") → cell, shared strings resolved.
QMap<QString, Cell> readSheet(const QString &xlsx)
{
    QStringList strings;
    QXmlStreamReader ss(unzipped(xlsx, QStringLiteral("xl/sharedStrings.xml")));
    while (!ss.atEnd())
        if (ss.readNext() == QXmlStreamReader::StartElement && ss.name() == QLatin1String("si"))
            strings << ss.readElementText(QXmlStreamReader::IncludeChildElements);

    QMap<QString, Cell> cells;
    QXmlStreamReader sheet(unzipped(xlsx, QStringLiteral("xl/worksheets/sheet1.xml")));
    QString ref;
    bool shared = false;
    while (!sheet.atEnd()) {
        if (sheet.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (sheet.name() == QLatin1String("c")) {
            ref = sheet.attributes().value(QLatin1String("r")).toString();
            shared = sheet.attributes().value(QLatin1String("t")) == QLatin1String("s");
        } else if (sheet.name() == QLatin1String("v")) {
            const QString v = sheet.readElementText();
            cells.insert(ref, shared ? Cell{strings.value(v.toInt()), false} : Cell{v, true});
        }
    }
    return cells;
}

} // namespace

class ExcelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialogs.onUnexpected = [](const QString &what) { ADD_FAILURE() << what.toStdString(); };
        db->execRaw(QStringLiteral(
            "INSERT INTO Client (ClientID, ClientName, CostType, Cost, CreateDate, Remark) VALUES "
            "('00012', '甲<&>', 1, 1234.5, '2024-03-05 00:00:00', 'r1'),"
            "('00013', '乙', 0, NULL, NULL, 'r2'),"
            "('00014', '丙', 1, -0.25, '2024-03-06 00:00:00', 'r3')"));
        ds.setSql(QStringLiteral("SELECT ClientID, ClientName, CostType, Cost, CreateDate, Remark FROM Client "
                                 "WHERE ClientID LIKE '000%' ORDER BY ClientID"));
        ds.open();
        ds.field(QStringLiteral("ClientID")).displayLabel = QStringLiteral("编号");
        ds.field(QStringLiteral("ClientName")).displayLabel = QStringLiteral("名称");
        ds.field(QStringLiteral("CostType")).displayLabel = QStringLiteral("应收");
        ds.field(QStringLiteral("Cost")).displayLabel = QStringLiteral("期初金额");
        ds.field(QStringLiteral("Remark")).visible = false;
        ds.field(QStringLiteral("CreateDate")).tag = 7;
        ds.moveTo(1);
    }

    ScratchDatabase db{Engine::SQLite};
    DataSet ds{&db.db()};
    QTemporaryDir dir;
    QTemporaryDir settingsDir;
    TFData data;
    ScriptedDialogService dialogs;
    RegSetting settings{settingsDir.filePath(QStringLiteral("reg.ini"))};
    Clock clock;
    AppContext ctx{data, dialogs, settings, clock, {}, {}, {}};
};

TEST_F(ExcelTest, WorkbookHoldsWhatTheGridShows)
{
    const QString file = dir.filePath(QStringLiteral("out.xlsx"));
    ASSERT_TRUE(writeWorkbook(ds, 6, file));
    EXPECT_EQ(ds.recNo(), 1);

    const QMap<QString, Cell> cells = readSheet(file);
    struct Expect {
        const char *ref;
        const char *value; // nullptr: the cell is empty
        bool number;
    } expected[] = {
        {"A1", "编号", false}, {"B1", "名称", false}, {"C1", "应收", false}, {"D1", "期初金额", false},
        {"E1", nullptr, false}, // CreateDate: tag above the limit; Remark: hidden
        {"A2", "00012", false}, // a code keeps its leading zeros
        {"B2", "甲<&>", false}, {"C2", "是", false}, {"D2", "1234.5", true},
        {"A3", "00013", false}, {"C3", "否", false}, {"D3", nullptr, false},
        {"C4", "是", false},    {"D4", "-0.25", true}, {"A5", nullptr, false},
    };
    for (const Expect &e : expected) {
        const QString ref = QString::fromLatin1(e.ref);
        if (!e.value) {
            EXPECT_FALSE(cells.contains(ref)) << e.ref << " = " << cells.value(ref).value.toStdString();
            continue;
        }
        ASSERT_TRUE(cells.contains(ref)) << e.ref;
        EXPECT_EQ(cells.value(ref).value, QString::fromUtf8(e.value)) << e.ref;
        EXPECT_EQ(cells.value(ref).number, e.number) << e.ref;
    }
    // Amounts keep the grid's look in the spreadsheet.
    EXPECT_TRUE(unzipped(file, QStringLiteral("xl/styles.xml")).contains("formatCode=\"#,###.00\""));
}

TEST_F(ExcelTest, TagLimitAndDisplayTextOfDates)
{
    const QString file = dir.filePath(QStringLiteral("dates.xlsx"));
    ASSERT_TRUE(writeWorkbook(ds, 7, file));
    const QMap<QString, Cell> cells = readSheet(file);
    EXPECT_EQ(cells.value(QStringLiteral("E1")).value, QStringLiteral("CreateDate")); // no label: the name
    EXPECT_EQ(cells.value(QStringLiteral("E2")).value, ds.displayText(0, ds.fieldIndex(QStringLiteral("CreateDate"))));
    EXPECT_EQ(cells.value(QStringLiteral("E2")).value, QStringLiteral("2024-03-05"));
    EXPECT_FALSE(cells.contains(QStringLiteral("F1")));

    ds.field(QStringLiteral("ClientName")).tag = 1;
    ASSERT_TRUE(writeWorkbook(ds, 0, file));
    const QMap<QString, Cell> narrow = readSheet(file);
    EXPECT_EQ(narrow.value(QStringLiteral("B1")).value, QStringLiteral("应收"));
}

TEST_F(ExcelTest, WorkbookOfAnEmptyListHasTheLabelsOnly)
{
    ds.setSql(QStringLiteral("SELECT ClientID, CostType FROM Client WHERE 1=0"));
    ds.open();
    const QString file = dir.filePath(QStringLiteral("empty.xlsx"));
    ASSERT_TRUE(writeWorkbook(ds, 0, file));
    const QMap<QString, Cell> cells = readSheet(file);
    EXPECT_EQ(cells.keys(), QStringList({QStringLiteral("A1"), QStringLiteral("B1")}));
}

TEST_F(ExcelTest, UnwritablePlaceFails)
{
    EXPECT_FALSE(writeWorkbook(ds, 6, dir.filePath(QStringLiteral("no/such/folder/x.xlsx"))));
}

TEST_F(ExcelTest, ExportOpensTheWorkbook)
{
    ASSERT_TRUE(ExportToExcel(ctx, nullptr, ds, 6));
    ASSERT_EQ(dialogs.openedUrls.size(), 1);
    const QString file = dialogs.openedUrls[0];
    EXPECT_TRUE(file.endsWith(QStringLiteral(".xlsx")));
    EXPECT_EQ(readSheet(file).value(QStringLiteral("C2")).value, QStringLiteral("是"));
    EXPECT_TRUE(dialogs.asked.isEmpty());
    EXPECT_EQ(ds.recNo(), 1);
    QDir(QFileInfo(file).absolutePath()).removeRecursively();

    ds.close();
    EXPECT_FALSE(ExportToExcel(ctx, nullptr, ds, 6));
    EXPECT_EQ(dialogs.openedUrls.size(), 1);
    EXPECT_TRUE(dialogs.asked.isEmpty());
}

namespace {
// A desktop without a program for .xlsx.
class NoSpreadsheet : public ScriptedDialogService {
public:
    bool openUrl(const QString &fileOrUrl) override
    {
        ScriptedDialogService::openUrl(fileOrUrl);
        return false;
    }
};
} // namespace

TEST_F(ExcelTest, NoProgramOrNoFolderShowsTheMissingExcelMessage)
{
    const QString message = QStringLiteral("无法调用Mircorsoft Excel! \r\n请检查是否安装了Mircorsoft Excel。");

    NoSpreadsheet none;
    AppContext noProgram{data, none, settings, clock, {}, {}, {}};
    EXPECT_FALSE(ExportToExcel(noProgram, nullptr, ds, 6));
    ASSERT_EQ(none.asked.size(), 1);
    EXPECT_EQ(none.asked[0].text, message);
    EXPECT_EQ(none.asked[0].caption, QStringLiteral("提示"));
    EXPECT_EQ(none.asked[0].icon, MsgIcon::Information);
    ASSERT_EQ(none.openedUrls.size(), 1);
    QDir(QFileInfo(none.openedUrls[0]).absolutePath()).removeRecursively();

    // The temporary folder cannot be made.
    const QByteArray tmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", dir.filePath(QStringLiteral("gone/away")).toUtf8());
    const bool ok = ExportToExcel(ctx, nullptr, ds, 6);
    if (tmp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", tmp);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(dialogs.openedUrls.isEmpty());
    EXPECT_EQ(dialogs.texts(), QStringList{message});
}
