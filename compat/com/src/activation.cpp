#include "com/registry.h"
#include "com/support.h"
#include "com/types.h"
#include "com/util.h"

#include <dlfcn.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct LoadedServer {
    std::string path;
    void *handle;
};

struct RunningClass {
    CLSID clsid;
    IUnknown *factory;
    DWORD cookie;
};

std::mutex g_lock;
std::vector<LoadedServer> g_servers;
std::vector<RunningClass> g_running;
DWORD g_nextCookie = 1;
int g_initCount = 0;

HRESULT runningClassObject(REFCLSID clsid, REFIID riid, void **ppv, bool *found)
{
    IUnknown *factory = nullptr;
    {
        std::lock_guard guard(g_lock);
        for (const auto &r : g_running)
            if (r.clsid == clsid) {
                factory = r.factory;
                factory->AddRef();
                break;
            }
    }
    *found = factory != nullptr;
    if (!factory)
        return REGDB_E_CLASSNOTREG;
    HRESULT hr = factory->QueryInterface(riid, ppv);
    factory->Release();
    return hr;
}

void *loadServer(const std::string &path)
{
    {
        std::lock_guard guard(g_lock);
        for (const auto &s : g_servers)
            if (s.path == path)
                return s.handle;
    }
    void *handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        std::fprintf(stderr, "component runtime: cannot load %s: %s\n", path.c_str(), dlerror());
        return nullptr;
    }
    std::lock_guard guard(g_lock);
    for (const auto &s : g_servers)
        if (s.path == path) { // loaded meanwhile by a nested activation
            dlclose(handle);
            return s.handle;
        }
    g_servers.push_back({path, handle});
    return handle;
}

} // namespace

HRESULT CoInitialize(void *)
{
    std::lock_guard guard(g_lock);
    return g_initCount++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize()
{
    bool last;
    {
        std::lock_guard guard(g_lock);
        last = g_initCount > 0 && --g_initCount == 0;
    }
    if (last)
        CoFreeUnusedLibraries();
}

HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void *, REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    bool found = false;
    HRESULT hr = runningClassObject(clsid, riid, ppv, &found);
    if (found)
        return hr;
    if (!(context & CLSCTX_INPROC_SERVER))
        return REGDB_E_CLASSNOTREG;
    std::string path;
    if (!com::registry::readString(HKEY_CLASSES_ROOT, "CLSID\\" + com::guidToString(clsid) + "\\InprocServer32",
                                   "", &path) ||
        path.empty())
        return REGDB_E_CLASSNOTREG;
    void *handle = loadServer(path);
    if (!handle)
        return CO_E_DLLNOTFOUND;
    auto get = reinterpret_cast<PFN_DllGetClassObject>(dlsym(handle, "DllGetClassObject"));
    if (!get)
        return CO_E_ERRORINDLL;
    return get(clsid, riid, ppv);
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown *outer, DWORD context, REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    IClassFactory *factory = nullptr;
    HRESULT hr = CoGetClassObject(clsid, context, nullptr, IID_IClassFactory, reinterpret_cast<void **>(&factory));
    if (FAILED(hr))
        return hr;
    hr = factory->CreateInstance(outer, riid, ppv);
    factory->Release();
    return hr;
}

HRESULT CoRegisterClassObject(REFCLSID clsid, IUnknown *factory, DWORD, DWORD, DWORD *cookie)
{
    if (!factory || !cookie)
        return E_INVALIDARG;
    factory->AddRef();
    std::lock_guard guard(g_lock);
    *cookie = g_nextCookie++;
    g_running.push_back({clsid, factory, *cookie});
    return S_OK;
}

HRESULT CoRevokeClassObject(DWORD cookie)
{
    IUnknown *factory = nullptr;
    {
        std::lock_guard guard(g_lock);
        for (auto it = g_running.begin(); it != g_running.end(); ++it)
            if (it->cookie == cookie) {
                factory = it->factory;
                g_running.erase(it);
                break;
            }
    }
    if (!factory)
        return E_INVALIDARG;
    factory->Release();
    return S_OK;
}

void CoFreeUnusedLibraries()
{
    std::vector<LoadedServer> servers;
    {
        std::lock_guard guard(g_lock);
        servers = g_servers;
    }
    for (const auto &s : servers) {
        auto canUnload = reinterpret_cast<PFN_DllCanUnloadNow>(dlsym(s.handle, "DllCanUnloadNow"));
        if (canUnload && canUnload() != S_OK)
            continue;
        {
            std::lock_guard guard(g_lock);
            std::erase_if(g_servers, [&](const LoadedServer &l) { return l.handle == s.handle; });
        }
        dlclose(s.handle);
    }
}

HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID *clsid)
{
    if (!progId || !clsid)
        return E_INVALIDARG;
    std::string name = com::toAnsi(progId);
    for (int hop = 0; hop < 2 && !name.empty(); ++hop) {
        std::string text;
        if (com::registry::readString(HKEY_CLASSES_ROOT, name + "\\CLSID", "", &text))
            return com::guidFromString(text, clsid) ? S_OK : CO_E_CLASSSTRING;
        // A version-independent name may lead to its current version.
        if (!com::registry::readString(HKEY_CLASSES_ROOT, name + "\\CurVer", "", &name))
            break;
    }
    return CO_E_CLASSSTRING;
}

namespace com {

std::string modulePathOf(const void *address)
{
    Dl_info info{};
    if (!dladdr(address, &info) || !info.dli_fname)
        return {};
    char resolved[PATH_MAX];
    if (realpath(info.dli_fname, resolved))
        return resolved;
    return info.dli_fname;
}

} // namespace com
