#include "platform/win32/win32_system.h"

#include <atomic>
#include <cstring>
#include <string>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <shlobj.h>
#include <tapi.h>

#include "platform/codepage.h"

namespace regwiz::platform::win32 {
namespace {

SYSTEMTIME SystemTimeOf(const LocalTime& t)
{
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(t.year);
    st.wMonth = static_cast<WORD>(t.month);
    st.wDay = static_cast<WORD>(t.day);
    st.wDayOfWeek = static_cast<WORD>(t.weekday);
    st.wHour = static_cast<WORD>(t.hour);
    st.wMinute = static_cast<WORD>(t.minute);
    st.wSecond = static_cast<WORD>(t.second);
    return st;
}

// A text the "A" functions wrote into `buffer`: `length` counts the
// terminating zero; 0 means the call failed.
std::string Utf8Of(const char* buffer, int length)
{
    return length > 0 ? FromAnsi(std::string_view(buffer, static_cast<std::size_t>(length - 1)))
                      : std::string();
}

std::string LocaleItem(LCTYPE item)
{
    char buffer[16];
    return Utf8Of(buffer, GetLocaleInfoA(LOCALE_USER_DEFAULT, item, buffer, sizeof buffer));
}

// The code of this file lies in the component's own module.
void ComponentModuleAnchor() {}

std::atomic<HMODULE> componentModule{nullptr};

} // namespace

LocalTime LocalClock::Now() const
{
    SYSTEMTIME st{};
    GetLocalTime(&st);
    return LocalTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wDayOfWeek};
}

std::string UserLocaleSettings::LongTime(const LocalTime& t) const
{
    const SYSTEMTIME st = SystemTimeOf(t);
    char buffer[128];
    return Utf8Of(buffer,
                  GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, buffer, sizeof buffer));
}

std::string UserLocaleSettings::LongDate(const LocalTime& t) const
{
    const SYSTEMTIME st = SystemTimeOf(t);
    char buffer[128];
    return Utf8Of(buffer, GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, &st, nullptr, buffer,
                                         sizeof buffer));
}

std::string UserLocaleSettings::DecimalSeparator() const
{
    return LocaleItem(LOCALE_SDECIMAL);
}

std::string UserLocaleSettings::ThousandsSeparator() const
{
    return LocaleItem(LOCALE_STHOUSAND);
}

std::filesystem::path Win32Folders::ProgramFiles() const
{
    wchar_t folder[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return {};
    return folder;
}

void Win32Folders::SetComponentModule(HINSTANCE__* module)
{
    componentModule.store(module);
}

std::filesystem::path Win32Folders::ComponentFolder() const
{
    HMODULE module = componentModule.load();
    if (module == nullptr
        && GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS
                                  | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              reinterpret_cast<LPCWSTR>(&ComponentModuleAnchor), &module)
               == FALSE)
        module = nullptr; // then the program's own file
    std::wstring file(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(module, file.data(), static_cast<DWORD>(file.size()));
        if (length == 0)
            return std::filesystem::current_path();
        if (length < file.size()) {
            file.resize(length);
            break;
        }
        file.resize(file.size() * 2); // cut off: try a longer buffer
    }
    return std::filesystem::path(file).parent_path();
}

std::optional<std::uint32_t> SystemDriveVolume::SystemVolumeSerial() const
{
    char windows[MAX_PATH];
    const UINT length = GetSystemWindowsDirectoryA(windows, sizeof windows);
    if (length < 2 || length >= sizeof windows || windows[1] != ':')
        return std::nullopt;
    const char root[] = {windows[0], ':', '\\', '\0'};
    DWORD serial = 0;
    if (GetVolumeInformationA(root, nullptr, 0, &serial, nullptr, nullptr, nullptr, 0) == FALSE)
        return std::nullopt;
    return serial;
}

long TapiTelephony::GetLocationInfo(std::string& countryCode, std::string& cityCode)
{
    // The service writes at most 8 bytes into each, terminating zero included.
    char country[8] = {};
    char city[8] = {};
    const LONG rc = tapiGetLocationInfoA(country, city);
    if (rc != 0)
        return rc;
    countryCode = FromAnsi(std::string_view(country, strnlen(country, sizeof country)));
    cityCode = FromAnsi(std::string_view(city, strnlen(city, sizeof city)));
    return 0;
}

} // namespace regwiz::platform::win32
