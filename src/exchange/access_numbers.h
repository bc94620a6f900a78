#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace regwiz::exchange {

// Where the registration server is reached: the configured base address
// (RegSvrHttp / RegSvrFtp), or the service's own host when none is set.
std::string RegistrationHttpUrl(const std::string& configured);
std::string RegistrationFtpUrl(const std::string& configured);

// How the list is fetched from the FTP service's login folder.
inline constexpr const char* kPhoneListName = "phone_list.csv";
inline constexpr const char* kFtpUser = "anonymous";
inline constexpr const char* kFtpPassword = "register@quorvale.example";

// The access-number list as loaded: five columns, one row per record.
struct AccessNumberTable {
    std::vector<std::string> State, City, AreaCode, Number, Extra;
    std::size_t Rows() const { return State.size(); }
};

// Reads a comma-separated list (State, City, AreaCode, Number, Extra) in
// Windows-1252: every record, in file order.
AccessNumberTable ReadPhoneList(std::string_view ansiText);

// The entries the member chooses from, in list order.
// "State, City, 212 5550123" for each number in the area code.
std::vector<std::string> NumbersInAreaCode(const AccessNumberTable& table,
                                           std::string_view areaCode);
// Each state once, as the list runs (the list is sorted by state and city).
std::vector<std::string> AccessStates(const AccessNumberTable& table);
std::vector<std::string> AccessCities(const AccessNumberTable& table, std::string_view state);
// "State City 212 5550123" for each number of the city.
std::vector<std::string> NumbersInCity(const AccessNumberTable& table, std::string_view state,
                                       std::string_view city);

} // namespace regwiz::exchange
