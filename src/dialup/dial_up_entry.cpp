#include "dialup/dial_up_entry.h"

#include <vector>

#include "diagnostics/faults.h"
#include "platform/text.h"
#include "store/globals.h"

namespace regwiz::dialup {
namespace {

using diagnostics::ResumeNext;
using platform::ras::ErrorAlreadyExists;

// The settings CreateDUN writes, by position (42 and 44 are left alone).
std::vector<std::pair<int, Variant>> RegistrationEntrySettings(const RegistrationEntry& e)
{
    const Variant True = true;
    const Variant zero = 0;
    const Variant noAddress = "0.0.0.0";
    const Variant empty = "";
    return {
        {1, e.serverNumber},
        {2, e.serverAreaCode},
        {3, 1},
        {4, 1},
        {5, True},
        {6, zero},
        {7, e.deviceName},
        {8, e.deviceType},
        {9, zero},
        {10, zero},
        {11, zero},
        {12, zero},
        {13, zero},
        {14, True},
        {15, True},
        {16, zero},
        {17, zero},
        {18, True},
        {19, zero},
        {20, zero},
        {21, zero},
        {22, True},
        {23, zero},
        {24, noAddress},
        {25, zero},
        {26, noAddress},
        {27, noAddress},
        {28, zero},
        {29, noAddress},
        {30, noAddress},
        {31, zero},
        {32, True},
        {33, empty},
        {34, empty},
        {35, empty},
        {36, empty},
        {37, True},
        {38, True},
        {39, zero},
        {40, empty},
        {41, empty},
        {43, empty},
        {45, empty},
    };
}

// Area code and number: the last two blank-separated words. Both forms of the
// access list end in area code, blank, number, whatever the state and the
// city (which may have blanks of their own) hold before them.
void SplitAccessString(const std::string& access, std::string& area, std::string& number)
{
    const std::size_t last = access.rfind(' ');
    if (last == std::string::npos) {
        area.clear();
        number = access;
        return;
    }
    number = access.substr(last + 1);
    const std::size_t before = access.rfind(' ', last == 0 ? 0 : last - 1);
    area = before == std::string::npos || last == 0 ? access.substr(0, last)
                                                    : access.substr(before + 1, last - before - 1);
}

} // namespace

EntryResult CreateRegistrationEntry(platform::RasAccess& ras, const RegistrationEntry& entry)
{
    platform::RasPhoneBook& book = ras.PhoneBook();
    book.SetEntryName(std::string(ServiceDomain));
    book.OpenEntry();
    EntryResult result;
    result.error = ras.LastError();
    if (result.error != 0 && result.error != ErrorAlreadyExists) {
        result.stage = EntryResult::Stage::NameInvalid;
        return result;
    }
    for (const auto& [position, value] : RegistrationEntrySettings(entry))
        book.EntryProperties().SetValue(position, value);
    result.lngResult = book.SaveEntry();
    result.error = ras.LastError();
    result.stage = result.error == 0 ? EntryResult::Stage::Written : EntryResult::Stage::SaveFailed;
    return result;
}

long OpenServiceEntry(platform::RasAccess& ras)
{
    ras.PhoneBook().SetEntryName(std::string(ServiceDomain));
    long n = 0;
    ResumeNext([&] {
        ras.PhoneBook().OpenEntry();
        n = ras.LastError();
    });
    return n == ErrorAlreadyExists ? 0 : n;
}

long PointEntryAt(platform::RasAccess& ras, const AccessNumberSettings& settings)
{
    std::string area;
    std::string number;
    SplitAccessString(settings.accessString, area, number);
    platform::RasEntryProperties& properties = ras.PhoneBook().EntryProperties();
    ResumeNext([&] {
        if (settings.tenDigit) {
            properties.SetValue(1, area + " " + number);
            properties.SetValue(2, platform::Left(settings.cityCode, 3));
        } else {
            properties.SetValue(1, number);
            properties.SetValue(2, area);
        }
    });
    ResumeNext([&] {
        properties.SetValue(43, "");
        properties.SetValue(44, "");
    });
    long n = 0;
    ResumeNext([&] {
        ras.PhoneBook().SaveEntry();
        n = ras.LastError();
    });
    return n;
}

} // namespace regwiz::dialup
