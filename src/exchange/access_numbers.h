#pragma once

#include <array>
#include <cstdint>
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

// The columns of the access-number list, in file order.
enum class AccessColumn { State, City, AreaCode, Number, Extra };
inline constexpr std::size_t kAccessColumns = 5;

// The access-number list as loaded: one row per record. A list can run to
// hundreds of thousands of rows, so it keeps the file's Windows-1252 text as
// read and, per record, only where it and its fields start (eight bytes); a
// field is read from there when asked for, and text is converted only for the
// entries the member is shown.
class AccessNumberTable {
public:
    std::size_t Rows() const { return records_.size(); }
    // A field as UTF-8.
    std::string Field(std::size_t row, AccessColumn column) const;
    // A field as stored (Windows-1252).
    std::string_view AnsiField(std::size_t row, AccessColumn column) const;

private:
    friend AccessNumberTable ReadPhoneList(std::string ansiText);
    // Where a record starts in text_, and how far past that its other fields
    // start (255: that far or farther, found again by reading).
    struct Record {
        std::uint32_t start;
        std::array<std::uint8_t, kAccessColumns - 1> fieldOffsets;
    };
    std::string text_;
    std::vector<Record> records_;
};

// Reads a comma-separated list (State, City, AreaCode, Number, Extra) in
// Windows-1252: every record, in file order; a record is the next five
// fields, whatever the line ends between them. The text becomes the table's
// own. Records that start past 4 GiB are not read.
AccessNumberTable ReadPhoneList(std::string ansiText);

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
