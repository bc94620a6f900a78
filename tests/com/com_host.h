#pragma once

// A foreign host for the component's tests: it knows the library only by its
// file and its exports, as a host on another machine would.

#include <dlfcn.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/posix/registry_files.h"
#include "regwizard/com/reg_engine_com.h"
#include "support/temp_dir.h"

namespace regwiz::test::com {

inline constexpr char kEndLine[] =
    "RegWizard(Class_Terminate): ------------------------  END  ------------------------";

// A machine the wizard starts on: registry files with the service's settings
// (logging on), an application folder and one modem. It is made before the
// library creates its first object, which reads $QUORVALE_REGISTRY once.
class Machine {
public:
    static Machine& Get()
    {
        static Machine machine;
        return machine;
    }

    std::filesystem::path Registry() const { return home_ / "registry"; }
    std::filesystem::path App() const { return home_ / "app"; }
    std::filesystem::path Log() const { return App() / "quorvale.log"; }
    std::filesystem::path ClassesRoot() const
    {
        return platform::posix::RegistryFiles(Registry()).HiveFile(platform::Hive::ClassesRoot);
    }

    // How often the termination line is in the log.
    int EndLines() const
    {
        const std::string log = ReadBytes(Log());
        int count = 0;
        for (std::size_t at = log.find(kEndLine); at != std::string::npos;
             at = log.find(kEndLine, at + 1))
            ++count;
        return count;
    }

private:
    Machine()
    {
        ::setenv("QUORVALE_REGISTRY", Registry().c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        std::filesystem::create_directories(App() / "conf");
        WriteBytes(App() / "agree.txt", "You agree to the terms of service.\r\n");
        WriteBytes(App() / "conf" / "register.cfg", "[WhereFrom]\r\n100=Friend\r\n");
        WriteBytes(home_ / "modem.ini", "[Devices]\r\n1=modem|Test Modem\r\n");
        SetSetting("AppPath", App().string());
        SetSetting("RegSvrNum", "18005550142");
        SetSetting("Log", "True");
    }

    void SetSetting(const std::string& name, const std::string& text)
    {
        platform::posix::RegistryFiles registry(Registry());
        platform::KeyHandle key = 0;
        registry.CreateKey(platform::Hive::LocalMachine, "SOFTWARE\\quorvale\\1.0", key);
        std::vector<std::uint8_t> data(text.begin(), text.end());
        data.push_back(0);
        registry.SetValue(key, name, platform::regtype::Sz, data);
        registry.CloseKey(key);
    }

    TempDir home_;
};

// The built library, loaded and bound by name.
struct Library {
    static Library& Get()
    {
        static Library library;
        return library;
    }

    std::string path = REGWIZARD_LIBRARY;
    void* handle = nullptr;
    LPFNGETCLASSOBJECT getClassObject = nullptr;
    LPFNCANUNLOADNOW canUnloadNow = nullptr;
    LPFNREGISTERSERVER registerServer = nullptr;
    LPFNREGISTERSERVER unregisterServer = nullptr;

private:
    Library()
    {
        Machine::Get();
        handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr)
            return;
        getClassObject = reinterpret_cast<LPFNGETCLASSOBJECT>(::dlsym(handle, "DllGetClassObject"));
        canUnloadNow = reinterpret_cast<LPFNCANUNLOADNOW>(::dlsym(handle, "DllCanUnloadNow"));
        registerServer = reinterpret_cast<LPFNREGISTERSERVER>(::dlsym(handle, "DllRegisterServer"));
        unregisterServer =
            reinterpret_cast<LPFNREGISTERSERVER>(::dlsym(handle, "DllUnregisterServer"));
    }
};

// Runs the wizard's event loop (the component made the application object)
// until `done` or the time is up.
inline bool PumpUntil(const std::function<bool()>& done, int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return done();
}

// One call a sink received.
struct SinkCall {
    DISPID event;
    bool nullInterface;
    LCID lcid;
    WORD flags;
    UINT args;
};

// A host's event sink. It answers the interfaces it is told to; it never
// deletes itself, so a test can see its count return to zero.
class Sink final : public IDispatch {
public:
    explicit Sink(bool answersDispatch = true, bool answersEvents = true)
        : answersDispatch_(answersDispatch), answersEvents_(answersEvents)
    {
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        *ppv = nullptr;
        const bool known = riid == IID_IUnknown || (answersDispatch_ && riid == IID_IDispatch)
                           || (answersEvents_ && riid == DIID___RegEngine);
        if (!known)
            return E_NOINTERFACE;
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID event, REFIID riid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override
    {
        calls.push_back({event, riid == IID_NULL, lcid, flags, params ? params->cArgs : 99});
        if (onEvent)
            onEvent(event);
        return S_OK;
    }

    std::vector<DISPID> Events() const
    {
        std::vector<DISPID> events;
        for (const SinkCall& call : calls)
            events.push_back(call.event);
        return events;
    }

    ULONG references = 0;
    std::vector<SinkCall> calls;
    std::function<void(DISPID)> onEvent;

private:
    bool answersDispatch_;
    bool answersEvents_;
};

// What a host does with an interface pointer it got: asks for another.
template <class Interface> Interface* Query(IUnknown* object, REFIID iid)
{
    void* found = nullptr;
    return object->QueryInterface(iid, &found) == S_OK ? static_cast<Interface*>(found) : nullptr;
}

} // namespace regwiz::test::com
