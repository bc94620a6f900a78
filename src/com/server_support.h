#pragma once

#include <exception>
#include <new>
#include <string>

#include "com/com_api.h"

// What every in-process server of the component does alike, on each platform.
namespace regwiz::com {

// Live objects of any class the library serves, and LockServer locks. The
// counts are atomic: DllCanUnloadNow may be asked from any thread.
void ObjectCreated();
void ObjectDestroyed();
void AddServerLock();
// Unlocking more often than locking is ignored, so a careless host cannot
// make the library look idle while objects live.
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

} // namespace regwiz::com
