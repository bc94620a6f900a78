#include "com/win32/module.h"

#include <atomic>

namespace regwiz::com::win32 {
namespace {

HMODULE thisModule = nullptr;

} // namespace

HMODULE ModuleHandle()
{
    return thisModule != nullptr ? thisModule : ::GetModuleHandleW(nullptr);
}

std::wstring ModulePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(ModuleHandle(), path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

HRESULT LoadOwnTypeLib(ITypeLib** library)
{
    const std::wstring path = ModulePath();
    if (path.empty())
        return HRESULT_FROM_WIN32(::GetLastError());
    return ::LoadTypeLibEx(path.c_str(), REGKIND_NONE, library);
}

HRESULT LoadOwnTypeInfo(REFGUID guid, ITypeInfo** info)
{
    *info = nullptr;
    ITypeLib* library = nullptr;
    HRESULT hr = LoadOwnTypeLib(&library);
    if (FAILED(hr))
        return hr;
    hr = library->GetTypeInfoOfGuid(guid, info);
    library->Release();
    return hr;
}

std::wstring Widen(const std::string& utf8)
{
    if (utf8.empty())
        return {};
    const int size = static_cast<int>(utf8.size());
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

} // namespace regwiz::com::win32

// Keeps the module handle: the DLL's file, folder and type library are found
// through it.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        regwiz::com::win32::thisModule = instance;
        ::DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
