#include "ComException.h"
#include "OptionsPage.h"
#include "ToolsOptions.h"
#include "resource.h"

#include "plinth/dlgbuild.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QVBoxLayout>

using namespace plinth::dlg;

void BuildPathVariables(QWidget *page)
{
    auto *v = new QVBoxLayout(page);
    heading(v, kNoId, QStringLiteral("Path Variable Dialog"), kNoId, kNoId, QString(), kNoId, QString());
    radio(v, IDC_RECOMMEND,
          QStringLiteral("&Always recommend path variables. If a selected absolute path can be represented with a path "
                         "variable, use it. If more than one path variable combination matches the selected absolute "
                         "path, present me with the options."));
    auto *indent = new QHBoxLayout;
    indent->addSpacing(20);
    auto *inner = new QVBoxLayout;
    indent->addLayout(inner);
    v->addLayout(indent);
    auto *box = new QWidget(page);
    auto *boxLayout = new QVBoxLayout(box);
    boxLayout->setContentsMargins(0, 0, 0, 0);
    inner->addWidget(box);
    checkBox(boxLayout, IDC_CREATE_PATHVAR,
             QStringLiteral("&If a selected absolute path cannot be represented using an existing path variable, "
                            "create one automatically for me."));
    radio(v, IDC_DONT_RECOMMEND,
          QStringLiteral("&Don't recommend path variables. If an absolute path is selected, use that absolute path."));
    radio(v, IDC_ALWAYS_DIALOG, QStringLiteral("A&lways display the Path Variable Recommendation dialog to me."));
    v->addStretch(1);
}

CPathVariables::CPathVariables() : COptionsPage(IDD_PATH_VARIABLES) {}

BOOL CPathVariables::OnInitDialog()
{
    COptionsPage::OnInitDialog();
    try {
        IOptionSettings *o = Sheet()->m_optionSettings;
        std::int32_t mode = 0;
        CheckHost(o->get_PathVariableMode(&mode), o, IID_IOptionSettings);
        switch (mode) {
        case 2:
            Button(IDC_RECOMMEND)->setChecked(true);
            SetCheck(IDC_CREATE_PATHVAR, VARIANT_TRUE);
            break;
        case 3: Button(IDC_DONT_RECOMMEND)->setChecked(true); break;
        case 4: Button(IDC_ALWAYS_DIALOG)->setChecked(true); break;
        default: Button(IDC_RECOMMEND)->setChecked(true); break;
        }
    }
    KR_CATCH_ALL
    EnableCreateBox();
    return TRUE;
}

BOOL CPathVariables::OnCommand(unsigned id, int code)
{
    if (code == BN_CLICKED && (id == IDC_RECOMMEND || id == IDC_DONT_RECOMMEND || id == IDC_ALWAYS_DIALOG))
        EnableCreateBox();
    return COptionsPage::OnCommand(id, code);
}

void CPathVariables::EnableCreateBox()
{
    Button(IDC_CREATE_PATHVAR)->setEnabled(Button(IDC_RECOMMEND)->isChecked());
}

void CPathVariables::OnOK()
{
    try {
        std::int32_t mode = 1;
        if (Button(IDC_RECOMMEND)->isChecked())
            mode = Button(IDC_CREATE_PATHVAR)->isChecked() ? 2 : 1;
        else if (Button(IDC_DONT_RECOMMEND)->isChecked())
            mode = 3;
        else if (Button(IDC_ALWAYS_DIALOG)->isChecked())
            mode = 4;
        IOptionSettings *o = Sheet()->m_optionSettings;
        CheckHost(o->put_PathVariableMode(mode), o, IID_IOptionSettings);
    }
    KR_CATCH_ALL
    COptionsPage::OnOK();
}
