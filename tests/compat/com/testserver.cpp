// A small in-process server for the runtime's activation and dispatch tests.
#include "testserver.h"

#include "com/support.h"
#include "com/typelib.h"
#include "com/util.h"

#include <atomic>

namespace {

std::atomic<int> g_objects{0};
std::atomic<int> g_locks{0};
com::TermFuncList g_term;

const com::FuncDesc kFuncs[] = {
    {"Add", 1, DISPATCH_METHOD, VT_I4, "adds", com::thunk<&ITestCalc::Add>, 2, {{"a", VT_I4}, {"b", VT_I4}}},
    {"Greet", 2, DISPATCH_METHOD, VT_BSTR, "greets", com::thunk<&ITestCalc::Greet>, 1, {{"name", VT_BSTR}}},
    {"Value", 3, DISPATCH_PROPERTYGET, VT_I4, "value", com::thunk<&ITestCalc::get_Value>, 0, {}},
    {"Value", 3, DISPATCH_PROPERTYPUT, VT_EMPTY, "value", com::thunk<&ITestCalc::put_Value>, 1, {{"v", VT_I4}}},
    {"Fail", 4, DISPATCH_METHOD, VT_EMPTY, "fails", com::thunk<&ITestCalc::Fail>, 2,
     {{"code", VT_I4}, {"description", VT_BSTR}}},
};
const com::InterfaceDesc kInterfaces[] = {
    {&IID_ITestCalc, "ITestCalc", "ITestCalc Interface", com::TYPEFLAG_FDUAL | com::TYPEFLAG_FOLEAUTOMATION,
     kFuncs, 5},
};
const com::CoClassDesc kClasses[] = {{&CLSID_TestCalc, "TestCalc", "TestCalc Class", &IID_ITestCalc}};
const com::TypeLibDesc kLib = {&LIBID_TestCalcLib, "TestCalcLib", "TestCalc 1.0 Type Library", 1, 0, 1033,
                               kInterfaces, 1, kClasses, 1};

com::CComTypeInfoHolder g_calcInfo(&LIBID_TestCalcLib, &IID_ITestCalc, 1, 0, &g_term);

const char kScript[] = R"(
HKCR
{
    Test.Calc.1 = s 'TestCalc Class'
    {
        CLSID = s '{6D2B9A10-4C1E-4F0B-9E55-0A1B2C3D4E51}'
    }
    Test.Calc = s 'TestCalc Class'
    {
        CLSID = s '{6D2B9A10-4C1E-4F0B-9E55-0A1B2C3D4E51}'
        CurVer = s 'Test.Calc.1'
    }
    NoRemove CLSID
    {
        ForceRemove {6D2B9A10-4C1E-4F0B-9E55-0A1B2C3D4E51} = s 'TestCalc Class'
        {
            InprocServer32 = s '%MODULE%'
            {
                val ThreadingModel = s 'Apartment'
            }
        }
    }
}
)";

class Calc final : public com::IDispatchImpl<ITestCalc>, public ISupportErrorInfo {
public:
    Calc() : IDispatchImpl(g_calcInfo) { ++g_objects; }
    ~Calc() { --g_objects; }

    HRESULT QueryInterface(REFIID riid, void **ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_ITestCalc)
            *ppv = static_cast<ITestCalc *>(this);
        else if (riid == IID_ISupportErrorInfo)
            *ppv = static_cast<ISupportErrorInfo *>(this);
        else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override
    {
        const ULONG n = --m_refs;
        if (n == 0)
            delete this;
        return n;
    }
    HRESULT InterfaceSupportsErrorInfo(REFIID riid) override { return riid == IID_ITestCalc ? S_OK : S_FALSE; }

    HRESULT Add(std::int32_t a, std::int32_t b, std::int32_t *sum) override
    {
        if (!sum)
            return E_POINTER;
        *sum = a + b;
        return S_OK;
    }
    HRESULT Greet(BSTR name, BSTR *greeting) override
    {
        if (!greeting)
            return E_POINTER;
        *greeting = com::allocFromAnsi("Hello, " + com::toAnsi(name));
        return S_OK;
    }
    HRESULT get_Value(std::int32_t *v) override
    {
        if (!v)
            return E_POINTER;
        *v = m_value;
        return S_OK;
    }
    HRESULT put_Value(std::int32_t v) override
    {
        m_value = v;
        return S_OK;
    }
    HRESULT Fail(std::int32_t code, BSTR description) override
    {
        if (SysStringLen(description) > 0)
            com::setErrorDescription(com::toAnsi(description), "TestCalc", IID_ITestCalc);
        return code;
    }

private:
    std::atomic<ULONG> m_refs{1};
    std::int32_t m_value = 0;
};

class Factory final : public IClassFactory {
public:
    HRESULT QueryInterface(REFIID riid, void **ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *ppv = static_cast<IClassFactory *>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++g_locks, 2; }
    ULONG Release() override { return --g_locks, 1; }
    HRESULT CreateInstance(IUnknown *outer, REFIID riid, void **ppv) override
    {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        auto *c = new Calc;
        const HRESULT hr = c->QueryInterface(riid, ppv);
        c->Release();
        return hr;
    }
    HRESULT LockServer(BOOL lock) override
    {
        g_locks += lock ? 1 : -1;
        return S_OK;
    }
};

Factory g_factory;

} // namespace

extern "C" {

__attribute__((visibility("default"))) const com::TypeLibDesc *ComTypeLibResource() { return &kLib; }

__attribute__((visibility("default"))) HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid, void **ppv)
{
    if (clsid != CLSID_TestCalc)
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(riid, ppv);
}

__attribute__((visibility("default"))) HRESULT DllCanUnloadNow()
{
    if (g_objects > 0 || g_locks > 0)
        return S_FALSE;
    g_term.run(); // about to go: drop the type information that pins us
    return S_OK;
}

__attribute__((visibility("default"))) HRESULT DllRegisterServer()
{
    const std::string path = com::modulePathOf(reinterpret_cast<const void *>(&DllRegisterServer));
    CComPtr<ITypeLib> lib;
    HRESULT hr = com::CreateTypeLib(&kLib, &lib);
    if (SUCCEEDED(hr))
        hr = RegisterTypeLib(lib, path.c_str(), nullptr);
    if (FAILED(hr))
        return SELFREG_E_TYPELIB;
    return com::runRegistryScript(kScript, true, {{"MODULE", path}});
}

__attribute__((visibility("default"))) HRESULT DllUnregisterServer()
{
    if (FAILED(UnRegisterTypeLib(LIBID_TestCalcLib, 1, 0, 1033, SYS_WIN64)))
        return SELFREG_E_TYPELIB;
    return com::runRegistryScript(kScript, false, {{"MODULE", ""}});
}

__attribute__((visibility("default"))) int TestServerObjectCount() { return g_objects; }
}
