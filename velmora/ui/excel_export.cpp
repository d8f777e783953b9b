#include "excel_export.h"

#include "app_context.h"
#include "dataset.h"
#include "dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>

namespace {
bool isNumber(const Field &f) { return f.kind == ColumnKind::Money || f.kind == ColumnKind::Int || f.kind == ColumnKind::Real; }

// The cell format that shows a number as the grid does.
QString excelFormat(const Field &f)
{
    if (f.kind == ColumnKind::Money)
        return f.displayFormat == QLatin1String("#,###.00") ? f.displayFormat : QStringLiteral("0.00");
    return f.displayFormat.isEmpty() ? QStringLiteral("General") : f.displayFormat;
}

struct CursorGuard {
    CursorGuard() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CursorGuard() { QApplication::restoreOverrideCursor(); }
};
} // namespace

bool writeWorkbook(const DataSet &ds, int tagLimit, const QString &path)
{
    const QByteArray file = QFile::encodeName(path);
    lxw_workbook *book = workbook_new(file.constData());
    if (!book)
        return false;
    lxw_worksheet *sheet = workbook_add_worksheet(book, nullptr);
    if (!sheet) {
        workbook_close(book);
        return false;
    }
    bool ok = true;
    auto check = [&ok](lxw_error e) {
        if (e != LXW_NO_ERROR)
            ok = false;
    };

    const QList<Field> &fields = ds.fields();
    QList<int> columns;
    for (int f = 0; f < fields.size(); ++f)
        if (fields[f].visible && fields[f].tag <= tagLimit)
            columns << f;

    // Formats belong to the workbook and are freed with it.
    QList<lxw_format *> formats;
    for (int f : columns) {
        lxw_format *fmt = nullptr;
        if (isNumber(fields[f])) {
            fmt = workbook_add_format(book);
            format_set_num_format(fmt, excelFormat(fields[f]).toUtf8().constData());
        }
        formats << fmt;
    }

    QList<int> widths;
    for (int c = 0; c < columns.size(); ++c) {
        const QByteArray label = fields[columns[c]].label().toUtf8();
        check(worksheet_write_string(sheet, 0, lxw_col_t(c), label.constData(), nullptr));
        widths << int(fields[columns[c]].label().size());
    }
    for (int row = 0; row < ds.recordCount() && ok; ++row) {
        const auto r = lxw_row_t(row + 1);
        for (int c = 0; c < columns.size(); ++c) {
            const int f = columns[c];
            const Field &fd = fields[f];
            const auto col = lxw_col_t(c);
            const QVariant v = ds.valueAt(row, f);
            QString text;
            if (v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty())) {
                continue; // an empty cell
            } else if (fd.kind == ColumnKind::Bool) {
                text = v.toBool() ? QStringLiteral("是") : QStringLiteral("否");
            } else if (isNumber(fd)) {
                const double number = fd.kind == ColumnKind::Money ? v.value<Money>().toDouble() : v.toDouble();
                check(worksheet_write_number(sheet, r, col, number, formats[c]));
                widths[c] = std::max(widths[c], int(ds.displayText(row, f).size()));
                continue;
            } else {
                text = ds.displayText(row, f);
            }
            check(worksheet_write_string(sheet, r, col, text.toUtf8().constData(), nullptr));
            widths[c] = std::max(widths[c], int(text.size()));
        }
    }
    for (int c = 0; c < columns.size(); ++c)
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), std::clamp(widths[c] * 1.6 + 2, 8.0, 60.0), nullptr);

    check(workbook_close(book));
    return ok;
}

bool ExportToExcel(AppContext &ctx, QWidget *parent, const DataSet &ds, int tagLimit)
{
    if (!ds.isActive())
        return false;
    bool ok = false;
    {
        CursorGuard wait;
        // An unusable TMPDIR gives an empty path, which would mean the current folder.
        const QString temp = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
        if (!temp.isEmpty()) {
            QTemporaryDir dir(QDir(temp).filePath(QStringLiteral("velmora-export-XXXXXX")));
            if (dir.isValid()) {
                dir.setAutoRemove(false); // the spreadsheet program reads it after we return
                const QString path = dir.filePath(QStringLiteral("Book1.xlsx"));
                ok = writeWorkbook(ds, tagLimit, path) && ctx.dialogs.openUrl(path);
            }
        }
    }
    if (!ok)
        ctx.dialogs.message(parent, QStringLiteral("无法调用Mircorsoft Excel! \r\n请检查是否安装了Mircorsoft Excel。"),
                            DialogService::caption(), MsgIcon::Information, MsgButtons::Ok);
    return ok;
}
