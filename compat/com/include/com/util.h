// Owning helpers for BSTR, interface pointers and VARIANT, and the
// conversions between BSTR and the "ANSI" code page (UTF-8 here).
#pragma once

#include "com/types.h"

#include <string>
#include <string_view>
#include <utility>

namespace com {

BSTR allocFromAnsi(std::string_view text);
std::string toAnsi(const OLECHAR *text); // null gives ""
std::u16string toU16(std::string_view text);
std::string guidToString(REFGUID guid);
bool guidFromString(std::string_view text, GUID *guid);

} // namespace com

class CComBSTR {
public:
    CComBSTR() = default;
    CComBSTR(const char *ansi) : m_str(com::allocFromAnsi(ansi ? ansi : "")) {}
    CComBSTR(const std::string &ansi) : m_str(com::allocFromAnsi(ansi)) {}
    CComBSTR(const CComBSTR &o) : m_str(o.m_str ? SysAllocStringLen(o.m_str, SysStringLen(o.m_str)) : nullptr) {}
    CComBSTR(CComBSTR &&o) noexcept : m_str(std::exchange(o.m_str, nullptr)) {}
    CComBSTR &operator=(CComBSTR o) noexcept
    {
        std::swap(m_str, o.m_str);
        return *this;
    }
    ~CComBSTR() { SysFreeString(m_str); }

    operator BSTR() const { return m_str; }
    BSTR *operator&()
    {
        Empty();
        return &m_str;
    }
    void Empty()
    {
        SysFreeString(m_str);
        m_str = nullptr;
    }
    void Attach(BSTR s)
    {
        SysFreeString(m_str);
        m_str = s;
    }
    BSTR Detach() { return std::exchange(m_str, nullptr); }
    BSTR Copy() const { return m_str ? SysAllocStringLen(m_str, SysStringLen(m_str)) : nullptr; }
    UINT Length() const { return SysStringLen(m_str); }
    std::string ansi() const { return com::toAnsi(m_str); }

    BSTR m_str = nullptr;
};

template <class T>
class CComPtr {
public:
    CComPtr() = default;
    CComPtr(T *p) : p(p)
    {
        if (p)
            p->AddRef();
    }
    CComPtr(const CComPtr &o) : CComPtr(o.p) {}
    CComPtr(CComPtr &&o) noexcept : p(std::exchange(o.p, nullptr)) {}
    CComPtr &operator=(CComPtr o) noexcept
    {
        std::swap(p, o.p);
        return *this;
    }
    ~CComPtr() { Release(); }

    void Release()
    {
        if (T *old = std::exchange(p, nullptr))
            old->Release();
    }
    void Attach(T *q)
    {
        Release();
        p = q;
    }
    T *Detach() { return std::exchange(p, nullptr); }
    T **operator&()
    {
        Release();
        return &p;
    }
    T *operator->() const { return p; }
    operator T *() const { return p; }
    explicit operator bool() const { return p != nullptr; }
    template <class Q>
    HRESULT QueryInterface(REFIID riid, Q **out) const
    {
        return p ? p->QueryInterface(riid, reinterpret_cast<void **>(out)) : E_POINTER;
    }

    T *p = nullptr;
};

class CComVariant : public VARIANT {
public:
    CComVariant() { VariantInit(this); }
    CComVariant(const CComVariant &o) : CComVariant() { VariantCopy(this, &o); }
    CComVariant &operator=(const CComVariant &o)
    {
        if (this != &o)
            VariantCopy(this, &o);
        return *this;
    }
    ~CComVariant() { VariantClear(this); }
};
