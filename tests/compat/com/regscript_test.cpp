#include "com/registry.h"
#include "com/support.h"
#include "com/tempregistry.h"

#include <gtest/gtest.h>

using com::registry::keyExists;
using com::registry::readString;

namespace {

const char kScript[] = R"(
HKCR
{
    My.Thing = s 'Thing Class'
    {
        CLSID = s '{11111111-2222-3333-4444-555555555555}'
    }
    NoRemove CLSID
    {
        ForceRemove {11111111-2222-3333-4444-555555555555} = s 'Thing Class'
        {
            'Quoted Name' = s 'it''s'
            Programmable
            InprocServer32 = s '%MODULE%'
            {
                val ThreadingModel = s 'Apartment'
                val Count = d 7
            }
        }
    }
}
HKLM
{
    NoRemove Software
    {
        Vendor
        {
            val Keep = s 'x'
        }
    }
}
)";

std::string value(HKEY root, const std::string &key, const std::string &name = "")
{
    std::string v;
    EXPECT_TRUE(readString(root, key, name, &v)) << key << " " << name;
    return v;
}

} // namespace

TEST(RegistryScript, RegisterWritesEveryKeyAndUnregisterRemovesThem)
{
    TempRegistry reg;
    com::registry::writeString(HKEY_CLASSES_ROOT, "CLSID\\{00000000-0000-0000-0000-000000000001}", "", "other");
    com::registry::writeString(HKEY_CLASSES_ROOT,
                               "CLSID\\{11111111-2222-3333-4444-555555555555}\\Stale", "", "left over");
    const std::string module = "/path/with 'quote'/%d/libthing.so";
    ASSERT_EQ(com::runRegistryScript(kScript, true, {{"MODULE", module}}), S_OK);

    const std::string clsidKey = "CLSID\\{11111111-2222-3333-4444-555555555555}";
    EXPECT_EQ(value(HKEY_CLASSES_ROOT, "My.Thing"), "Thing Class");
    EXPECT_EQ(value(HKEY_CLASSES_ROOT, "My.Thing\\CLSID"), "{11111111-2222-3333-4444-555555555555}");
    EXPECT_EQ(value(HKEY_CLASSES_ROOT, clsidKey + "\\InprocServer32"), module);
    EXPECT_EQ(value(HKEY_CLASSES_ROOT, clsidKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(value(HKEY_CLASSES_ROOT, clsidKey + "\\Quoted Name"), "it's");
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, clsidKey + "\\Programmable"));
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, clsidKey + "\\Stale")) << "ForceRemove starts afresh";
    EXPECT_EQ(value(HKEY_LOCAL_MACHINE, "Software\\Vendor", "Keep"), "x");

    ASSERT_EQ(com::runRegistryScript(kScript, false, {{"MODULE", module}}), S_OK);
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, "My.Thing"));
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, clsidKey));
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, "CLSID")) << "NoRemove keeps the shared key";
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, "CLSID\\{00000000-0000-0000-0000-000000000001}"));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, "Software\\Vendor"));
    EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, "Software"));
    // Removing what is not there is no error.
    EXPECT_EQ(com::runRegistryScript(kScript, false, {{"MODULE", module}}), S_OK);
}

TEST(RegistryScript, PlainKeyWithForeignSubkeysStays)
{
    TempRegistry reg;
    ASSERT_EQ(com::runRegistryScript(kScript, true, {{"MODULE", "m"}}), S_OK);
    com::registry::writeString(HKEY_CLASSES_ROOT, "My.Thing\\Added", "", "by someone else");
    ASSERT_EQ(com::runRegistryScript(kScript, false, {{"MODULE", "m"}}), S_OK);
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, "My.Thing\\Added"));
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, "My.Thing\\CLSID"));
}

TEST(RegistryScript, MalformedScriptsAndUnknownVariablesChangeNothing)
{
    TempRegistry reg;
    const char *bad[] = {
        "HKCR { Key = s 'unterminated }",
        "HKXX { Key }",
        "HKCR { Key = s '%UNKNOWN%' }",
        "HKCR { Key = x 'y' }",
        "HKCR { Key { }",
    };
    for (const char *script : bad) {
        EXPECT_EQ(com::runRegistryScript(script, true, {{"MODULE", "m"}}), E_INVALIDARG) << script;
        EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, "Key")) << script;
    }
}

TEST(RegistryScript, RefusedWriteIsReported)
{
    TempRegistry reg;
    com::registry::denyWrites(HKEY_CLASSES_ROOT, "CLSID");
    EXPECT_EQ(com::runRegistryScript(kScript, true, {{"MODULE", "m"}}), HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
}
