#pragma once
// Printing: a report template (report/<name>.html with mustache tags) is filled
// with the calling window's variables and line bands, laid out in pages by
// QTextDocument, shown in the print preview TFfrPrview and printed or saved as
// PDF from there.
#include <QDialog>
#include <QList>
#include <QMap>
#include <QPageLayout>
#include <QString>
#include <memory>

class QLabel;
class QPagedPaintDevice;
class QPainter;
class QScrollArea;
class QTextDocument;
class QToolButton;
class DataSet;
class DialogService;
struct AppContext;

// What a window hands to a template: scalar variables ({{TableID}}) and named
// lists of rows ({{#lines}}…{{/lines}}), every value as the text to print.
struct ReportData {
    using Row = QMap<QString, QString>;

    QMap<QString, QString> variables;
    QMap<QString, QList<Row>> bands;

    void set(const QString &name, const QString &value) { variables.insert(name, value); }
    QList<Row> &band(const QString &name) { return bands[name]; }
};

// Fills band `name` with one row per record of the data set: every visible
// field's name → its display text, plus "LineNo" (1, 2, …) unless a field has
// that name. The data set's current row is left as it was.
void fillBand(ReportData &data, const QString &name, const DataSet &ds);

// The filled-in HTML; values of {{x}} are HTML-escaped. An empty string and the
// reason in *error when the template is not valid mustache.
QString renderReport(const QString &templateText, const ReportData &data, QString *error = nullptr);

// A rendered report laid out in pages. The page is A4 portrait unless the HTML
// names another one: <meta name="page-size" content="A5 landscape"> (a page
// size name, or "210x140mm"), and <meta name="page-margin" content="10"> (mm).
class ReportDocument {
public:
    explicit ReportDocument(const QString &html);
    ~ReportDocument();
    ReportDocument(const ReportDocument &) = delete;
    ReportDocument &operator=(const ReportDocument &) = delete;

    int pageCount() const;
    // Page size in layout units (the screen's logical pixels).
    QSizeF pageSize() const;
    // The paper, without margins (the document keeps its own).
    const QPageLayout &pageLayout() const { return layout_; }
    QTextDocument &document() { return *doc_; }

    // Paints one page (0-based) with its top-left at the painter's origin, in
    // layout units; the caller scales.
    void paintPage(QPainter &painter, int page) const;
    // Pages onto a printer or PDF writer, each page scaled to the paper; false
    // when the device could not be written.
    bool print(QPagedPaintDevice &device) const;
    bool printPages(QPagedPaintDevice &device, int from, int to) const; // 0-based, inclusive

private:
    std::unique_ptr<QTextDocument> doc_;
    QPageLayout layout_;
};

class ReportPageView;

// The print preview: one page at a time, zoom (whole page, 100 %, page width),
// page buttons, print, save as PDF, 退出.
class TFfrPrview : public QDialog {
    Q_OBJECT
public:
    enum class Zoom { WholePage, Percent100, PageWidth };

    explicit TFfrPrview(DialogService &dialogs, QWidget *parent = nullptr);
    ~TFfrPrview() override;

    // Takes the rendered HTML and shows its first page.
    void setReport(const QString &html);
    ReportDocument *report() const { return report_.get(); }

    int pageCount() const;
    int currentPage() const { return page_; } // 0-based
    Zoom zoomMode() const { return zoom_; }
    double scale() const; // the painted size / the page size

    void showPage(int page);
    void setZoom(Zoom z);
    // The 打印 button: the print dialog through the dialog service, then the printer.
    void printReport();
    // Asks for a file name and writes the pages as PDF; false when nothing was written.
    bool saveAsPdf();

protected:
    bool event(QEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    QToolButton *addButton(const QString &objectName, const QString &text, const QString &hint,
                           const QString &icon);
    void updateView();
    bool pageKey(int key);

    DialogService &dialogs_;
    std::unique_ptr<ReportDocument> report_;
    QScrollArea *scroll_ = nullptr;
    ReportPageView *view_ = nullptr;
    QLabel *pageLabel_ = nullptr;
    QToolButton *btn100_ = nullptr;
    QList<QToolButton *> pageButtons_;
    int page_ = 0;
    Zoom zoom_ = Zoom::Percent100;
};

// Loads report/<name>.html from the program's folder, fills it in and shows the
// preview modally. False (after telling the user) when the template is missing
// or broken.
bool PrintReport(AppContext &ctx, QWidget *parent, const QString &name, const ReportData &data);
