#pragma once
// Every modal question goes through a DialogService: production shows real
// dialogs, tests queue answers and read what was asked, so nothing blocks.
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;
class QDialog;

enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgButtons { Ok, OkCancel };
// The answers a box can give; a dialog's exec() result maps Accepted → Ok.
enum class Answer { Ok, Cancel };

struct AskedMessage {
    QString text;
    QString caption;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
};

class DialogService {
public:
    virtual ~DialogService() = default;

    virtual Answer message(QWidget *parent, const QString &text, const QString &caption, MsgIcon icon,
                           MsgButtons buttons) = 0;
    // Shows a dialog modally and returns its result (QDialog::Accepted / Rejected
    // or the value passed to done()).
    virtual int exec(QDialog *dialog) = 0;
    virtual QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
    virtual QString folder(QWidget *parent, const QString &caption, const QString &dir) = 0;
    // Opens a file or address with the desktop's program; false when none could.
    virtual bool openUrl(const QString &fileOrUrl) = 0;

    // Shorthands with the system's caption "提示".
    void inform(QWidget *parent, const QString &text) { message(parent, text, caption(), MsgIcon::Information, MsgButtons::Ok); }
    void warn(QWidget *parent, const QString &text) { message(parent, text, caption(), MsgIcon::Warning, MsgButtons::Ok); }
    void error(QWidget *parent, const QString &text) { message(parent, text, caption(), MsgIcon::Error, MsgButtons::Ok); }
    void say(QWidget *parent, const QString &text) { message(parent, text, caption(), MsgIcon::None, MsgButtons::Ok); }
    // OK and Cancel; true on OK.
    bool confirm(QWidget *parent, const QString &text, MsgIcon icon = MsgIcon::Question)
    {
        return message(parent, text, caption(), icon, MsgButtons::OkCancel) == Answer::Ok;
    }
    static QString caption() { return QStringLiteral("提示"); }
};

// The real thing.
class QtDialogService : public DialogService {
public:
    Answer message(QWidget *parent, const QString &text, const QString &caption, MsgIcon icon, MsgButtons buttons) override;
    int exec(QDialog *dialog) override;
    QString openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) override;
    QString folder(QWidget *parent, const QString &caption, const QString &dir) override;
    bool openUrl(const QString &fileOrUrl) override;
};

// For tests: answers come from queues in order; everything asked is recorded.
// A modal dialog is handed to the next queued handler, which may drive the real
// dialog (fill fields, click buttons) and returns its result.
class ScriptedDialogService : public DialogService {
public:
    // Returns the dialog's result, or -1 for whatever the dialog itself decided
    // (a handler that clicked 确定 returns -1).
    using DialogHandler = std::function<int(QDialog *)>;

    void answer(Answer a) { answers_.append(a); }
    void onDialog(DialogHandler h) { handlers_.append(std::move(h)); }
    void fileName(const QString &name) { files_.append(name); }

    QList<AskedMessage> asked;
    QStringList openedUrls;
    QStringList dialogsShown; // object names or class names, in order
    // Called when something is asked that no queued answer covers.
    std::function<void(const QString &)> onUnexpected;

    QStringList texts() const;
    QString lastText() const { return asked.isEmpty() ? QString() : asked.last().text; }
    bool pendingAnswers() const { return !answers_.isEmpty() || !handlers_.isEmpty() || !files_.isEmpty(); }

    Answer message(QWidget *parent, const QString &text, const QString &caption, MsgIcon icon, MsgButtons buttons) override;
    int exec(QDialog *dialog) override;
    QString openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) override;
    QString folder(QWidget *parent, const QString &caption, const QString &dir) override;
    bool openUrl(const QString &fileOrUrl) override;

private:
    void unexpected(const QString &what);
    QList<Answer> answers_;
    QList<DialogHandler> handlers_;
    QStringList files_;
};
