#include "dbgrid.h"

#include "dataset.h"
#include "dataset_model.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QVBoxLayout>

// ---- footer -------------------------------------------------------------------

class FooterBar : public QWidget {
public:
    explicit FooterBar(DBGrid *grid) : QWidget(grid), grid_(grid) { setFixedHeight(fontMetrics().height() + 8); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().button());
        const QTableView *v = grid_->view_;
        const int offset = v->verticalHeader()->isVisible() ? v->verticalHeader()->width() + v->frameWidth() : v->frameWidth();
        if (!grid_->model_)
            return;
        for (int c = 0; c < grid_->model_->columnCount(); ++c) {
            if (v->isColumnHidden(c))
                continue;
            const int x = offset + v->columnViewportPosition(c);
            const QRect cell(x, 0, v->columnWidth(c), height());
            const int f = grid_->model_->fieldOfColumn(c);
            const QString field = f < 0 ? QString() : grid_->ds_->fields()[f].name;
            QString text = c == 0 ? QStringLiteral("合计") : grid_->footerText(field);
            if (c == 0 && grid_->sums_.contains(field, Qt::CaseInsensitive))
                text = grid_->footerText(field);
            p.drawRect(cell.adjusted(0, 0, -1, -1));
            p.drawText(cell.adjusted(3, 0, -3, 0), Qt::AlignVCenter | (c == 0 ? Qt::AlignLeft : Qt::AlignRight), text);
        }
    }

private:
    DBGrid *grid_;
};

// ---- editors: ellipsis button and pick list ---------------------------------

class EllipsisEditor : public QWidget {
public:
    EllipsisEditor(QWidget *parent, std::function<void()> clicked) : QWidget(parent)
    {
        auto *l = new QHBoxLayout(this);
        l->setContentsMargins(0, 0, 0, 0);
        l->setSpacing(0);
        edit = new QLineEdit(this);
        auto *b = new QToolButton(this);
        b->setObjectName(QStringLiteral("ellipsis"));
        b->setText(QStringLiteral("..."));
        l->addWidget(edit);
        l->addWidget(b);
        setFocusProxy(edit);
        connect(b, &QToolButton::clicked, this, clicked);
    }
    QLineEdit *edit;
};

class GridDelegate : public QStyledItemDelegate {
public:
    explicit GridDelegate(DBGrid *grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QString field = fieldOf(index);
        if (grid_->pickLists_.contains(field.toLower())) {
            auto *combo = new QComboBox(parent);
            combo->setEditable(true);
            combo->addItems(grid_->pickLists_.value(field.toLower()));
            return combo;
        }
        if (grid_->ellipsis_.contains(field.toLower()))
            return new EllipsisEditor(parent, [g = grid_, field] { emit g->ellipsisClicked(field); });
        return QStyledItemDelegate::createEditor(parent, option, index);
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        const QString text = index.data(Qt::EditRole).toString();
        if (auto *combo = qobject_cast<QComboBox *>(editor))
            combo->setCurrentText(text);
        else if (auto *e = dynamic_cast<EllipsisEditor *>(editor))
            e->edit->setText(text);
        else
            QStyledItemDelegate::setEditorData(editor, index);
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        if (auto *combo = qobject_cast<QComboBox *>(editor))
            model->setData(index, combo->currentText(), Qt::EditRole);
        else if (auto *e = dynamic_cast<EllipsisEditor *>(editor))
            model->setData(index, e->edit->text(), Qt::EditRole);
        else
            QStyledItemDelegate::setModelData(editor, model, index);
    }

private:
    QString fieldOf(const QModelIndex &index) const
    {
        const int f = grid_->model_->fieldOfColumn(index.column());
        return f < 0 ? QString() : grid_->ds_->fields()[f].name;
    }
    DBGrid *grid_;
};

// ---- view -----------------------------------------------------------------------

void GridView::commitEditor()
{
    if (state() != QAbstractItemView::EditingState)
        return;
    if (QWidget *editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void GridView::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && model()) {
        // Enter acts as Tab: next visible column, then the next row.
        QModelIndex cur = currentIndex();
        if (state() == QAbstractItemView::EditingState && cur.isValid())
            commitData(indexWidget(cur) ? indexWidget(cur) : focusWidget());
        const int rows = model()->rowCount(), cols = model()->columnCount();
        if (!cur.isValid() && rows > 0) {
            setCurrentIndex(model()->index(0, 0));
            return;
        }
        int r = cur.row(), c = cur.column();
        do {
            if (++c >= cols) {
                c = 0;
                ++r;
            }
        } while (r < rows && isColumnHidden(c));
        if (r >= rows) {
            emit endReached();
            return;
        }
        setCurrentIndex(model()->index(r, c));
        return;
    }
    QTableView::keyPressEvent(event);
}

// ---- grid -----------------------------------------------------------------------

DBGrid::DBGrid(QWidget *parent) : QWidget(parent), view_(new GridView(this)), footer_(new FooterBar(this))
{
    auto *l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    l->addWidget(view_);
    l->addWidget(footer_);
    footer_->hide();
    view_->setSelectionBehavior(QAbstractItemView::SelectItems);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 8);
    view_->setItemDelegate(new GridDelegate(this));
    connect(view_->horizontalHeader(), &QHeaderView::sectionResized, footer_, qOverload<>(&QWidget::update));
    connect(view_->horizontalScrollBar(), &QScrollBar::valueChanged, footer_, qOverload<>(&QWidget::update));
    connect(view_, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        const int f = model_ ? model_->fieldOfColumn(index.column()) : -1;
        if (f >= 0)
            emit cellDoubleClicked(ds_->fields()[f].name);
    });
}

void DBGrid::setDataSet(DataSet *ds)
{
    ds_ = ds;
    delete model_;
    model_ = new DataSetModel(ds, this);
    model_->setEditable(!readOnly_);
    view_->setModel(model_);
    connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &cur) {
        if (cur.isValid() && ds_->isActive() && cur.row() != ds_->recNo()) {
            try {
                ds_->moveTo(cur.row());
            } catch (const DbError &e) {
                syncFromDataSet();
                emit postRefused(e.message());
            } catch (...) {
                // a refused post keeps the cursor on the row being edited
                syncFromDataSet();
            }
        }
    });
    connect(ds_, &DataSet::currentChanged, this, [this] { syncFromDataSet(); });
    auto refresh = [this] { refreshFooter(); };
    connect(model_, &QAbstractItemModel::dataChanged, this, refresh);
    connect(model_, &QAbstractItemModel::modelReset, this, refresh);
    connect(model_, &QAbstractItemModel::rowsInserted, this, refresh);
    connect(model_, &QAbstractItemModel::rowsRemoved, this, refresh);
    syncFromDataSet();
}

void DBGrid::syncFromDataSet()
{
    if (!ds_ || !model_ || ds_->recNo() < 0)
        return;
    const QModelIndex cur = view_->currentIndex();
    if (cur.isValid() && cur.row() == ds_->recNo())
        return;
    view_->setCurrentIndex(model_->index(ds_->recNo(), cur.isValid() ? cur.column() : 0));
}

void DBGrid::setReadOnly(bool on)
{
    readOnly_ = on;
    if (model_)
        model_->setEditable(!on);
}

void DBGrid::setFooterVisible(bool on) { footer_->setVisible(on); }

void DBGrid::setSumFields(const QStringList &fields)
{
    sums_ = fields;
    setFooterVisible(true);
    refreshFooter();
}

QString DBGrid::footerText(const QString &field) const
{
    if (!ds_ || !sums_.contains(field, Qt::CaseInsensitive))
        return {};
    const int f = ds_->fieldIndex(field);
    if (f < 0)
        return {};
    Money total;
    for (int r = 0; r < ds_->recordCount(); ++r)
        total += Money::fromVariant(ds_->valueAt(r, f));
    // Quantities sum as whole numbers; amounts as "#,###.00".
    if (ds_->fields()[f].kind == ColumnKind::Int)
        return total.toString(0);
    return total.toDisplay();
}

void DBGrid::setEllipsis(const QString &field)
{
    if (!ellipsis_.contains(field.toLower()))
        ellipsis_ << field.toLower();
}

void DBGrid::setPickList(const QString &field, const QStringList &items) { pickLists_.insert(field.toLower(), items); }

void DBGrid::focusField(const QString &field)
{
    view_->setFocus();
    if (!model_ || ds_->recNo() < 0)
        return;
    const int c = model_->columnOfField(field);
    if (c >= 0)
        view_->setCurrentIndex(model_->index(ds_->recNo(), c));
}

QString DBGrid::currentField() const
{
    const int f = model_ ? model_->fieldOfColumn(view_->currentIndex().column()) : -1;
    return f < 0 ? QString() : ds_->fields()[f].name;
}

void DBGrid::refreshFooter() { footer_->update(); }
