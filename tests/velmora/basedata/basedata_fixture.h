#pragma once
// Window tests of the base data: a fresh database on each engine, the window
// under test with full rights unless said otherwise, and answers for the
// input box and the record dialogs.
#include "dataset.h"
#include "dataset_model.h"
#include "dbgrid.h"
#include "list_window.h"
#include "small_dialogs.h"
#include "testapp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextDocument>
#include <gtest/gtest.h>
#include <memory>

#include "report_preview.h"

// Readable failures.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

template <class W>
class WindowTest : public testing::TestWithParam<Engine> {
protected:
    void SetUp() override { app = std::make_unique<TestApp>(GetParam()); }
    void TearDown() override
    {
        window.reset();
        if (app) {
            EXPECT_FALSE(app->dialogs.pendingAnswers()) << "answers left over";
        }
    }

    W &open(bool full = true)
    {
        window = std::make_unique<W>(app->ctx);
        window->setFullRights(full);
        window->show();
        return *window;
    }
    Database &db() { return app->db(); }
    int count(const QString &sql, const Params &params = {}) { return int(sqlvalue::toInt(db().scalar(sql, params))); }
    QString last() const { return app->dialogs.lastText(); }

    // The next one-line input box gets this answer (empty: cancelled).
    void answerInput(const QString &text)
    {
        app->dialogs.onDialog([text](QDialog *d) {
            auto *box = qobject_cast<TFMyInputbox *>(d);
            EXPECT_NE(box, nullptr);
            if (!box || text.isEmpty())
                return int(QDialog::Rejected);
            box->Edit1->setText(text);
            return int(QDialog::Accepted);
        });
    }

    // Fills a record dialog's editors by field name.
    static void fill(QDialog *d, const QList<QPair<QString, QString>> &values)
    {
        for (const auto &[field, text] : values) {
            QWidget *w = d->findChild<QWidget *>(field);
            if (auto *e = qobject_cast<QLineEdit *>(w))
                e->setText(text);
            else if (auto *m = qobject_cast<QPlainTextEdit *>(w))
                m->setPlainText(text);
            else if (auto *c = qobject_cast<QComboBox *>(w))
                c->setCurrentIndex(c->findText(text));
            else
                ADD_FAILURE() << "no editor for " << field.toStdString();
        }
    }
    static void clickOk(QDialog *d) { QTest::mouseClick(static_cast<RecordDialog *>(d)->okButton, Qt::LeftButton); }

    // Report templates beside the "program" so that printing finds them.
    void installReports()
    {
        QDir(app->dir.path()).mkpath(QStringLiteral("report"));
        const QDir src(QStringLiteral(VELMORA_REPORT_DIR));
        for (const QString &f : src.entryList({QStringLiteral("*.html")}))
            QFile::copy(src.filePath(f), QDir(app->dir.path()).filePath(QStringLiteral("report/") + f));
    }
    // Prints and returns the preview's text.
    QString printed(const std::function<void()> &print)
    {
        installReports();
        QString text;
        app->dialogs.onDialog([&text](QDialog *d) {
            if (auto *p = qobject_cast<TFfrPrview *>(d); p && p->report())
                text = p->report()->document().toPlainText();
            return int(QDialog::Accepted);
        });
        print();
        return text;
    }

    std::unique_ptr<TestApp> app;
    std::unique_ptr<W> window;
};

// Every button of the list that only full rights enable.
inline void expectEditingDisabled(QWidget *w, const QStringList &buttons)
{
    for (const QString &name : buttons) {
        auto *b = w->findChild<QPushButton *>(name);
        ASSERT_NE(b, nullptr) << name.toStdString();
        EXPECT_FALSE(b->isEnabled()) << name.toStdString();
    }
    for (DBGrid *g : w->findChildren<DBGrid *>()) {
        EXPECT_TRUE(g->isReadOnly()) << g->objectName().toStdString();
        if (g->model() && g->model()->rowCount() > 0) {
            for (int c = 0; c < g->model()->columnCount(); ++c)
                EXPECT_FALSE(g->model()->flags(g->model()->index(0, c)) & Qt::ItemIsEditable);
        }
    }
}
