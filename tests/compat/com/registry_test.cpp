#include "com/registry.h"
#include "com/tempregistry.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace com::registry;

namespace {

DWORD readDword(HKEY root, const char *path, const char *name)
{
    HKEY key;
    EXPECT_EQ(RegOpenKeyEx(root, path, 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD value = 0, type = 0, size = sizeof value;
    EXPECT_EQ(RegQueryValueEx(key, name, nullptr, &type, reinterpret_cast<BYTE *>(&value), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    RegCloseKey(key);
    return value;
}

} // namespace

TEST(Registry, ValuesSurviveInTheFileAndNamesIgnoreCase)
{
    TempRegistry reg;
    ASSERT_EQ(writeString(HKEY_LOCAL_MACHINE, "Software\\Karrowin\\Developer\\8.0", "Install Location",
                          "/opt/kr \"quoted\"\\path\nline"),
              ERROR_SUCCESS);
    HKEY key;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT, "A\\B", 0, nullptr, 0, KEY_WRITE, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    const DWORD n = 42;
    ASSERT_EQ(RegSetValueEx(key, "Count", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&n), sizeof n),
              ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_TRUE(QFile::exists(reg.path()));

    std::string value;
    ASSERT_TRUE(readString(HKEY_LOCAL_MACHINE, "SOFTWARE\\karrowin\\DEVELOPER\\8.0", "install location", &value));
    EXPECT_EQ(value, "/opt/kr \"quoted\"\\path\nline");
    EXPECT_EQ(readDword(HKEY_CLASSES_ROOT, "a\\b", "COUNT"), 42u);
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, "A"));
    EXPECT_FALSE(readString(HKEY_LOCAL_MACHINE, "Software\\Karrowin\\Developer\\8.0", "Missing", &value));
}

TEST(Registry, QueryReportsSizeAndShortBuffers)
{
    TempRegistry reg;
    ASSERT_EQ(writeString(HKEY_CLASSES_ROOT, "K", "", "hello"), ERROR_SUCCESS);
    HKEY key;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, "K", 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueEx(key, nullptr, nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 6u);
    char small[3];
    size = sizeof small;
    EXPECT_EQ(RegQueryValueEx(key, "", nullptr, nullptr, reinterpret_cast<BYTE *>(small), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 6u);
    RegCloseKey(key);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
}

TEST(Registry, DeletingKeys)
{
    TempRegistry reg;
    writeString(HKEY_CLASSES_ROOT, "P\\C1\\G", "", "x");
    writeString(HKEY_CLASSES_ROOT, "P\\C2", "v", "y");
    EXPECT_EQ(RegDeleteKey(HKEY_CLASSES_ROOT, "P"), ERROR_ACCESS_DENIED) << "a key with subkeys stays";
    EXPECT_EQ(RegDeleteKey(HKEY_CLASSES_ROOT, "P\\C2"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKey(HKEY_CLASSES_ROOT, "P\\C2"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteTree(HKEY_CLASSES_ROOT, "P"), ERROR_SUCCESS);
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, "P"));
    EXPECT_TRUE(subKeys(HKEY_CLASSES_ROOT, "").empty());
}

TEST(Registry, DeniedKeysRefuseWritesButStayReadable)
{
    TempRegistry reg;
    writeString(HKEY_CLASSES_ROOT, "TypeLib\\X", "", "old");
    denyWrites(HKEY_CLASSES_ROOT, "typelib");
    EXPECT_EQ(writeString(HKEY_CLASSES_ROOT, "TypeLib\\Y", "", "new"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(writeString(HKEY_CLASSES_ROOT, "TypeLib\\X", "", "new"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteTree(HKEY_CLASSES_ROOT, "TypeLib"), ERROR_ACCESS_DENIED);
    std::string value;
    EXPECT_TRUE(readString(HKEY_CLASSES_ROOT, "TypeLib\\X", "", &value));
    EXPECT_EQ(value, "old");
    EXPECT_EQ(writeString(HKEY_CLASSES_ROOT, "Other", "", "ok"), ERROR_SUCCESS);
}

TEST(Registry, AnotherFileIsAnotherRegistry)
{
    TempRegistry first;
    writeString(HKEY_CLASSES_ROOT, "OnlyInFirst", "", "1");
    {
        TempRegistry second;
        EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, "OnlyInFirst"));
    }
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, "OnlyInFirst"));
}
