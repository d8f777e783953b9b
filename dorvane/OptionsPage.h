// What every page of the options sheet shares: its sheet, its help topic
// and check boxes that carry the host's 16-bit booleans.
#pragma once

#include "plinth/propsheet.h"

#include <optional>

class CToolsOptions;
class QAbstractButton;

class COptionsPage : public CKRPropertyPageEx {
public:
    explicit COptionsPage(unsigned dialogId) : CKRPropertyPageEx(dialogId, 0, 0, 0) {}
    QString GetHelpTopic() const override;

protected:
    // The sheet, found as the parent of the page's window.
    CToolsOptions *Sheet() const;
    QAbstractButton *Button(int id) const;
    // Checked when the host's boolean is non-zero.
    void SetCheck(int id, VARIANT_BOOL value);
    // -1 when checked, 0 when not.
    VARIANT_BOOL CheckValue(int id) const;
};

// Shows the wait cursor for a scope.
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor &) = delete;
    CWaitCursor &operator=(const CWaitCursor &) = delete;
};

class CGeneral : public COptionsPage {
public:
    CGeneral();
    BOOL OnInitDialog() override;
    void OnOK() override;
};

class CPreferences : public COptionsPage {
public:
    CPreferences();
    BOOL OnInitDialog() override;
    void OnOK() override;
};

class CInterface : public COptionsPage {
public:
    CInterface();
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnCommand(unsigned id, int code) override;

    // The list entry of a navigation file, or none; and the file of an entry.
    static std::optional<QString> EntryForFile(const QString &file, const QString &suiteFile, bool crossmend);
    QString FileForEntry(const QString &entry);

private:
    void ShowDescription();
    bool m_projectOpen = false;
};

class CDirectory : public COptionsPage {
public:
    CDirectory();
    BOOL OnInitDialog() override;
    void OnOK() override;
};

class CPathVariables : public COptionsPage {
public:
    CPathVariables();
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnCommand(unsigned id, int code) override;

private:
    void EnableCreateBox();
};
