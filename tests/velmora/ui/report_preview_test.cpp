#include "report_preview.h"

#include "app_context.h"
#include "dataset.h"
#include "dialogs.h"
#include "testdb.h"
#include "tfdata.h"

#include <QDir>
#include <QFile>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

QString lines(int n)
{
    QString body;
    for (int i = 0; i < n; ++i)
        body += QStringLiteral("<p>第%1行</p>").arg(i + 1);
    return body;
}

// PDF pages are "/Type /Page" objects; "/Type /Pages" is their tree.
int pdfPages(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray pdf = f.readAll();
    if (!pdf.startsWith("%PDF"))
        return -1;
    return int(pdf.count("/Type /Page\n") + pdf.count("/Type /Page ") + pdf.count("/Type /Page/") +
               pdf.count("/Type /Page>"));
}

QToolButton *button(QWidget *w, const char *name) { return w->findChild<QToolButton *>(QString::fromLatin1(name)); }

} // namespace

// ---- rendering ---------------------------------------------------------------------

TEST(RenderReport, FillsVariablesAndBands)
{
    ReportData data;
    data.set(QStringLiteral("TableID"), QStringLiteral("00000012"));
    data.set(QStringLiteral("Client"), QStringLiteral("<b>A&B</b>"));
    data.set(QStringLiteral("仓库"), QStringLiteral("门市"));
    data.band(QStringLiteral("lines")) = {{{QStringLiteral("IMEI"), QStringLiteral("356001")}},
                                          {{QStringLiteral("IMEI"), QStringLiteral("356002")}}};

    struct Case {
        const char *tmpl;
        const char *html;
    } cases[] = {
        {"单号{{TableID}}", "单号00000012"},
        {"{{Client}}", "&lt;b&gt;A&amp;B&lt;/b&gt;"}, // typed text never becomes markup
        {"{{{Client}}}", "<b>A&B</b>"},               // the template author's explicit choice
        {"{{仓库}}", "门市"},
        {"{{#lines}}[{{IMEI}}/{{TableID}}]{{/lines}}", "[356001/00000012][356002/00000012]"},
        {"{{#none}}x{{/none}}{{^none}}空{{/none}}", "空"},
        {"{{Unknown}}.", "."},
    };
    for (const Case &c : cases) {
        QString error = QStringLiteral("stale");
        EXPECT_EQ(renderReport(QString::fromUtf8(c.tmpl), data, &error), QString::fromUtf8(c.html)) << c.tmpl;
        EXPECT_TRUE(error.isEmpty()) << c.tmpl;
    }
}

TEST(RenderReport, BrokenTemplateGivesReason)
{
    QString error;
    EXPECT_TRUE(renderReport(QStringLiteral("{{#lines}}no end"), {}, &error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

TEST(RenderReport, FillBandTakesVisibleFieldsAsShown)
{
    ScratchDatabase db(Engine::SQLite);
    db->execRaw(QStringLiteral("INSERT INTO Client (ClientID, ClientName, CostType, Cost) VALUES "
                               "('A1', '甲', 1, 1234.5), ('A2', '乙', 0, 0.5)"));
    DataSet ds(&db.db());
    ds.setSql(QStringLiteral("SELECT ClientID, ClientName, CostType, Cost FROM Client WHERE ClientID LIKE 'A%' "
                             "ORDER BY ClientID"));
    ds.open();
    ds.field(QStringLiteral("ClientName")).visible = false;
    ds.moveTo(1);

    ReportData data;
    fillBand(data, QStringLiteral("lines"), ds);
    const QList<ReportData::Row> &rows = data.bands.value(QStringLiteral("lines"));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].value(QStringLiteral("ClientID")), QStringLiteral("A1"));
    EXPECT_EQ(rows[0].value(QStringLiteral("CostType")), QStringLiteral("是"));
    EXPECT_EQ(rows[0].value(QStringLiteral("Cost")), QStringLiteral("1,234.50"));
    EXPECT_EQ(rows[1].value(QStringLiteral("LineNo")), QStringLiteral("2"));
    EXPECT_FALSE(rows[0].contains(QStringLiteral("ClientName")));
    EXPECT_EQ(ds.recNo(), 1);
}

// ---- pages ---------------------------------------------------------------------------

TEST(ReportDocument, PaperFromTheTemplate)
{
    struct Case {
        const char *head;
        QPageSize::PageSizeId id;
        QPageLayout::Orientation orientation;
    } cases[] = {
        {"", QPageSize::A4, QPageLayout::Portrait},
        {R"(<meta name="page-size" content="A5 landscape">)", QPageSize::A5, QPageLayout::Landscape},
        {R"(<meta content="b5" name="page-size">)", QPageSize::B5, QPageLayout::Portrait},
        {R"(<meta name="page-size" content="nonsense">)", QPageSize::A4, QPageLayout::Portrait},
    };
    for (const Case &c : cases) {
        const ReportDocument doc(QStringLiteral("<html><head>%1</head><body>x</body></html>").arg(QString::fromUtf8(c.head)));
        EXPECT_EQ(doc.pageLayout().pageSize().id(), c.id) << c.head;
        EXPECT_EQ(doc.pageLayout().orientation(), c.orientation) << c.head;
        const QSizeF s = doc.pageSize();
        EXPECT_EQ(s.width() > s.height(), c.orientation == QPageLayout::Landscape) << c.head;
    }

    const ReportDocument slip(QStringLiteral(R"(<meta name="page-size" content="80x200mm">x)"));
    EXPECT_NEAR(slip.pageLayout().fullRect(QPageLayout::Millimeter).width(), 80, 0.5);
    EXPECT_NEAR(slip.pageLayout().fullRect(QPageLayout::Millimeter).height(), 200, 0.5);
}

TEST(ReportDocument, LongBodyRunsOverPages)
{
    EXPECT_EQ(ReportDocument(QStringLiteral("<p>one</p>")).pageCount(), 1);
    EXPECT_EQ(ReportDocument(QString()).pageCount(), 1);
    EXPECT_GE(ReportDocument(lines(200)).pageCount(), 3);
}

// ---- the preview window ------------------------------------------------------------

class PreviewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialogs.onUnexpected = [](const QString &what) { ADD_FAILURE() << what.toStdString(); };
        preview.setReport(lines(200));
        preview.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    }

    ScriptedDialogService dialogs;
    TFfrPrview preview{dialogs};
};

TEST_F(PreviewTest, LooksAsDesigned)
{
    EXPECT_EQ(preview.windowTitle(), QStringLiteral("打印预览"));
    EXPECT_TRUE(preview.windowState() & Qt::WindowMaximized);
    const std::pair<const char *, const char *> hints[] = {
        {"btnWholePage", "设置预览的比例为一页大小"}, {"btn100", "100%预览"}, {"btnPageWidth", "设置预览的页面宽度"},
        {"btnFirst", "第一页"}, {"btnPrior", "上一页"}, {"btnNext", "下一页"}, {"btnLast", "最后一页"},
        {"btnPrint", "打印"}, {"btnExit", "退出"},
    };
    for (const auto &[name, hint] : hints) {
        QToolButton *b = button(&preview, name);
        ASSERT_NE(b, nullptr) << name;
        EXPECT_EQ(b->toolTip(), QString::fromUtf8(hint)) << name;
    }
}

TEST_F(PreviewTest, PageButtonsAndKeysMoveThroughPages)
{
    const int last = preview.pageCount() - 1;
    ASSERT_GE(last, 2);
    EXPECT_EQ(preview.currentPage(), 0);
    EXPECT_FALSE(button(&preview, "btnPrior")->isEnabled());

    struct Step {
        const char *button; // or a key
        int key;
        int page;
    } steps[] = {
        {"btnNext", 0, 1},  {"btnLast", 0, last},   {"btnNext", 0, last}, {"btnPrior", 0, last - 1},
        {"btnFirst", 0, 0}, {nullptr, Qt::Key_End, last}, {nullptr, Qt::Key_PageUp, last - 1},
        {nullptr, Qt::Key_Home, 0}, {nullptr, Qt::Key_PageDown, 1},
    };
    for (const Step &s : steps) {
        if (s.button)
            QTest::mouseClick(button(&preview, s.button), Qt::LeftButton);
        else // the page keys reach the preview from the page area as well
            QTest::keyClick(preview.findChild<QWidget *>(QStringLiteral("frPreview")), Qt::Key(s.key));
        EXPECT_EQ(preview.currentPage(), s.page) << (s.button ? s.button : "key");
    }
    EXPECT_TRUE(button(&preview, "btnNext")->isEnabled());
    QTest::mouseClick(button(&preview, "btnLast"), Qt::LeftButton);
    EXPECT_FALSE(button(&preview, "btnNext")->isEnabled());
    EXPECT_FALSE(button(&preview, "btnLast")->isEnabled());
}

TEST_F(PreviewTest, ZoomButtonsAndReturnTo100OnShow)
{
    EXPECT_EQ(preview.zoomMode(), TFfrPrview::Zoom::Percent100);
    EXPECT_DOUBLE_EQ(preview.scale(), 1.0);
    preview.resize(1000, 700);
    QTest::mouseClick(button(&preview, "btnWholePage"), Qt::LeftButton);
    const double whole = preview.scale();
    QTest::mouseClick(button(&preview, "btnPageWidth"), Qt::LeftButton);
    const double width = preview.scale();
    EXPECT_EQ(preview.zoomMode(), TFfrPrview::Zoom::PageWidth);
    // A portrait page fits the window's height before it fits its width.
    EXPECT_LT(whole, width);
    const QWidget *page = preview.findChild<QWidget *>(QStringLiteral("frPreview"));
    const QSizeF paper = preview.report()->pageSize();
    EXPECT_NEAR(page->width(), paper.width() * width, 1);
    EXPECT_LE(page->width(), preview.width());

    QTest::mouseClick(button(&preview, "btnWholePage"), Qt::LeftButton);
    EXPECT_LE(page->height(), preview.height());
    preview.hide();
    preview.show();
    EXPECT_EQ(preview.zoomMode(), TFfrPrview::Zoom::Percent100);
    EXPECT_NEAR(page->width(), paper.width(), 1);
}

TEST_F(PreviewTest, EscCancelsAndExitAccepts)
{
    QTest::keyClick(&preview, Qt::Key_Escape);
    EXPECT_FALSE(preview.isVisible());
    EXPECT_EQ(preview.result(), QDialog::Rejected);

    preview.show();
    QTest::mouseClick(button(&preview, "btnExit"), Qt::LeftButton);
    EXPECT_FALSE(preview.isVisible());
    EXPECT_EQ(preview.result(), QDialog::Accepted);
}

TEST_F(PreviewTest, SaveAsPdfWritesEveryPage)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bill")); // the suffix is added
    dialogs.fileName(file);
    QTest::mouseClick(button(&preview, "btnPdf"), Qt::LeftButton);
    EXPECT_EQ(pdfPages(file + QStringLiteral(".pdf")), preview.pageCount());
    EXPECT_TRUE(dialogs.texts().filter(QStringLiteral("无法")).isEmpty()) << dialogs.texts().join(u'|').toStdString();

    // No name chosen: nothing written, nothing said.
    const qsizetype asked = dialogs.asked.size();
    EXPECT_FALSE(preview.saveAsPdf());
    EXPECT_EQ(dialogs.asked.size(), asked + 1); // only the file question

    dialogs.fileName(dir.filePath(QStringLiteral("missing/folder/x.pdf")));
    EXPECT_FALSE(preview.saveAsPdf());
    EXPECT_TRUE(dialogs.lastText().startsWith(QStringLiteral("无法保存文件：")));
    EXPECT_EQ(dialogs.asked.last().icon, MsgIcon::Error);
}

TEST_F(PreviewTest, PrintGoesThroughThePrintDialog)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("printed.pdf"));
    // Cancelled: nothing printed.
    dialogs.onDialog([](QDialog *) { return int(QDialog::Rejected); });
    // Accepted on a PDF printer, pages 2 to 3.
    dialogs.onDialog([&out](QDialog *d) {
        auto *pd = qobject_cast<QPrintDialog *>(d);
        if (!pd)
            return int(QDialog::Rejected);
        pd->printer()->setOutputFormat(QPrinter::PdfFormat);
        pd->printer()->setOutputFileName(out);
        pd->printer()->setPrintRange(QPrinter::PageRange);
        pd->printer()->setFromTo(2, 3);
        return int(QDialog::Accepted);
    });
    QTest::mouseClick(button(&preview, "btnPrint"), Qt::LeftButton);
    EXPECT_FALSE(QFile::exists(out));
    QTest::mouseClick(button(&preview, "btnPrint"), Qt::LeftButton);
    EXPECT_EQ(pdfPages(out), 2);
    EXPECT_EQ(dialogs.dialogsShown, QStringList({QStringLiteral("PrintDialog"), QStringLiteral("PrintDialog")}));
    EXPECT_TRUE(dialogs.asked.isEmpty());
}

// ---- PrintReport ---------------------------------------------------------------------

class PrintReportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialogs.onUnexpected = [](const QString &what) { ADD_FAILURE() << what.toStdString(); };
        ASSERT_TRUE(QDir(program.path()).mkpath(QStringLiteral("report")));
        ctx.programFolder = program.path();
    }
    void writeTemplate(const QString &name, const QString &text)
    {
        QFile f(program.filePath(QStringLiteral("report/") + name + QStringLiteral(".html")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }

    QTemporaryDir program;
    QTemporaryDir settingsDir;
    TFData data;
    ScriptedDialogService dialogs;
    RegSetting settings{settingsDir.filePath(QStringLiteral("reg.ini"))};
    Clock clock;
    AppContext ctx{data, dialogs, settings, clock, {}, {}, {}};
};

TEST_F(PrintReportTest, MissingTemplateIsTold)
{
    EXPECT_FALSE(PrintReport(ctx, nullptr, QStringLiteral("Goods_buy"), {}));
    ASSERT_EQ(dialogs.asked.size(), 1);
    const QString expected = QStringLiteral("找不到报表模板文件：") +
                             QDir::toNativeSeparators(program.filePath(QStringLiteral("report/Goods_buy.html")));
    EXPECT_EQ(dialogs.asked[0].text, expected);
    EXPECT_EQ(dialogs.asked[0].caption, QStringLiteral("提示"));
    EXPECT_TRUE(dialogs.dialogsShown.isEmpty());
}

TEST_F(PrintReportTest, BrokenTemplateIsTold)
{
    writeTemplate(QStringLiteral("bad"), QStringLiteral("{{#lines}}"));
    EXPECT_FALSE(PrintReport(ctx, nullptr, QStringLiteral("bad"), {}));
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_TRUE(dialogs.asked[0].text.startsWith(QStringLiteral("报表模板文件有错误：")));
    EXPECT_TRUE(dialogs.dialogsShown.isEmpty());
}

TEST_F(PrintReportTest, ShowsTheFilledTemplateAndSavesItAsPdf)
{
    writeTemplate(QStringLiteral("Goods_sell"),
                  QStringLiteral("<html><head><meta name=\"page-size\" content=\"A5 landscape\"></head><body>"
                                 "<h1>销售单 {{TableID}}</h1><p>{{Client}}</p><table>"
                                 "{{#lines}}<tr><td>{{LineNo}}</td><td>{{IMEI}}</td></tr>{{/lines}}"
                                 "</table><p>{{BigMoney}}</p></body></html>"));
    ReportData rd;
    rd.set(QStringLiteral("TableID"), QStringLiteral("00000007"));
    rd.set(QStringLiteral("Client"), QStringLiteral("<零售客户>"));
    rd.set(QStringLiteral("BigMoney"), QStringLiteral("壹佰零拾零元零角零分"));
    rd.band(QStringLiteral("lines")) = {{{QStringLiteral("LineNo"), QStringLiteral("1")}, {QStringLiteral("IMEI"), QStringLiteral("356938035643809")}}};

    QTemporaryDir out;
    const QString pdf = out.filePath(QStringLiteral("sell.pdf"));
    QString shownText;
    bool landscape = false;
    dialogs.onDialog([&](QDialog *d) {
        auto *p = qobject_cast<TFfrPrview *>(d);
        if (!p)
            return int(QDialog::Rejected);
        shownText = p->report()->document().toPlainText();
        landscape = p->report()->pageLayout().orientation() == QPageLayout::Landscape;
        dialogs.fileName(pdf);
        QTest::mouseClick(button(p, "btnPdf"), Qt::LeftButton);
        QTest::mouseClick(button(p, "btnExit"), Qt::LeftButton);
        return -1;
    });
    EXPECT_TRUE(PrintReport(ctx, nullptr, QStringLiteral("Goods_sell"), rd));
    EXPECT_EQ(dialogs.dialogsShown, QStringList{QStringLiteral("TFfrPrview")});
    for (const char *part : {"销售单 00000007", "<零售客户>", "356938035643809", "壹佰零拾零元零角零分"})
        EXPECT_TRUE(shownText.contains(QString::fromUtf8(part))) << part;
    EXPECT_TRUE(landscape);
    EXPECT_EQ(pdfPages(pdf), 1);
}
