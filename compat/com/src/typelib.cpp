#include "com/typelib.h"
#include "com/registry.h"
#include "com/support.h"
#include "com/util.h"

#include <dlfcn.h>

#include <QString>

#include <atomic>
#include <cstdio>
#include <cstring>

namespace {

std::string versionKey(WORD major, WORD minor)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%x.%x", unsigned(major), unsigned(minor));
    return buf;
}

std::string lcidKey(LCID lcid)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%x", unsigned(lcid));
    return buf;
}

bool sameName(const OLECHAR *a, const char *b)
{
    return QString::fromUtf16(a).compare(QString::fromUtf8(b), Qt::CaseInsensitive) == 0;
}

class TypeLib;

class TypeInfo final : public ITypeInfo {
public:
    TypeInfo(TypeLib *lib, UINT index, const com::InterfaceDesc *desc);
    ~TypeInfo();

    HRESULT QueryInterface(REFIID riid, void **ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_ITypeInfo) {
            *ppv = static_cast<ITypeInfo *>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT GetGuid(GUID *guid) override
    {
        if (!guid)
            return E_POINTER;
        *guid = *m_desc->iid;
        return S_OK;
    }

    HRESULT GetIDsOfNames(LPOLESTR *names, UINT count, MEMBERID *ids) override
    {
        if (!names || !ids || count == 0)
            return E_INVALIDARG;
        const com::FuncDesc *f = byName(names[0]);
        HRESULT hr = S_OK;
        ids[0] = f ? f->memid : MEMBERID_NIL;
        if (!f)
            hr = DISP_E_UNKNOWNNAME;
        for (UINT i = 1; i < count; ++i) {
            ids[i] = MEMBERID_NIL;
            if (f)
                for (UINT p = 0; p < f->cParams; ++p)
                    if (sameName(names[i], f->params[p].name))
                        ids[i] = MEMBERID(p);
            if (ids[i] == MEMBERID_NIL)
                hr = DISP_E_UNKNOWNNAME;
        }
        return hr;
    }

    HRESULT Invoke(void *instance, MEMBERID id, WORD flags, DISPPARAMS *params, VARIANT *result,
                   EXCEPINFO *excep, UINT *argErr) override
    {
        if (!instance || !params)
            return E_INVALIDARG;
        const com::FuncDesc *f = nullptr;
        for (unsigned i = 0; i < m_desc->cFuncs && !f; ++i) {
            const auto &c = m_desc->funcs[i];
            if (c.memid == id && (c.invkind & flags))
                f = &c;
        }
        if (!f)
            return DISP_E_MEMBERNOTFOUND;
        if (f->invkind == DISPATCH_PROPERTYPUT) {
            if (params->cNamedArgs != 1 || !params->rgdispidNamedArgs ||
                params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
                return DISP_E_PARAMNOTFOUND;
        } else if (params->cNamedArgs != 0) {
            return DISP_E_NONAMEDARGS;
        }
        if (params->cArgs != f->cParams)
            return DISP_E_BADPARAMCOUNT;
        VARIANT args[com::kMaxParams];
        for (auto &a : args)
            VariantInit(&a);
        HRESULT hr = S_OK;
        for (UINT i = 0; i < f->cParams && SUCCEEDED(hr); ++i) {
            const UINT at = params->cArgs - 1 - i; // arguments arrive last first
            hr = VariantChangeType(&args[i], &params->rgvarg[at], 0, f->params[i].vt);
            if (FAILED(hr)) {
                if (argErr)
                    *argErr = at;
                hr = DISP_E_TYPEMISMATCH;
            }
        }
        if (SUCCEEDED(hr)) {
            VARIANT ret;
            VariantInit(&ret);
            hr = f->invoke(instance, args, f->retvt == VT_EMPTY ? nullptr : &ret);
            if (SUCCEEDED(hr) && f->retvt != VT_EMPTY) {
                ret.vt = f->retvt;
                if (result) {
                    VariantClear(result);
                    *result = ret;
                } else {
                    VariantClear(&ret);
                }
            } else if (FAILED(hr)) {
                hr = fillException(hr, excep);
            }
        }
        for (auto &a : args)
            VariantClear(&a);
        return hr;
    }

    HRESULT GetDocumentation(MEMBERID id, BSTR *name, BSTR *doc, DWORD *helpContext, BSTR *helpFile) override
    {
        const char *n = nullptr, *d = nullptr;
        if (id == MEMBERID_NIL) {
            n = m_desc->name;
            d = m_desc->helpString;
        } else {
            for (unsigned i = 0; i < m_desc->cFuncs && !n; ++i)
                if (m_desc->funcs[i].memid == id) {
                    n = m_desc->funcs[i].name;
                    d = m_desc->funcs[i].helpString;
                }
            if (!n)
                return TYPE_E_ELEMENTNOTFOUND;
        }
        if (name)
            *name = com::allocFromAnsi(n ? n : "");
        if (doc)
            *doc = com::allocFromAnsi(d ? d : "");
        if (helpContext)
            *helpContext = 0;
        if (helpFile)
            *helpFile = nullptr;
        return S_OK;
    }

    HRESULT GetContainingTypeLib(ITypeLib **lib, UINT *index) override;

private:
    const com::FuncDesc *byName(const OLECHAR *name) const
    {
        for (unsigned i = 0; i < m_desc->cFuncs; ++i)
            if (sameName(name, m_desc->funcs[i].name))
                return &m_desc->funcs[i];
        return nullptr;
    }

    // A failing method becomes an exception for the dispatch caller,
    // described by the method's error information.
    HRESULT fillException(HRESULT hr, EXCEPINFO *excep)
    {
        IErrorInfo *info = nullptr;
        GetErrorInfo(0, &info);
        if (!excep) {
            if (info)
                info->Release();
            return hr;
        }
        std::memset(static_cast<void *>(excep), 0, sizeof *excep);
        excep->scode = hr;
        if (info) {
            info->GetDescription(&excep->bstrDescription);
            info->GetSource(&excep->bstrSource);
            info->Release();
        } else {
            excep->bstrDescription = com::allocFromAnsi(com::systemMessage(hr));
        }
        return DISP_E_EXCEPTION;
    }

    std::atomic<ULONG> m_refs{1};
    TypeLib *m_lib;
    UINT m_index;
    const com::InterfaceDesc *m_desc;
};

class TypeLib final : public ITypeLib {
public:
    TypeLib(const com::TypeLibDesc *desc, void *module) : m_desc(desc), m_module(module) {}

    HRESULT QueryInterface(REFIID riid, void **ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_ITypeLib) {
            *ppv = static_cast<ITypeLib *>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override
    {
        const ULONG n = --m_refs;
        if (n == 0) {
            void *module = m_module;
            delete this;
            if (module)
                dlclose(module);
        }
        return n;
    }

    UINT GetTypeInfoCount() override { return m_desc->cInterfaces; }
    HRESULT GetTypeInfo(UINT index, ITypeInfo **info) override
    {
        if (!info)
            return E_POINTER;
        *info = nullptr;
        if (index >= m_desc->cInterfaces)
            return TYPE_E_ELEMENTNOTFOUND;
        *info = new TypeInfo(this, index, &m_desc->interfaces[index]);
        return S_OK;
    }
    HRESULT GetTypeInfoOfGuid(REFGUID guid, ITypeInfo **info) override
    {
        if (!info)
            return E_POINTER;
        *info = nullptr;
        for (UINT i = 0; i < m_desc->cInterfaces; ++i)
            if (*m_desc->interfaces[i].iid == guid)
                return GetTypeInfo(i, info);
        return TYPE_E_ELEMENTNOTFOUND;
    }
    HRESULT GetLibAttr(TLIBATTR *attr) override
    {
        if (!attr)
            return E_POINTER;
        *attr = TLIBATTR{*m_desc->libid, m_desc->lcid, SYS_WIN64, m_desc->major, m_desc->minor, 0};
        return S_OK;
    }
    HRESULT GetDocumentation(int index, BSTR *name, BSTR *doc, DWORD *helpContext, BSTR *helpFile) override
    {
        const char *n, *d;
        if (index == -1) {
            n = m_desc->name;
            d = m_desc->helpString;
        } else if (index >= 0 && UINT(index) < m_desc->cInterfaces) {
            n = m_desc->interfaces[index].name;
            d = m_desc->interfaces[index].helpString;
        } else {
            return TYPE_E_ELEMENTNOTFOUND;
        }
        if (name)
            *name = com::allocFromAnsi(n ? n : "");
        if (doc)
            *doc = com::allocFromAnsi(d ? d : "");
        if (helpContext)
            *helpContext = 0;
        if (helpFile)
            *helpFile = nullptr;
        return S_OK;
    }

    const com::TypeLibDesc *desc() const { return m_desc; }

private:
    std::atomic<ULONG> m_refs{1};
    const com::TypeLibDesc *m_desc;
    void *m_module;
};

TypeInfo::TypeInfo(TypeLib *lib, UINT index, const com::InterfaceDesc *desc)
    : m_lib(lib), m_index(index), m_desc(desc)
{
    // The type information keeps its library (and so the component) loaded.
    m_lib->AddRef();
}

TypeInfo::~TypeInfo()
{
    m_lib->Release();
}

ULONG TypeInfo::AddRef()
{
    return ++m_refs;
}

ULONG TypeInfo::Release()
{
    const ULONG n = --m_refs;
    if (n == 0)
        delete this;
    return n;
}

HRESULT TypeInfo::GetContainingTypeLib(ITypeLib **lib, UINT *index)
{
    if (!lib)
        return E_POINTER;
    m_lib->AddRef();
    *lib = m_lib;
    if (index)
        *index = m_index;
    return S_OK;
}

} // namespace

namespace com {

HRESULT CreateTypeLib(const TypeLibDesc *desc, ITypeLib **lib)
{
    if (!desc || !lib)
        return E_INVALIDARG;
    *lib = new TypeLib(desc, nullptr);
    return S_OK;
}

void TermFuncList::add(void (*fn)(void *), void *data)
{
    std::lock_guard guard(m_lock);
    m_funcs.emplace_back(fn, data);
}

void TermFuncList::run()
{
    std::vector<std::pair<void (*)(void *), void *>> funcs;
    {
        std::lock_guard guard(m_lock);
        funcs.swap(m_funcs);
    }
    for (auto it = funcs.rbegin(); it != funcs.rend(); ++it)
        it->first(it->second);
}

HRESULT CComTypeInfoHolder::GetTI(LCID lcid, ITypeInfo **info)
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    std::lock_guard guard(m_lock);
    if (!m_info) {
        CComPtr<ITypeLib> lib;
        HRESULT hr = LoadRegTypeLib(*m_libid, m_major, m_minor, lcid, &lib);
        if (FAILED(hr))
            return hr;
        hr = lib->GetTypeInfoOfGuid(*m_iid, &m_info);
        if (FAILED(hr))
            return hr;
        if (m_module)
            m_module->add(&CComTypeInfoHolder::cleanup, this);
    }
    m_info->AddRef();
    *info = m_info;
    return S_OK;
}

void CComTypeInfoHolder::cleanup(void *self)
{
    auto *h = static_cast<CComTypeInfoHolder *>(self);
    ITypeInfo *info;
    {
        std::lock_guard guard(h->m_lock);
        info = std::exchange(h->m_info, nullptr);
        h->m_names.clear();
    }
    if (info)
        info->Release();
}

HRESULT CComTypeInfoHolder::GetTypeInfo(UINT index, LCID lcid, ITypeInfo **info)
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    if (index != 0)
        return DISP_E_BADVARTYPE;
    return GetTI(lcid, info);
}

HRESULT CComTypeInfoHolder::GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID lcid, DISPID *ids)
{
    if (!names || !ids || count == 0)
        return E_INVALIDARG;
    std::u16string key;
    if (count == 1) {
        key = QString::fromUtf16(names[0]).toLower().toStdU16String();
        std::lock_guard guard(m_lock);
        auto it = m_names.find(key);
        if (it != m_names.end()) {
            ids[0] = it->second;
            return S_OK;
        }
    }
    CComPtr<ITypeInfo> info;
    HRESULT hr = GetTI(lcid, &info);
    if (FAILED(hr))
        return hr;
    hr = info->GetIDsOfNames(names, count, ids);
    std::lock_guard guard(m_lock);
    ++m_lookups;
    if (SUCCEEDED(hr) && count == 1)
        m_names[key] = ids[0];
    return hr;
}

HRESULT CComTypeInfoHolder::Invoke(void *instance, DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS *params, VARIANT *result, EXCEPINFO *excep, UINT *argErr)
{
    if (riid != GUID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    CComPtr<ITypeInfo> info;
    HRESULT hr = GetTI(lcid, &info);
    if (FAILED(hr))
        return hr;
    return info->Invoke(instance, id, flags, params, result, excep, argErr);
}

} // namespace com

HRESULT LoadTypeLib(const char *path, ITypeLib **lib)
{
    if (!path || !lib)
        return E_INVALIDARG;
    *lib = nullptr;
    void *module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!module)
        return TYPE_E_CANTLOADLIBRARY;
    auto resource = reinterpret_cast<com::PFN_TypeLibResource>(dlsym(module, com::kTypeLibResourceSymbol));
    const com::TypeLibDesc *desc = resource ? resource() : nullptr;
    if (!desc) {
        dlclose(module);
        return TYPE_E_CANTLOADLIBRARY;
    }
    *lib = new TypeLib(desc, module);
    return S_OK;
}

HRESULT LoadRegTypeLib(REFGUID libid, WORD major, WORD minor, LCID lcid, ITypeLib **lib)
{
    if (!lib)
        return E_INVALIDARG;
    *lib = nullptr;
    const std::string base = "TypeLib\\" + com::guidToString(libid);
    // The highest registered minor version of the same major version that
    // is at least the one asked for.
    std::string best;
    unsigned bestMinor = 0;
    for (const auto &v : com::registry::subKeys(HKEY_CLASSES_ROOT, base)) {
        unsigned ma = 0, mi = 0;
        if (std::sscanf(v.c_str(), "%x.%x", &ma, &mi) != 2 || ma != major || mi < minor)
            continue;
        if (best.empty() || mi > bestMinor) {
            best = v;
            bestMinor = mi;
        }
    }
    if (best.empty())
        return TYPE_E_LIBNOTREGISTERED;
    std::string path;
    for (const std::string &loc : {lcidKey(lcid), lcidKey(lcid & 0x3FF), std::string("0"), lcidKey(0x409)})
        if (com::registry::readString(HKEY_CLASSES_ROOT, base + "\\" + best + "\\" + loc + "\\linux", "", &path))
            break;
    if (path.empty()) {
        // Fall back to any locale registered for the version.
        for (const auto &loc : com::registry::subKeys(HKEY_CLASSES_ROOT, base + "\\" + best))
            if (com::registry::readString(HKEY_CLASSES_ROOT, base + "\\" + best + "\\" + loc + "\\linux", "",
                                          &path))
                break;
    }
    if (path.empty())
        return TYPE_E_LIBNOTREGISTERED;
    return LoadTypeLib(path.c_str(), lib);
}

namespace {
constexpr const char *kDispatchProxy = "{00020424-0000-0000-C000-000000000046}";

LONG writeDefault(const std::string &key, const std::string &value)
{
    return com::registry::writeString(HKEY_CLASSES_ROOT, key, "", value);
}
} // namespace

HRESULT RegisterTypeLib(ITypeLib *lib, const char *fullPath, const char *helpDir)
{
    if (!lib || !fullPath)
        return E_INVALIDARG;
    TLIBATTR attr;
    lib->GetLibAttr(&attr);
    CComBSTR name, doc;
    lib->GetDocumentation(-1, &name, &doc, nullptr, nullptr);
    const std::string libid = com::guidToString(attr.guid);
    const std::string ver = versionKey(attr.wMajorVerNum, attr.wMinorVerNum);
    const std::string base = "TypeLib\\" + libid + "\\" + ver;
    LONG rc = writeDefault(base, doc.ansi());
    if (rc == ERROR_SUCCESS)
        rc = writeDefault(base + "\\FLAGS", "0");
    if (rc == ERROR_SUCCESS)
        rc = writeDefault(base + "\\" + lcidKey(attr.lcid) + "\\linux", fullPath);
    if (rc == ERROR_SUCCESS)
        rc = writeDefault(base + "\\HELPDIR", helpDir ? helpDir : "");
    for (UINT i = 0; rc == ERROR_SUCCESS && i < lib->GetTypeInfoCount(); ++i) {
        CComPtr<ITypeInfo> info;
        lib->GetTypeInfo(i, &info);
        GUID iid;
        info->GetGuid(&iid);
        CComBSTR iname;
        info->GetDocumentation(MEMBERID_NIL, &iname, nullptr, nullptr, nullptr);
        const std::string key = "Interface\\" + com::guidToString(iid);
        rc = writeDefault(key, iname.ansi());
        if (rc == ERROR_SUCCESS)
            rc = writeDefault(key + "\\ProxyStubClsid32", kDispatchProxy);
        if (rc == ERROR_SUCCESS)
            rc = writeDefault(key + "\\TypeLib", libid);
        if (rc == ERROR_SUCCESS)
            rc = com::registry::writeString(HKEY_CLASSES_ROOT, key + "\\TypeLib", "Version", ver);
    }
    return rc == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(rc);
}

HRESULT UnRegisterTypeLib(REFGUID libid, WORD major, WORD minor, LCID lcid, SYSKIND)
{
    const std::string id = com::guidToString(libid);
    const std::string base = "TypeLib\\" + id;
    const std::string verKey = base + "\\" + versionKey(major, minor);
    if (!com::registry::keyExists(HKEY_CLASSES_ROOT, verKey))
        return TYPE_E_LIBNOTREGISTERED;
    // The interfaces that point at this library go with it.
    CComPtr<ITypeLib> lib;
    if (SUCCEEDED(LoadRegTypeLib(libid, major, minor, lcid, &lib))) {
        for (UINT i = 0; i < lib->GetTypeInfoCount(); ++i) {
            CComPtr<ITypeInfo> info;
            lib->GetTypeInfo(i, &info);
            GUID iid;
            info->GetGuid(&iid);
            const std::string key = "Interface\\" + com::guidToString(iid);
            std::string owner;
            if (com::registry::readString(HKEY_CLASSES_ROOT, key + "\\TypeLib", "", &owner) && owner == id) {
                const LONG rc = RegDeleteTree(HKEY_CLASSES_ROOT, key.c_str());
                if (rc != ERROR_SUCCESS)
                    return HRESULT_FROM_WIN32(rc);
            }
        }
    }
    const LONG rc = RegDeleteTree(HKEY_CLASSES_ROOT, verKey.c_str());
    if (rc != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(rc);
    if (com::registry::subKeys(HKEY_CLASSES_ROOT, base).empty())
        RegDeleteKey(HKEY_CLASSES_ROOT, base.c_str());
    return S_OK;
}
