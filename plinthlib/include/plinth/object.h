// Run-time classes, exceptions and the reference-counted command target
// that carries a component's COM interfaces.
#pragma once

#include "com/types.h"

#include <atomic>
#include <stdexcept>
#include <string>
#include <utility>

class CObject;

struct CRuntimeClass {
    const char *m_lpszClassName;
    CObject *(*m_pfnCreateObject)();
    CObject *CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
};

class CObject {
public:
    virtual ~CObject() = default;
    virtual CRuntimeClass *GetRuntimeClass() const;
    static CRuntimeClass classCObject;
};

#define DECLARE_DYNCREATE(cls)                                                                                   \
public:                                                                                                          \
    static CRuntimeClass class##cls;                                                                             \
    static CObject *CreateObject();                                                                              \
    CRuntimeClass *GetRuntimeClass() const override;

#define IMPLEMENT_DYNCREATE(cls)                                                                                 \
    CObject *cls::CreateObject() { return new cls; }                                                             \
    CRuntimeClass cls::class##cls = {#cls, &cls::CreateObject};                                                  \
    CRuntimeClass *cls::GetRuntimeClass() const { return &cls::class##cls; }

#define RUNTIME_CLASS(cls) (&cls::class##cls)

// Base of the framework's exceptions; the result code is what a class
// factory reports when construction throws.
class CException : public std::runtime_error {
public:
    explicit CException(const std::string &message, HRESULT hr = E_FAIL) : std::runtime_error(message), m_hr(hr) {}
    HRESULT GetHResult() const { return m_hr; }
    virtual std::string GetErrorMessage() const { return what(); }

private:
    HRESULT m_hr;
};

// Reference counting and interface lookup for objects whose interfaces are
// nested parts; the object deletes itself on its last release.
class CCmdTarget : public CObject {
public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget &) = delete;
    CCmdTarget &operator=(const CCmdTarget &) = delete;

    ULONG ExternalAddRef() { return ++m_dwRef; }
    ULONG ExternalRelease();
    HRESULT ExternalQueryInterface(REFIID riid, void **ppv);

protected:
    // The interface part answering riid, or null.
    virtual IUnknown *GetInterface(REFIID riid);
    virtual void OnFinalRelease() { delete this; }

private:
    std::atomic<ULONG> m_dwRef{1};
};

// A nested interface part: its IUnknown forwards to the outer object.
template <class Base>
class CInterfacePart : public Base {
public:
    template <class... A>
    explicit CInterfacePart(CCmdTarget *outer, A &&...args) : Base(std::forward<A>(args)...), m_outer(outer)
    {
    }
    HRESULT QueryInterface(REFIID riid, void **ppv) override { return m_outer->ExternalQueryInterface(riid, ppv); }
    ULONG AddRef() override { return m_outer->ExternalAddRef(); }
    ULONG Release() override { return m_outer->ExternalRelease(); }

protected:
    ~CInterfacePart() = default;
    CCmdTarget *m_outer;
};
