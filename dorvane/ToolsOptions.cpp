#include "ToolsOptions.h"
#include "ComException.h"
#include "resource.h"

#include "plinth/dialogs.h"

#include "com/support.h"

IMPLEMENT_DYNCREATE(CToolsOptions)

CToolsOptions::AppLock::AppLock() : m_module(&DorvaneModule())
{
    m_module->Lock();
}

void CToolsOptions::AppLock::Release()
{
    if (m_module)
        m_module->Unlock();
    m_module = nullptr;
}

CToolsOptions::CToolsOptions()
    : CKRPropertySheetEx(IDS_OPTIONS, nullptr, 0), m_xToolsOptions(this), m_xObjectSafety(this)
{
    ConnectToHost();
    m_dwFlags |= PSH_NOAPPLYNOW;
}

CToolsOptions::~CToolsOptions()
{
    m_appLock.Release();
}

void CToolsOptions::ConnectToHost()
{
    HRESULT hr = CoCreateInstance(CLSID_AppSettings, nullptr, CLSCTX_ALL, IID_IAppSettings,
                                  reinterpret_cast<void **>(&m_appSettings));
    CheckHost(hr, nullptr, IID_IAppSettings);
    CheckHost(m_appSettings.QueryInterface(IID_IExtraSettings, &m_extraSettings), m_appSettings, IID_IAppSettings);
    CheckHost(m_appSettings.QueryInterface(IID_IOptionSettings, &m_optionSettings), m_appSettings, IID_IAppSettings);
    CheckHost(m_appSettings.QueryInterface(IID_ISuiteInfo, &m_suiteInfo), m_appSettings, IID_IAppSettings);
    CheckHost(m_suiteInfo->get_crossmendPresent(&m_crossmendPresent), m_suiteInfo, IID_ISuiteInfo);

    CLSID clsid;
    CheckHost(CLSIDFromProgID(CComBSTR("KRObjMgr.ObjMgr2.1"), &clsid), nullptr, IID_IDispatch);
    CComPtr<IDispatch> objMgr;
    CheckHost(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IDispatch, reinterpret_cast<void **>(&objMgr)), nullptr,
              IID_IDispatch);
    CComBSTR name("pApp");
    LPOLESTR names[] = {name};
    DISPID id = DISPID_UNKNOWN;
    CheckHost(objMgr->GetIDsOfNames(GUID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), objMgr, IID_IDispatch);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    CComVariant app;
    CheckHost(objMgr->Invoke(id, GUID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &app, nullptr, nullptr),
              objMgr, IID_IDispatch);
    // An empty pointer cannot lead anywhere either.
    if (app.vt != VT_UNKNOWN || !app.punkVal)
        CheckHost(E_UNEXPECTED, nullptr, IID_IDispatch);
    CComPtr<IIdeApplication> application;
    CheckHost(app.punkVal->QueryInterface(IID_IIdeApplication, reinterpret_cast<void **>(&application)), app.punkVal,
              IID_IUnknown);
    CheckHost(application->GetServices(&m_ideServices), application, IID_IIdeApplication);
    CheckHost(m_ideServices->GetShell(&m_ideShell), m_ideServices, IID_IIdeServices);
}

IUnknown *CToolsOptions::GetInterface(REFIID riid)
{
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IToolsOptions)
        return &m_xToolsOptions;
    if (riid == IID_IObjectSafety)
        return &m_xObjectSafety;
    return nullptr;
}

HRESULT CToolsOptions::ShowWizard()
{
    try {
        for (const PageRow &row : PageTable())
            if (PageShown(row.condition, m_crossmendPresent))
                AddPage(row.page(*this));
        DoModal();
    }
    KR_CATCH_ALL
    return S_OK;
}

QString CToolsOptions::BrowseForFile(unsigned stringId, const QString &pattern, const QString &currentPath)
{
    const QString name = DorvaneModule().LoadString(stringId);
    QString filter = pattern;
    filter.replace(QStringLiteral("%s"), name);
    CDragDropExplorerFileFolder browser(this, CDragDropExplorerFileFolder::BrowseFiles, filter, QString(), currentPath);
    const QStringList files = browser.GetArrayOfFiles(false);
    return files.isEmpty() ? QString() : files.first();
}

CToolsOptions::XToolsOptions::XToolsOptions(CToolsOptions *outer)
    : CInterfacePart(outer, ToolsOptionsTypeInfo())
{
}

HRESULT CToolsOptions::XToolsOptions::ShowWizard()
{
    PLINTH_MANAGE_STATE(&DorvaneModule());
    return static_cast<CToolsOptions *>(m_outer)->ShowWizard();
}

HRESULT CToolsOptions::XObjectSafety::GetInterfaceSafetyOptions(REFIID riid, DWORD *supported, DWORD *enabled)
{
    if (!supported || !enabled)
        return E_POINTER;
    IUnknown *unknown = nullptr;
    const HRESULT hr = m_outer->ExternalQueryInterface(riid, reinterpret_cast<void **>(&unknown));
    if (FAILED(hr)) {
        *supported = 0;
        *enabled = 0;
        return hr;
    }
    unknown->Release();
    *supported = INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;
    *enabled = static_cast<CToolsOptions *>(m_outer)->m_safetyOptions;
    return S_OK;
}

HRESULT CToolsOptions::XObjectSafety::SetInterfaceSafetyOptions(REFIID riid, DWORD mask, DWORD options)
{
    IUnknown *unknown = nullptr;
    if (FAILED(m_outer->ExternalQueryInterface(riid, reinterpret_cast<void **>(&unknown))))
        return E_NOINTERFACE;
    unknown->Release();
    constexpr DWORD known = INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;
    if (mask & ~known)
        return E_FAIL;
    DWORD &current = static_cast<CToolsOptions *>(m_outer)->m_safetyOptions;
    current = (current & ~mask) | (options & mask);
    return S_OK;
}
