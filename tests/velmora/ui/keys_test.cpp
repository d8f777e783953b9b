#include "keys.h"
#include "testapp.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QVBoxLayout>

namespace {
struct Form {
    QDialog dialog;
    QLineEdit *a = new QLineEdit(&dialog);
    QLineEdit *b = new QLineEdit(&dialog);
    QPushButton *ok = new QPushButton(QStringLiteral("确定"), &dialog);
    QTableWidget *table = new QTableWidget(2, 2, &dialog);
    Form()
    {
        auto *l = new QVBoxLayout(&dialog);
        for (QWidget *w : {static_cast<QWidget *>(a), static_cast<QWidget *>(b), static_cast<QWidget *>(ok),
                           static_cast<QWidget *>(table)})
            l->addWidget(w);
        ok->setAutoDefault(false);
        dialog.show();
    }
};
} // namespace

TEST(FormKeys, EnterAndArrowsMoveEscCloses)
{
    Form f;
    FormKeys::install(&f.dialog, FormKeys::Defaults | FormKeys::ArrowsMove);
    focusOn(f.a);
    QTest::keyClick(f.a, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), f.b);
    QTest::keyClick(f.b, Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), f.a);
    QTest::keyClick(f.a, Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), f.b);
    bool clicked = false;
    QObject::connect(f.ok, &QPushButton::clicked, [&] { clicked = true; });
    focusOn(f.ok);
    QTest::keyClick(f.ok, Qt::Key_Return); // Enter on a button presses it
    EXPECT_TRUE(clicked);
    QTest::keyClick(f.a, Qt::Key_Escape);
    EXPECT_EQ(f.dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(f.dialog.isVisible());
}

TEST(FormKeys, CommandKeysAndDelete)
{
    Form f;
    auto *keys = FormKeys::install(&f.dialog);
    QStringList ran;
    for (int k : {Qt::Key_S, Qt::Key_P, Qt::Key_N, Qt::Key_E, Qt::Key_F, Qt::Key_D})
        keys->bindCtrl(k, [&ran, k] { ran << QString(QChar(k)); });
    keys->bindDelete([&ran] { ran << QStringLiteral("del"); });
    keys->bindEnter(f.b, [&ran] { ran << QStringLiteral("enter-b"); });
    focusOn(f.a);
    for (int k : {Qt::Key_S, Qt::Key_P, Qt::Key_N, Qt::Key_E, Qt::Key_F, Qt::Key_D})
        QTest::keyClick(f.a, Qt::Key(k), Qt::ControlModifier);
    QTest::keyClick(f.a, Qt::Key_Delete); // in an edit Delete deletes text, not the record
    focusOn(f.table);
    QTest::keyClick(f.table, Qt::Key_Delete); // on a grid not being edited it presses 删除
    focusOn(f.b);
    QTest::keyClick(f.b, Qt::Key_Return);
    EXPECT_EQ(ran, (QStringList{QStringLiteral("S"), QStringLiteral("P"), QStringLiteral("N"), QStringLiteral("E"),
                                QStringLiteral("F"), QStringLiteral("D"), QStringLiteral("del"), QStringLiteral("enter-b")}));
}
