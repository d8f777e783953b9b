#include "wait_dialog.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

TFwait::TFwait(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFwait"));
    setWindowTitle(QStringLiteral("数据处理"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowStaysOnTopHint);
    setWindowModality(Qt::ApplicationModal);

    auto *frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Bevel1"));
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Sunken);
    auto *inner = new QVBoxLayout(frame);
    label_ = new QLabel(QStringLiteral("系统正在汇总数据，请稍等……"), frame);
    label_->setObjectName(QStringLiteral("Label1"));
    label_->setAlignment(Qt::AlignCenter);
    inner->addWidget(label_);

    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("ProgressBar1"));
    bar_->setRange(0, 100);
    bar_->setValue(0);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(bar_);
    setFixedSize(sizeHint().expandedTo(QSize(320, 110)));
}

void TFwait::setProgress(int percent)
{
    bar_->setValue(std::clamp(percent, 0, 100));
    QCoreApplication::processEvents();
}

int TFwait::progress() const { return bar_->value(); }

void TFwait::finish() { done(Accepted); }

void TFwait::reject() {} // Esc or the title bar: the work is not interruptible

void TFwait::showEvent(QShowEvent *e)
{
    bar_->setValue(0);
    QDialog::showEvent(e);
    if (!parentWidget())
        if (const QScreen *s = QGuiApplication::primaryScreen())
            move(s->availableGeometry().center() - rect().center());
}
