#include "hostide/host.h"
#include "hostide/ide.h"

#include "com/registry.h"
#include "com/support.h"
#include "com/util.h"

#include <QDir>
#include <QSettings>

#include <atomic>

namespace hostide {

class Host::Store {
public:
    explicit Store(const QString &file) : settings(file, QSettings::IniFormat) {}
    QSettings settings;
};

namespace {

// Values a fresh IDE starts with.
QString defaultOf(const QString &name)
{
    static const std::map<QString, QString> defaults = {
        {QStringLiteral("PathVariableMode"), QStringLiteral("1")},
        {QStringLiteral("NavFile"), QStringLiteral("pelmor.nav")},
        {QStringLiteral("SuiteNavFile"), QStringLiteral("fennick.nav")},
        {QStringLiteral("PromptNewComponents"), QStringLiteral("-1")},
        {QStringLiteral("ConfirmComponentDeletion"), QStringLiteral("-1")},
        {QStringLiteral("UpdatesEnabled"), QStringLiteral("-1")},
        {QStringLiteral("UpdateKey"), QStringLiteral("KRDEV-8.0")},
    };
    auto it = defaults.find(name);
    return it == defaults.end() ? QString() : it->second;
}

std::string quoted(const std::string &s)
{
    return "\"" + s + "\"";
}

// Reference counting shared by the host objects.
template <class Self>
struct RefCounted {
    std::atomic<ULONG> refs{1};
    ULONG addRef() { return ++refs; }
    ULONG release(Self *self)
    {
        const ULONG n = --refs;
        if (n == 0)
            delete self;
        return n;
    }
};

#define HOST_IUNKNOWN(Self)                                                                                      \
    ULONG AddRef() override { return m_ref.addRef(); }                                                           \
    ULONG Release() override { return m_ref.release(this); }                                                     \
    HRESULT InterfaceSupportsErrorInfo(REFIID) override { return S_OK; }                                         \
    RefCounted<Self> m_ref;

template <class I>
bool answer(REFIID riid, REFIID iid, I *self, void **ppv)
{
    if (riid != iid)
        return false;
    *ppv = self;
    self->AddRef();
    return true;
}

class Base {
public:
    explicit Base(Host *host) : m_host(host) {}

protected:
    HRESULT readBool(const char *call, const char *key, VARIANT_BOOL *v)
    {
        if (!v)
            return E_POINTER;
        if (HRESULT hr = m_host->enter(call); FAILED(hr))
            return hr;
        *v = VARIANT_BOOL(m_host->number(QString::fromLatin1(key)));
        return S_OK;
    }
    HRESULT readInt(const char *call, const char *key, std::int32_t *v)
    {
        if (!v)
            return E_POINTER;
        if (HRESULT hr = m_host->enter(call); FAILED(hr))
            return hr;
        *v = m_host->number(QString::fromLatin1(key));
        return S_OK;
    }
    HRESULT readText(const char *call, const char *key, BSTR *v)
    {
        if (!v)
            return E_POINTER;
        *v = nullptr;
        if (HRESULT hr = m_host->enter(call); FAILED(hr))
            return hr;
        *v = com::allocFromAnsi(m_host->text(QString::fromLatin1(key)).toStdString());
        return S_OK;
    }
    HRESULT writeInt(const char *call, const char *key, std::int32_t v)
    {
        if (HRESULT hr = m_host->enter(call, std::to_string(v)); FAILED(hr))
            return hr;
        m_host->setValue(QString::fromLatin1(key), QString::number(v));
        return S_OK;
    }
    HRESULT writeText(const char *call, const char *key, BSTR v)
    {
        const std::string text = com::toAnsi(v);
        if (HRESULT hr = m_host->enter(call, quoted(text)); FAILED(hr))
            return hr;
        m_host->setValue(QString::fromLatin1(key), QString::fromStdString(text));
        return S_OK;
    }

    Host *m_host;
};

#define BOOL_PROP(iface, name)                                                                                   \
    HRESULT get_##name(VARIANT_BOOL *v) override { return readBool(iface ".get_" #name, #name, v); }             \
    HRESULT put_##name(VARIANT_BOOL v) override { return writeInt(iface ".put_" #name, #name, v); }
#define INT_PROP(iface, name)                                                                                    \
    HRESULT get_##name(std::int32_t *v) override { return readInt(iface ".get_" #name, #name, v); }              \
    HRESULT put_##name(std::int32_t v) override { return writeInt(iface ".put_" #name, #name, v); }
#define TEXT_PROP(iface, name)                                                                                   \
    HRESULT get_##name(BSTR *v) override { return readText(iface ".get_" #name, #name, v); }                     \
    HRESULT put_##name(BSTR v) override { return writeText(iface ".put_" #name, #name, v); }

// One object answers AppSettings, OptionSettings, ExtraSettings and SuiteInfo.
class AppSettings final : public Base,
                          public IAppSettings,
                          public IOptionSettings,
                          public IExtraSettings,
                          public ISuiteInfo,
                          public ISupportErrorInfo {
public:
    using Base::Base;
    HOST_IUNKNOWN(AppSettings)

    HRESULT QueryInterface(REFIID riid, void **ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (answer(riid, IID_IUnknown, static_cast<IAppSettings *>(this), ppv) ||
            answer(riid, IID_IAppSettings, static_cast<IAppSettings *>(this), ppv) ||
            answer(riid, IID_IOptionSettings, static_cast<IOptionSettings *>(this), ppv) ||
            answer(riid, IID_IExtraSettings, static_cast<IExtraSettings *>(this), ppv) ||
            answer(riid, IID_ISuiteInfo, static_cast<ISuiteInfo *>(this), ppv) ||
            answer(riid, IID_ISupportErrorInfo, static_cast<ISupportErrorInfo *>(this), ppv))
            return S_OK;
        *ppv = nullptr;
        return E_NOINTERFACE;
    }

    // OptionSettings
    BOOL_PROP("OptionSettings", EnforceBestPractices)
    BOOL_PROP("OptionSettings", HelpOnTop)
    TEXT_PROP("OptionSettings", ProjectLocation)
    INT_PROP("OptionSettings", PathVariableMode)
    TEXT_PROP("OptionSettings", MsmLocations)
    BOOL_PROP("OptionSettings", PromptNewComponents)
    BOOL_PROP("OptionSettings", ConfirmComponentDeletion)
    BOOL_PROP("OptionSettings", StopBuildOnError)
    BOOL_PROP("OptionSettings", AutoSetAllUsers)
    BOOL_PROP("OptionSettings", MsmSameVersion)
    BOOL_PROP("OptionSettings", MsmSameDestination)
    BOOL_PROP("OptionSettings", SccUseDialog)
    BOOL_PROP("OptionSettings", SccGetLatest)
    BOOL_PROP("OptionSettings", SccCheckOutOnEdit)
    BOOL_PROP("OptionSettings", SccAddNewProjects)
    TEXT_PROP("OptionSettings", SccUserName)
    BOOL_PROP("OptionSettings", ShowInstallDir)
    BOOL_PROP("OptionSettings", CleanUpDirectories)
    TEXT_PROP("OptionSettings", ResourceCompilerPath)
    TEXT_PROP("OptionSettings", ResourceCompilerOptions)
    TEXT_PROP("OptionSettings", ResourceLinkerPath)
    TEXT_PROP("OptionSettings", ResourceLinkerOptions)
    INT_PROP("OptionSettings", DotNetScanAtBuild)
    BOOL_PROP("OptionSettings", PatchUpgradeValidation)
    TEXT_PROP("OptionSettings", DialogsLocation)
    HRESULT get_ValidationModules(IUnknown **collection) override
    {
        if (!collection)
            return E_POINTER;
        *collection = nullptr;
        if (HRESULT hr = m_host->enter("OptionSettings.get_ValidationModules"); FAILED(hr))
            return hr;
        return E_NOTIMPL; // the validation-module collection is not offered yet
    }
    TEXT_PROP("OptionSettings", PackageValidationCub)
    TEXT_PROP("OptionSettings", MsmValidationCub)
    INT_PROP("OptionSettings", SelfRegMethod)
    BOOL_PROP("OptionSettings", UninstallBeforeInstall)

    // AppSettings
    HRESULT GetProgramFolder(BSTR *v) override { return readText("AppSettings.GetProgramFolder", "ProgramFolder", v); }
    HRESULT GetUpdateKey(BSTR *v) override { return readText("AppSettings.GetUpdateKey", "UpdateKey", v); }
    HRESULT GetValidationFolder(BSTR *v) override
    {
        return readText("AppSettings.GetValidationFolder", "ValidationFolder", v);
    }
    HRESULT GetTemplateFolder(BSTR *v) override { return readText("AppSettings.GetTemplateFolder", "TemplateFolder", v); }
    TEXT_PROP("AppSettings", MsmLocationsAllUsers)
    TEXT_PROP("AppSettings", NavFile)

    // ExtraSettings
    TEXT_PROP("ExtraSettings", ContentUpdateDate)
    BOOL_PROP("ExtraSettings", UpdatesEnabled)
    TEXT_PROP("ExtraSettings", RegasmPath)
    TEXT_PROP("ExtraSettings", InstallUtilLibPath)

    // SuiteInfo
    HRESULT get_crossmendPresent(VARIANT_BOOL *v) override
    {
        return readBool("SuiteInfo.get_crossmendPresent", "CrossmendPresent", v);
    }
    HRESULT GetSuiteNavFile(BSTR *v) override { return readText("SuiteInfo.GetSuiteNavFile", "SuiteNavFile", v); }
};

class Project final : public IUnknown {
public:
    HRESULT QueryInterface(REFIID riid, void **ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (answer(riid, IID_IUnknown, static_cast<IUnknown *>(this), ppv))
            return S_OK;
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return m_ref.addRef(); }
    ULONG Release() override { return m_ref.release(this); }
    RefCounted<Project> m_ref;
};

class Shell final : public Base, public IIdeShell, public ISupportErrorInfo {
public:
    using Base::Base;
    HOST_IUNKNOWN(Shell)
    HRESULT QueryInterface(REFIID riid, void **ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (answer(riid, IID_IUnknown, static_cast<IIdeShell *>(this), ppv) ||
            answer(riid, IID_IIdeShell, static_cast<IIdeShell *>(this), ppv) ||
            answer(riid, IID_ISupportErrorInfo, static_cast<ISupportErrorInfo *>(this), ppv))
            return S_OK;
        *ppv = nullptr;
        return E_NOINTERFACE;
    }

    HRESULT ShellOutput(BSTR text, VARIANT, std::int32_t kind) override
    {
        const std::string t = com::toAnsi(text);
        if (HRESULT hr = m_host->enter("IdeShell.ShellOutput", quoted(t) + ", " + std::to_string(kind)); FAILED(hr))
            return hr;
        if (m_host->onOutput)
            m_host->onOutput(QString::fromStdString(t));
        return S_OK;
    }
    HRESULT ShellPrepare(std::int32_t kind) override
    {
        return m_host->enter("IdeShell.ShellPrepare", std::to_string(kind));
    }
    HRESULT SetStatusText(BSTR pane, BSTR text) override
    {
        const std::string p = com::toAnsi(pane), t = com::toAnsi(text);
        if (HRESULT hr = m_host->enter("IdeShell.SetStatusText", quoted(p) + ", " + quoted(t)); FAILED(hr))
            return hr;
        if (m_host->onStatusText)
            m_host->onStatusText(QString::fromStdString(p), QString::fromStdString(t));
        return S_OK;
    }
    HRESULT SetProgressMax(std::int32_t count) override
    {
        if (HRESULT hr = m_host->enter("IdeShell.SetProgressMax", std::to_string(count)); FAILED(hr))
            return hr;
        if (m_host->onProgressMax)
            m_host->onProgressMax(count);
        return S_OK;
    }
    HRESULT SetProgressPos(std::int32_t pos) override
    {
        if (HRESULT hr = m_host->enter("IdeShell.SetProgressPos", std::to_string(pos)); FAILED(hr))
            return hr;
        if (m_host->onProgressPos)
            m_host->onProgressPos(pos);
        return S_OK;
    }
    HRESULT ShellFinish(std::int32_t kind) override
    {
        return m_host->enter("IdeShell.ShellFinish", std::to_string(kind));
    }
    HRESULT ExecuteCommand(BSTR name, VARIANT_BOOL *f1, VARIANT_BOOL *f2, VARIANT_BOOL *f3, BSTR *text,
                           VARIANT_BOOL *result) override
    {
        if (HRESULT hr = m_host->enter("IdeShell.ExecuteCommand", quoted(com::toAnsi(name))); FAILED(hr))
            return hr;
        for (VARIANT_BOOL *f : {f1, f2, f3, result})
            if (f)
                *f = VARIANT_FALSE;
        (void)text; // left as given
        return S_OK;
    }
    HRESULT GetSourceControl(IUnknown **provider) override
    {
        if (!provider)
            return E_POINTER;
        *provider = nullptr;
        if (HRESULT hr = m_host->enter("IdeShell.GetSourceControl"); FAILED(hr))
            return hr;
        return E_NOTIMPL; // no source-control provider yet
    }
    HRESULT GetOpenProject(IUnknown **project) override
    {
        if (!project)
            return E_POINTER;
        *project = nullptr;
        if (HRESULT hr = m_host->enter("IdeShell.GetOpenProject"); FAILED(hr))
            return hr;
        if (!m_host->openProject().isEmpty())
            *project = new Project;
        return S_OK;
    }
};

class Services final : public Base, public IIdeServices, public ISupportErrorInfo {
public:
    using Base::Base;
    HOST_IUNKNOWN(Services)
    HRESULT QueryInterface(REFIID riid, void **ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (answer(riid, IID_IUnknown, static_cast<IIdeServices *>(this), ppv) ||
            answer(riid, IID_IIdeServices, static_cast<IIdeServices *>(this), ppv) ||
            answer(riid, IID_ISupportErrorInfo, static_cast<ISupportErrorInfo *>(this), ppv))
            return S_OK;
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT OpenProject(BSTR path, std::int32_t f1, std::int32_t f2, VARIANT *result) override
    {
        const std::string p = com::toAnsi(path);
        if (HRESULT hr = m_host->enter("IdeServices.OpenProject",
                                       quoted(p) + ", " + std::to_string(f1) + ", " + std::to_string(f2));
            FAILED(hr))
            return hr;
        m_host->setOpenProject(QString::fromStdString(p));
        if (result)
            VariantInit(result);
        return S_OK;
    }
    HRESULT ApplyProjectFolder(BSTR path) override
    {
        return m_host->enter("IdeServices.ApplyProjectFolder", quoted(com::toAnsi(path)));
    }
    HRESULT CreateFolder(BSTR path, VARIANT_BOOL *created) override
    {
        const std::string p = com::toAnsi(path);
        if (HRESULT hr = m_host->enter("IdeServices.CreateFolder", quoted(p)); FAILED(hr))
            return hr;
        if (created)
            *created = QDir().mkpath(QString::fromStdString(p)) ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    HRESULT IsValidPath(BSTR path, VARIANT_BOOL *valid) override
    {
        const QString p = QString::fromStdString(com::toAnsi(path));
        if (HRESULT hr = m_host->enter("IdeServices.IsValidPath", quoted(p.toStdString())); FAILED(hr))
            return hr;
        bool ok = QDir::isAbsolutePath(p);
        for (const QChar c : p)
            ok = ok && c.unicode() >= 32 && !QStringLiteral("*?\"<>|").contains(c);
        if (valid)
            *valid = ok ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    HRESULT GetShell(IIdeShell **shell) override
    {
        if (!shell)
            return E_POINTER;
        *shell = nullptr;
        if (HRESULT hr = m_host->enter("IdeServices.GetShell"); FAILED(hr))
            return hr;
        *shell = new Shell(m_host);
        return S_OK;
    }
};

class Application final : public Base, public IIdeApplication, public ISupportErrorInfo {
public:
    using Base::Base;
    HOST_IUNKNOWN(Application)
    HRESULT QueryInterface(REFIID riid, void **ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (answer(riid, IID_IUnknown, static_cast<IIdeApplication *>(this), ppv) ||
            answer(riid, IID_IIdeApplication, static_cast<IIdeApplication *>(this), ppv) ||
            answer(riid, IID_ISupportErrorInfo, static_cast<ISupportErrorInfo *>(this), ppv))
            return S_OK;
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT GetServices(IIdeServices **services) override
    {
        if (!services)
            return E_POINTER;
        *services = nullptr;
        if (HRESULT hr = m_host->enter("IdeApplication.GetServices"); FAILED(hr))
            return hr;
        *services = new Services(m_host);
        return S_OK;
    }
};

// The object manager: an automation object with the property "pApp".
class ObjMgr final : public Base, public IDispatch, public ISupportErrorInfo {
public:
    using Base::Base;
    HOST_IUNKNOWN(ObjMgr)
    static constexpr DISPID kApp = 1;

    HRESULT QueryInterface(REFIID riid, void **ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (answer(riid, IID_IUnknown, static_cast<IDispatch *>(this), ppv) ||
            answer(riid, IID_IDispatch, static_cast<IDispatch *>(this), ppv) ||
            answer(riid, IID_ISupportErrorInfo, static_cast<ISupportErrorInfo *>(this), ppv))
            return S_OK;
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT GetTypeInfoCount(UINT *count) override
    {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo **info) override
    {
        if (info)
            *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID, DISPID *ids) override
    {
        if (!names || !ids || count == 0)
            return E_INVALIDARG;
        const bool app = QString::fromUtf16(names[0]).compare(QLatin1String("pApp"), Qt::CaseInsensitive) == 0;
        for (UINT i = 0; i < count; ++i)
            ids[i] = DISPID_UNKNOWN;
        if (!app || count > 1)
            return DISP_E_UNKNOWNNAME;
        ids[0] = kApp;
        return S_OK;
    }
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *, VARIANT *result, EXCEPINFO *,
                   UINT *) override
    {
        if (id != kApp || !(flags & DISPATCH_PROPERTYGET))
            return DISP_E_MEMBERNOTFOUND;
        if (!result)
            return E_INVALIDARG;
        if (HRESULT hr = m_host->enter("ObjMgr.get_pApp"); FAILED(hr))
            return hr;
        VariantClear(result);
        if (m_host->brokenObjectManager()) {
            result->vt = VT_I4;
            result->lVal = 0;
        } else {
            result->vt = VT_UNKNOWN;
            result->punkVal = static_cast<IIdeApplication *>(new Application(m_host));
        }
        return S_OK;
    }
};

template <class Object>
class Factory final : public IClassFactory {
public:
    Factory(Host *host, const char *name) : m_host(host), m_name(name) {}
    HRESULT QueryInterface(REFIID riid, void **ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (answer(riid, IID_IUnknown, static_cast<IClassFactory *>(this), ppv) ||
            answer(riid, IID_IClassFactory, static_cast<IClassFactory *>(this), ppv))
            return S_OK;
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return m_ref.addRef(); }
    ULONG Release() override { return m_ref.release(this); }
    HRESULT CreateInstance(IUnknown *outer, REFIID riid, void **ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        if (HRESULT hr = m_host->enter(std::string(m_name) + ".Create"); FAILED(hr))
            return hr;
        auto *object = new Object(m_host);
        const HRESULT hr = object->QueryInterface(riid, ppv);
        object->Release();
        return hr;
    }
    HRESULT LockServer(BOOL) override { return S_OK; }

private:
    Host *m_host;
    const char *m_name;
    RefCounted<Factory> m_ref;
};

} // namespace

Host::Host(const QString &settingsFile) : m_store(std::make_unique<Store>(settingsFile)) {}

Host::~Host()
{
    revoke();
}

QString Host::settingsFile() const
{
    return m_store->settings.fileName();
}

void Host::setValue(const QString &name, const QString &value)
{
    m_store->settings.setValue(name, value);
    m_store->settings.sync();
}

QString Host::text(const QString &name) const
{
    return m_store->settings.value(name, defaultOf(name)).toString();
}

int Host::number(const QString &name) const
{
    return m_store->settings.value(name, defaultOf(name)).toInt();
}

void Host::failOn(const std::string &call, HRESULT hr, const std::string &description)
{
    m_failures[call] = {hr, description};
}

void Host::failFromText(const QString &text)
{
    for (const QString &entry : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString call = entry.section(QLatin1Char('='), 0, 0).trimmed();
        const QString rest = entry.section(QLatin1Char('='), 1);
        bool ok = false;
        const HRESULT hr = HRESULT(rest.section(QLatin1Char(':'), 0, 0).trimmed().toUInt(&ok, 0));
        if (ok && !call.isEmpty())
            failOn(call.toStdString(), hr, rest.section(QLatin1Char(':'), 1).toStdString());
    }
}

HRESULT Host::enter(const std::string &call, const std::string &args)
{
    m_calls.push_back(args.empty() ? call : call + "(" + args + ")");
    auto it = m_failures.find(call);
    if (it == m_failures.end())
        return S_OK;
    if (it->second.description.empty())
        SetErrorInfo(0, nullptr);
    else
        com::setErrorDescription(it->second.description, "Karrowin Developer");
    return it->second.hr;
}

HRESULT Host::registerObjects(const std::string &serverPath)
{
    struct Entry {
        const char *progId;
        const char *name;
        const CLSID *clsid;
    } entries[] = {{"KRWI.AppSettings", "AppSettings Class", &CLSID_AppSettings},
                   {"KRObjMgr.ObjMgr2.1", "ObjMgr Class", &CLSID_ObjMgr}};
    for (const auto &e : entries) {
        const std::string clsid = com::guidToString(*e.clsid);
        LONG rc = com::registry::writeString(HKEY_CLASSES_ROOT, e.progId, "", e.name);
        if (rc == ERROR_SUCCESS)
            rc = com::registry::writeString(HKEY_CLASSES_ROOT, std::string(e.progId) + "\\CLSID", "", clsid);
        if (rc == ERROR_SUCCESS)
            rc = com::registry::writeString(HKEY_CLASSES_ROOT, "CLSID\\" + clsid, "", e.name);
        if (rc == ERROR_SUCCESS)
            rc = com::registry::writeString(HKEY_CLASSES_ROOT, "CLSID\\" + clsid + "\\LocalServer32", "", serverPath);
        if (rc != ERROR_SUCCESS)
            return HRESULT_FROM_WIN32(rc);
    }
    revoke();
    IClassFactory *factories[] = {new Factory<AppSettings>(this, "AppSettings"), new Factory<ObjMgr>(this, "ObjMgr")};
    const CLSID *ids[] = {&CLSID_AppSettings, &CLSID_ObjMgr};
    for (int i = 0; i < 2; ++i) {
        DWORD cookie = 0;
        CoRegisterClassObject(*ids[i], factories[i], CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie);
        factories[i]->Release();
        m_cookies.push_back(cookie);
    }
    return S_OK;
}

void Host::revoke()
{
    for (DWORD c : m_cookies)
        CoRevokeClassObject(c);
    m_cookies.clear();
}

} // namespace hostide
