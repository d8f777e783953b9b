// Type libraries and the dispatch that they drive.
//
// A component describes its library as constant data (its "resource") and
// exports it under the symbol ComTypeLibResource, so a type library can be
// loaded from the component's file as well as from inside it. Each method
// carries a thunk that calls the vtable entry with converted arguments.
#pragma once

#include "com/types.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

namespace com {

// args: the declared parameters in order, already converted to their types;
// result: receives the [retval] value (its vt is set by the caller).
using InvokeThunk = HRESULT (*)(void *instance, VARIANT *args, VARIANT *result);

struct ParamDesc {
    const char *name;
    VARTYPE vt;
};

constexpr unsigned kMaxParams = 4;

struct FuncDesc {
    const char *name;
    DISPID memid;
    WORD invkind;  // DISPATCH_METHOD, DISPATCH_PROPERTYGET or DISPATCH_PROPERTYPUT
    VARTYPE retvt; // VT_EMPTY when there is no [retval]
    const char *helpString;
    InvokeThunk invoke;
    unsigned cParams;
    ParamDesc params[kMaxParams];
};

constexpr WORD TYPEFLAG_FDUAL = 0x40;
constexpr WORD TYPEFLAG_FOLEAUTOMATION = 0x100;
constexpr WORD TYPEFLAG_FDISPATCHABLE = 0x1000;

struct InterfaceDesc {
    const IID *iid;
    const char *name;
    const char *helpString;
    WORD flags;
    const FuncDesc *funcs;
    unsigned cFuncs;
};

struct CoClassDesc {
    const CLSID *clsid;
    const char *name;
    const char *helpString;
    const IID *defaultInterface;
};

struct TypeLibDesc {
    const GUID *libid;
    const char *name;
    const char *helpString;
    WORD major;
    WORD minor;
    LCID lcid;
    const InterfaceDesc *interfaces;
    unsigned cInterfaces;
    const CoClassDesc *coclasses;
    unsigned cCoClasses;
};

// The symbol a component exports: extern "C" const com::TypeLibDesc *ComTypeLibResource();
constexpr const char *kTypeLibResourceSymbol = "ComTypeLibResource";
using PFN_TypeLibResource = const TypeLibDesc *(*)();

// A type library over data that lives as long as the caller keeps it.
HRESULT CreateTypeLib(const TypeLibDesc *desc, ITypeLib **lib);

// ---- Calls through member pointers ---------------------------------------

namespace detail {
template <class T> struct In;
template <> struct In<std::int32_t> { static std::int32_t get(VARIANT &v) { return v.lVal; } };
template <> struct In<std::int16_t> { static std::int16_t get(VARIANT &v) { return v.iVal; } };
template <> struct In<BSTR> { static BSTR get(VARIANT &v) { return v.bstrVal; } };
template <> struct In<IUnknown *> { static IUnknown *get(VARIANT &v) { return v.punkVal; } };
template <> struct In<IDispatch *> { static IDispatch *get(VARIANT &v) { return v.pdispVal; } };

template <class T> struct Out { static constexpr bool value = false; };
template <class V, void (*Store)(VARIANT *, V &), void (*Drop)(V &)>
struct OutSlot {
    static constexpr bool value = true;
    V v{};
    V *ptr() { return &v; }
    void store(VARIANT *r) { Store(r, v); }
    void drop() { Drop(v); }
};
inline void storeI4(VARIANT *r, std::int32_t &v) { r->lVal = v; }
inline void storeI2(VARIANT *r, std::int16_t &v) { r->iVal = v; }
inline void storeBstr(VARIANT *r, BSTR &v) { r->bstrVal = v; }
inline void storeUnk(VARIANT *r, IUnknown *&v) { r->punkVal = v; }
inline void storeDisp(VARIANT *r, IDispatch *&v) { r->pdispVal = v; }
template <class V> void dropNothing(V &) {}
inline void dropBstr(BSTR &v) { SysFreeString(v); }
inline void dropUnk(IUnknown *&v) { if (v) v->Release(); }
inline void dropDisp(IDispatch *&v) { if (v) v->Release(); }
template <> struct Out<std::int32_t *> : OutSlot<std::int32_t, storeI4, dropNothing<std::int32_t>> {};
template <> struct Out<std::int16_t *> : OutSlot<std::int16_t, storeI2, dropNothing<std::int16_t>> {};
template <> struct Out<BSTR *> : OutSlot<BSTR, storeBstr, dropBstr> {};
template <> struct Out<IUnknown **> : OutSlot<IUnknown *, storeUnk, dropUnk> {};
template <> struct Out<IDispatch **> : OutSlot<IDispatch *, storeDisp, dropDisp> {};

template <auto M> struct Thunk;
template <class C, class... A, HRESULT (C::*M)(A...)>
struct Thunk<M> {
    using Last = std::tuple_element_t<sizeof...(A), std::tuple<void, A...>>;
    static constexpr bool hasOut = sizeof...(A) > 0 && Out<Last>::value;

    template <std::size_t I, class T, class S>
    static decltype(auto) arg(VARIANT *args, S &slot)
    {
        if constexpr (hasOut && I == sizeof...(A) - 1)
            return slot.ptr();
        else
            return In<T>::get(args[I]);
    }

    template <std::size_t... I>
    static HRESULT call(C *self, VARIANT *args, VARIANT *result, std::index_sequence<I...>)
    {
        if constexpr (hasOut) {
            Out<Last> slot;
            HRESULT hr = (self->*M)(arg<I, A>(args, slot)...);
            if (SUCCEEDED(hr) && result)
                slot.store(result);
            else
                slot.drop();
            return hr;
        } else {
            int none = 0;
            (void)none;
            return (self->*M)(arg<I, A>(args, none)...);
        }
    }

    static HRESULT invoke(void *self, VARIANT *args, VARIANT *result)
    {
        return call(static_cast<C *>(self), args, result, std::index_sequence_for<A...>{});
    }
};
} // namespace detail

// The thunk of an interface method: com::thunk<&IFoo::Bar>.
template <auto M>
constexpr InvokeThunk thunk = &detail::Thunk<M>::invoke;

// ---- Module clean-up ------------------------------------------------------

// Callbacks a module runs when it unloads.
class TermFuncList {
public:
    void add(void (*fn)(void *), void *data);
    void run();

private:
    std::mutex m_lock;
    std::vector<std::pair<void (*)(void *), void *>> m_funcs;
};

// Loads one interface's type information from the registered library on
// first use and keeps it until the module's clean-up; caches looked-up names.
class CComTypeInfoHolder {
public:
    CComTypeInfoHolder(const GUID *libid, const IID *iid, WORD major, WORD minor, TermFuncList *module)
        : m_libid(libid), m_iid(iid), m_major(major), m_minor(minor), m_module(module)
    {
    }
    CComTypeInfoHolder(const CComTypeInfoHolder &) = delete;
    CComTypeInfoHolder &operator=(const CComTypeInfoHolder &) = delete;

    HRESULT GetTI(LCID lcid, ITypeInfo **info);
    HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo **info);
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR *names, UINT count, LCID lcid, DISPID *ids);
    HRESULT Invoke(void *instance, DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS *params,
                   VARIANT *result, EXCEPINFO *excep, UINT *argErr);
    // How many lookups reached the type information (the rest came from the cache).
    int typeInfoLookups() const { return m_lookups; }

private:
    static void cleanup(void *self);

    const GUID *m_libid;
    const IID *m_iid;
    WORD m_major;
    WORD m_minor;
    TermFuncList *m_module;
    std::mutex m_lock;
    ITypeInfo *m_info = nullptr;
    std::map<std::u16string, DISPID> m_names;
    int m_lookups = 0;
};

// IDispatch of a dual interface T, answered from the type information.
template <class T>
class IDispatchImpl : public T {
public:
    explicit IDispatchImpl(CComTypeInfoHolder &holder) : m_holder(holder) {}

    HRESULT GetTypeInfoCount(UINT *count) override
    {
        if (!count)
            return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo **info) override
    {
        return m_holder.GetTypeInfo(index, lcid, info);
    }
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR *names, UINT count, LCID lcid, DISPID *ids) override
    {
        return m_holder.GetIDsOfNames(riid, names, count, lcid, ids);
    }
    HRESULT Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS *params, VARIANT *result,
                   EXCEPINFO *excep, UINT *argErr) override
    {
        return m_holder.Invoke(static_cast<T *>(this), id, riid, lcid, flags, params, result, excep, argErr);
    }

protected:
    ~IDispatchImpl() = default;

private:
    CComTypeInfoHolder &m_holder;
};

} // namespace com

HRESULT LoadTypeLib(const char *path, ITypeLib **lib);
HRESULT LoadRegTypeLib(REFGUID libid, WORD major, WORD minor, LCID lcid, ITypeLib **lib);
HRESULT RegisterTypeLib(ITypeLib *lib, const char *fullPath, const char *helpDir);
HRESULT UnRegisterTypeLib(REFGUID libid, WORD major, WORD minor, LCID lcid, SYSKIND syskind);
