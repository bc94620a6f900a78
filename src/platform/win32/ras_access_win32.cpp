#include "platform/win32/ras_access_win32.h"

#include <raserror.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/codepage.h"

namespace regwiz::platform::win32 {
namespace {

constexpr long kErrorPortAlreadyOpen = ERROR_PORT_ALREADY_OPEN; // 602
constexpr DWORD kErrorTextSize = 512;
// How long HangUp waits for RAS to release the connection, in 10 ms naps.
constexpr int kHangUpNaps = 300;

// ---------------------------------------------------------------------------
// rasapi32

class SystemRas final : public RasApi {
public:
    DWORD EnumDevices(RASDEVINFOA* devices, DWORD& bytes, DWORD& count) override
    {
        return RasEnumDevicesA(devices, &bytes, &count);
    }
    DWORD ValidateEntryName(const char* name) override
    {
        return RasValidateEntryNameA(nullptr, name);
    }
    DWORD GetEntryProperties(const char* name, RASENTRYA* entry, DWORD& bytes) override
    {
        return RasGetEntryPropertiesA(nullptr, name, entry, &bytes, nullptr, nullptr);
    }
    DWORD SetEntryProperties(const char* name, const RASENTRYA* entry, DWORD bytes) override
    {
        return RasSetEntryPropertiesA(nullptr, name, const_cast<RASENTRYA*>(entry), bytes, nullptr,
                                      0);
    }
    DWORD DeleteEntry(const char* name) override { return RasDeleteEntryA(nullptr, name); }
    DWORD Dial(RASDIALPARAMSA& params, RASDIALFUNC1 notifier, HRASCONN& connection) override
    {
        return RasDialA(nullptr, nullptr, &params, 1, reinterpret_cast<LPVOID>(notifier),
                        &connection);
    }
    DWORD HangUp(HRASCONN connection) override { return RasHangUpA(connection); }
    DWORD GetConnectStatus(HRASCONN connection, RASCONNSTATUSA& status) override
    {
        return RasGetConnectStatusA(connection, &status);
    }
    DWORD GetErrorString(UINT error, char* text, DWORD size) override
    {
        return RasGetErrorStringA(error, text, size);
    }
};

// ---------------------------------------------------------------------------
// The entry's settings

struct Field {
    enum class Kind { Text, Number, Flag, Address };
    Kind kind;
    std::size_t offset; // of the field in RASENTRYA
    std::size_t size;   // Text: the buffer's size
    DWORD bit;          // Flag: the bit in the DWORD at `offset`
};

constexpr Field Text(std::size_t offset, std::size_t size)
{
    return {Field::Kind::Text, offset, size, 0};
}
constexpr Field Number(std::size_t offset)
{
    return {Field::Kind::Number, offset, sizeof(DWORD), 0};
}
constexpr Field Flag(std::size_t offset, DWORD bit)
{
    return {Field::Kind::Flag, offset, sizeof(DWORD), bit};
}
constexpr Field Address(std::size_t offset)
{
    return {Field::Kind::Address, offset, sizeof(RASIPADDR), 0};
}

#define REGWIZ_TEXT(member)                                                                        \
    Text(offsetof(RASENTRYA, member), sizeof(std::declval<RASENTRYA&>().member))
#define REGWIZ_OPTION(bit) Flag(offsetof(RASENTRYA, dwfOptions), bit)

// The table in the header, position by position.
const std::map<int, Field>& Fields()
{
    static const std::map<int, Field> fields{
        {1, REGWIZ_TEXT(szLocalPhoneNumber)},
        {2, REGWIZ_TEXT(szAreaCode)},
        {3, Number(offsetof(RASENTRYA, dwCountryID))},
        {4, Number(offsetof(RASENTRYA, dwCountryCode))},
        {5, REGWIZ_OPTION(RASEO_UseCountryAndAreaCodes)},
        {6, REGWIZ_OPTION(RASEO_PromoteAlternates)},
        {7, REGWIZ_TEXT(szDeviceName)},
        {8, REGWIZ_TEXT(szDeviceType)},
        {9, REGWIZ_OPTION(RASEO_TerminalBeforeDial)},
        {10, REGWIZ_OPTION(RASEO_TerminalAfterDial)},
        {11, REGWIZ_OPTION(RASEO_RequireEncryptedPw)},
        {12, REGWIZ_OPTION(RASEO_RequireMsEncryptedPw)},
        {13, REGWIZ_OPTION(RASEO_RequireDataEncryption)},
        {14, REGWIZ_OPTION(RASEO_IpHeaderCompression)},
        {15, REGWIZ_OPTION(RASEO_SwCompression)},
        {16, REGWIZ_OPTION(RASEO_NetworkLogon)},
        {17, REGWIZ_OPTION(RASEO_DisableLcpExtensions)},
        {18, REGWIZ_OPTION(RASEO_ModemLights)},
        {19, REGWIZ_OPTION(RASEO_UseLogonCredentials)},
        {20, Flag(offsetof(RASENTRYA, dwfNetProtocols), RASNP_NetBEUI)},
        {21, Flag(offsetof(RASENTRYA, dwfNetProtocols), RASNP_Ipx)},
        {22, Flag(offsetof(RASENTRYA, dwfNetProtocols), RASNP_Ip)},
        {23, REGWIZ_OPTION(RASEO_SecureLocalFiles)},
        {24, Address(offsetof(RASENTRYA, ipaddr))},
        {25, REGWIZ_OPTION(RASEO_SpecificIpAddr)},
        {26, Address(offsetof(RASENTRYA, ipaddrDns))},
        {27, Address(offsetof(RASENTRYA, ipaddrDnsAlt))},
        {28, REGWIZ_OPTION(RASEO_SpecificNameServers)},
        {29, Address(offsetof(RASENTRYA, ipaddrWins))},
        {30, Address(offsetof(RASENTRYA, ipaddrWinsAlt))},
        {31, Number(offsetof(RASENTRYA, dwFrameSize))},
        {32, REGWIZ_OPTION(RASEO_RemoteDefaultGateway)},
        {33, REGWIZ_TEXT(szScript)},
        {34, REGWIZ_TEXT(szAutodialDll)},
        {35, REGWIZ_TEXT(szAutodialFunc)},
        {36, REGWIZ_TEXT(szX25PadType)},
        {37, Flag(offsetof(RASENTRYA, dwFramingProtocol), RASFP_Ppp)},
        {38, Flag(offsetof(RASENTRYA, dwFramingProtocol), RASFP_Slip)},
        {40, REGWIZ_TEXT(szX25Address)},
        {41, REGWIZ_TEXT(szX25Facilities)},
        {43, REGWIZ_TEXT(szX25UserData)},
    };
    return fields;
}

#undef REGWIZ_OPTION
#undef REGWIZ_TEXT

// A fixed-size ANSI field, which need not end in a null.
std::string FromChars(const char* chars, std::size_t size)
{
    return FromAnsi(std::string(chars, strnlen(chars, size)));
}

// Into a fixed-size ANSI field, cut to fit.
void ToChars(char* chars, std::size_t size, const std::string& utf8)
{
    const std::string ansi = ToAnsi(utf8);
    const std::size_t length = std::min(ansi.size(), size - 1);
    std::memcpy(chars, ansi.data(), length);
    chars[length] = '\0';
}

std::string AddressText(const RASIPADDR& address)
{
    return std::to_string(address.a) + "." + std::to_string(address.b) + "."
           + std::to_string(address.c) + "." + std::to_string(address.d);
}

// "a.b.c.d"; anything else is 0.0.0.0.
RASIPADDR ParseAddress(const std::string& text)
{
    BYTE parts[4] = {};
    const char* next = text.c_str();
    for (int i = 0; i < 4; ++i) {
        char* end = nullptr;
        const unsigned long part = std::strtoul(next, &end, 10);
        const char expected = i == 3 ? '\0' : '.';
        if (end == next || part > 255 || *end != expected)
            return {};
        parts[i] = static_cast<BYTE>(part);
        next = end + 1;
    }
    return {parts[0], parts[1], parts[2], parts[3]};
}

// A number setting: a Boolean as -1 / 0, a text by its leading digits.
DWORD NumberOf(const Variant& value)
{
    if (value.IsBoolean())
        return CBool(value) ? static_cast<DWORD>(-1) : 0;
    return static_cast<DWORD>(std::strtol(CStr(value).c_str(), nullptr, 10));
}

Variant Read(const RASENTRYA& entry, const Field& field)
{
    const auto* at = reinterpret_cast<const char*>(&entry) + field.offset;
    DWORD number = 0;
    switch (field.kind) {
    case Field::Kind::Text:
        return FromChars(at, field.size);
    case Field::Kind::Number:
        std::memcpy(&number, at, sizeof number);
        return static_cast<long>(number);
    case Field::Kind::Flag:
        std::memcpy(&number, at, sizeof number);
        return (number & field.bit) != 0;
    case Field::Kind::Address: {
        RASIPADDR address;
        std::memcpy(&address, at, sizeof address);
        return AddressText(address);
    }
    }
    return {};
}

void Write(RASENTRYA& entry, const Field& field, const Variant& value)
{
    auto* at = reinterpret_cast<char*>(&entry) + field.offset;
    DWORD number = 0;
    switch (field.kind) {
    case Field::Kind::Text:
        ToChars(at, field.size, CStr(value));
        return;
    case Field::Kind::Number:
        number = NumberOf(value);
        std::memcpy(at, &number, sizeof number);
        return;
    case Field::Kind::Flag:
        std::memcpy(&number, at, sizeof number);
        number = CBool(value) ? number | field.bit : number & ~field.bit;
        std::memcpy(at, &number, sizeof number);
        return;
    case Field::Kind::Address: {
        const RASIPADDR address = ParseAddress(CStr(value));
        std::memcpy(at, &address, sizeof address);
        return;
    }
    }
}

// What a new entry starts from: a PPP connection over TCP/IP.
RASENTRYA NewEntry()
{
    RASENTRYA entry;
    std::memset(&entry, 0, sizeof entry);
    entry.dwSize = sizeof(RASENTRYA);
    entry.dwfNetProtocols = RASNP_Ip;
    entry.dwFramingProtocol = RASFP_Ppp;
    return entry;
}

class EntrySettings final : public RasEntryProperties {
public:
    void SetValue(int position, const Variant& value) override
    {
        if (position >= 1 && position <= 45)
            values_[position] = value;
    }
    Variant Value(int position) const override
    {
        const auto value = values_.find(position);
        return value == values_.end() ? Variant() : value->second;
    }

    void Load(const RASENTRYA& entry)
    {
        values_.clear();
        for (const auto& [position, field] : Fields())
            values_[position] = Read(entry, field);
    }
    void Clear() { values_.clear(); }
    void Apply(RASENTRYA& entry) const
    {
        for (const auto& [position, value] : values_) {
            const auto field = Fields().find(position);
            if (field != Fields().end())
                Write(entry, field->second, value);
        }
    }

private:
    std::map<int, Variant> values_;
};

class PhoneBookObject final : public RasPhoneBook {
public:
    PhoneBookObject(RasApi& api, RasEvents& events, long& lastError)
        : api_(api), events_(events), lastError_(lastError)
    {
    }

    void SetEntryName(const std::string& name) override { name_ = name; }
    void OpenEntry() override;
    RasEntryProperties& EntryProperties() override { return settings_; }
    long SaveEntry() override;
    bool EnumDevices() override;
    long DeleteEntry(const std::string& name) override
    {
        return lastError_ = static_cast<long>(api_.DeleteEntry(ToAnsi(name).c_str()));
    }

private:
    DWORD Load(const std::string& name);

    RasApi& api_;
    RasEvents& events_;
    long& lastError_;
    std::string name_;
    RASENTRYA entry_ = NewEntry(); // what SaveEntry starts from
    EntrySettings settings_;
};

void PhoneBookObject::OpenEntry()
{
    entry_ = NewEntry();
    settings_.Clear();
    const std::string name = ToAnsi(name_);
    const DWORD rc = api_.ValidateEntryName(name.c_str());
    const DWORD read = rc == ERROR_ALREADY_EXISTS ? Load(name) : ERROR_SUCCESS;
    lastError_ = static_cast<long>(read != ERROR_SUCCESS ? read : rc);
}

// An entry with alternate numbers needs more room than RASENTRYA; its own
// fields are what this object keeps of it (saving it drops the alternates).
DWORD PhoneBookObject::Load(const std::string& name)
{
    std::vector<RASENTRYA> buffer(1, NewEntry());
    DWORD bytes = sizeof(RASENTRYA);
    DWORD rc = api_.GetEntryProperties(name.c_str(), buffer.data(), bytes);
    if (rc == ERROR_BUFFER_TOO_SMALL) {
        buffer.assign(bytes / sizeof(RASENTRYA) + 1, NewEntry());
        bytes = static_cast<DWORD>(buffer.size() * sizeof(RASENTRYA));
        rc = api_.GetEntryProperties(name.c_str(), buffer.data(), bytes);
    }
    if (rc == ERROR_SUCCESS) {
        entry_ = buffer.front();
        entry_.dwSize = sizeof(RASENTRYA);
        entry_.dwAlternateOffset = 0;
        settings_.Load(entry_);
    }
    return rc;
}

long PhoneBookObject::SaveEntry()
{
    RASENTRYA entry = entry_;
    settings_.Apply(entry);
    const DWORD rc = api_.SetEntryProperties(ToAnsi(name_).c_str(), &entry, sizeof entry);
    if (rc == ERROR_SUCCESS)
        entry_ = entry;
    return lastError_ = static_cast<long>(rc);
}

bool PhoneBookObject::EnumDevices()
{
    // A copy: a handler may enumerate again meanwhile.
    std::vector<RASDEVINFOA> devices;
    const DWORD rc = ListRasDevices(api_, devices);
    lastError_ = static_cast<long>(rc);
    for (const RASDEVINFOA& device : devices) {
        events_.DeviceInfo(FromChars(device.szDeviceType, sizeof device.szDeviceType),
                           FromChars(device.szDeviceName, sizeof device.szDeviceName));
    }
    return !devices.empty();
}

// ---------------------------------------------------------------------------
// Dialling

class DialerObject;

// Where a connection's notifications go: the dialer, on its loop's thread.
// RasDialFunc1 carries no context, so a process-wide table finds the dialer
// by connection handle; notifications that come before RasDialA has handed
// out the handle belong to the dial being started.
struct DialTarget {
    EventLoop* loop;
    DialerObject* dialer; // only touched on the loop's thread
};

class Notifications {
public:
    static Notifications& Instance()
    {
        static Notifications instance;
        return instance;
    }

    void Starting(const std::shared_ptr<DialTarget>& target)
    {
        const std::lock_guard lock(mutex_);
        starting_ = target;
    }
    void Started(HRASCONN connection, const std::shared_ptr<DialTarget>& target)
    {
        const std::lock_guard lock(mutex_);
        starting_.reset();
        if (connection != nullptr)
            targets_[connection] = target;
    }
    void Forget(HRASCONN connection)
    {
        const std::lock_guard lock(mutex_);
        targets_.erase(connection);
    }
    void Forget(const DialTarget* target)
    {
        const std::lock_guard lock(mutex_);
        std::erase_if(targets_,
                      [target](const auto& entry) { return entry.second.lock().get() == target; });
        if (starting_.lock().get() == target)
            starting_.reset();
    }

    // From RAS's thread.
    static VOID WINAPI Notify(HRASCONN connection, UINT message, RASCONNSTATE state, DWORD error,
                              DWORD extendedError);

private:
    void Deliver(HRASCONN connection, long state, long error);

    std::mutex mutex_;
    std::map<HRASCONN, std::weak_ptr<DialTarget>> targets_;
    std::weak_ptr<DialTarget> starting_;
};

class DialerObject final : public RasDialer, public RasDialParams {
public:
    DialerObject(EventLoop& loop, RasApi& api, RasEvents& events, long& lastError)
        : api_(api), events_(events), lastError_(lastError),
          target_(std::make_shared<DialTarget>(DialTarget{&loop, this}))
    {
    }
    ~DialerObject() override;
    DialerObject(const DialerObject&) = delete;
    DialerObject& operator=(const DialerObject&) = delete;

    RasDialParams& DialParams() override { return *this; }
    long Dial(long windowHandle) override;
    long HangUp(bool& flag) override;

    void SetEntryName(const std::string& name) override { entryName_ = name; }
    void SetUserName(const std::string& name) override { userName_ = name; }
    void SetPassword(const std::string& password) override { password_ = password; }
    void SetDialOption(bool option) override { dialOption_ = option; }
    long ConnState() const override;

    // On the loop's thread: one notification of `connection`.
    void Progress(HRASCONN connection, long state, long error);

private:
    struct Attempt {
        HRASCONN connection = nullptr;
        bool ended = false;
        long result = 0;
    };

    bool Dialling() const { return attempt_ && !attempt_->ended; }
    void End(long result);
    void Release();
    std::string ErrorText(long error);

    RasApi& api_;
    RasEvents& events_;
    long& lastError_;
    std::string entryName_;
    std::string userName_;
    std::string password_;
    // Kept as the component keeps it; RasDialA has no use for it.
    [[maybe_unused]] bool dialOption_ = false;
    HRASCONN connection_ = nullptr; // dialling or connected
    std::shared_ptr<Attempt> attempt_;
    std::shared_ptr<DialTarget> target_;
    // Seen by a Dial still waiting when a handler nested in it releases the object.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

VOID WINAPI Notifications::Notify(HRASCONN connection, UINT /*message*/, RASCONNSTATE state,
                                  DWORD error, DWORD /*extendedError*/)
{
    Instance().Deliver(connection, static_cast<long>(state), static_cast<long>(error));
}

void Notifications::Deliver(HRASCONN connection, long state, long error)
{
    // Posted under the lock, so a dialer that forgets its target is not
    // posted to afterwards.
    const std::lock_guard lock(mutex_);
    const auto found = targets_.find(connection);
    const std::shared_ptr<DialTarget> target =
        found != targets_.end() ? found->second.lock() : starting_.lock();
    if (!target)
        return;
    const std::weak_ptr<DialTarget> weak = target;
    target->loop->Post([weak, connection, state, error] {
        if (const auto alive = weak.lock())
            alive->dialer->Progress(connection, state, error);
    });
}

DialerObject::~DialerObject()
{
    *alive_ = false;
    Notifications::Instance().Forget(target_.get());
    // Releasing the component drops the line it was dialling on; a
    // connection that is up stays up.
    if (Dialling()) {
        End(ERROR_USER_DISCONNECTION);
        Release();
    }
}

long DialerObject::Dial(long /*windowHandle*/)
{
    if (Dialling())
        return lastError_ = kErrorPortAlreadyOpen;
    RASDIALPARAMSA params;
    std::memset(&params, 0, sizeof params);
    params.dwSize = sizeof params;
    ToChars(params.szEntryName, sizeof params.szEntryName, entryName_);
    ToChars(params.szUserName, sizeof params.szUserName, userName_);
    ToChars(params.szPassword, sizeof params.szPassword, password_);

    const std::shared_ptr<bool> alive = alive_;
    const auto attempt = std::make_shared<Attempt>();
    attempt_ = attempt;
    HRASCONN connection = nullptr;
    Notifications::Instance().Starting(target_);
    const DWORD rc = api_.Dial(params, &Notifications::Notify, connection);
    Notifications::Instance().Started(connection, target_);
    connection_ = connection;
    attempt->connection = connection;
    SecureZeroMemory(params.szPassword, sizeof params.szPassword);
    if (rc != ERROR_SUCCESS) {
        End(static_cast<long>(rc));
        Release(); // RAS wants a failed RasDialA's handle hung up too
    }
    try {
        while (!attempt->ended)
            target_->loop->WaitForEvents();
    } catch (...) {
        // No events may outlive the Dial that was abandoned.
        if (*alive && attempt_ == attempt && !attempt->ended) {
            End(ERROR_USER_DISCONNECTION);
            Release();
        }
        throw;
    }
    if (*alive)
        lastError_ = attempt->result;
    return attempt->result;
}

void DialerObject::Progress(HRASCONN connection, long state, long error)
{
    // Only while Dial is under way, and only of the attempt it waits for.
    if (!Dialling() || attempt_->connection != connection)
        return;
    const bool failed = error != 0 || state == ras::Disconnected;
    const bool paused = (state & RASCS_PAUSED) != 0 && (state & RASCS_DONE) == 0;
    std::string text = error != 0 ? ErrorText(error) : RasStateText(state);
    if (failed) {
        End(error != 0 ? error : ERROR_USER_DISCONNECTION);
        Release();
    } else if (state == ras::Connected || paused) {
        // Paused: RAS waits for what the wizard cannot give; the wizard reads
        // the state and hangs up.
        End(0);
    }
    events_.ConnectionStatus(text, state, error);
}

void DialerObject::End(long result)
{
    if (Dialling()) {
        attempt_->ended = true;
        attempt_->result = result;
    }
}

// Hangs up the connection and waits until RAS has let go of it: a dial
// started before that may find the port still open.
void DialerObject::Release()
{
    const HRASCONN connection = connection_;
    connection_ = nullptr;
    if (connection == nullptr)
        return;
    Notifications::Instance().Forget(connection);
    api_.HangUp(connection);
    RASCONNSTATUSA status;
    for (int nap = 0; nap < kHangUpNaps; ++nap) {
        std::memset(&status, 0, sizeof status);
        status.dwSize = sizeof status;
        if (api_.GetConnectStatus(connection, status) == ERROR_INVALID_HANDLE)
            break;
        Sleep(10);
    }
}

long DialerObject::HangUp(bool& /*flag*/)
{
    End(ERROR_USER_DISCONNECTION);
    Release();
    return lastError_ = 0;
}

long DialerObject::ConnState() const
{
    if (connection_ == nullptr)
        return ras::Disconnected;
    RASCONNSTATUSA status;
    std::memset(&status, 0, sizeof status);
    status.dwSize = sizeof status;
    if (api_.GetConnectStatus(connection_, status) != ERROR_SUCCESS)
        return ras::Disconnected;
    return static_cast<long>(status.rasconnstate);
}

std::string DialerObject::ErrorText(long error)
{
    char text[kErrorTextSize] = {};
    if (api_.GetErrorString(static_cast<UINT>(error), text, sizeof text) == ERROR_SUCCESS
        && text[0] != '\0')
        return FromAnsi(text);
    return "Dial-up networking error " + std::to_string(error) + ".";
}

class RasAccessObject final : public RasAccess {
public:
    RasAccessObject(EventLoop& loop, RasApi& api, RasEvents& events)
        : phoneBook_(api, events, lastError_), dialer_(loop, api, events, lastError_)
    {
    }

    void Initialize() override { lastError_ = 0; }
    RasPhoneBook& PhoneBook() override { return phoneBook_; }
    RasDialer& Dialer() override { return dialer_; }
    long LastError() const override { return lastError_; }

private:
    long lastError_ = 0; // before the parts that hold on to it
    PhoneBookObject phoneBook_;
    DialerObject dialer_;
};

} // namespace

RasApi& SystemRasApi()
{
    static SystemRas api;
    return api;
}

DWORD ListRasDevices(RasApi& api, std::vector<RASDEVINFOA>& devices)
{
    RASDEVINFOA empty;
    std::memset(&empty, 0, sizeof empty);
    empty.dwSize = sizeof empty;
    devices.assign(1, empty);
    DWORD bytes = sizeof empty;
    DWORD count = 0;
    DWORD rc = api.EnumDevices(devices.data(), bytes, count);
    if (rc == ERROR_BUFFER_TOO_SMALL) {
        devices.assign(bytes / sizeof empty + 1, empty);
        bytes = static_cast<DWORD>(devices.size() * sizeof empty);
        count = 0;
        rc = api.EnumDevices(devices.data(), bytes, count);
    }
    devices.resize(rc == ERROR_SUCCESS ? std::min<std::size_t>(count, devices.size()) : 0);
    return rc;
}

RasAccessFactory MakeRasAccessFactory(EventLoop& loop, RasApi& api)
{
    return [&loop, &api](RasEvents& events) -> std::unique_ptr<RasAccess> {
        return std::make_unique<RasAccessObject>(loop, api, events);
    };
}

} // namespace regwiz::platform::win32
