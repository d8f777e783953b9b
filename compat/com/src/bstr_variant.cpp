#include "com/types.h"
#include "com/util.h"

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <cstring>

// A BSTR points just past a 32-bit byte count and is followed by a 0.
BSTR SysAllocStringLen(const OLECHAR *text, UINT length)
{
    const std::size_t bytes = std::size_t(length) * sizeof(OLECHAR);
    if (bytes > 0x7FFFFFF0u)
        return nullptr;
    auto *block = static_cast<char *>(std::malloc(sizeof(std::uint32_t) + bytes + sizeof(OLECHAR)));
    if (!block)
        return nullptr;
    const std::uint32_t prefix = static_cast<std::uint32_t>(bytes);
    std::memcpy(block, &prefix, sizeof prefix);
    auto *chars = reinterpret_cast<OLECHAR *>(block + sizeof prefix);
    if (text)
        std::memcpy(chars, text, bytes);
    else
        std::memset(chars, 0, bytes);
    chars[length] = 0;
    return chars;
}

BSTR SysAllocString(const OLECHAR *text)
{
    if (!text)
        return nullptr;
    UINT n = 0;
    while (text[n])
        ++n;
    return SysAllocStringLen(text, n);
}

void SysFreeString(BSTR text)
{
    if (text)
        std::free(reinterpret_cast<char *>(text) - sizeof(std::uint32_t));
}

UINT SysStringByteLen(BSTR text)
{
    if (!text)
        return 0;
    std::uint32_t prefix;
    std::memcpy(&prefix, reinterpret_cast<char *>(text) - sizeof prefix, sizeof prefix);
    return prefix;
}

UINT SysStringLen(BSTR text) { return SysStringByteLen(text) / sizeof(OLECHAR); }

namespace com {

BSTR allocFromAnsi(std::string_view text)
{
    const std::u16string wide = toU16(text);
    return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

std::u16string toU16(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size())).toStdU16String();
}

std::string toAnsi(const OLECHAR *text)
{
    if (!text)
        return {};
    return QString::fromUtf16(text).toStdString();
}

std::string guidToString(REFGUID g)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", unsigned(g.Data1),
                  unsigned(g.Data2), unsigned(g.Data3), g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3],
                  g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return buf;
}

bool guidFromString(std::string_view s, GUID *out)
{
    if (s.size() != 38 || s[0] != '{' || s[37] != '}' || s[9] != '-' || s[14] != '-' || s[19] != '-' ||
        s[24] != '-')
        return false;
    auto hex = [&](int pos, int n, std::uint32_t *v) {
        *v = 0;
        for (int i = 0; i < n; ++i) {
            const char c = s[std::size_t(pos + i)];
            unsigned d;
            if (c >= '0' && c <= '9')
                d = unsigned(c - '0');
            else if (c >= 'a' && c <= 'f')
                d = unsigned(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                d = unsigned(c - 'A' + 10);
            else
                return false;
            *v = *v * 16 + d;
        }
        return true;
    };
    GUID g{};
    std::uint32_t v;
    if (!hex(1, 8, &v))
        return false;
    g.Data1 = v;
    if (!hex(10, 4, &v))
        return false;
    g.Data2 = std::uint16_t(v);
    if (!hex(15, 4, &v))
        return false;
    g.Data3 = std::uint16_t(v);
    const int pos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i) {
        if (!hex(pos[i], 2, &v))
            return false;
        g.Data4[i] = std::uint8_t(v);
    }
    if (out)
        *out = g;
    return true;
}

} // namespace com

HRESULT CLSIDFromString(LPCOLESTR text, CLSID *clsid)
{
    if (!text || !clsid)
        return E_INVALIDARG;
    return com::guidFromString(com::toAnsi(text), clsid) ? S_OK : CO_E_CLASSSTRING;
}

int StringFromGUID2(REFGUID guid, LPOLESTR buffer, int size)
{
    const std::u16string s = com::toU16(com::guidToString(guid));
    if (!buffer || size < int(s.size()) + 1)
        return 0;
    std::memcpy(buffer, s.data(), s.size() * sizeof(OLECHAR));
    buffer[s.size()] = 0;
    return int(s.size()) + 1;
}

// ---- VARIANT ---------------------------------------------------------------

void VariantInit(VARIANT *v)
{
    std::memset(static_cast<void *>(v), 0, sizeof *v);
    v->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANT *v)
{
    if (!v)
        return E_INVALIDARG;
    if (!(v->vt & VT_BYREF)) {
        switch (v->vt) {
        case VT_BSTR:
            SysFreeString(v->bstrVal);
            break;
        case VT_UNKNOWN:
        case VT_DISPATCH:
            if (v->punkVal)
                v->punkVal->Release();
            break;
        default:
            break;
        }
    }
    VariantInit(v);
    return S_OK;
}

HRESULT VariantCopy(VARIANT *dest, const VARIANT *src)
{
    if (!dest || !src)
        return E_INVALIDARG;
    if (dest == src)
        return S_OK;
    VARIANT copy = *src;
    if (!(src->vt & VT_BYREF)) {
        if (src->vt == VT_BSTR && src->bstrVal) {
            copy.bstrVal = SysAllocStringLen(src->bstrVal, SysStringLen(src->bstrVal));
            if (!copy.bstrVal)
                return E_OUTOFMEMORY;
        } else if ((src->vt == VT_UNKNOWN || src->vt == VT_DISPATCH) && src->punkVal) {
            src->punkVal->AddRef();
        }
    }
    VariantClear(dest);
    *dest = copy;
    return S_OK;
}

namespace {

// Reads through one level of VT_BYREF.
bool deref(const VARIANT *src, VARIANT *out)
{
    VariantInit(out);
    if (!(src->vt & VT_BYREF)) {
        *out = *src;
        return true;
    }
    const VARTYPE base = VARTYPE(src->vt & ~VT_BYREF);
    if (!src->byref)
        return false;
    out->vt = base;
    switch (base) {
    case VT_I4: out->lVal = *src->plVal; return true;
    case VT_I2: case VT_BOOL: out->iVal = *src->piVal; return true;
    case VT_BSTR: out->bstrVal = *src->pbstrVal; return true;
    case VT_UNKNOWN: case VT_DISPATCH: out->punkVal = *src->ppunkVal; return true;
    case VT_VARIANT: return deref(src->pvarVal, out);
    default: return false;
    }
}

bool numberOf(const VARIANT &v, double *n)
{
    switch (v.vt) {
    case VT_EMPTY: *n = 0; return true;
    case VT_I2: case VT_BOOL: *n = v.iVal; return true;
    case VT_I4: *n = v.lVal; return true;
    case VT_UI1: *n = v.bVal; return true;
    case VT_R8: *n = v.dblVal; return true;
    case VT_BSTR: {
        const QString s = QString::fromUtf16(v.bstrVal ? v.bstrVal : u"").trimmed();
        if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) { *n = -1; return true; }
        if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) { *n = 0; return true; }
        bool ok = false;
        *n = s.toDouble(&ok);
        return ok;
    }
    default: return false;
    }
}

} // namespace

HRESULT VariantChangeType(VARIANT *dest, const VARIANT *src, WORD, VARTYPE vt)
{
    if (!dest || !src)
        return E_INVALIDARG;
    VARIANT v;
    if (!deref(src, &v))
        return DISP_E_BADVARTYPE;
    VARIANT out;
    VariantInit(&out);
    out.vt = vt;
    double n = 0;
    switch (vt) {
    case VT_VARIANT:
    case VT_EMPTY:
    case VT_NULL:
        break;
    case VT_I4:
    case VT_I2:
    case VT_BOOL:
    case VT_R8:
        if (!numberOf(v, &n))
            return DISP_E_TYPEMISMATCH;
        if (vt == VT_I4) {
            if (n < -2147483648.0 || n > 2147483647.0)
                return DISP_E_TYPEMISMATCH;
            out.lVal = std::int32_t(n);
        } else if (vt == VT_I2) {
            if (n < -32768.0 || n > 32767.0)
                return DISP_E_TYPEMISMATCH;
            out.iVal = std::int16_t(n);
        } else if (vt == VT_BOOL) {
            out.boolVal = n != 0 ? VARIANT_TRUE : VARIANT_FALSE;
        } else {
            out.dblVal = n;
        }
        break;
    case VT_BSTR:
        if (v.vt == VT_BSTR) {
            out.bstrVal = v.bstrVal ? SysAllocStringLen(v.bstrVal, SysStringLen(v.bstrVal)) : nullptr;
        } else if (v.vt == VT_EMPTY) {
            out.bstrVal = SysAllocString(u"");
        } else if (numberOf(v, &n)) {
            out.bstrVal = com::allocFromAnsi(QString::number(n, 'g', 15).toStdString());
        } else {
            return DISP_E_TYPEMISMATCH;
        }
        break;
    case VT_UNKNOWN:
        if (v.vt != VT_UNKNOWN && v.vt != VT_DISPATCH)
            return DISP_E_TYPEMISMATCH;
        out.punkVal = v.punkVal;
        if (out.punkVal)
            out.punkVal->AddRef();
        break;
    case VT_DISPATCH:
        if (v.vt == VT_DISPATCH) {
            out.pdispVal = v.pdispVal;
            if (out.pdispVal)
                out.pdispVal->AddRef();
        } else if (v.vt == VT_UNKNOWN) {
            if (!v.punkVal)
                out.pdispVal = nullptr;
            else if (FAILED(v.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void **>(&out.pdispVal))))
                return DISP_E_TYPEMISMATCH;
        } else {
            return DISP_E_TYPEMISMATCH;
        }
        break;
    default:
        return DISP_E_BADVARTYPE;
    }
    if (vt == VT_VARIANT) {
        VARIANT copy;
        VariantInit(&copy);
        HRESULT hr = VariantCopy(&copy, &v);
        if (FAILED(hr))
            return hr;
        VariantClear(dest);
        *dest = copy;
        return S_OK;
    }
    VariantClear(dest);
    *dest = out;
    return S_OK;
}
