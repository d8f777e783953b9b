// The registry: hives HKEY_CLASSES_ROOT and HKEY_LOCAL_MACHINE kept in one
// text file. KR_REGISTRY_FILE names the file; otherwise it lives in the
// user's config folder. Every call reads the file and every change writes it
// back, so separate processes see each other's changes.
#pragma once

#include "com/types.h"

#include <string>
#include <vector>

struct HKEY__;
using HKEY = HKEY__ *;
using REGSAM = DWORD;

#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(std::uintptr_t(0x80000000u)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(std::uintptr_t(0x80000002u)))

constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_WRITE_FAULT = 29;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr LONG ERROR_NO_MORE_ITEMS = 259;
constexpr LONG ERROR_BADDB = 1009;

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_DWORD = 4;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Key paths use backslashes; names compare without regard to case. String
// data is UTF-8 with its terminator; size counts bytes.
LONG RegOpenKeyEx(HKEY key, const char *subKey, DWORD options, REGSAM access, HKEY *result);
LONG RegCreateKeyEx(HKEY key, const char *subKey, DWORD reserved, char *cls, DWORD options, REGSAM access,
                    void *security, HKEY *result, DWORD *disposition);
LONG RegCloseKey(HKEY key);
LONG RegSetValueEx(HKEY key, const char *name, DWORD reserved, DWORD type, const BYTE *data, DWORD size);
LONG RegQueryValueEx(HKEY key, const char *name, DWORD *reserved, DWORD *type, BYTE *data, DWORD *size);
LONG RegDeleteValue(HKEY key, const char *name);
// Fails with ERROR_ACCESS_DENIED when the key still has subkeys.
LONG RegDeleteKey(HKEY key, const char *subKey);
LONG RegDeleteTree(HKEY key, const char *subKey);
LONG RegEnumKeyEx(HKEY key, DWORD index, char *name, DWORD *nameSize, DWORD *reserved, char *cls,
                  DWORD *clsSize, void *lastWrite);

namespace com::registry {

// The file in use: KR_REGISTRY_FILE or the default location.
std::string filePath();

// Convenience for code that reads or writes whole values.
bool readString(HKEY root, const std::string &subKey, const std::string &name, std::string *value);
LONG writeString(HKEY root, const std::string &subKey, const std::string &name, const std::string &value);
bool keyExists(HKEY root, const std::string &subKey);
std::vector<std::string> subKeys(HKEY root, const std::string &subKey);

// Denies writes under a key path (like an access control entry), for tests
// of failing registration. Cleared by clearDenials().
void denyWrites(HKEY root, const std::string &subKey);
void clearDenials();

} // namespace com::registry
