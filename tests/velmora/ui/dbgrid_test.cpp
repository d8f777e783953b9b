#include "dataset.h"
#include "dataset_model.h"
#include "dbgrid.h"
#include "testapp.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

class DBGridTest : public testing::Test {
protected:
    void SetUp() override
    {
        app = std::make_unique<TestApp>(Engine::SQLite);
        app->db().exec(QStringLiteral("INSERT INTO Client(ClientID, ClientName, Cost, FactCost) VALUES"
                                      "('A','甲',1234.5,1),('B','乙',0.25,2),('C','丙',-100,NULL)"));
        ds = std::make_unique<DataSet>(&app->db());
        ds->setSql(QStringLiteral("SELECT ClientID, ClientName, Cost, FactCost, 2 AS Amount FROM Client WHERE ClientID IN ('A','B','C') ORDER BY ClientID"));
        ds->setUpdateTable(QStringLiteral("Client"), {QStringLiteral("ClientID")});
        ds->open();
        grid.setDataSet(ds.get());
        grid.resize(600, 300);
        grid.show();
    }
    std::unique_ptr<TestApp> app;
    std::unique_ptr<DataSet> ds;
    DBGrid grid;
};

TEST_F(DBGridTest, TheFooterSumsChosenAmounts)
{
    grid.setSumFields({QStringLiteral("Cost"), QStringLiteral("FactCost")});
    EXPECT_EQ(grid.footerText(QStringLiteral("Cost")), QStringLiteral("1,134.75"));
    EXPECT_EQ(grid.footerText(QStringLiteral("FactCost")), QStringLiteral("3.00")); // a null counts as 0
    EXPECT_EQ(grid.footerText(QStringLiteral("ClientName")), QString());
    grid.setSumFields({QStringLiteral("Cost"), QStringLiteral("Amount")});
    EXPECT_EQ(grid.footerText(QStringLiteral("Amount")), QStringLiteral("6")); // quantities as whole numbers
    ds->first();
    ds->setValue(QStringLiteral("Cost"), QStringLiteral("0"));
    EXPECT_EQ(grid.footerText(QStringLiteral("Cost")), QStringLiteral("-99.75"));
    // Line numbers down the side.
    EXPECT_EQ(grid.model()->headerData(2, Qt::Vertical, Qt::DisplayRole).toInt(), 3);
}

TEST_F(DBGridTest, EnterMovesToTheNextCellThenTheNextRow)
{
    const int cols = grid.model()->columnCount();
    grid.view()->setCurrentIndex(grid.model()->index(0, cols - 1));
    focusOn(grid.view());
    QTest::keyClick(grid.view(), Qt::Key_Return);
    EXPECT_EQ(grid.view()->currentIndex(), grid.model()->index(1, 0));
    EXPECT_EQ(ds->recNo(), 1); // the data set follows the cursor
    bool ended = false;
    QObject::connect(grid.view(), &GridView::endReached, [&] { ended = true; });
    grid.view()->setCurrentIndex(grid.model()->index(2, cols - 1));
    QTest::keyClick(grid.view(), Qt::Key_Return);
    EXPECT_TRUE(ended);
}

TEST_F(DBGridTest, ReadOnlyGridsRefuseEdits)
{
    const QModelIndex name = grid.model()->index(0, grid.model()->columnOfField(QStringLiteral("ClientName")));
    EXPECT_TRUE(grid.model()->flags(name) & Qt::ItemIsEditable);
    grid.setReadOnly(true);
    EXPECT_FALSE(grid.model()->flags(name) & Qt::ItemIsEditable);
    EXPECT_FALSE(grid.model()->setData(name, QStringLiteral("x"), Qt::EditRole));
}

TEST_F(DBGridTest, PickListsAndEllipsisButtonsAreTheCellEditors)
{
    grid.setPickList(QStringLiteral("ClientName"), {QStringLiteral("甲"), QStringLiteral("乙")});
    grid.setEllipsis(QStringLiteral("ClientID"));
    QString clicked;
    QObject::connect(&grid, &DBGrid::ellipsisClicked, [&](const QString &f) { clicked = f; });

    const QModelIndex name = grid.model()->index(1, grid.model()->columnOfField(QStringLiteral("ClientName")));
    grid.view()->setCurrentIndex(name);
    grid.view()->edit(name);
    auto *combo = grid.view()->findChild<QComboBox *>();
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 2);
    combo->setCurrentText(QStringLiteral("甲"));
    grid.view()->setCurrentIndex(grid.model()->index(1, 0)); // leaving the cell commits
    EXPECT_EQ(ds->valueAt(1, ds->fieldIndex(QStringLiteral("ClientName"))).toString(), QStringLiteral("甲"));

    const QModelIndex id = grid.model()->index(0, grid.model()->columnOfField(QStringLiteral("ClientID")));
    grid.view()->setCurrentIndex(id);
    grid.view()->edit(id);
    auto *button = grid.view()->findChild<QToolButton *>(QStringLiteral("ellipsis"));
    ASSERT_NE(button, nullptr);
    button->click();
    EXPECT_EQ(clicked, QStringLiteral("ClientID"));
}
