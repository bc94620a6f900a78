#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <raserror.h>

#include "platform/win32/ras_access_win32.h"
#include "platform/win32/win32_platform_parts.h"

// The RAS adapter against a scripted fake of the RAS functions: wine's RAS is
// a stub, so this is where the mapping onto RAS is checked.
namespace regwiz::platform::win32 {
namespace {

// One notification of a dial: a state and its error.
struct Step {
    RASCONNSTATE state;
    DWORD error = 0;
};

class FakeRas final : public RasApi {
public:
    ~FakeRas() override { Join(); }

    std::vector<std::pair<std::string, std::string>> devices; // (type, name)
    std::map<std::string, RASENTRYA> entries;
    std::vector<Step> script; // what the next dial notifies, from a thread of its own
    std::vector<std::string> dialledEntries;
    std::vector<std::string> dialledUsers;
    int hangUps = 0;
    int deletes = 0;

    DWORD EnumDevices(RASDEVINFOA* out, DWORD& bytes, DWORD& count) override
    {
        const DWORD needed = static_cast<DWORD>(devices.size() * sizeof(RASDEVINFOA));
        count = 0;
        if (out == nullptr || out->dwSize != sizeof(RASDEVINFOA))
            return ERROR_INVALID_SIZE;
        if (bytes < needed) {
            bytes = needed;
            return ERROR_BUFFER_TOO_SMALL;
        }
        for (const auto& [type, name] : devices) {
            std::strcpy(out[count].szDeviceType, type.c_str());
            std::strcpy(out[count].szDeviceName, name.c_str());
            ++count;
        }
        return ERROR_SUCCESS;
    }
    DWORD ValidateEntryName(const char* name) override
    {
        if (*name == '\0' || std::strpbrk(name, "[]=") != nullptr)
            return ERROR_INVALID_NAME;
        return entries.contains(name) ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS;
    }
    DWORD GetEntryProperties(const char* name, RASENTRYA* entry, DWORD& bytes) override
    {
        const auto stored = entries.find(name);
        if (stored == entries.end())
            return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
        if (bytes < sizeof(RASENTRYA) || entry->dwSize != sizeof(RASENTRYA)) {
            bytes = sizeof(RASENTRYA);
            return ERROR_BUFFER_TOO_SMALL;
        }
        *entry = stored->second;
        return ERROR_SUCCESS;
    }
    DWORD SetEntryProperties(const char* name, const RASENTRYA* entry, DWORD bytes) override
    {
        if (bytes != sizeof(RASENTRYA) || entry->dwSize != sizeof(RASENTRYA))
            return ERROR_INVALID_SIZE;
        if (ValidateEntryName(name) == ERROR_INVALID_NAME)
            return ERROR_INVALID_NAME;
        entries[name] = *entry;
        return ERROR_SUCCESS;
    }
    DWORD DeleteEntry(const char* name) override
    {
        ++deletes;
        return entries.erase(name) != 0 ? ERROR_SUCCESS : ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    }
    // Like RAS, notifies from another thread, possibly before the handle is out.
    DWORD Dial(RASDIALPARAMSA& params, RASDIALFUNC1 notifier, HRASCONN& connection) override
    {
        Join();
        dialledEntries.emplace_back(params.szEntryName);
        dialledUsers.emplace_back(params.szUserName);
        if (!entries.contains(params.szEntryName))
            return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
        const HRASCONN handle = reinterpret_cast<HRASCONN>(++lastHandle_);
        open_ = handle;
        state_ = RASCS_OpenPort;
        notifier_ = std::thread([this, handle, notifier, steps = script] {
            for (const Step& step : steps) {
                state_ = step.state;
                notifier(handle, WM_RASDIALEVENT, step.state, step.error, 0);
            }
        });
        connection = handle;
        return ERROR_SUCCESS;
    }
    DWORD HangUp(HRASCONN connection) override
    {
        ++hangUps;
        if (connection == open_)
            open_ = nullptr;
        return ERROR_SUCCESS;
    }
    DWORD GetConnectStatus(HRASCONN connection, RASCONNSTATUSA& status) override
    {
        if (connection == nullptr || connection != open_)
            return ERROR_INVALID_HANDLE;
        status.rasconnstate = state_;
        status.dwError = 0;
        return ERROR_SUCCESS;
    }
    DWORD GetErrorString(UINT error, char* text, DWORD size) override
    {
        const std::string known = error == ERROR_LINE_BUSY                ? "The line is busy."
                                  : error == ERROR_NO_ANSWER              ? "No answer."
                                  : error == ERROR_AUTHENTICATION_FAILURE ? "Access denied."
                                                                          : "";
        if (known.empty())
            return ERROR_INVALID_PARAMETER;
        std::strncpy(text, known.c_str(), size);
        return ERROR_SUCCESS;
    }

    void Join()
    {
        if (notifier_.joinable())
            notifier_.join();
    }

private:
    std::thread notifier_;
    std::uintptr_t lastHandle_ = 0;
    std::atomic<HRASCONN> open_{nullptr};
    std::atomic<RASCONNSTATE> state_{RASCS_Disconnected};
};

struct Status {
    std::string text;
    long state;
    long error;
    DWORD thread;
    bool operator==(const Status&) const = default;
};

struct Recorder final : RasEvents {
    std::vector<Status> statuses;
    std::vector<std::pair<std::string, std::string>> devices;
    std::function<void(const Status&)> onStatus;

    void ConnectionStatus(const std::string& text, long state, long error) override
    {
        statuses.push_back({text, state, error, GetCurrentThreadId()});
        if (onStatus)
            onStatus(statuses.back());
    }
    void DeviceInfo(const std::string& type, const std::string& name) override
    {
        devices.emplace_back(type, name);
    }
};

class RasAdapter : public ::testing::Test {
protected:
    std::unique_ptr<EventLoop> loop = MakeWin32EventLoop();
    FakeRas fake;
    Recorder events;
    std::unique_ptr<RasAccess> ras = MakeRasAccessFactory(*loop, fake)(events);

    void CreateEntry(const std::string& name)
    {
        ras->PhoneBook().SetEntryName(name);
        ras->PhoneBook().OpenEntry();
        ASSERT_EQ(ras->PhoneBook().SaveEntry(), 0);
    }
    long Dial(const std::vector<Step>& script)
    {
        fake.script = script;
        RasDialParams& params = ras->Dialer().DialParams();
        params.SetEntryName("quorvale.example");
        params.SetUserName("autoreg");
        params.SetPassword("secret");
        return ras->Dialer().Dial(0);
    }
    std::vector<long> States() const
    {
        std::vector<long> states;
        for (const Status& status : events.statuses)
            states.push_back(status.state);
        return states;
    }
};

TEST_F(RasAdapter, ReportsEveryDeviceInOrder)
{
    EXPECT_FALSE(ras->PhoneBook().EnumDevices()) << "no device";
    EXPECT_TRUE(events.devices.empty());

    fake.devices = {{"modem", "Standard 56000 bps Modem"},
                    {"isdn", "ISDN Adapter \xE9"},
                    {"modem", "Null Modem"}};
    EXPECT_TRUE(ras->PhoneBook().EnumDevices()) << "more devices than the first buffer holds";
    EXPECT_EQ(ras->LastError(), 0);
    const std::vector<std::pair<std::string, std::string>> expected{
        {"modem", "Standard 56000 bps Modem"},
        {"isdn", "ISDN Adapter \u00E9"},
        {"modem", "Null Modem"}};
    EXPECT_EQ(events.devices, expected) << "type and name, the name from Windows-1252";
}

// Each setting the wizard writes lands in its RASENTRY field and reads back
// from a fresh object.
TEST_F(RasAdapter, StoresTheEntrysSettingsInTheirFields)
{
    RasPhoneBook& book = ras->PhoneBook();
    book.SetEntryName("quorvale.example");
    book.OpenEntry();
    EXPECT_EQ(ras->LastError(), 0) << "a free name";
    RasEntryProperties& settings = book.EntryProperties();
    settings.SetValue(1, "5550142");
    settings.SetValue(2, "800");
    settings.SetValue(3, 1);
    settings.SetValue(4, 1);
    settings.SetValue(5, true);
    settings.SetValue(7, "Standard 56000 bps Modem");
    settings.SetValue(8, "modem");
    settings.SetValue(14, true);
    settings.SetValue(20, 0);
    settings.SetValue(22, true);
    settings.SetValue(24, "10.1.2.3");
    settings.SetValue(26, "0.0.0.0");
    settings.SetValue(32, true);
    settings.SetValue(33, "");
    settings.SetValue(37, true);
    settings.SetValue(39, 7);
    settings.SetValue(46, "ignored");
    EXPECT_EQ(book.SaveEntry(), 0);

    ASSERT_TRUE(fake.entries.contains("quorvale.example"));
    const RASENTRYA& stored = fake.entries["quorvale.example"];
    EXPECT_EQ(stored.dwSize, sizeof(RASENTRYA));
    EXPECT_STREQ(stored.szLocalPhoneNumber, "5550142");
    EXPECT_STREQ(stored.szAreaCode, "800");
    EXPECT_EQ(stored.dwCountryID, 1u);
    EXPECT_EQ(stored.dwCountryCode, 1u);
    EXPECT_STREQ(stored.szDeviceName, "Standard 56000 bps Modem");
    EXPECT_STREQ(stored.szDeviceType, "modem");
    EXPECT_EQ(stored.dwfOptions, DWORD{RASEO_UseCountryAndAreaCodes | RASEO_IpHeaderCompression
                                       | RASEO_RemoteDefaultGateway});
    EXPECT_EQ(stored.dwfNetProtocols, DWORD{RASNP_Ip});
    EXPECT_EQ(stored.dwFramingProtocol, DWORD{RASFP_Ppp});
    EXPECT_EQ(stored.ipaddr.a, 10);
    EXPECT_EQ(stored.ipaddr.d, 3);
    EXPECT_EQ(settings.Value(39), Variant(7)) << "kept by the object though not stored";

    auto reopened = MakeRasAccessFactory(*loop, fake)(events);
    reopened->PhoneBook().SetEntryName("quorvale.example");
    reopened->PhoneBook().OpenEntry();
    EXPECT_EQ(reopened->LastError(), platform::ras::ErrorAlreadyExists);
    const RasEntryProperties& read = reopened->PhoneBook().EntryProperties();
    EXPECT_EQ(read.Value(1), Variant("5550142"));
    EXPECT_EQ(read.Value(2), Variant("800"));
    EXPECT_EQ(read.Value(4), Variant(1));
    EXPECT_EQ(read.Value(5), Variant(true));
    EXPECT_EQ(read.Value(6), Variant(false));
    EXPECT_EQ(read.Value(7), Variant("Standard 56000 bps Modem"));
    EXPECT_EQ(read.Value(8), Variant("modem"));
    EXPECT_EQ(read.Value(22), Variant(true));
    EXPECT_EQ(read.Value(24), Variant("10.1.2.3"));
    EXPECT_EQ(read.Value(38), Variant(false));
    EXPECT_EQ(read.Value(39), Variant()) << "not stored";

    // Changing one setting keeps the others.
    reopened->PhoneBook().EntryProperties().SetValue(1, "5550199");
    EXPECT_EQ(reopened->PhoneBook().SaveEntry(), 0);
    EXPECT_STREQ(fake.entries["quorvale.example"].szLocalPhoneNumber, "5550199");
    EXPECT_STREQ(fake.entries["quorvale.example"].szAreaCode, "800");
}

TEST_F(RasAdapter, RefusesAnUnusableNameAndDeletesEntries)
{
    ras->PhoneBook().SetEntryName("bad[name]");
    ras->PhoneBook().OpenEntry();
    EXPECT_EQ(ras->LastError(), ERROR_INVALID_NAME);
    EXPECT_EQ(ras->PhoneBook().SaveEntry(), ERROR_INVALID_NAME);
    EXPECT_TRUE(fake.entries.empty());

    CreateEntry("quorvale.example");
    EXPECT_EQ(ras->PhoneBook().DeleteEntry("quorvale.example"), 0);
    EXPECT_EQ(ras->PhoneBook().DeleteEntry("quorvale.example"),
              platform::ras::ErrorCannotFindEntry);
    EXPECT_EQ(ras->LastError(), platform::ras::ErrorCannotFindEntry);
}

TEST_F(RasAdapter, DialReportsEachStateOnTheLoopsThreadAndConnects)
{
    CreateEntry("quorvale.example");
    EXPECT_EQ(ras->Dialer().DialParams().ConnState(), platform::ras::Disconnected);
    EXPECT_EQ(Dial({{RASCS_OpenPort},
                    {RASCS_ConnectDevice},
                    {RASCS_DeviceConnected},
                    {RASCS_Authenticate},
                    {RASCS_Authenticated},
                    {RASCS_Connected}}),
              0);
    EXPECT_EQ(fake.dialledEntries, std::vector<std::string>{"quorvale.example"});
    EXPECT_EQ(fake.dialledUsers, std::vector<std::string>{"autoreg"});
    EXPECT_EQ(States(), (std::vector<long>{0, 2, 3, 5, 14, 8192}));
    for (const Status& status : events.statuses) {
        EXPECT_EQ(status.thread, GetCurrentThreadId());
        EXPECT_EQ(status.error, 0);
        EXPECT_EQ(status.text, RasStateText(status.state));
    }
    EXPECT_EQ(ras->Dialer().DialParams().ConnState(), platform::ras::Connected);
    EXPECT_EQ(fake.hangUps, 0);

    bool flag = false;
    EXPECT_EQ(ras->Dialer().HangUp(flag), 0);
    EXPECT_EQ(fake.hangUps, 1);
    EXPECT_EQ(ras->Dialer().DialParams().ConnState(), platform::ras::Disconnected);
}

// A failed attempt ends Dial with the error, its text from RAS, and frees
// the connection.
TEST_F(RasAdapter, AFailedDialReportsTheErrorAndDisconnects)
{
    CreateEntry("quorvale.example");
    const struct {
        std::vector<Step> script;
        long error;
        std::string text;
    } cases[] = {
        {{{RASCS_OpenPort}, {RASCS_ConnectDevice}, {RASCS_ConnectDevice, ERROR_LINE_BUSY}},
         platform::ras::ErrorLineBusy,
         "The line is busy."},
        {{{RASCS_OpenPort}, {RASCS_ConnectDevice, ERROR_NO_ANSWER}},
         platform::ras::ErrorNoAnswer,
         "No answer."},
        {{{RASCS_OpenPort},
          {RASCS_ConnectDevice},
          {RASCS_DeviceConnected},
          {RASCS_Authenticate, ERROR_AUTHENTICATION_FAILURE}},
         platform::ras::ErrorAuthenticationFailure,
         "Access denied."},
        {{{RASCS_OpenPort}, {RASCS_ConnectDevice, 9999}}, 9999, "Dial-up networking error 9999."},
    };
    int hangUps = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        events.statuses.clear();
        EXPECT_EQ(Dial(c.script), c.error);
        EXPECT_EQ(ras->LastError(), c.error);
        ASSERT_EQ(events.statuses.size(), c.script.size());
        const Status& last = events.statuses.back();
        EXPECT_EQ(last.error, c.error);
        EXPECT_EQ(last.text, c.text);
        EXPECT_EQ(last.state, c.script.back().state);
        EXPECT_EQ(ras->Dialer().DialParams().ConnState(), platform::ras::Disconnected);
        EXPECT_EQ(fake.hangUps, ++hangUps) << "the failed connection is hung up";
    }

    events.statuses.clear();
    ras->Dialer().DialParams().SetEntryName("nowhere");
    EXPECT_EQ(ras->Dialer().Dial(0), platform::ras::ErrorCannotFindEntry) << "refused at once";
    EXPECT_TRUE(events.statuses.empty());
}

TEST_F(RasAdapter, HangUpDuringADialEndsIt)
{
    CreateEntry("quorvale.example");
    events.onStatus = [this](const Status& status) {
        if (status.state == RASCS_ConnectDevice) {
            bool flag = false;
            ras->Dialer().HangUp(flag);
        }
    };
    EXPECT_EQ(
        Dial({{RASCS_OpenPort}, {RASCS_ConnectDevice}, {RASCS_DeviceConnected}, {RASCS_Connected}}),
        platform::ras::ErrorUserDisconnection);
    fake.Join();
    loop->DoEvents(); // what RAS notified after the hang-up arrives now and is dropped
    EXPECT_EQ(States(), (std::vector<long>{0, 2})) << "no events once the attempt is over";
    EXPECT_EQ(fake.hangUps, 1);
    EXPECT_EQ(ras->Dialer().DialParams().ConnState(), platform::ras::Disconnected);

    // The next dial runs as usual.
    events.onStatus = nullptr;
    events.statuses.clear();
    EXPECT_EQ(Dial({{RASCS_OpenPort}, {RASCS_Connected}}), 0);
    EXPECT_EQ(States(), (std::vector<long>{0, 8192}));
}

} // namespace
} // namespace regwiz::platform::win32
