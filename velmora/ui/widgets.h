#pragma once
// Small widget makers the windows share.
#include <QString>

class QHBoxLayout;
class QPushButton;
class QWidget;

// A push button named for tests; Enter moves on rather than pressing it (the
// form keys decide what Enter does).
QPushButton *makeButton(QWidget *parent, const QString &objectName, const QString &text);
// The 确定/取消 row at the bottom of a dialog, right-aligned.
QHBoxLayout *buttonRow(QPushButton *ok, QPushButton *cancel);
