#include "ComException.h"
#include "OptionsPage.h"
#include "ToolsOptions.h"
#include "resource.h"

#include "plinth/dlgbuild.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

using namespace plinth::dlg;

namespace {

struct KnownStyle {
    const char *file;
    const char *entry; // null: never listed
};

// The navigation files this page knows.
constexpr KnownStyle kKnown[] = {
    {"pelmor.nav", "Pelmor"}, {"sorrel.nav", "Sorrelby"}, {"ambry.nav", "Ambryn"},
    {"tolwen.nav", nullptr},  {"brask.nav", nullptr},     {"cindel.nav", nullptr},
};
const QString kFennick = QStringLiteral("Fennick");
constexpr int kDescriptionBuffer = 3096;

bool same(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString joinPath(QString folder, const QString &name)
{
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + name;
}

// "NavDesc" of section "General", read as a profile file reads it.
QString readNavDescription(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    bool inGeneral = false;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGeneral = same(line.mid(1, line.indexOf(QLatin1Char(']')) - 1).trimmed(), QStringLiteral("General"));
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (!inGeneral || eq < 0 || !same(line.left(eq).trimmed(), QStringLiteral("NavDesc")))
            continue;
        QString value = line.mid(eq + 1).trimmed();
        if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
            value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        return value.left(kDescriptionBuffer - 1);
    }
    return {};
}

} // namespace

void BuildInterface(QWidget *page)
{
    auto *v = new QVBoxLayout(page);
    heading(v, kNoId, QStringLiteral("Don't ask me"), kNoId, kNoId, QString(), kNoId,
            QStringLiteral("Always create new components and features when required. Unchecking this will prompt me "
                           "before creating new components or features."));
    checkBox(v, IDC_ALWAYS_CREATE, QStringLiteral("&Always create new components and features."));
    checkBox(v, IDC_CONFIRM_DELETION, QStringLiteral("Always confirm component &deletion"));
    heading(v, IDC_VIEW_HEADING, QStringLiteral("View Organization"), IDC_VIEW_LINE, IDC_VIEW_ICON, QString(),
            IDC_VIEW_TEXT,
            QStringLiteral("Select the view list style then restart the application in order to see the change."));
    label(v, IDC_VIEW_LABEL, QStringLiteral("&View List Styles"));
    dropDownList(v, IDC_NAV_LIST, true);
    QGroupBox *group = groupBox(v, IDC_VIEW_GROUP, QStringLiteral("Style Description"));
    auto *g = new QVBoxLayout(group);
    label(g, IDC_NAV_DESCRIPTION, QString());
    v->addStretch(1);
}

CInterface::CInterface() : COptionsPage(IDD_USER_INTERFACE) {}

std::optional<QString> CInterface::EntryForFile(const QString &file, const QString &suiteFile, bool crossmend)
{
    for (const auto &k : kKnown)
        if (same(file, QString::fromLatin1(k.file)))
            return k.entry ? std::optional<QString>(QString::fromLatin1(k.entry)) : std::nullopt;
    if (same(file, suiteFile))
        return crossmend ? std::optional<QString>(kFennick) : std::nullopt;
    return file;
}

QString CInterface::FileForEntry(const QString &entry)
{
    for (const auto &k : kKnown)
        if (k.entry && entry == QLatin1String(k.entry))
            return QString::fromLatin1(k.file);
    if (entry == kFennick) {
        ISuiteInfo *s = Sheet()->m_suiteInfo;
        CComBSTR file;
        CheckHost(s->GetSuiteNavFile(&file), s, IID_ISuiteInfo);
        return QString::fromStdString(file.ansi());
    }
    return entry;
}

BOOL CInterface::OnInitDialog()
{
    COptionsPage::OnInitDialog();
    CWaitCursor wait;
    try {
        CToolsOptions *sheet = Sheet();
        IOptionSettings *o = sheet->m_optionSettings;
        VARIANT_BOOL v = 0;
        CheckHost(o->get_PromptNewComponents(&v), o, IID_IOptionSettings);
        SetCheck(IDC_ALWAYS_CREATE, v == VARIANT_FALSE ? VARIANT_TRUE : VARIANT_FALSE);
        CheckHost(o->get_ConfirmComponentDeletion(&v), o, IID_IOptionSettings);
        SetCheck(IDC_CONFIRM_DELETION, v);

        CComPtr<IUnknown> project;
        CheckHost(sheet->m_ideShell->GetOpenProject(&project), sheet->m_ideShell, IID_IIdeShell);
        if (project) {
            // The style cannot change while a project is open.
            m_projectOpen = true;
            for (int id : {IDC_VIEW_HEADING, IDC_VIEW_LINE, IDC_VIEW_TEXT, IDC_VIEW_ICON, IDC_VIEW_LABEL,
                           IDC_VIEW_GROUP, IDC_NAV_LIST, IDC_NAV_DESCRIPTION})
                if (QWidget *w = GetDlgItem(unsigned(id)))
                    w->hide();
            return TRUE;
        }

        IAppSettings *app = sheet->m_appSettings;
        CComBSTR folder;
        CheckHost(app->GetProgramFolder(&folder), app, IID_IAppSettings);
        const bool crossmend = sheet->m_crossmendPresent != VARIANT_FALSE;
        QString suiteFile = QStringLiteral("fennick.nav");
        if (crossmend) {
            CComBSTR suite;
            CheckHost(sheet->m_suiteInfo->GetSuiteNavFile(&suite), sheet->m_suiteInfo, IID_ISuiteInfo);
            suiteFile = QString::fromStdString(suite.ansi());
        }
        auto *list = qobject_cast<QComboBox *>(GetDlgItem(IDC_NAV_LIST));
        const QDir dir(QString::fromStdString(folder.ansi()));
        for (const QString &file : dir.entryList({QStringLiteral("*.nav")}, QDir::Files | QDir::NoDotAndDotDot))
            if (auto entry = EntryForFile(file, suiteFile, crossmend))
                addString(list, *entry);

        CComBSTR stored;
        CheckHost(app->get_NavFile(&stored), app, IID_IAppSettings);
        const QString navFile = QString::fromStdString(stored.ansi());
        QString select = navFile;
        if (same(navFile, suiteFile))
            select = crossmend ? kFennick : QStringLiteral("Pelmor");
        else if (auto entry = EntryForFile(navFile, suiteFile, crossmend))
            select = *entry;
        list->setCurrentIndex(list->findText(select, Qt::MatchFixedString));
        ShowDescription();
    }
    KR_CATCH_ALL
    return TRUE;
}

BOOL CInterface::OnCommand(unsigned id, int code)
{
    if (id == unsigned(IDC_NAV_LIST) && code == CBN_SELCHANGE) {
        try {
            ShowDescription();
        }
        KR_CATCH_ALL
    }
    return COptionsPage::OnCommand(id, code);
}

void CInterface::ShowDescription()
{
    auto *list = qobject_cast<QComboBox *>(GetDlgItem(IDC_NAV_LIST));
    auto *description = qobject_cast<QLabel *>(GetDlgItem(IDC_NAV_DESCRIPTION));
    if (list->currentIndex() < 0) {
        description->clear();
        return;
    }
    const QString file = FileForEntry(list->currentText());
    IAppSettings *app = Sheet()->m_appSettings;
    CComBSTR folder;
    CheckHost(app->GetProgramFolder(&folder), app, IID_IAppSettings);
    description->setText(readNavDescription(joinPath(QString::fromStdString(folder.ansi()), file)));
}

void CInterface::OnOK()
{
    try {
        CToolsOptions *sheet = Sheet();
        IOptionSettings *o = sheet->m_optionSettings;
        CheckHost(o->put_PromptNewComponents(CheckValue(IDC_ALWAYS_CREATE) ? VARIANT_FALSE : VARIANT_TRUE), o,
                  IID_IOptionSettings);
        CheckHost(o->put_ConfirmComponentDeletion(CheckValue(IDC_CONFIRM_DELETION)), o, IID_IOptionSettings);
        auto *list = qobject_cast<QComboBox *>(GetDlgItem(IDC_NAV_LIST));
        // Nothing selected (the list could not be filled): keep the stored style.
        if (!m_projectOpen && list->currentIndex() >= 0) {
            const QString file = FileForEntry(list->currentText());
            IAppSettings *app = sheet->m_appSettings;
            CheckHost(app->put_NavFile(CComBSTR(file.toStdString())), app, IID_IAppSettings);
        }
    }
    KR_CATCH_ALL
    COptionsPage::OnOK();
}
