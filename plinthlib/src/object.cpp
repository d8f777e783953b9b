#include "plinth/object.h"

CRuntimeClass CObject::classCObject = {"CObject", nullptr};

CRuntimeClass *CObject::GetRuntimeClass() const
{
    return &classCObject;
}

ULONG CCmdTarget::ExternalRelease()
{
    const ULONG n = --m_dwRef;
    if (n == 0)
        OnFinalRelease();
    return n;
}

HRESULT CCmdTarget::ExternalQueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    IUnknown *part = GetInterface(riid);
    *ppv = part;
    if (!part)
        return E_NOINTERFACE;
    part->AddRef();
    return S_OK;
}

IUnknown *CCmdTarget::GetInterface(REFIID)
{
    return nullptr;
}
