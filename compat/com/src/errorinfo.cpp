#include "com/support.h"
#include "com/util.h"

#include <atomic>

namespace {

class ErrorInfo final : public IErrorInfo, public ICreateErrorInfo {
public:
    HRESULT QueryInterface(REFIID riid, void **ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IErrorInfo)
            *ppv = static_cast<IErrorInfo *>(this);
        else if (riid == IID_ICreateErrorInfo)
            *ppv = static_cast<ICreateErrorInfo *>(this);
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

    HRESULT GetGUID(GUID *guid) override { return guid ? (*guid = m_guid, S_OK) : E_INVALIDARG; }
    HRESULT GetSource(BSTR *s) override { return copyOut(m_source, s); }
    HRESULT GetDescription(BSTR *s) override { return copyOut(m_description, s); }
    HRESULT GetHelpFile(BSTR *s) override { return copyOut(m_helpFile, s); }
    HRESULT GetHelpContext(DWORD *c) override { return c ? (*c = m_context, S_OK) : E_INVALIDARG; }

    HRESULT SetGUID(REFGUID guid) override { return m_guid = guid, S_OK; }
    HRESULT SetSource(LPOLESTR s) override { return m_source = s ? s : u"", S_OK; }
    HRESULT SetDescription(LPOLESTR s) override { return m_description = s ? s : u"", S_OK; }
    HRESULT SetHelpFile(LPOLESTR s) override { return m_helpFile = s ? s : u"", S_OK; }
    HRESULT SetHelpContext(DWORD c) override { return m_context = c, S_OK; }

private:
    static HRESULT copyOut(const std::u16string &v, BSTR *out)
    {
        if (!out)
            return E_INVALIDARG;
        *out = SysAllocStringLen(v.data(), UINT(v.size()));
        return *out ? S_OK : E_OUTOFMEMORY;
    }

    std::atomic<ULONG> m_refs{1};
    GUID m_guid{};
    std::u16string m_source, m_description, m_helpFile;
    DWORD m_context = 0;
};

thread_local IErrorInfo *t_errorInfo = nullptr;

struct Message {
    HRESULT hr;
    const char *text;
};

// The messages the system knows; every other code has none.
constexpr Message kMessages[] = {
    {S_OK, "The operation completed successfully."},
    {E_NOTIMPL, "Not implemented"},
    {E_NOINTERFACE, "No such interface supported"},
    {E_POINTER, "Invalid pointer"},
    {E_ABORT, "Operation aborted"},
    {E_FAIL, "Unspecified error"},
    {E_UNEXPECTED, "Catastrophic failure"},
    {E_ACCESSDENIED, "Access is denied."},
    {E_OUTOFMEMORY, "Not enough memory resources are available to complete this operation."},
    {E_INVALIDARG, "The parameter is incorrect."},
    {HRESULT_FROM_WIN32(2), "The system cannot find the file specified."},
    {HRESULT_FROM_WIN32(3), "The system cannot find the path specified."},
    {CLASS_E_NOAGGREGATION, "Class does not support aggregation (or class object is remote)"},
    {CLASS_E_CLASSNOTAVAILABLE, "ClassFactory cannot supply requested class"},
    {REGDB_E_READREGDB, "Could not read key from registry"},
    {REGDB_E_WRITEREGDB, "Could not write key to registry"},
    {REGDB_E_CLASSNOTREG, "Class not registered"},
    {CO_E_CLASSSTRING, "Invalid class string"},
    {CO_E_DLLNOTFOUND, "DLL for class not found"},
    {CO_E_ERRORINDLL, "Error in the DLL"},
    {SELFREG_E_TYPELIB, "Failed to register/unregister type library"},
    {SELFREG_E_CLASS, "Failed to register/unregister class"},
    {DISP_E_UNKNOWNINTERFACE, "Unknown interface."},
    {DISP_E_MEMBERNOTFOUND, "Member not found."},
    {DISP_E_PARAMNOTFOUND, "Parameter not found."},
    {DISP_E_TYPEMISMATCH, "Type mismatch."},
    {DISP_E_UNKNOWNNAME, "Unknown name."},
    {DISP_E_NONAMEDARGS, "No named arguments."},
    {DISP_E_BADVARTYPE, "Bad variable type."},
    {DISP_E_EXCEPTION, "Exception occurred."},
    {DISP_E_BADPARAMCOUNT, "Invalid number of parameters."},
    {TYPE_E_LIBNOTREGISTERED, "Library not registered."},
    {TYPE_E_ELEMENTNOTFOUND, "Element not found."},
    {TYPE_E_CANTLOADLIBRARY, "Error loading type library/DLL."},
};

} // namespace

HRESULT SetErrorInfo(DWORD, IErrorInfo *info)
{
    if (info)
        info->AddRef();
    if (t_errorInfo)
        t_errorInfo->Release();
    t_errorInfo = info;
    return S_OK;
}

HRESULT GetErrorInfo(DWORD, IErrorInfo **info)
{
    if (!info)
        return E_INVALIDARG;
    *info = t_errorInfo;
    t_errorInfo = nullptr;
    return *info ? S_OK : S_FALSE;
}

HRESULT CreateErrorInfo(ICreateErrorInfo **info)
{
    if (!info)
        return E_INVALIDARG;
    *info = new ErrorInfo;
    return S_OK;
}

namespace com {

std::string systemMessage(HRESULT hr)
{
    for (const auto &m : kMessages)
        if (m.hr == hr)
            return m.text;
    return {};
}

void setErrorDescription(const std::string &description, const std::string &source, REFIID iid)
{
    ICreateErrorInfo *create = nullptr;
    CreateErrorInfo(&create);
    const std::u16string d = toU16(description), s = toU16(source);
    create->SetDescription(const_cast<LPOLESTR>(d.c_str()));
    create->SetSource(const_cast<LPOLESTR>(s.c_str()));
    create->SetGUID(iid);
    IErrorInfo *info = nullptr;
    create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void **>(&info));
    SetErrorInfo(0, info);
    info->Release();
    create->Release();
}

std::string takeErrorDescription(IUnknown *object, REFIID riid)
{
    IErrorInfo *info = nullptr;
    GetErrorInfo(0, &info); // always taken, so stale information never leaks into a later error
    CComPtr<IErrorInfo> owned;
    owned.Attach(info);
    if (!object || !info)
        return {};
    CComPtr<ISupportErrorInfo> support;
    if (FAILED(object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void **>(&support))) ||
        support->InterfaceSupportsErrorInfo(riid) != S_OK)
        return {};
    CComBSTR description;
    if (FAILED(info->GetDescription(&description)))
        return {};
    return description.ansi();
}

} // namespace com
