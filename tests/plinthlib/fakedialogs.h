// A dialog service for tests: answers from a queue and records every question.
#pragma once

#include "plinth/dialogs.h"
#include "plinth/propsheet.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <optional>
#include <vector>

class FakeDialogs final : public plinth::DialogService {
public:
    struct Question {
        QString kind; // "message", "folder", "files", "help"
        QString text;
        QString caption;
        unsigned type = 0;
        QString filter;
        QString initial;
    };

    FakeDialogs() : m_previous(plinth::setDialogService(this)) {}
    ~FakeDialogs() override { plinth::setDialogService(m_previous); }

    int messageBox(QWidget *, const QString &text, const QString &caption, unsigned type) override
    {
        asked.push_back({QStringLiteral("message"), text, caption, type, {}, {}});
        if (messageAnswers.empty())
            return (type & 0xF) == plinth::MB_YESNO ? IDNO : IDOK;
        const int a = messageAnswers.front();
        messageAnswers.pop_front();
        return a;
    }
    std::optional<QString> browseForFolder(QWidget *, const QString &title, const QString &folder) override
    {
        asked.push_back({QStringLiteral("folder"), title, {}, 0, {}, folder});
        if (folderAnswers.empty())
            return std::nullopt;
        // Unpacked by hand: copying the optional trips a false GCC 12 warning.
        const bool answered = folderAnswers.front().has_value();
        const QString folderChosen = answered ? *folderAnswers.front() : QString();
        folderAnswers.pop_front();
        if (!answered)
            return std::nullopt;
        return folderChosen;
    }
    QStringList openFiles(QWidget *, const QString &title, const QString &filter, const QString &initial,
                          bool) override
    {
        asked.push_back({QStringLiteral("files"), title, {}, 0, filter, initial});
        if (fileAnswers.empty())
            return {};
        auto a = fileAnswers.front();
        fileAnswers.pop_front();
        return a;
    }
    void showHelp(QWidget *, const QString &topic) override
    {
        asked.push_back({QStringLiteral("help"), topic, {}, 0, {}, {}});
    }

    std::vector<Question> messages() const
    {
        std::vector<Question> out;
        for (const auto &q : asked)
            if (q.kind == QLatin1String("message"))
                out.push_back(q);
        return out;
    }

    std::vector<Question> asked;
    std::deque<int> messageAnswers;
    std::deque<std::optional<QString>> folderAnswers;
    std::deque<QStringList> fileAnswers;

private:
    plinth::DialogService *m_previous;
};
