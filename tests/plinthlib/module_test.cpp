#include "plinth/factory.h"
#include "plinth/module.h"

#include "com/registry.h"
#include "com/tempregistry.h"
#include "com/util.h"

#include <gtest/gtest.h>

namespace {

constexpr CLSID CLSID_Thing = com::guid("{0F0E0D0C-0B0A-0908-0706-050403020100}");
constexpr IID IID_IThing = com::guid("{0F0E0D0C-0B0A-0908-0706-050403020101}");

struct IThing : IUnknown {
    virtual int Answer() = 0;

protected:
    ~IThing() = default;
};

int g_alive = 0;
bool g_failConstruction = false;

class CThing : public CCmdTarget {
    DECLARE_DYNCREATE(CThing)
public:
    CThing()
    {
        if (g_failConstruction)
            throw CException("host unreachable", E_ACCESSDENIED);
        ++g_alive;
        CTModule::GetModule()->Lock();
    }
    ~CThing() override
    {
        --g_alive;
        CTModule::GetModule()->Unlock();
    }

protected:
    IUnknown *GetInterface(REFIID riid) override
    {
        return riid == IID_IUnknown || riid == IID_IThing ? &m_part : nullptr;
    }

private:
    struct XThing : CInterfacePart<IThing> {
        using CInterfacePart::CInterfacePart;
        int Answer() override { return 42; }
    } m_part{this};
};
IMPLEMENT_DYNCREATE(CThing)

const char kScript[] = "HKCR { NoRemove CLSID { ForceRemove {0F0E0D0C-0B0A-0908-0706-050403020100} = s 'Thing' "
                       "{ InprocServer32 = s '%MODULE%' } } }";

class ThingModule : public CTMfcModule {
public:
    ThingModule() { m_resources.registryScripts = {{200, kScript}}; }
    BOOL InitInstance() override
    {
        ++inits;
        EnableControlContainer();
        new CKROleObjectFactory(CLSID_Thing, RUNTIME_CLASS(CThing), 200);
        return CTMfcModule::InitInstance();
    }
    int inits = 0;
};

class Module : public ::testing::Test {
protected:
    Module() : state(&module)
    {
        module.SetModuleAddress(reinterpret_cast<const void *>(&CThing::CreateObject));
        module.EnsureInitialized();
        module.EnsureInitialized();
        g_failConstruction = false;
    }
    ThingModule module;
    CTModuleState state;
    TempRegistry registry;
};

} // namespace

TEST_F(Module, FactoryCreatesFromTheRuntimeClassAndLocksTheModule)
{
    EXPECT_EQ(module.inits, 1);
    EXPECT_TRUE(module.ControlContainerEnabled());
    IClassFactory *factory = nullptr;
    ASSERT_EQ(module.OnGetClassObject(CLSID_Thing, IID_IClassFactory, reinterpret_cast<void **>(&factory)), S_OK);
    EXPECT_EQ(module.OnCanUnloadNow(), S_FALSE) << "a handed-out factory keeps the module";
    IThing *thing = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IThing, reinterpret_cast<void **>(&thing)), S_OK);
    EXPECT_EQ(thing->Answer(), 42);
    EXPECT_EQ(g_alive, 1);
    void *none = reinterpret_cast<void *>(1);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(g_alive, 1) << "the refused object is gone again";
    EXPECT_EQ(factory->CreateInstance(reinterpret_cast<IUnknown *>(thing), IID_IThing, &none),
              CLASS_E_NOAGGREGATION);
    factory->Release();
    EXPECT_EQ(module.OnCanUnloadNow(), S_FALSE) << "a live object keeps the module";
    thing->Release();
    EXPECT_EQ(g_alive, 0);
    EXPECT_EQ(module.OnCanUnloadNow(), S_OK);
    EXPECT_EQ(module.OnGetClassObject(IID_IThing, IID_IClassFactory, &none), CLASS_E_CLASSNOTAVAILABLE);
}

TEST_F(Module, ConstructionFailureReachesTheCaller)
{
    g_failConstruction = true;
    IClassFactory *factory = nullptr;
    ASSERT_EQ(module.OnGetClassObject(CLSID_Thing, IID_IClassFactory, reinterpret_cast<void **>(&factory)), S_OK);
    void *thing = nullptr;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IThing, &thing), E_ACCESSDENIED);
    EXPECT_EQ(thing, nullptr);
    factory->Release();
    EXPECT_EQ(module.GetLockCount(), 0);
}

TEST_F(Module, RegisterServerRunsEveryFactoryScriptWithTheModulePath)
{
    ASSERT_EQ(module.OnRegisterServer(true), S_OK);
    std::string path;
    ASSERT_TRUE(com::registry::readString(
        HKEY_CLASSES_ROOT, "CLSID\\{0F0E0D0C-0B0A-0908-0706-050403020100}\\InprocServer32", "", &path));
    EXPECT_EQ(path, module.ModulePath());
    EXPECT_FALSE(path.empty());
    ASSERT_EQ(module.OnRegisterServer(false), S_OK);
    EXPECT_FALSE(com::registry::keyExists(HKEY_CLASSES_ROOT, "CLSID\\{0F0E0D0C-0B0A-0908-0706-050403020100}"));
}
