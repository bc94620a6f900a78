#pragma once

#include <windows.h>

#include <string>

namespace regwiz::test {

// regsvr32's exit code with `options` (e.g. L"/s", L"/u /s") on `dll`.
inline DWORD Regsvr32(const std::wstring& options, const std::wstring& dll)
{
    std::wstring command = L"regsvr32.exe " + options + L" \"" + dll + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        return ~DWORD{0};
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = ~DWORD{0};
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return code;
}

} // namespace regwiz::test
