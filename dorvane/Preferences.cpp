#include "ComException.h"
#include "OptionsPage.h"
#include "ToolsOptions.h"
#include "resource.h"

#include "plinth/dlgbuild.h"

#include <QComboBox>
#include <QVBoxLayout>

using namespace plinth::dlg;

void BuildPreferences(QWidget *page)
{
    auto *v = new QVBoxLayout(page);
    heading(v, IDC_SELFREG_HEADING, QStringLiteral("Self-Registration"), kNoId, kNoId, QString(), kNoId,
            QStringLiteral("&Select a self-registration method. Karrowin Developer invokes the selected method when "
                           "you indicate that a file is self-registering. Changing this setting does not affect files "
                           "that were previously designated as self-registering."));
    dropDownList(v, IDC_SELFREG_METHOD, true);
    heading(v, IDC_RUN_HEADING, QStringLiteral("Run Commands"), kNoId, kNoId, QString(), kNoId,
            QStringLiteral("Specify whether you would like Karrowin Developer to automatically uninstall your setup "
                           "first when you run it from the Build menu."));
    checkBox(v, IDC_UNINSTALL_FIRST, QStringLiteral("&Uninstall before installing"));
    v->addStretch(1);
}

CPreferences::CPreferences() : COptionsPage(IDD_PREFERENCES) {}

BOOL CPreferences::OnInitDialog()
{
    COptionsPage::OnInitDialog();
    CWaitCursor wait;
    try {
        auto *list = qobject_cast<QComboBox *>(GetDlgItem(IDC_SELFREG_METHOD));
        addString(list, m_module->LoadString(IDS_SELFREG_KR));
        addString(list, m_module->LoadString(IDS_SELFREG_MSI));
        IOptionSettings *o = Sheet()->m_optionSettings;
        std::int32_t method = 0;
        CheckHost(o->get_SelfRegMethod(&method), o, IID_IOptionSettings);
        list->setCurrentIndex(method == 1 ? 1 : 0);
        VARIANT_BOOL v = 0;
        CheckHost(o->get_UninstallBeforeInstall(&v), o, IID_IOptionSettings);
        SetCheck(IDC_UNINSTALL_FIRST, v);
    }
    KR_CATCH_ALL
    return TRUE;
}

void CPreferences::OnOK()
{
    try {
        auto *list = qobject_cast<QComboBox *>(GetDlgItem(IDC_SELFREG_METHOD));
        IOptionSettings *o = Sheet()->m_optionSettings;
        CheckHost(o->put_SelfRegMethod(list->currentIndex() == 1 ? 1 : 0), o, IID_IOptionSettings);
        CheckHost(o->put_UninstallBeforeInstall(CheckValue(IDC_UNINSTALL_FIRST)), o, IID_IOptionSettings);
    }
    KR_CATCH_ALL
    COptionsPage::OnOK();
}
