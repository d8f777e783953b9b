#include "ComException.h"
#include "OptionsPage.h"
#include "ToolsOptions.h"
#include "resource.h"

#include "plinth/dlgbuild.h"

#include <QLabel>
#include <QVBoxLayout>

using namespace plinth::dlg;

void BuildDirectory(QWidget *page)
{
    auto *v = new QVBoxLayout(page);
    heading(v, kNoId, QStringLiteral("[INSTALLDIR]"), kNoId, kNoId, QString(), kNoId, QString());
    label(v, IDC_INSTALLDIR_TEXT, QString());
    checkBox(v, IDC_SHOW_INSTALLDIR, QStringLiteral("&Show INSTALLDIR"));
    heading(v, kNoId, QStringLiteral("Clean Up"), kNoId, kNoId, QString(), kNoId, QString());
    label(v, IDC_CLEANUP_TEXT, QString());
    checkBox(v, IDC_CLEANUP_DIRS, QStringLiteral("&Clean up unused directories"));
    v->addStretch(1);
}

CDirectory::CDirectory() : COptionsPage(IDD_DIRECTORY) {}

BOOL CDirectory::OnInitDialog()
{
    COptionsPage::OnInitDialog();
    try {
        // Longer than a dialog template allows, so set here.
        qobject_cast<QLabel *>(GetDlgItem(IDC_INSTALLDIR_TEXT))
            ->setText(m_module->LoadString(IDS_INSTALLDIR_1) + m_module->LoadString(IDS_INSTALLDIR_2));
        qobject_cast<QLabel *>(GetDlgItem(IDC_CLEANUP_TEXT))
            ->setText(m_module->LoadString(IDS_CLEANUP_1) + m_module->LoadString(IDS_CLEANUP_2));
        IOptionSettings *o = Sheet()->m_optionSettings;
        VARIANT_BOOL v = 0;
        CheckHost(o->get_ShowInstallDir(&v), o, IID_IOptionSettings);
        SetCheck(IDC_SHOW_INSTALLDIR, v);
        CheckHost(o->get_CleanUpDirectories(&v), o, IID_IOptionSettings);
        SetCheck(IDC_CLEANUP_DIRS, v);
    }
    KR_CATCH_ALL
    return TRUE;
}

void CDirectory::OnOK()
{
    try {
        IOptionSettings *o = Sheet()->m_optionSettings;
        CheckHost(o->put_ShowInstallDir(CheckValue(IDC_SHOW_INSTALLDIR)), o, IID_IOptionSettings);
        CheckHost(o->put_CleanUpDirectories(CheckValue(IDC_CLEANUP_DIRS)), o, IID_IOptionSettings);
    }
    KR_CATCH_ALL
    COptionsPage::OnOK();
}
