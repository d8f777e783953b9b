// Core types of the component runtime: result codes, GUIDs, BSTR, VARIANT
// and the basic interfaces, under the names components expect.
#pragma once

#include <cstddef>
#include <cstdint>

using HRESULT = std::int32_t;
using SCODE = std::int32_t;
using ULONG = std::uint32_t;
using LONG = std::int32_t;
using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using UINT = unsigned int;
using BOOL = int;
using BYTE = std::uint8_t;
using LCID = std::uint32_t;
using DISPID = std::int32_t;
using MEMBERID = DISPID;
using VARTYPE = std::uint16_t;
using VARIANT_BOOL = std::int16_t;
using OLECHAR = char16_t;
using LPOLESTR = OLECHAR *;
using LPCOLESTR = const OLECHAR *;
using BSTR = OLECHAR *;

constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;
#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }
constexpr int HRESULT_CODE(HRESULT hr) { return hr & 0xFFFF; }
constexpr int HRESULT_FACILITY(HRESULT hr) { return (hr >> 16) & 0x1FFF; }
constexpr HRESULT MAKE_HRESULT(unsigned sev, unsigned fac, unsigned code)
{
    return static_cast<HRESULT>((sev << 31) | (fac << 16) | code);
}
constexpr unsigned FACILITY_ITF = 4;
constexpr unsigned FACILITY_WIN32 = 7;
constexpr HRESULT HRESULT_FROM_WIN32(long err)
{
    return err <= 0 ? static_cast<HRESULT>(err)
                    : MAKE_HRESULT(1, FACILITY_WIN32, static_cast<unsigned>(err & 0xFFFF));
}

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_ABORT = static_cast<HRESULT>(0x80004004u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFFu);
constexpr HRESULT E_ACCESSDENIED = static_cast<HRESULT>(0x80070005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = static_cast<HRESULT>(0x80040111u);
constexpr HRESULT REGDB_E_READREGDB = static_cast<HRESULT>(0x80040150u);
constexpr HRESULT REGDB_E_WRITEREGDB = static_cast<HRESULT>(0x80040151u);
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);
constexpr HRESULT CO_E_CLASSSTRING = static_cast<HRESULT>(0x800401F3u);
constexpr HRESULT CO_E_DLLNOTFOUND = static_cast<HRESULT>(0x800401F8u);
constexpr HRESULT CO_E_ERRORINDLL = static_cast<HRESULT>(0x800401F9u);
constexpr HRESULT SELFREG_E_TYPELIB = static_cast<HRESULT>(0x80040200u);
constexpr HRESULT SELFREG_E_CLASS = static_cast<HRESULT>(0x80040201u);
constexpr HRESULT DISP_E_UNKNOWNINTERFACE = static_cast<HRESULT>(0x80020001u);
constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003u);
constexpr HRESULT DISP_E_PARAMNOTFOUND = static_cast<HRESULT>(0x80020004u);
constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005u);
constexpr HRESULT DISP_E_UNKNOWNNAME = static_cast<HRESULT>(0x80020006u);
constexpr HRESULT DISP_E_NONAMEDARGS = static_cast<HRESULT>(0x80020007u);
constexpr HRESULT DISP_E_BADVARTYPE = static_cast<HRESULT>(0x80020008u);
constexpr HRESULT DISP_E_EXCEPTION = static_cast<HRESULT>(0x80020009u);
constexpr HRESULT DISP_E_BADPARAMCOUNT = static_cast<HRESULT>(0x8002000Eu);
constexpr HRESULT TYPE_E_LIBNOTREGISTERED = static_cast<HRESULT>(0x8002801Du);
constexpr HRESULT TYPE_E_ELEMENTNOTFOUND = static_cast<HRESULT>(0x8002802Bu);
constexpr HRESULT TYPE_E_CANTLOADLIBRARY = static_cast<HRESULT>(0x80029C4Au);

constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;

// ---- GUIDs -----------------------------------------------------------------

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID &;
using REFIID = const IID &;
using REFCLSID = const CLSID &;

constexpr bool operator==(const GUID &a, const GUID &b)
{
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
        return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i])
            return false;
    return true;
}
constexpr bool IsEqualGUID(const GUID &a, const GUID &b) { return a == b; }

namespace com::detail {
constexpr unsigned hexDigit(char c)
{
    return c >= '0' && c <= '9' ? unsigned(c - '0')
         : c >= 'a' && c <= 'f' ? unsigned(c - 'a' + 10)
         : c >= 'A' && c <= 'F' ? unsigned(c - 'A' + 10)
                                : throw "bad hex digit in GUID";
}
constexpr std::uint32_t hexAt(const char *s, int pos, int n)
{
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i)
        v = v * 16 + hexDigit(s[pos + i]);
    return v;
}
} // namespace com::detail

namespace com {
// A GUID written "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", checked at compile time.
consteval GUID guid(const char (&s)[39])
{
    if (s[0] != '{' || s[9] != '-' || s[14] != '-' || s[19] != '-' || s[24] != '-' || s[37] != '}')
        throw "malformed GUID";
    GUID g{};
    g.Data1 = detail::hexAt(s, 1, 8);
    g.Data2 = static_cast<std::uint16_t>(detail::hexAt(s, 10, 4));
    g.Data3 = static_cast<std::uint16_t>(detail::hexAt(s, 15, 4));
    g.Data4[0] = static_cast<std::uint8_t>(detail::hexAt(s, 20, 2));
    g.Data4[1] = static_cast<std::uint8_t>(detail::hexAt(s, 22, 2));
    for (int i = 0; i < 6; ++i)
        g.Data4[2 + i] = static_cast<std::uint8_t>(detail::hexAt(s, 25 + 2 * i, 2));
    return g;
}
} // namespace com

constexpr GUID GUID_NULL{};

// ---- BSTR ------------------------------------------------------------------

BSTR SysAllocString(const OLECHAR *text);
BSTR SysAllocStringLen(const OLECHAR *text, UINT length);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);
UINT SysStringByteLen(BSTR text);

// ---- VARIANT ---------------------------------------------------------------

enum VARENUM : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R8 = 5,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_UI1 = 17,
    VT_HRESULT = 25,
    VT_VOID = 24,
    VT_BYREF = 0x4000,
};

struct IUnknown;
struct IDispatch;

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        std::int32_t lVal;
        std::int16_t iVal;
        BYTE bVal;
        VARIANT_BOOL boolVal;
        SCODE scode;
        double dblVal;
        BSTR bstrVal;
        IUnknown *punkVal;
        IDispatch *pdispVal;
        VARIANT *pvarVal;
        std::int32_t *plVal;
        std::int16_t *piVal;
        VARIANT_BOOL *pboolVal;
        BSTR *pbstrVal;
        IUnknown **ppunkVal;
        IDispatch **ppdispVal;
        void *byref;
    };
};
using VARIANTARG = VARIANT;

void VariantInit(VARIANT *v);
HRESULT VariantClear(VARIANT *v);
HRESULT VariantCopy(VARIANT *dest, const VARIANT *src);
// Converts between the scalar, string and interface types; anything else is
// DISP_E_TYPEMISMATCH. A by-reference source is read through.
HRESULT VariantChangeType(VARIANT *dest, const VARIANT *src, WORD flags, VARTYPE vt);

// ---- Interfaces ------------------------------------------------------------

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void **ppv) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};
constexpr IID IID_IUnknown = com::guid("{00000000-0000-0000-C000-000000000046}");

struct IClassFactory : IUnknown {
    virtual HRESULT CreateInstance(IUnknown *outer, REFIID riid, void **ppv) = 0;
    virtual HRESULT LockServer(BOOL lock) = 0;

protected:
    ~IClassFactory() = default;
};
constexpr IID IID_IClassFactory = com::guid("{00000001-0000-0000-C000-000000000046}");

struct DISPPARAMS {
    VARIANTARG *rgvarg; // arguments in reverse order
    DISPID *rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

struct EXCEPINFO {
    WORD wCode;
    WORD wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    DWORD dwHelpContext;
    void *pvReserved;
    HRESULT (*pfnDeferredFillIn)(EXCEPINFO *);
    SCODE scode;
};

constexpr WORD DISPATCH_METHOD = 1;
constexpr WORD DISPATCH_PROPERTYGET = 2;
constexpr WORD DISPATCH_PROPERTYPUT = 4;
constexpr DISPID DISPID_UNKNOWN = -1;
constexpr DISPID DISPID_PROPERTYPUT = -3;
constexpr MEMBERID MEMBERID_NIL = DISPID_UNKNOWN;

struct ITypeLib;
struct ITypeInfo;

struct IDispatch : IUnknown {
    virtual HRESULT GetTypeInfoCount(UINT *count) = 0;
    virtual HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo **info) = 0;
    virtual HRESULT GetIDsOfNames(REFIID riid, LPOLESTR *names, UINT count, LCID lcid, DISPID *ids) = 0;
    virtual HRESULT Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS *params,
                           VARIANT *result, EXCEPINFO *excep, UINT *argErr) = 0;

protected:
    ~IDispatch() = default;
};
constexpr IID IID_IDispatch = com::guid("{00020400-0000-0000-C000-000000000046}");

// Type information of one interface (a reduced form: what dispatch needs).
struct ITypeInfo : IUnknown {
    virtual HRESULT GetGuid(GUID *guid) = 0;
    virtual HRESULT GetIDsOfNames(LPOLESTR *names, UINT count, MEMBERID *ids) = 0;
    virtual HRESULT Invoke(void *instance, MEMBERID id, WORD flags, DISPPARAMS *params, VARIANT *result,
                           EXCEPINFO *excep, UINT *argErr) = 0;
    virtual HRESULT GetDocumentation(MEMBERID id, BSTR *name, BSTR *doc, DWORD *helpContext,
                                     BSTR *helpFile) = 0;
    virtual HRESULT GetContainingTypeLib(ITypeLib **lib, UINT *index) = 0;

protected:
    ~ITypeInfo() = default;
};
constexpr IID IID_ITypeInfo = com::guid("{00020401-0000-0000-C000-000000000046}");

enum SYSKIND { SYS_WIN16 = 0, SYS_WIN32 = 1, SYS_MAC = 2, SYS_WIN64 = 3 };

struct TLIBATTR {
    GUID guid;
    LCID lcid;
    SYSKIND syskind;
    WORD wMajorVerNum;
    WORD wMinorVerNum;
    WORD wLibFlags;
};

struct ITypeLib : IUnknown {
    virtual UINT GetTypeInfoCount() = 0;
    virtual HRESULT GetTypeInfo(UINT index, ITypeInfo **info) = 0;
    virtual HRESULT GetTypeInfoOfGuid(REFGUID guid, ITypeInfo **info) = 0;
    virtual HRESULT GetLibAttr(TLIBATTR *attr) = 0;
    // index -1 documents the library itself.
    virtual HRESULT GetDocumentation(int index, BSTR *name, BSTR *doc, DWORD *helpContext, BSTR *helpFile) = 0;

protected:
    ~ITypeLib() = default;
};
constexpr IID IID_ITypeLib = com::guid("{00020402-0000-0000-C000-000000000046}");

struct IErrorInfo : IUnknown {
    virtual HRESULT GetGUID(GUID *guid) = 0;
    virtual HRESULT GetSource(BSTR *source) = 0;
    virtual HRESULT GetDescription(BSTR *description) = 0;
    virtual HRESULT GetHelpFile(BSTR *helpFile) = 0;
    virtual HRESULT GetHelpContext(DWORD *context) = 0;

protected:
    ~IErrorInfo() = default;
};
constexpr IID IID_IErrorInfo = com::guid("{1CF2B120-547D-101B-8E65-08002B2BD119}");

struct ICreateErrorInfo : IUnknown {
    virtual HRESULT SetGUID(REFGUID guid) = 0;
    virtual HRESULT SetSource(LPOLESTR source) = 0;
    virtual HRESULT SetDescription(LPOLESTR description) = 0;
    virtual HRESULT SetHelpFile(LPOLESTR helpFile) = 0;
    virtual HRESULT SetHelpContext(DWORD context) = 0;

protected:
    ~ICreateErrorInfo() = default;
};
constexpr IID IID_ICreateErrorInfo = com::guid("{22F03340-547D-101B-8E65-08002B2BD119}");

struct ISupportErrorInfo : IUnknown {
    virtual HRESULT InterfaceSupportsErrorInfo(REFIID riid) = 0;

protected:
    ~ISupportErrorInfo() = default;
};
constexpr IID IID_ISupportErrorInfo = com::guid("{DF0B3D60-548F-101B-8E65-08002B2BD119}");

constexpr DWORD INTERFACESAFE_FOR_UNTRUSTED_CALLER = 0x1;
constexpr DWORD INTERFACESAFE_FOR_UNTRUSTED_DATA = 0x2;

struct IObjectSafety : IUnknown {
    virtual HRESULT GetInterfaceSafetyOptions(REFIID riid, DWORD *supported, DWORD *enabled) = 0;
    virtual HRESULT SetInterfaceSafetyOptions(REFIID riid, DWORD mask, DWORD options) = 0;

protected:
    ~IObjectSafety() = default;
};
constexpr IID IID_IObjectSafety = com::guid("{CB5BDC81-93C1-11CF-8F20-00805F2CD064}");

// ---- Activation ------------------------------------------------------------

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
constexpr DWORD CLSCTX_ALL = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;
constexpr DWORD REGCLS_MULTIPLEUSE = 1;

HRESULT CoInitialize(void *reserved);
void CoUninitialize();
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown *outer, DWORD context, REFIID riid, void **ppv);
HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void *reserved, REFIID riid, void **ppv);
// Running class objects (those of the host program) are found before the
// registry's InprocServer32.
HRESULT CoRegisterClassObject(REFCLSID clsid, IUnknown *factory, DWORD context, DWORD flags, DWORD *cookie);
HRESULT CoRevokeClassObject(DWORD cookie);
// Unloads every loaded server whose DllCanUnloadNow agrees.
void CoFreeUnusedLibraries();
HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID *clsid);
HRESULT CLSIDFromString(LPCOLESTR text, CLSID *clsid);
// Writes "{...}" in upper case; returns the characters written with the
// terminator, 0 when the buffer is too small.
int StringFromGUID2(REFGUID guid, LPOLESTR buffer, int size);

using PFN_DllGetClassObject = HRESULT (*)(REFCLSID, REFIID, void **);
using PFN_DllCanUnloadNow = HRESULT (*)();
using PFN_DllRegisterServer = HRESULT (*)();

// ---- Error information -----------------------------------------------------

HRESULT SetErrorInfo(DWORD reserved, IErrorInfo *info);
// Hands over and clears this thread's error information; S_FALSE when none.
HRESULT GetErrorInfo(DWORD reserved, IErrorInfo **info);
HRESULT CreateErrorInfo(ICreateErrorInfo **info);
