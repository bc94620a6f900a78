#pragma once

// What the whole of RegWizard.dll shares: its own module (for its file, its
// folder and its type library), the count that tells COM whether the DLL may
// be unloaded, and the rule that no C++ exception crosses into a host.

#include <windows.h>

#include <oaidl.h>

#include <exception>
#include <new>
#include <string>

namespace regwiz::com::win32 {

// The DLL's module handle, kept by DllMain (null in a program that links the
// server's code statically, e.g. a test: then it is the program's own).
HMODULE ModuleHandle();
// The DLL's full path, as GetModuleFileNameW gives it.
std::wstring ModulePath();

// Live objects of every class the DLL serves, and LockServer locks; atomic,
// as DllCanUnloadNow may be asked from any thread.
void ObjectCreated();
void ObjectDestroyed();
void AddServerLock();
// Unlocking more often than locking is ignored.
void RemoveServerLock();
bool ServerInUse();

// A member of every object: counts it for as long as it lives.
class LiveObject {
public:
    LiveObject() { ObjectCreated(); }
    ~LiveObject() { ObjectDestroyed(); }
    LiveObject(const LiveObject&) = delete;
    LiveObject& operator=(const LiveObject&) = delete;
};

// The DLL's own type library (resource 1 TYPELIB), not registered.
HRESULT LoadOwnTypeLib(ITypeLib** library);
// The description of `guid` from it: an interface or the class.
HRESULT LoadOwnTypeInfo(REFGUID guid, ITypeInfo** info);

// UTF-8 as UTF-16, for the wide Win32 functions.
std::wstring Widen(const std::string& utf8);

// Runs `work`, turning an exception into the HRESULT a host understands and
// its message into `message`, when given.
template <class Work> HRESULT Guarded(Work&& work, std::string* message = nullptr) noexcept
{
    try {
        return work();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::exception& error) {
        if (message != nullptr)
            *message = error.what();
        return E_FAIL;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

// Hands out `found` (null: no such interface) the way QueryInterface does.
inline HRESULT GiveInterface(IUnknown* found, void** ppv)
{
    *ppv = found;
    if (found == nullptr)
        return E_NOINTERFACE;
    found->AddRef();
    return S_OK;
}

} // namespace regwiz::com::win32
