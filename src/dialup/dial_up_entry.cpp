#include "dialup/dial_up_entry.h"

#include <variant>

#include "platform/text.h"
#include <vector>

namespace regwiz::dialup {
namespace {

using platform::ras::ErrorAlreadyExists;

constexpr const char* kProcedureCreate = "CreateDUN";
constexpr const char* kProcedureReset = "ResetDUN";

// The settings CreateDUN writes, by position (42 and 44 are left alone).
std::vector<std::pair<int, Variant>> RegistrationEntrySettings(const Globals& g)
{
    const Variant True = true;
    const Variant zero = 0;
    const Variant noAddress = "0.0.0.0";
    const Variant empty = "";
    return {
        {1, g.gRegServerNumber},
        {2, g.gRegServerAreaCode},
        {3, 1},
        {4, 1},
        {5, True},
        {6, zero},
        {7, g.gDeviceName},
        {8, g.gDeviceType},
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

long CreateDUN(wizard::frmRegWizard& wizard)
{
    wizard.Log(kProcedureCreate, "Begin");
    platform::RasAccess& ras = *wizard.objRASAcc;
    platform::RasPhoneBook& book = ras.PhoneBook();
    book.SetEntryName(std::string(wizard::ServiceDomain));
    book.OpenEntry();
    long n = ras.LastError();
    long result = 0;
    if (n != 0 && n != ErrorAlreadyExists) {
        platform::MsgBox(wizard.context.ports.boxes,
                         "Error (" + std::to_string(n) + "): RAS Name invalid");
        result = n;
    } else {
        for (const auto& [position, value] : RegistrationEntrySettings(wizard.context.globals))
            book.EntryProperties().SetValue(position, value);
        const long lngResult = book.SaveEntry();
        n = ras.LastError();
        if (n != 0) {
            platform::MsgBox(wizard.context.ports.boxes,
                             "Error (" + std::to_string(n) + "): Creating RAS Entry");
            result = n;
        }
        wizard.Log(kProcedureCreate, "lngResult : " + std::to_string(lngResult));
    }
    wizard.Log(kProcedureCreate, "End");
    return result;
}

void ResetDUN(wizard::frmRegWizard& wizard, const std::string& AccessString)
{
    wizard.Log(kProcedureReset, "Begin ");
    std::string area;
    std::string number;
    SplitAccessString(AccessString, area, number);

    platform::RasAccess& ras = *wizard.objRASAcc;
    platform::RasPhoneBook& book = ras.PhoneBook();
    platform::MessageBoxes& boxes = wizard.context.ports.boxes;
    book.SetEntryName(std::string(wizard::ServiceDomain));
    long n = 0;
    wizard::ResumeNext([&] {
        book.OpenEntry();
        n = ras.LastError();
    });
    if (n == 0 || n == ErrorAlreadyExists) {
        const bool tenDigit = wizard.form.chkTenDigit.Value() == 1;
        if (wizard.context.store.WriteSetting("Default", tenDigit ? "\x01" : std::string(1, '\0'),
                                              "B")
            != 0)
            return;
        wizard.DoEvents();
        wizard::ResumeNext([&] {
            if (tenDigit) {
                book.EntryProperties().SetValue(1, area + " " + number);
                std::string country;
                std::string city;
                const bool located =
                    wizard.context.ports.telephony.GetLocationInfo(country, city) == 0;
                book.EntryProperties().SetValue(2,
                                                located ? platform::Left(city, 3) : std::string());
            } else {
                book.EntryProperties().SetValue(1, number);
                book.EntryProperties().SetValue(2, area);
            }
        });
        wizard::ResumeNext([&] {
            book.EntryProperties().SetValue(43, "");
            book.EntryProperties().SetValue(44, "");
        });
        wizard::ResumeNext([&] {
            book.SaveEntry();
            n = ras.LastError();
        });
        if (n != 0) {
            wizard.gErrorFlag = true;
            platform::MsgBox(
                boxes, "Error (" + std::to_string(n) + "): Creating Dial-Up Networking entry.\r\n",
                platform::mb::Critical, "Dial-Up Networking Error");
        }
    } else {
        wizard.Log(kProcedureReset, "Error (" + std::to_string(n) + ") getting dial-up entry");
        wizard.gErrorFlag = true;
        platform::MsgBox(boxes,
                         "Error (" + std::to_string(n)
                             + "): Dial-Up Networking Entry name is invalid.\r\n",
                         platform::mb::Critical, "Dial-Up Networking Error");
    }
    wizard.Log(kProcedureReset, "End");
}

void objRASAcc_DeviceInfo(wizard::frmRegWizard& wizard, const std::string& DeviceType,
                          const std::string& DeviceName)
{
    wizard.form.lstDevices.AddItem(DeviceName);
    wizard.m_DeviceTypes.back() = DeviceType;
    wizard.m_DeviceTypes.emplace_back();
}

} // namespace regwiz::dialup
