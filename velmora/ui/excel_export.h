#pragma once
// Export of a list to the desktop's spreadsheet program: an .xlsx workbook is
// written into a fresh temporary folder and opened with the program the
// desktop associates with it.
#include <QString>

class QWidget;
class DataSet;
struct AppContext;

// Writes the workbook: row 1 the display labels of the visible fields whose
// tag is not above tagLimit, then every record's same fields in order. Boolean
// fields as "是"/"否"; amounts and whole numbers as numbers shown in their
// display format; everything else as its display text, always as text (so a
// bill number or an IMEI keeps its digits). The data set's current row is not
// moved. False when the file could not be written.
bool writeWorkbook(const DataSet &ds, int tagLimit, const QString &path);

// The whole command: nothing when the data set is closed; otherwise the wait
// cursor, the workbook in a new folder under the temporary location, and the
// desktop's program. A failure shows the message for a missing Excel and
// returns false.
bool ExportToExcel(AppContext &ctx, QWidget *parent, const DataSet &ds, int tagLimit);
