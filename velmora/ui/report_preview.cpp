#include "report_preview.h"

#include "app_context.h"
#include "dataset.h"
#include "dialogs.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

#include <kainjow/mustache.hpp>

#include <algorithm>

// ---- data and rendering -----------------------------------------------------------

void fillBand(ReportData &data, const QString &name, const DataSet &ds)
{
    QList<ReportData::Row> &rows = data.band(name);
    rows.clear();
    const QList<Field> &fields = ds.fields();
    for (int row = 0; row < ds.recordCount(); ++row) {
        ReportData::Row r;
        for (int f = 0; f < fields.size(); ++f)
            if (fields[f].visible)
                r.insert(fields[f].name, ds.displayText(row, f));
        if (!r.contains(QStringLiteral("LineNo")))
            r.insert(QStringLiteral("LineNo"), QString::number(row + 1));
        rows.append(r);
    }
}

QString renderReport(const QString &templateText, const ReportData &data, QString *error)
{
    namespace mu = kainjow::mustache;
    mu::data root;
    for (auto it = data.variables.cbegin(); it != data.variables.cend(); ++it)
        root.set(it.key().toStdString(), it.value().toStdString());
    for (auto it = data.bands.cbegin(); it != data.bands.cend(); ++it) {
        mu::list rows;
        for (const ReportData::Row &r : it.value()) {
            mu::data row;
            for (auto c = r.cbegin(); c != r.cend(); ++c)
                row.set(c.key().toStdString(), c.value().toStdString());
            rows.push_back(row);
        }
        root.set(it.key().toStdString(), rows);
    }
    mu::mustache tmpl(templateText.toStdString());
    std::string out;
    if (tmpl.is_valid())
        out = tmpl.render(root);
    if (!tmpl.is_valid()) {
        if (error)
            *error = QString::fromStdString(tmpl.error_message());
        return {};
    }
    if (error)
        error->clear();
    return QString::fromStdString(out);
}

// ---- pages ------------------------------------------------------------------------

namespace {
QString metaContent(const QString &html, const QString &name)
{
    // Either attribute order; only the two page metas are read.
    const QRegularExpression re(
        QStringLiteral(R"(<meta\s+[^>]*name\s*=\s*["']%1["'][^>]*>)").arg(QRegularExpression::escape(name)),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(html);
    if (!m.hasMatch())
        return {};
    static const QRegularExpression content(QStringLiteral(R"(content\s*=\s*["']([^"']*)["'])"),
                                            QRegularExpression::CaseInsensitiveOption);
    return content.match(m.captured(0)).captured(1).trimmed();
}

// The paper; the printed margin (mm) is the document's own, so the paper is
// painted edge to edge and preview, print and PDF look alike.
QPageLayout layoutFor(const QString &html, double *marginMm)
{
    QPageSize size(QPageSize::A4);
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QStringList words = metaContent(html, QStringLiteral("page-size")).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (!words.isEmpty() && words.last().compare(QLatin1String("landscape"), Qt::CaseInsensitive) == 0) {
        orientation = QPageLayout::Landscape;
        words.removeLast();
    }
    if (!words.isEmpty()) {
        static const QRegularExpression custom(QStringLiteral(R"(^(\d+(?:\.\d+)?)x(\d+(?:\.\d+)?)mm$)"),
                                               QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = custom.match(words.first());
        if (m.hasMatch()) {
            size = QPageSize(QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()), QPageSize::Millimeter);
        } else {
            static const std::pair<const char *, QPageSize::PageSizeId> known[] = {
                {"A3", QPageSize::A3}, {"A4", QPageSize::A4}, {"A5", QPageSize::A5},
                {"A6", QPageSize::A6}, {"B5", QPageSize::B5}, {"Letter", QPageSize::Letter}};
            for (const auto &[name, id] : known)
                if (words.first().compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                    size = QPageSize(id);
        }
    }
    bool ok = false;
    const double margin = metaContent(html, QStringLiteral("page-margin")).toDouble(&ok);
    *marginMm = ok && margin >= 0 ? margin : 10;
    return QPageLayout(size, orientation, QMarginsF(), QPageLayout::Millimeter);
}

// The resolution QTextDocument lays out at when it has no paint device.
double layoutDpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}
} // namespace

ReportDocument::ReportDocument(const QString &html) : doc_(std::make_unique<QTextDocument>())
{
    double marginMm = 0;
    layout_ = layoutFor(html, &marginMm);
    const double perPoint = layoutDpi() / 72.0;
    const QRectF full = layout_.fullRect(QPageLayout::Point);
    const QSizeF paper = full.size();
    doc_->setDocumentMargin(std::min(marginMm * 72.0 / 25.4, std::min(paper.width(), paper.height()) / 4) * perPoint);
    doc_->setHtml(html);
    doc_->setPageSize(QSizeF(full.width() * perPoint, full.height() * perPoint));
}

ReportDocument::~ReportDocument() = default;

int ReportDocument::pageCount() const { return std::max(1, doc_->pageCount()); }

QSizeF ReportDocument::pageSize() const { return doc_->pageSize(); }

void ReportDocument::paintPage(QPainter &painter, int page) const
{
    const QSizeF size = pageSize();
    painter.save();
    painter.setClipRect(QRectF(QPointF(0, 0), size), Qt::IntersectClip);
    painter.translate(0, -page * size.height());
    QAbstractTextDocumentLayout::PaintContext ctx;
    ctx.clip = QRectF(0, page * size.height(), size.width(), size.height());
    // Paper is white whatever the desktop's colours are.
    ctx.palette.setColor(QPalette::Text, Qt::black);
    doc_->documentLayout()->draw(&painter, ctx);
    painter.restore();
}

bool ReportDocument::print(QPagedPaintDevice &device) const
{
    return printPages(device, 0, pageCount() - 1);
}

bool ReportDocument::printPages(QPagedPaintDevice &device, int from, int to) const
{
    from = std::clamp(from, 0, pageCount() - 1);
    to = std::clamp(to, from, pageCount() - 1);
    QPainter p;
    if (!p.begin(&device))
        return false;
    const QSizeF size = pageSize();
    const double s = std::min(device.width() / size.width(), device.height() / size.height());
    for (int page = from; page <= to; ++page) {
        if (page > from && !device.newPage())
            return false;
        p.save();
        p.scale(s, s);
        paintPage(p, page);
        p.restore();
    }
    return p.end();
}

// ---- the preview ---------------------------------------------------------------------

class ReportPageView : public QWidget {
public:
    explicit ReportPageView(QWidget *parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

    const ReportDocument *report = nullptr;
    int page = 0;
    double scale = 1;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        if (!report)
            return;
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        report->paintPage(p, page);
    }
};

namespace {
constexpr int Gap = 12; // grey border around the page
}

TFfrPrview::TFfrPrview(DialogService &dialogs, QWidget *parent) : QDialog(parent), dialogs_(dialogs)
{
    setObjectName(QStringLiteral("TFfrPrview"));
    setWindowTitle(QStringLiteral("打印预览"));
    setWindowFlag(Qt::WindowMinMaxButtonsHint);
    setWindowState(Qt::WindowMaximized);
    resize(800, 600);

    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::StyledPanel);
    auto *bar = new QHBoxLayout(panel);
    bar->setContentsMargins(4, 2, 4, 2);
    bar->setSpacing(2);

    auto add = [&](const QString &name, const QString &text, const QString &hint, const QString &icon) {
        QToolButton *b = addButton(name, text, hint, icon);
        bar->addWidget(b);
        return b;
    };
    QToolButton *whole = add(QStringLiteral("btnWholePage"), QStringLiteral("整页"),
                             QStringLiteral("设置预览的比例为一页大小"), QStringLiteral("zoom-fit-best"));
    btn100_ = add(QStringLiteral("btn100"), QStringLiteral("100%"), QStringLiteral("100%预览"),
                  QStringLiteral("zoom-original"));
    QToolButton *width = add(QStringLiteral("btnPageWidth"), QStringLiteral("页宽"),
                             QStringLiteral("设置预览的页面宽度"), QStringLiteral("zoom-fit-width"));
    bar->addSpacing(8);
    QToolButton *first = add(QStringLiteral("btnFirst"), QStringLiteral("首页"), QStringLiteral("第一页"),
                             QStringLiteral("go-first"));
    QToolButton *prev = add(QStringLiteral("btnPrior"), QStringLiteral("上页"), QStringLiteral("上一页"),
                            QStringLiteral("go-previous"));
    QToolButton *next = add(QStringLiteral("btnNext"), QStringLiteral("下页"), QStringLiteral("下一页"),
                            QStringLiteral("go-next"));
    QToolButton *last = add(QStringLiteral("btnLast"), QStringLiteral("末页"), QStringLiteral("最后一页"),
                            QStringLiteral("go-last"));
    pageButtons_ = {first, prev, next, last};
    pageLabel_ = new QLabel(panel);
    pageLabel_->setObjectName(QStringLiteral("lblPage"));
    bar->addWidget(pageLabel_);
    bar->addSpacing(8);
    QToolButton *print = add(QStringLiteral("btnPrint"), QStringLiteral("打印"), QStringLiteral("打印"),
                             QStringLiteral("document-print"));
    QToolButton *pdf = add(QStringLiteral("btnPdf"), QStringLiteral("PDF"), QStringLiteral("另存为PDF文件"),
                           QStringLiteral("document-save-as"));
    QToolButton *exit = add(QStringLiteral("btnExit"), QStringLiteral("退出"), QStringLiteral("退出"),
                            QStringLiteral("application-exit"));
    bar->addStretch();

    view_ = new ReportPageView(this);
    view_->setObjectName(QStringLiteral("frPreview"));
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("PreviewArea"));
    scroll_->setAlignment(Qt::AlignCenter);
    scroll_->setBackgroundRole(QPalette::Dark);
    scroll_->setWidget(view_);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(panel);
    layout->addWidget(scroll_, 1);

    connect(whole, &QToolButton::clicked, this, [this] { setZoom(Zoom::WholePage); });
    connect(btn100_, &QToolButton::clicked, this, [this] { setZoom(Zoom::Percent100); });
    connect(width, &QToolButton::clicked, this, [this] { setZoom(Zoom::PageWidth); });
    connect(first, &QToolButton::clicked, this, [this] { showPage(0); });
    connect(prev, &QToolButton::clicked, this, [this] { showPage(page_ - 1); });
    connect(next, &QToolButton::clicked, this, [this] { showPage(page_ + 1); });
    connect(last, &QToolButton::clicked, this, [this] { showPage(pageCount() - 1); });
    connect(print, &QToolButton::clicked, this, &TFfrPrview::printReport);
    connect(pdf, &QToolButton::clicked, this, &TFfrPrview::saveAsPdf);
    connect(exit, &QToolButton::clicked, this, &QDialog::accept);

    // Page keys work wherever the focus is (the scroll area would take them otherwise).
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
    updateView();
}

TFfrPrview::~TFfrPrview() = default;

QToolButton *TFfrPrview::addButton(const QString &objectName, const QString &text, const QString &hint,
                                   const QString &icon)
{
    auto *b = new QToolButton(this);
    b->setObjectName(objectName);
    b->setText(text);
    b->setToolTip(hint);
    b->setStatusTip(hint);
    b->setIcon(QIcon::fromTheme(icon));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

void TFfrPrview::setReport(const QString &html)
{
    report_ = std::make_unique<ReportDocument>(html);
    page_ = 0;
    updateView();
}

int TFfrPrview::pageCount() const { return report_ ? report_->pageCount() : 0; }

double TFfrPrview::scale() const { return view_->scale; }

void TFfrPrview::showPage(int page)
{
    if (!report_)
        return;
    page_ = std::clamp(page, 0, pageCount() - 1);
    updateView();
    scroll_->verticalScrollBar()->setValue(0);
}

void TFfrPrview::setZoom(Zoom z)
{
    zoom_ = z;
    updateView();
}

void TFfrPrview::updateView()
{
    const int count = pageCount();
    pageButtons_[0]->setEnabled(page_ > 0);
    pageButtons_[1]->setEnabled(page_ > 0);
    pageButtons_[2]->setEnabled(page_ < count - 1);
    pageButtons_[3]->setEnabled(page_ < count - 1);
    pageLabel_->setText(count ? QStringLiteral("第 %1 页 / 共 %2 页").arg(page_ + 1).arg(count) : QString());
    view_->report = report_.get();
    view_->page = page_;
    if (!report_) {
        view_->resize(0, 0);
        return;
    }
    const QSizeF page = report_->pageSize();
    const QSize room = scroll_->viewport()->size() - QSize(2 * Gap, 2 * Gap);
    const int bar = scroll_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    double s = 1;
    if (zoom_ == Zoom::WholePage)
        s = std::min(room.width() / page.width(), room.height() / page.height());
    else if (zoom_ == Zoom::PageWidth) // room for the vertical scroll bar the tall page brings
        s = (room.width() - (scroll_->verticalScrollBar()->isVisible() ? 0 : bar)) / page.width();
    s = std::max(s, 0.05);
    view_->scale = s;
    view_->resize(qRound(page.width() * s), qRound(page.height() * s));
    view_->update();
}

bool TFfrPrview::pageKey(int key)
{
    switch (key) {
    case Qt::Key_PageUp:
        showPage(page_ - 1);
        return true;
    case Qt::Key_PageDown:
        showPage(page_ + 1);
        return true;
    case Qt::Key_Home:
        showPage(0);
        return true;
    case Qt::Key_End:
        showPage(pageCount() - 1);
        return true;
    default:
        return false;
    }
}

bool TFfrPrview::event(QEvent *e)
{
    switch (e->type()) {
    case QEvent::WindowActivate:
        btn100_->click(); // every activation starts at 100 %
        break;
    case QEvent::KeyPress: {
        auto *k = static_cast<QKeyEvent *>(e);
        if (k->modifiers() == Qt::NoModifier && pageKey(k->key()))
            return true;
        break;
    }
    default:
        break;
    }
    return QDialog::event(e);
}

void TFfrPrview::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    btn100_->click(); // activation may not be reported when shown (offscreen)
}

void TFfrPrview::resizeEvent(QResizeEvent *e)
{
    QDialog::resizeEvent(e);
    if (zoom_ != Zoom::Percent100)
        updateView();
}

bool TFfrPrview::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(e);
        if (k->modifiers() == Qt::NoModifier && pageKey(k->key()))
            return true;
    } else if (watched == scroll_->viewport() && e->type() == QEvent::Resize && zoom_ != Zoom::Percent100) {
        updateView();
    }
    return QDialog::eventFilter(watched, e);
}

void TFfrPrview::printReport()
{
    if (!report_)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(report_->pageLayout());
    printer.setFullPage(true);
    printer.setDocName(windowTitle());
    QPrintDialog dlg(&printer, this);
    dlg.setObjectName(QStringLiteral("PrintDialog"));
    dlg.setMinMax(1, pageCount());
    dlg.setFromTo(1, pageCount());
    if (dialogs_.exec(&dlg) != QDialog::Accepted)
        return;
    int from = 0, to = pageCount() - 1;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = printer.fromPage() - 1;
        to = printer.toPage() > 0 ? printer.toPage() - 1 : to;
    } else if (printer.printRange() == QPrinter::CurrentPage) {
        from = to = page_;
    }
    if (!report_->printPages(printer, from, to))
        dialogs_.error(this, QStringLiteral("打印失败。"));
}

bool TFfrPrview::saveAsPdf()
{
    if (!report_)
        return false;
    QString file = dialogs_.saveFileName(this, QStringLiteral("另存为PDF文件"), QDir::homePath(),
                                         QStringLiteral("PDF 文件 (*.pdf)"));
    if (file.isEmpty())
        return false;
    if (QFileInfo(file).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) != 0)
        file += QStringLiteral(".pdf");
    bool ok = false;
    {
        QPdfWriter pdf(file);
        pdf.setPageLayout(report_->pageLayout());
        pdf.setCreator(QStringLiteral("Velmora"));
        ok = report_->print(pdf);
    }
    if (!ok || QFileInfo(file).size() == 0) {
        dialogs_.error(this, QStringLiteral("无法保存文件：") + QDir::toNativeSeparators(file));
        return false;
    }
    return true;
}

// ---- PrintReport ---------------------------------------------------------------------

bool PrintReport(AppContext &ctx, QWidget *parent, const QString &name, const ReportData &data)
{
    const QString path = QDir(ctx.programFolder).filePath(QStringLiteral("report/") + name + QStringLiteral(".html"));
    QFile file(path);
    if (!file.exists()) {
        ctx.dialogs.warn(parent, QStringLiteral("找不到报表模板文件：") + QDir::toNativeSeparators(path));
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        ctx.dialogs.warn(parent, QStringLiteral("无法读取报表模板文件：") + QDir::toNativeSeparators(path));
        return false;
    }
    QString error;
    const QString html = renderReport(QString::fromUtf8(file.readAll()), data, &error);
    if (!error.isEmpty()) {
        ctx.dialogs.warn(parent, QStringLiteral("报表模板文件有错误：") + QDir::toNativeSeparators(path) +
                                     QStringLiteral("\n") + error);
        return false;
    }
    TFfrPrview preview(ctx.dialogs, parent);
    preview.setReport(html);
    ctx.dialogs.exec(&preview);
    return true;
}
