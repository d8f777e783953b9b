#include "plinth/propsheet.h"
#include "plinth/dialogs.h"
#include "plinth/module.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {
int idOf(const QObject *o)
{
    bool ok = false;
    const int id = o->objectName().toInt(&ok);
    return ok ? id : -1;
}
} // namespace

// ---- Page ------------------------------------------------------------------

CKRPropertyPageEx::CKRPropertyPageEx(unsigned dialogId, unsigned captionId, unsigned headerTitleId,
                                     unsigned headerSubtitleId)
    : m_module(CTModule::GetModule()), m_dialogId(dialogId), m_captionId(captionId),
      m_headerTitleId(headerTitleId), m_headerSubtitleId(headerSubtitleId)
{
    hide();
}

CKRPropertyPageEx::~CKRPropertyPageEx() = default;

void CKRPropertyPageEx::DoDataExchange(bool) {}

BOOL CKRPropertyPageEx::OnInitDialog()
{
    DoDataExchange(false);
    return TRUE;
}

BOOL CKRPropertyPageEx::OnSetActive()
{
    return TRUE;
}

BOOL CKRPropertyPageEx::OnKillActive()
{
    DoDataExchange(true);
    return TRUE;
}

void CKRPropertyPageEx::OnOK() {}
void CKRPropertyPageEx::OnCancel() {}

BOOL CKRPropertyPageEx::OnCommand(unsigned, int)
{
    return FALSE;
}

BOOL CKRPropertyPageEx::PreTranslateMessage(QEvent *)
{
    return FALSE;
}

long CKRPropertyPageEx::OnWizardBack()
{
    return 0;
}

long CKRPropertyPageEx::OnWizardNext()
{
    return 0;
}

BOOL CKRPropertyPageEx::OnWizardFinish()
{
    return TRUE;
}

void CKRPropertyPageEx::InitializeFirstPage() {}

QString CKRPropertyPageEx::GetHelpTopic() const
{
    return {};
}

void CKRPropertyPageEx::LaunchHelp()
{
    plinth::dialogs().showHelp(this, GetHelpTopic());
}

QLineEdit *CKRPropertyPageEx::GetEditControl(unsigned id) const
{
    QWidget *w = GetDlgItem(id);
    if (auto *edit = qobject_cast<QLineEdit *>(w))
        return edit;
    if (auto *combo = qobject_cast<QComboBox *>(w))
        return combo->lineEdit();
    return nullptr;
}

QWidget *CKRPropertyPageEx::GetDlgItem(unsigned id) const
{
    return findChild<QWidget *>(QString::number(id));
}

QString CKRPropertyPageEx::Caption() const
{
    if (m_captionId && m_module)
        return m_module->LoadString(m_captionId);
    if (m_module) {
        auto it = m_module->resources().dialogs.find(m_dialogId);
        if (it != m_module->resources().dialogs.end())
            return QString::fromUtf8(it->second.caption);
    }
    return {};
}

QString CKRPropertyPageEx::HeaderTitle() const
{
    return m_headerTitleId && m_module ? m_module->LoadString(m_headerTitleId) : QString();
}

QString CKRPropertyPageEx::HeaderSubtitle() const
{
    return m_headerSubtitleId && m_module ? m_module->LoadString(m_headerSubtitleId) : QString();
}

bool CKRPropertyPageEx::CreatePage(CKRPropertySheetEx *sheet)
{
    m_sheet = sheet;
    if (m_module) {
        auto it = m_module->resources().dialogs.find(m_dialogId);
        if (it != m_module->resources().dialogs.end() && it->second.build)
            it->second.build(this);
    }
    // Controls report to OnCommand as they would to their dialog.
    for (QWidget *w : findChildren<QWidget *>()) {
        const int id = idOf(w);
        if (id < 0)
            continue;
        const unsigned uid = unsigned(id);
        if (auto *b = qobject_cast<QAbstractButton *>(w))
            connect(b, &QAbstractButton::clicked, this, [this, uid] { OnCommand(uid, BN_CLICKED); });
        else if (auto *c = qobject_cast<QComboBox *>(w))
            connect(c, &QComboBox::activated, this, [this, uid] { OnCommand(uid, CBN_SELCHANGE); });
        else if (auto *e = qobject_cast<QLineEdit *>(w))
            connect(e, &QLineEdit::textChanged, this, [this, uid] { OnCommand(uid, EN_CHANGE); });
    }
    installEventFilter(this);
    m_created = true;
    OnInitDialog();
    InitializeFirstPage();
    return true;
}

void CKRPropertyPageEx::DestroyPage()
{
    if (!m_created)
        return;
    removeEventFilter(this);
    for (QWidget *w : findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        delete w;
    delete layout();
    m_created = false;
}

bool CKRPropertyPageEx::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == this && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) &&
        PreTranslateMessage(event))
        return true;
    return QWidget::eventFilter(watched, event);
}

// ---- Sheet -----------------------------------------------------------------

CRuntimeClass CKRPropertySheetEx::classCKRPropertySheetEx = {"CKRPropertySheetEx", nullptr};

CKRPropertySheetEx::CKRPropertySheetEx() : m_module(CTModule::GetModule())
{
    new QVBoxLayout(this);
}

CKRPropertySheetEx::CKRPropertySheetEx(unsigned captionId, QWidget *parent, unsigned startPage, unsigned watermarkId,
                                       void *palette, unsigned headerId)
    : CKRPropertySheetEx()
{
    Construct(captionId, parent, startPage, watermarkId, palette, headerId);
}

CKRPropertySheetEx::~CKRPropertySheetEx()
{
    // Pages are members of derived classes and are gone by now.
    m_pages.clear();
}

void CKRPropertySheetEx::Construct(unsigned captionId, QWidget *parent, unsigned startPage, unsigned watermarkId,
                                   void *, unsigned headerId)
{
    m_captionId = captionId;
    m_startPage = startPage;
    m_watermarkId = watermarkId;
    m_headerId = headerId;
    if (parent)
        setParent(parent, windowFlags() | Qt::Dialog);
}

void CKRPropertySheetEx::AddPage(CKRPropertyPageEx *page)
{
    if (!page || std::find(m_pages.begin(), m_pages.end(), page) != m_pages.end())
        return;
    m_pages.push_back(page);
    page->m_sheet = this;
    page->setParent(this);
    page->hide();
    if (m_framed) {
        m_stack->addWidget(page);
        if (m_tabs)
            m_tabs->addTab(page->Caption());
    }
}

CKRPropertyPageEx *CKRPropertySheetEx::GetPage(int index) const
{
    return index >= 0 && index < int(m_pages.size()) ? m_pages[std::size_t(index)] : nullptr;
}

void CKRPropertySheetEx::buildFrame()
{
    if (m_framed)
        return;
    m_framed = true;
    if (m_module)
        setWindowTitle(m_module->LoadString(m_captionId));
    m_frame = new QWidget(this);
    layout()->setContentsMargins(0, 0, 0, 0);
    layout()->addWidget(m_frame);
    auto *outer = new QVBoxLayout(m_frame);
    if (IsWizard()) {
        m_header = new QWidget(this);
        auto *h = new QVBoxLayout(m_header);
        m_title = new QLabel(m_header);
        m_title->setObjectName(QStringLiteral("headerTitle"));
        QFont bold = m_title->font();
        bold.setBold(true);
        m_title->setFont(bold);
        m_subtitle = new QLabel(m_header);
        m_subtitle->setObjectName(QStringLiteral("headerSubtitle"));
        m_subtitle->setWordWrap(true);
        h->addWidget(m_title);
        h->addWidget(m_subtitle);
        outer->addWidget(m_header);
    } else {
        m_tabs = new QTabBar(this);
        m_tabs->setObjectName(QStringLiteral("pageTabs"));
        outer->addWidget(m_tabs);
    }
    auto *body = new QHBoxLayout;
    if (IsWizard()) {
        m_watermark = new QLabel(this);
        m_watermark->setObjectName(QStringLiteral("watermark"));
        if (m_module && m_module->resources().bitmaps.count(m_watermarkId))
            m_watermark->setPixmap(QPixmap(QString::fromUtf8(m_module->resources().bitmaps.at(m_watermarkId))));
        m_watermark->hide();
        body->addWidget(m_watermark);
    }
    m_stack = new QStackedWidget(this);
    body->addWidget(m_stack, 1);
    outer->addLayout(body, 1);
    for (CKRPropertyPageEx *p : m_pages) {
        m_stack->addWidget(p);
        if (m_tabs)
            m_tabs->addTab(p->Caption());
    }
    if (m_tabs)
        connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
            if (!switchTo(index)) {
                QSignalBlocker block(m_tabs);
                m_tabs->setCurrentIndex(m_active);
            }
        });

    m_buttons = new QWidget(this);
    auto *row = new QHBoxLayout(m_buttons);
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch(1);
    auto add = [&](int id, const QString &text, auto slot) {
        auto *b = new QPushButton(text, m_buttons);
        b->setObjectName(QString::number(id));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        row->addWidget(b);
        return b;
    };
    if (IsWizard()) {
        add(ID_WIZBACK, tr("< &Back"), [this] {
            if (m_active > 0 && GetActivePage()->OnWizardBack() != -1)
                switchTo(m_active - 1);
        });
        add(ID_WIZNEXT, tr("&Next >"), [this] {
            if (m_active + 1 < GetPageCount() && GetActivePage()->OnWizardNext() != -1)
                switchTo(m_active + 1);
        });
        add(ID_WIZFINISH, tr("&Finish"), [this] {
            if (GetActivePage() && GetActivePage()->OnWizardFinish())
                done(ID_WIZFINISH);
        });
        add(IDCANCEL, tr("Cancel"), [this] { onCancel(); });
    } else {
        add(IDOK, tr("OK"), [this] { onOk(); })->setDefault(true);
        add(IDCANCEL, tr("Cancel"), [this] { onCancel(); });
        if (!(m_dwFlags & PSH_NOAPPLYNOW))
            add(ID_APPLY_NOW, tr("&Apply"), [this] { onApply(); });
    }
    add(IDHELP, tr("Help"), [this] {
        if (GetActivePage())
            GetActivePage()->LaunchHelp();
    });
    outer->addWidget(m_buttons);
}

void CKRPropertySheetEx::teardown()
{
    if (!m_framed)
        return;
    for (CKRPropertyPageEx *p : m_pages) {
        m_stack->removeWidget(p);
        p->setParent(this);
        p->hide();
        p->DestroyPage();
    }
    delete m_frame;
    m_frame = nullptr;
    m_tabs = nullptr;
    m_stack = nullptr;
    m_title = m_subtitle = m_watermark = nullptr;
    m_header = m_buttons = nullptr;
    m_active = -1;
    m_framed = false;
}

BOOL CKRPropertySheetEx::OnInitDialog()
{
    if (m_pages.empty())
        return FALSE;
    const int start = m_startPage < m_pages.size() ? int(m_startPage) : 0;
    if (m_tabs) {
        QSignalBlocker block(m_tabs);
        m_tabs->setCurrentIndex(start);
    }
    if (IsWizard())
        SetWizardButtons(PSWIZB_NEXT);
    switchTo(start);
    return TRUE;
}

int CKRPropertySheetEx::DoModal()
{
    if (m_pages.empty())
        return -1;
    buildFrame();
    OnInitDialog();
    const int result = exec();
    teardown();
    return result;
}

BOOL CKRPropertySheetEx::Create(QWidget *parent)
{
    if (parent)
        setParent(parent, windowFlags() | Qt::Dialog);
    buildFrame();
    OnInitDialog();
    show();
    return TRUE;
}

bool CKRPropertySheetEx::switchTo(int index)
{
    CKRPropertyPageEx *next = GetPage(index);
    if (!next || !m_framed)
        return false;
    if (index == m_active)
        return true;
    if (CKRPropertyPageEx *current = GetActivePage(); current && !current->OnKillActive())
        return false;
    if (!next->IsCreated())
        next->CreatePage(this);
    m_active = index;
    m_stack->setCurrentWidget(next);
    next->show();
    if (m_tabs && m_tabs->currentIndex() != index) {
        QSignalBlocker block(m_tabs);
        m_tabs->setCurrentIndex(index);
    }
    next->OnSetActive();
    updateHeader();
    return true;
}

BOOL CKRPropertySheetEx::SetActivePage(int index)
{
    return switchTo(index);
}

void CKRPropertySheetEx::updateHeader()
{
    CKRPropertyPageEx *p = GetActivePage();
    if (!IsWizard() || !p)
        return;
    const bool exterior = p->m_dwFlags & PSP_HIDEHEADER;
    m_header->setVisible(!exterior);
    m_watermark->setVisible(exterior);
    if (!p->HeaderTitle().isEmpty())
        m_title->setText(p->HeaderTitle());
    if (!p->HeaderSubtitle().isEmpty())
        m_subtitle->setText(p->HeaderSubtitle());
}

void CKRPropertySheetEx::SetHeaderText(const QString &title, const QString &subtitle)
{
    if (m_title)
        m_title->setText(title);
    if (m_subtitle)
        m_subtitle->setText(subtitle);
}

void CKRPropertySheetEx::SetWizardButtons(unsigned flags)
{
    if (!m_buttons)
        return;
    auto button = [this](int id) { return m_buttons->findChild<QPushButton *>(QString::number(id)); };
    if (auto *b = button(ID_WIZBACK))
        b->setEnabled(flags & PSWIZB_BACK);
    if (auto *b = button(ID_WIZNEXT))
        b->setEnabled(flags & PSWIZB_NEXT);
    if (auto *b = button(ID_WIZFINISH)) {
        b->setVisible(flags & (PSWIZB_FINISH | PSWIZB_DISABLEDFINISH));
        b->setEnabled(flags & PSWIZB_FINISH);
    }
}

void CKRPropertySheetEx::PressButton(int id)
{
    if (!m_buttons)
        return;
    if (auto *b = m_buttons->findChild<QPushButton *>(QString::number(id)); b && b->isEnabled())
        b->click();
}

void CKRPropertySheetEx::onOk()
{
    // The page being left may refuse; then the sheet stays open.
    if (CKRPropertyPageEx *current = GetActivePage(); current && !current->OnKillActive())
        return;
    for (CKRPropertyPageEx *p : m_pages)
        if (p->IsCreated())
            p->OnOK();
    done(IDOK);
}

void CKRPropertySheetEx::onApply()
{
    if (CKRPropertyPageEx *current = GetActivePage(); current && !current->OnKillActive())
        return;
    for (CKRPropertyPageEx *p : m_pages)
        if (p->IsCreated())
            p->OnOK();
}

void CKRPropertySheetEx::onCancel()
{
    if (m_closing)
        return;
    m_closing = true;
    for (CKRPropertyPageEx *p : m_pages)
        if (p->IsCreated())
            p->OnCancel();
    m_closing = false;
    done(IDCANCEL);
}

void CKRPropertySheetEx::reject()
{
    onCancel();
}

CRuntimeClass *CKRPropertySheetEx::GetRuntimeClass() const
{
    return &classCKRPropertySheetEx;
}
