#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace regwiz {

// The system's own registry key.
inline constexpr std::string_view kSystemHive = "HKLM";
inline constexpr std::string_view kSystemKey = "SOFTWARE\\quorvale\\1.0";

// The service's domain name; it also names the wizard's dial-up entry.
inline constexpr std::string_view ServiceDomain = "quorvale.example";

// State shared by the whole component for as long as it is loaded.
struct Globals {
    std::string gAppPath;           // the application folder, a native path
    std::string gAffiliateID;       // from a "__*.ini" marker, empty when none
    std::string gRegServerNumber;   // the registration server's seven-digit number
    std::string gRegServerAreaCode; // and its area code
    std::string gDeviceName;        // the chosen modem
    std::string gDeviceType;
    bool gUserCanceled = false;  // Cancel pressed while dialling
    std::int16_t gInetState = 0; // last state of the HTTP transfer
    std::string gMemberID;       // from the server's reply
    std::string gAccType;        // sent empty
};

// A file below the application folder. `relative` may separate its folders
// with "\" or "/" ("conf\register.cfg").
std::filesystem::path AppFile(const Globals& globals, std::string_view relative);
std::filesystem::path FileBelow(const std::filesystem::path& folder, std::string_view relative);

} // namespace regwiz
