#include "ComException.h"
#include "OptionsPage.h"
#include "ToolsOptions.h"
#include "resource.h"

#include "plinth/dlgbuild.h"

#include <QVBoxLayout>

using namespace plinth::dlg;

void BuildGeneral(QWidget *page)
{
    auto *v = new QVBoxLayout(page);
    heading(v, kNoId, QStringLiteral("Setup Best Practices"), kNoId, kNoId, QString(), kNoId,
            QStringLiteral("By following Setup Best Practices, you can write clean installations and leverage the "
                           "benefits of the Windows Installer. Check the box below to have the Setup Best Practices "
                           "wizard provide guidance and enforce best practices."));
    checkBox(v, IDC_BEST_PRACTICES, QStringLiteral("&Enforce Setup Best Practices"));
    heading(v, kNoId, QStringLiteral("Help System"), kNoId, kNoId, QString(), kNoId,
            QStringLiteral("You can control the way the help window is displayed. If you want, you can have it set to "
                           "stay on top so you can follow any steps described while the IDE is open."));
    checkBox(v, IDC_HELP_ON_TOP, QStringLiteral("&Help window on top"));
    heading(v, kNoId, QStringLiteral("Build && KRSetAllUsers Action"), kNoId, kNoId, QString(), kNoId,
            QStringLiteral("You can stop the build process when an error is encountered. Also, you can set whether to "
                           "automatically insert the KRSetAllUsers action."));
    checkBox(v, IDC_STOP_BUILD, QStringLiteral("&Stop build process when first error is encountered"));
    checkBox(v, IDC_AUTO_SETALLUSERS, QStringLiteral("&Automatically create KRSetAllUsers action"));
    v->addStretch(1);
}

CGeneral::CGeneral() : COptionsPage(IDD_GENERAL) {}

BOOL CGeneral::OnInitDialog()
{
    COptionsPage::OnInitDialog();
    try {
        IOptionSettings *o = Sheet()->m_optionSettings;
        VARIANT_BOOL v = 0;
        CheckHost(o->get_HelpOnTop(&v), o, IID_IOptionSettings);
        SetCheck(IDC_HELP_ON_TOP, v);
        CheckHost(o->get_StopBuildOnError(&v), o, IID_IOptionSettings);
        SetCheck(IDC_STOP_BUILD, v);
        CheckHost(o->get_EnforceBestPractices(&v), o, IID_IOptionSettings);
        SetCheck(IDC_BEST_PRACTICES, v);
        CheckHost(o->get_AutoSetAllUsers(&v), o, IID_IOptionSettings);
        SetCheck(IDC_AUTO_SETALLUSERS, v);
    }
    KR_CATCH_ALL
    return TRUE;
}

void CGeneral::OnOK()
{
    try {
        IOptionSettings *o = Sheet()->m_optionSettings;
        CheckHost(o->put_HelpOnTop(CheckValue(IDC_HELP_ON_TOP)), o, IID_IOptionSettings);
        CheckHost(o->put_StopBuildOnError(CheckValue(IDC_STOP_BUILD)), o, IID_IOptionSettings);
        CheckHost(o->put_EnforceBestPractices(CheckValue(IDC_BEST_PRACTICES)), o, IID_IOptionSettings);
        CheckHost(o->put_AutoSetAllUsers(CheckValue(IDC_AUTO_SETALLUSERS)), o, IID_IOptionSettings);
    }
    KR_CATCH_ALL
    COptionsPage::OnOK();
}
