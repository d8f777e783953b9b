#include "select_dropdown.h"

#include "app_context.h"
#include "dataset.h"
#include "dbgrid.h"
#include "dialogs.h"
#include "tfdata.h"

#include <QCursor>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QApplication>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
QToolButton *smallButton(QWidget *parent, const QString &name, QStyle::StandardPixmap icon, const QString &tip)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setIcon(parent->style()->standardIcon(icon));
    b->setToolTip(tip);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}
} // namespace

DropDownPick::DropDownPick(AppContext &app, const QString &name, const QString &sql, const QString &keyField,
                           const QList<PickerColumn> &columns, QWidget *parent)
    : QDialog(parent, Qt::Popup | Qt::FramelessWindowHint), app_(app), sql_(sql), keyField_(keyField), columns_(columns)
{
    setObjectName(name);
    table = new DataSet(&app.data.ADOConnection1, this);
    table->setSql(sql_);
    grid = new DBGrid(this);
    grid->setObjectName(QStringLiteral("DBGridEh1"));
    pickers::setupGrid(grid, table);
    grid->view()->verticalHeader()->hide();
    okButton = smallButton(this, QStringLiteral("OkButton"), QStyle::SP_DialogApplyButton, QStringLiteral("确定"));
    cancelButton = smallButton(this, QStringLiteral("CancelButton"), QStyle::SP_DialogCancelButton, QStringLiteral("取消"));
    panel_ = new QWidget(this);
    panel_->setObjectName(QStringLiteral("Panel1"));
    auto *buttons = new QVBoxLayout(panel_);
    buttons->setContentsMargins(1, 1, 1, 1);
    buttons->setSpacing(1);
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    buttons->addStretch();
    auto *l = new QHBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    l->addWidget(grid, 1);
    l->addWidget(panel_);
    l->setSizeConstraint(QLayout::SetNoConstraint); // the width follows the columns

    connect(okButton, &QToolButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QToolButton::clicked, this, &QDialog::reject);
    connect(grid->view(), &QAbstractItemView::doubleClicked, this, &QDialog::accept);
    connect(grid->view()->horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
        if (!isVisible())
            return;
        fitWidth();
        setGeometry(place(anchor_, size(), work_));
    });
    qApp->installEventFilter(this);
    setFocusProxy(grid->view());
}

bool DropDownPick::eventFilter(QObject *watched, QEvent *event)
{
    // A press anywhere else closes the list without a choice.
    if (event->type() == QEvent::MouseButtonPress && isVisible()) {
        const QPoint at = static_cast<QMouseEvent *>(event)->globalPosition().toPoint();
        if (!frameGeometry().contains(at)) {
            reject();
            return true;
        }
    }
    if (watched == grid->view() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString DropDownPick::current(const QString &field) const { return pickers::keyText(table->value(field)); }

void DropDownPick::fitWidth()
{
    const QTableView *v = grid->view();
    int width = 0;
    for (int c = 0; c < v->model()->columnCount(); ++c)
        if (!v->isColumnHidden(c))
            width += v->columnWidth(c);
    width += 2 * v->frameWidth() + (v->verticalHeader()->isVisible() ? v->verticalHeader()->width() : 0);
    width += panel_->sizeHint().width() + 3;
    resize(width, height());
}

QRect DropDownPick::place(const QRect &editor, const QSize &size, const QRect &work)
{
    QRect r(QPoint(editor.left(), editor.bottom() + 1), size);
    if (r.width() > work.width())
        r.setWidth(work.width());
    if (r.right() > work.right())
        r.moveRight(work.right());
    if (r.left() < work.left())
        r.moveLeft(work.left());
    const int roomBelow = work.bottom() - editor.bottom();
    const int roomAbove = editor.top() - work.top();
    if (r.bottom() > work.bottom() && roomAbove > roomBelow)
        r.moveBottom(editor.top() - 1);
    if (r.top() < work.top())
        r.setTop(work.top());
    if (r.bottom() > work.bottom())
        r.setBottom(work.bottom());
    return r;
}

bool DropDownPick::pick(QWidget *editor, QString &key)
{
    table->open();
    pickers::showColumns(grid, columns_);
    if (!key.trimmed().isEmpty()) {
        const int f = table->fieldIndex(keyField_);
        for (int row = 0; row < table->recordCount(); ++row)
            if (pickers::keyText(table->valueAt(row, f)) == key.trimmed()) {
                table->moveTo(row);
                break;
            }
    }
    pickers::syncView(grid);

    QTableView *v = grid->view();
    v->resizeColumnsToContents();
    for (int c = 0; c < v->model()->columnCount(); ++c)
        v->setColumnWidth(c, qMax(v->columnWidth(c), 60));
    const int rows = qBound(4, table->recordCount(), 12);
    const int height = v->horizontalHeader()->sizeHint().height() + rows * v->verticalHeader()->defaultSectionSize() +
                       2 * v->frameWidth() + 2;
    resize(width(), height);
    fitWidth();

    QScreen *screen = nullptr;
    if (editor) {
        anchor_ = QRect(editor->mapToGlobal(QPoint(0, 0)), editor->size());
        screen = editor->screen();
    } else {
        anchor_ = QRect(QCursor::pos(), QSize(0, 0));
    }
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    work_ = screen ? screen->availableGeometry() : QRect(anchor_.topLeft(), size());
    setGeometry(place(anchor_, size(), work_));

    grid->view()->setFocus(); // the popup's keys go to the list
    // The result stays Cancel unless OK is pressed: losing the focus is no choice.
    setResult(QDialog::Rejected);
    const bool ok = app_.dialogs.exec(this) == QDialog::Accepted && table->recNo() >= 0;
    if (ok) {
        key = current(keyField_);
        chosen();
    }
    table->close();
    return ok;
}

// ---- the five pickers ---------------------------------------------------------

TFSelect_Color::TFSelect_Color(AppContext &app, QWidget *parent)
    : DropDownPick(app, QStringLiteral("TFSelect_Color"),
                   QStringLiteral("SELECT ColorID, ColorName FROM Color ORDER BY ColorID"), QStringLiteral("ColorID"),
                   {{QStringLiteral("ColorName"), QStringLiteral("颜色")}}, parent)
{
    table->setUpdateTable(QStringLiteral("Color"), {QStringLiteral("ColorID")});
}

TFSelect_clerk::TFSelect_clerk(AppContext &app, QWidget *parent)
    : DropDownPick(app, QStringLiteral("TFSelect_clerk"),
                   QStringLiteral("SELECT ClerkID, ClerkName FROM Clerk ORDER BY ClerkID"), QStringLiteral("ClerkID"),
                   {{QStringLiteral("ClerkID"), QStringLiteral("员工代号")}, {QStringLiteral("ClerkName"), QStringLiteral("员工姓名")}},
                   parent)
{
    table->setUpdateTable(QStringLiteral("Clerk"), {QStringLiteral("ClerkID")});
}

TFSelect_Account::TFSelect_Account(AppContext &app, QWidget *parent)
    : DropDownPick(app, QStringLiteral("TFSelect_Account"),
                   QStringLiteral("SELECT AccountID, AccountName FROM CostAccount ORDER BY AccountID"),
                   QStringLiteral("AccountID"), {{QStringLiteral("AccountName"), QStringLiteral("帐户名称")}}, parent)
{
    table->setUpdateTable(QStringLiteral("CostAccount"), {QStringLiteral("AccountID")});
}

bool TFSelect_Account::pick(QWidget *editor, QString &accountId, QString &accountName)
{
    if (!DropDownPick::pick(editor, accountId))
        return false;
    accountName = name_;
    return true;
}

void TFSelect_Account::chosen() { name_ = current(QStringLiteral("AccountName")); }

TFSelect_PutCost::TFSelect_PutCost(AppContext &app, QWidget *parent)
    : DropDownPick(app, QStringLiteral("TFSelect_PutCost"),
                   QStringLiteral("SELECT ItemID, ItemName FROM PutCostItem ORDER BY ItemID"), QStringLiteral("ItemID"),
                   {{QStringLiteral("ItemID"), QStringLiteral("项目编号")}, {QStringLiteral("ItemName"), QStringLiteral("项目名称")}},
                   parent)
{
    table->setUpdateTable(QStringLiteral("PutCostItem"), {QStringLiteral("ItemID")});
}

TFSelect_Item::TFSelect_Item(AppContext &app, QWidget *parent)
    : DropDownPick(app, QStringLiteral("TFSelect_Item"),
                   QStringLiteral("SELECT ItemID, ItemName FROM CostItem ORDER BY ItemID"), QStringLiteral("ItemID"),
                   {{QStringLiteral("ItemName"), QStringLiteral("项目名称")}}, parent)
{
    table->setUpdateTable(QStringLiteral("CostItem"), {QStringLiteral("ItemID")});
}

bool PickColor(AppContext &app, QWidget *editor, QString &colorId)
{
    TFSelect_Color picker(app, editor);
    return picker.pick(editor, colorId);
}

bool PickClerk(AppContext &app, QWidget *editor, QString &clerkId)
{
    TFSelect_clerk picker(app, editor);
    return picker.pick(editor, clerkId);
}

bool PickAccount(AppContext &app, QWidget *editor, QString &accountId, QString &accountName)
{
    TFSelect_Account picker(app, editor);
    return picker.pick(editor, accountId, accountName);
}

bool PickPutCost(AppContext &app, QWidget *editor, QString &itemId)
{
    TFSelect_PutCost picker(app, editor);
    return picker.pick(editor, itemId);
}

bool PickItem(AppContext &app, QWidget *editor, QString &itemId)
{
    TFSelect_Item picker(app, editor);
    return picker.pick(editor, itemId);
}
