// Property sheets and wizards with MFC-style pages on Qt widgets.
#pragma once

#include "plinth/object.h"

#include <QDialog>
#include <QWidget>

#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTabBar;
class CTModule;
class CKRPropertySheetEx;

// Dialog results and command ids.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
constexpr int IDHELP = 9;
constexpr int ID_APPLY_NOW = 0x3021;
constexpr int ID_WIZBACK = 0x3023;
constexpr int ID_WIZNEXT = 0x3024;
constexpr int ID_WIZFINISH = 0x3025; // 12325

// Notification codes passed to OnCommand.
constexpr int BN_CLICKED = 0;
constexpr int CBN_SELCHANGE = 1;
constexpr int EN_CHANGE = 0x300;

constexpr unsigned PSH_NOAPPLYNOW = 0x80;
constexpr unsigned PSH_WIZARD = 0x20;
constexpr unsigned PSWIZB_BACK = 1;
constexpr unsigned PSWIZB_NEXT = 2;
constexpr unsigned PSWIZB_FINISH = 4;
constexpr unsigned PSWIZB_DISABLEDFINISH = 8;
constexpr unsigned PSP_HIDEHEADER = 0x800;

class CKRPropertyPageEx : public QWidget {
    Q_OBJECT
public:
    CKRPropertyPageEx(unsigned dialogId, unsigned captionId = 0, unsigned headerTitleId = 0,
                      unsigned headerSubtitleId = 0);
    ~CKRPropertyPageEx() override;

    // Overrides call the base first.
    virtual void DoDataExchange(bool saveAndValidate);
    virtual BOOL OnInitDialog();
    virtual BOOL OnSetActive();
    virtual BOOL OnKillActive();
    virtual void OnOK();
    virtual void OnCancel();
    // A control reported: its id and the notification code.
    virtual BOOL OnCommand(unsigned id, int code);
    virtual BOOL PreTranslateMessage(QEvent *event);
    // Wizard pages: 0 goes on, -1 stays.
    virtual long OnWizardBack();
    virtual long OnWizardNext();
    virtual BOOL OnWizardFinish();
    // Welcome pages set the large title font here.
    virtual void InitializeFirstPage();
    // The page's help topic file name.
    virtual QString GetHelpTopic() const;
    void LaunchHelp();

    QLineEdit *GetEditControl(unsigned id) const;
    QWidget *GetDlgItem(unsigned id) const;
    // The page's window: null until the page is first shown.
    QWidget *GetHWND() { return m_created ? this : nullptr; }
    // The sheet that holds the page.
    CKRPropertySheetEx *GetParentSheet() const { return m_sheet; }
    bool IsCreated() const { return m_created; }
    unsigned DialogId() const { return m_dialogId; }
    QString Caption() const;
    QString HeaderTitle() const;
    QString HeaderSubtitle() const;
    unsigned m_dwFlags = 0; // PSP_HIDEHEADER for exterior wizard pages

protected:
    CTModule *m_module;

private:
    friend class CKRPropertySheetEx;
    bool CreatePage(CKRPropertySheetEx *sheet);
    void DestroyPage();
    bool eventFilter(QObject *watched, QEvent *event) override;

    unsigned m_dialogId;
    unsigned m_captionId;
    unsigned m_headerTitleId;
    unsigned m_headerSubtitleId;
    bool m_created = false;
    CKRPropertySheetEx *m_sheet = nullptr;
};

class CKRPropertySheetEx : public QDialog, public CCmdTarget {
    Q_OBJECT
public:
    CKRPropertySheetEx();
    explicit CKRPropertySheetEx(unsigned captionId, QWidget *parent = nullptr, unsigned startPage = 0,
                                unsigned watermarkId = 0, void *palette = nullptr, unsigned headerId = 0);
    ~CKRPropertySheetEx() override;

    void Construct(unsigned captionId, QWidget *parent = nullptr, unsigned startPage = 0, unsigned watermarkId = 0,
                   void *palette = nullptr, unsigned headerId = 0);
    // A page already in the sheet is not added twice.
    void AddPage(CKRPropertyPageEx *page);
    // IDOK, IDCANCEL or ID_WIZFINISH.
    virtual int DoModal();
    // Modeless: shows the sheet and returns.
    BOOL Create(QWidget *parent = nullptr);
    virtual BOOL OnInitDialog();
    QWidget *GetHWND() { return this; }
    void SetHeaderText(const QString &title, const QString &subtitle);
    void SetWizardMode() { m_dwFlags |= PSH_WIZARD; }
    bool IsWizard() const { return m_dwFlags & PSH_WIZARD; }
    void SetWizardButtons(unsigned flags);

    int GetPageCount() const { return int(m_pages.size()); }
    CKRPropertyPageEx *GetPage(int index) const;
    CKRPropertyPageEx *GetActivePage() const { return GetPage(m_active); }
    int GetActiveIndex() const { return m_active; }
    BOOL SetActivePage(int index);
    // Presses a button as the user would (IDOK, IDCANCEL, IDHELP, ID_WIZ*).
    void PressButton(int id);

    unsigned m_dwFlags = 0;

    CRuntimeClass *GetRuntimeClass() const override;
    static CRuntimeClass classCKRPropertySheetEx;

protected:
    void reject() override;
    CTModule *m_module;

private:
    void buildFrame();
    void teardown();
    bool switchTo(int index);
    void onOk();
    void onCancel();
    void onApply();
    void updateHeader();

    std::vector<CKRPropertyPageEx *> m_pages;
    unsigned m_captionId = 0;
    unsigned m_startPage = 0;
    unsigned m_watermarkId = 0;
    unsigned m_headerId = 0;
    int m_active = -1;
    bool m_framed = false;
    bool m_closing = false;
    QTabBar *m_tabs = nullptr;
    QStackedWidget *m_stack = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_subtitle = nullptr;
    QLabel *m_watermark = nullptr;
    QWidget *m_header = nullptr;
    QWidget *m_buttons = nullptr;
    QWidget *m_frame = nullptr;
};
