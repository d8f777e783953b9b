#include "com/registry.h"
#include "com/support.h"
#include "com/tempregistry.h"
#include "com/typelib.h"
#include "com/util.h"
#include "testserver.h"

#include <dlfcn.h>

#include <gtest/gtest.h>

namespace {

HRESULT callExport(const char *name)
{
    void *h = dlopen(TEST_SERVER_PATH, RTLD_NOW | RTLD_LOCAL);
    EXPECT_NE(h, nullptr) << dlerror();
    auto fn = reinterpret_cast<PFN_DllRegisterServer>(dlsym(h, name));
    const HRESULT hr = fn ? fn() : E_FAIL;
    dlclose(h);
    return hr;
}

bool serverLoaded()
{
    void *h = dlopen(TEST_SERVER_PATH, RTLD_NOW | RTLD_NOLOAD);
    if (h)
        dlclose(h);
    return h != nullptr;
}

class Activation : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(callExport("DllRegisterServer"), S_OK); }
    void TearDown() override { CoFreeUnusedLibraries(); }

    CComPtr<IDispatch> create()
    {
        CLSID clsid;
        EXPECT_EQ(CLSIDFromProgID(CComBSTR("Test.Calc"), &clsid), S_OK);
        CComPtr<IDispatch> d;
        EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IDispatch, reinterpret_cast<void **>(&d)), S_OK);
        return d;
    }

    static DISPID idOf(IDispatch *d, const char *name)
    {
        CComBSTR n(name);
        LPOLESTR names[] = {n};
        DISPID id = 0;
        EXPECT_EQ(d->GetIDsOfNames(GUID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK) << name;
        return id;
    }

    TempRegistry m_registry;
};

VARIANT i4(std::int32_t v)
{
    VARIANT x;
    VariantInit(&x);
    x.vt = VT_I4;
    x.lVal = v;
    return x;
}

VARIANT str(const char *s)
{
    VARIANT x;
    VariantInit(&x);
    x.vt = VT_BSTR;
    x.bstrVal = com::allocFromAnsi(s);
    return x;
}

} // namespace

TEST_F(Activation, ProgIdThroughCurVerAndTypeLibRegistration)
{
    CLSID a, b;
    ASSERT_EQ(CLSIDFromProgID(CComBSTR("Test.Calc"), &a), S_OK);
    ASSERT_EQ(CLSIDFromProgID(CComBSTR("Test.Calc.1"), &b), S_OK);
    EXPECT_EQ(a, CLSID_TestCalc);
    EXPECT_EQ(b, CLSID_TestCalc);
    EXPECT_EQ(CLSIDFromProgID(CComBSTR("No.Such"), &a), CO_E_CLASSSTRING);

    std::string path;
    ASSERT_TRUE(com::registry::readString(
        HKEY_CLASSES_ROOT, "TypeLib\\{6D2B9A12-4C1E-4F0B-9E55-0A1B2C3D4E51}\\1.0\\409\\linux", "", &path));
    EXPECT_NE(path.find("compat_test_server"), std::string::npos);
    CComPtr<ITypeLib> lib;
    ASSERT_EQ(LoadRegTypeLib(LIBID_TestCalcLib, 1, 0, LOCALE_USER_DEFAULT, &lib), S_OK);
    CComBSTR name, doc;
    lib->GetDocumentation(-1, &name, &doc, nullptr, nullptr);
    EXPECT_EQ(name.ansi(), "TestCalcLib");
    EXPECT_EQ(doc.ansi(), "TestCalc 1.0 Type Library");
    EXPECT_EQ(LoadRegTypeLib(LIBID_TestCalcLib, 2, 0, 0, &lib), TYPE_E_LIBNOTREGISTERED);
}

TEST_F(Activation, DispatchCallsThroughTheTypeInformation)
{
    CComPtr<IDispatch> d = create();
    ASSERT_TRUE(d);
    const DISPID add = idOf(d, "ADD");
    EXPECT_EQ(add, 1);

    // Arguments arrive last first; a numeric string converts.
    VARIANT args[2] = {str("40"), i4(2)};
    DISPPARAMS params{args, nullptr, 2, 0};
    CComVariant result;
    ASSERT_EQ(d->Invoke(add, GUID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr), S_OK);
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(result.lVal, 42);
    VariantClear(&args[0]);

    VARIANT who[1] = {str("Dorvane")};
    DISPPARAMS one{who, nullptr, 1, 0};
    CComVariant greeting;
    ASSERT_EQ(d->Invoke(idOf(d, "Greet"), GUID_NULL, 0, DISPATCH_METHOD, &one, &greeting, nullptr, nullptr), S_OK);
    EXPECT_EQ(greeting.vt, VT_BSTR);
    EXPECT_EQ(com::toAnsi(greeting.bstrVal), "Hello, Dorvane");
    VariantClear(&who[0]);

    VARIANT seven[1] = {i4(7)};
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS put{seven, &putId, 1, 1};
    const DISPID value = idOf(d, "value");
    ASSERT_EQ(d->Invoke(value, GUID_NULL, 0, DISPATCH_PROPERTYPUT, &put, nullptr, nullptr, nullptr), S_OK);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    CComVariant got;
    ASSERT_EQ(d->Invoke(value, GUID_NULL, 0, DISPATCH_PROPERTYGET, &none, &got, nullptr, nullptr), S_OK);
    EXPECT_EQ(got.lVal, 7);
}

TEST_F(Activation, DispatchRefusals)
{
    CComPtr<IDispatch> d = create();
    ASSERT_TRUE(d);
    CComBSTR unknown("Subtract");
    LPOLESTR names[] = {unknown};
    DISPID id = 0;
    EXPECT_EQ(d->GetIDsOfNames(GUID_NULL, names, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);

    VARIANT word[2] = {str("x"), i4(1)};
    DISPPARAMS two{word, nullptr, 2, 0};
    DISPPARAMS oneArg{word + 1, nullptr, 1, 0};
    DISPID named = 0;
    DISPPARAMS withNames{word, &named, 2, 1};
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    struct Case {
        DISPID id;
        WORD flags;
        DISPPARAMS *params;
        HRESULT hr;
    } cases[] = {
        {1, DISPATCH_METHOD, &oneArg, DISP_E_BADPARAMCOUNT},
        {1, DISPATCH_METHOD, &two, DISP_E_TYPEMISMATCH},
        {1, DISPATCH_METHOD, &withNames, DISP_E_NONAMEDARGS},
        {99, DISPATCH_METHOD, &none, DISP_E_MEMBERNOTFOUND},
        {3, DISPATCH_METHOD, &none, DISP_E_MEMBERNOTFOUND}, // a property is no method
    };
    for (const auto &c : cases) {
        UINT argErr = 123;
        CComVariant r;
        EXPECT_EQ(d->Invoke(c.id, GUID_NULL, 0, c.flags, c.params, &r, nullptr, &argErr), c.hr) << c.id;
        if (c.hr == DISP_E_TYPEMISMATCH) {
            EXPECT_EQ(argErr, 0u) << "the string is rgvarg[0]";
        }
    }
    VariantClear(&word[0]);
    EXPECT_EQ(d->Invoke(1, IID_IUnknown, 0, DISPATCH_METHOD, &two, nullptr, nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);
}

TEST_F(Activation, FailingMethodBecomesAnException)
{
    CComPtr<IDispatch> d = create();
    ASSERT_TRUE(d);
    struct Case {
        HRESULT code;
        const char *description;
        const char *expected;
    } cases[] = {
        {MAKE_HRESULT(1, FACILITY_ITF, 2000), "host said no", "host said no"},
        {E_NOINTERFACE, "", "No such interface supported"},
        {MAKE_HRESULT(1, FACILITY_ITF, 2200), "", ""},
    };
    for (const auto &c : cases) {
        VARIANT args[2] = {str(c.description), i4(c.code)};
        DISPPARAMS params{args, nullptr, 2, 0};
        EXCEPINFO ex{};
        EXPECT_EQ(d->Invoke(4, GUID_NULL, 0, DISPATCH_METHOD, &params, nullptr, &ex, nullptr), DISP_E_EXCEPTION);
        EXPECT_EQ(ex.scode, c.code);
        EXPECT_EQ(com::toAnsi(ex.bstrDescription), c.expected);
        SysFreeString(ex.bstrDescription);
        SysFreeString(ex.bstrSource);
        VariantClear(&args[0]);
    }
}

TEST_F(Activation, ServerStaysWhileObjectsLiveAndUnloadsAfterwards)
{
    {
        CComPtr<IDispatch> d = create();
        ASSERT_TRUE(d);
        CComVariant r;
        VARIANT args[2] = {i4(1), i4(2)};
        DISPPARAMS p{args, nullptr, 2, 0};
        d->Invoke(1, GUID_NULL, 0, DISPATCH_METHOD, &p, &r, nullptr, nullptr);
        CoFreeUnusedLibraries();
        EXPECT_TRUE(serverLoaded());
    }
    CoFreeUnusedLibraries();
    EXPECT_FALSE(serverLoaded());
}

TEST_F(Activation, UnregisteredOrMissingServers)
{
    ASSERT_EQ(callExport("DllUnregisterServer"), S_OK);
    EXPECT_FALSE(com::registry::keyExists(HKEY_CLASSES_ROOT, "Test.Calc"));
    EXPECT_FALSE(com::registry::keyExists(HKEY_CLASSES_ROOT, "CLSID\\{6D2B9A10-4C1E-4F0B-9E55-0A1B2C3D4E51}"));
    EXPECT_FALSE(com::registry::keyExists(HKEY_CLASSES_ROOT, "TypeLib\\{6D2B9A12-4C1E-4F0B-9E55-0A1B2C3D4E51}"));
    EXPECT_FALSE(com::registry::keyExists(HKEY_CLASSES_ROOT, "Interface\\{6D2B9A11-4C1E-4F0B-9E55-0A1B2C3D4E51}"));
    IUnknown *p = reinterpret_cast<IUnknown *>(1);
    EXPECT_EQ(CoCreateInstance(CLSID_TestCalc, nullptr, CLSCTX_ALL, IID_IUnknown, reinterpret_cast<void **>(&p)),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(callExport("DllUnregisterServer"), SELFREG_E_TYPELIB) << "nothing left to remove";

    com::registry::writeString(HKEY_CLASSES_ROOT, "CLSID\\{6D2B9A10-4C1E-4F0B-9E55-0A1B2C3D4E51}\\InprocServer32",
                               "", "/nowhere/libmissing.so");
    EXPECT_EQ(CoCreateInstance(CLSID_TestCalc, nullptr, CLSCTX_ALL, IID_IUnknown, reinterpret_cast<void **>(&p)),
              CO_E_DLLNOTFOUND);
}

namespace {
class RunningFactory final : public IClassFactory {
public:
    HRESULT QueryInterface(REFIID riid, void **ppv) override
    {
        *ppv = (riid == IID_IUnknown || riid == IID_IClassFactory) ? static_cast<IClassFactory *>(this) : nullptr;
        if (!*ppv)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    HRESULT CreateInstance(IUnknown *, REFIID, void **ppv) override
    {
        ++created;
        *ppv = nullptr;
        return E_NOTIMPL;
    }
    HRESULT LockServer(BOOL) override { return S_OK; }
    int refs = 0;
    int created = 0;
};
} // namespace

TEST_F(Activation, RunningClassObjectsComeFirstUntilRevoked)
{
    RunningFactory f;
    DWORD cookie = 0;
    ASSERT_EQ(CoRegisterClassObject(CLSID_TestCalc, &f, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie), S_OK);
    void *p = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_TestCalc, nullptr, CLSCTX_ALL, IID_IUnknown, &p), E_NOTIMPL);
    EXPECT_EQ(f.created, 1);
    ASSERT_EQ(CoRevokeClassObject(cookie), S_OK);
    EXPECT_EQ(f.refs, 0);
    EXPECT_EQ(CoRevokeClassObject(cookie), E_INVALIDARG);
    EXPECT_EQ(CoCreateInstance(CLSID_TestCalc, nullptr, CLSCTX_ALL, IID_IUnknown, &p), S_OK);
    static_cast<IUnknown *>(p)->Release();
}
