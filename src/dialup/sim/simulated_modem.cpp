#include "dialup/sim/simulated_modem.h"

#include <memory>
#include <string_view>

#include "platform/codepage.h"
#include "platform/text.h"

namespace regwiz::dialup::sim {

namespace ras = platform::ras;

namespace {

constexpr long kErrorPortAlreadyOpen = 602;
constexpr long kErrorCannotWritePhoneBook = 624;
constexpr long kErrorInvalidName = 123;

constexpr int kFirstPosition = 1;
constexpr int kLastPosition = 45;
constexpr std::size_t kMaxNameChars = 256;
constexpr std::size_t kValueBufferSize = 4096;
// What a read of a missing setting gives: a stored value never holds a line
// break, so it tells a missing setting from an empty one.
constexpr std::string_view kMissing = "\n";

bool IsPosition(int position)
{
    return position >= kFirstPosition && position <= kLastPosition;
}

// A name the phone book can hold as a section of its own: section syntax,
// line breaks or surrounding blanks would make it read back as another name.
bool IsValidEntryName(std::string_view name)
{
    if (name.empty() || platform::CharCount(name) > kMaxNameChars
        || platform::TrimBlanks(name) != name)
        return false;
    for (unsigned char c : name) {
        if (c < 0x20 || c == '[' || c == ']' || c == '=')
            return false;
    }
    return true;
}

std::string Digits(std::string_view text)
{
    std::string digits;
    for (char c : text) {
        if (c >= '0' && c <= '9')
            digits += c;
    }
    return digits;
}

std::string ErrorText(long error)
{
    switch (error) {
    case kErrorPortAlreadyOpen:
        return "The port is already open.";
    case ras::ErrorCannotFindEntry:
        return "The system could not find the phone book entry for this connection.";
    case ras::ErrorUserDisconnection:
        return "The port was disconnected by the user.";
    case ras::ErrorLineBusy:
        return "The line is busy.";
    case ras::ErrorNoAnswer:
        return "The remote computer did not respond.";
    case ras::ErrorAuthenticationFailure:
        return "Access was denied because the username and/or password was invalid on the "
               "domain.";
    default:
        return "Dial-up networking error " + std::to_string(error) + ".";
    }
}

// How a setting is kept in the phone book: Booleans as -1 / 0, as the
// component has always stored them.
std::string StoredText(const Variant& value)
{
    if (value.IsBoolean())
        return CBool(value) ? "-1" : "0";
    return CStr(value);
}

// One progress event of an attempt.
struct Step {
    long state = 0;
    long error = 0;
    std::string text;
};

struct Script {
    std::vector<Step> steps;
    bool hangs = false; // the last step leaves the attempt waiting for a hang-up
};

Step Progress(long state)
{
    return {state, 0, platform::RasStateText(state)};
}

Step Failure(long state, long error, const std::string& text = {})
{
    return {state, error, text.empty() ? ErrorText(error) : text};
}

Script Connects()
{
    return {{Progress(ras::OpenPort), Progress(ras::ConnectDevice), Progress(ras::DeviceConnected),
             Progress(ras::Authenticate), Progress(ras::Authenticated), Progress(ras::Connected)}};
}

Script FailsWhileDialing(long error, const std::string& text = {})
{
    return {{Progress(ras::OpenPort), Progress(ras::ConnectDevice),
             Failure(ras::ConnectDevice, error, text)}};
}

Script FailsAuthentication()
{
    return {{Progress(ras::OpenPort), Progress(ras::ConnectDevice), Progress(ras::DeviceConnected),
             Progress(ras::Authenticate),
             Failure(ras::Authenticate, ras::ErrorAuthenticationFailure)}};
}

Script EndsInState(long state)
{
    return {{Progress(ras::OpenPort), Progress(ras::ConnectDevice), Progress(state)}};
}

Script Hangs()
{
    return {{Progress(ras::OpenPort), Progress(ras::ConnectDevice), Progress(ras::DeviceConnected)},
            true};
}

// A configured outcome happens whatever was dialled; only an attempt left to
// connect meets the network's checks of the number and the login.
Script Plan(const DialOutcome& outcome, bool reachesNetwork, bool loginAccepted)
{
    using Kind = DialOutcome::Kind;
    switch (outcome.kind) {
    case Kind::Busy:
        return FailsWhileDialing(ras::ErrorLineBusy);
    case Kind::NoAnswer:
        return FailsWhileDialing(ras::ErrorNoAnswer);
    case Kind::Error:
        return FailsWhileDialing(outcome.code, outcome.text);
    case Kind::State:
        return EndsInState(outcome.code);
    case Kind::Hang:
        return Hangs();
    case Kind::Connect:
        break;
    }
    if (!reachesNetwork)
        return FailsWhileDialing(ras::ErrorNoAnswer);
    if (!loginAccepted)
        return FailsAuthentication();
    return Connects();
}

struct Attempt {
    int number = 0;
    Script script;
    std::size_t next = 0; // the step raised next
    bool ended = false;
    long result = 0; // what Dial returns
};

} // namespace

namespace detail {

// The settings of the entry opened last, as set or as loaded from the phone book.
class EntrySettings final : public platform::RasEntryProperties {
public:
    void SetValue(int position, const Variant& value) override
    {
        if (IsPosition(position))
            values_[position] = value;
    }
    Variant Value(int position) const override
    {
        const auto value = values_.find(position);
        return value == values_.end() ? Variant() : value->second;
    }

    void Load(const std::map<int, std::string>& stored)
    {
        values_.clear();
        for (const auto& [position, text] : stored)
            values_[position] = Variant(text);
    }
    const std::map<int, Variant>& Values() const { return values_; }

private:
    std::map<int, Variant> values_;
};

class PhoneBookObject final : public platform::RasPhoneBook {
public:
    PhoneBookObject(ModemLine& line, platform::RasEvents& events, long& lastError)
        : line_(line), events_(events), lastError_(lastError)
    {
    }

    void SetEntryName(const std::string& name) override { name_ = name; }
    void OpenEntry() override { lastError_ = Open(); }
    platform::RasEntryProperties& EntryProperties() override { return settings_; }
    long SaveEntry() override { return lastError_ = Save(); }
    bool EnumDevices() override;
    long DeleteEntry(const std::string& name) override { return lastError_ = Delete(name); }

private:
    long Open();
    long Save();
    long Delete(const std::string& name);

    ModemLine& line_;
    platform::RasEvents& events_;
    long& lastError_;
    std::string name_;
    EntrySettings settings_;
};

long PhoneBookObject::Open()
{
    settings_.Load({});
    if (!IsValidEntryName(name_))
        return kErrorInvalidName;
    const auto stored = line_.StoredEntry(name_);
    if (!stored)
        return 0;
    settings_.Load(*stored);
    return ras::ErrorAlreadyExists;
}

long PhoneBookObject::Save()
{
    if (!IsValidEntryName(name_))
        return kErrorInvalidName;
    if (line_.refuseEntryWrite && line_.refuseEntryWrite())
        return kErrorCannotWritePhoneBook;
    // The entry's settings are one write of the phone book: all or none.
    std::vector<platform::ProfileEntry> entry;
    for (const auto& [position, value] : settings_.Values())
        entry.push_back({std::to_string(position), StoredText(value)});
    if (!line_.profiles_.WriteStrings(line_.phoneBookFile_, name_, entry,
                                      platform::Durability::SurvivesCrash))
        return kErrorCannotWritePhoneBook;
    return 0;
}

long PhoneBookObject::Delete(const std::string& name)
{
    if (!IsValidEntryName(name))
        return kErrorInvalidName;
    if (!line_.profiles_.HasSection(line_.phoneBookFile_, name))
        return ras::ErrorCannotFindEntry;
    if (!line_.profiles_.DeleteSection(line_.phoneBookFile_, name))
        return kErrorCannotWritePhoneBook;
    return 0;
}

bool PhoneBookObject::EnumDevices()
{
    lastError_ = 0;
    // By index: a handler may add a device to the line meanwhile.
    for (std::size_t i = 0; i < line_.devices_.size(); ++i) {
        const auto [type, name] = line_.devices_[i];
        events_.DeviceInfo(type, name);
    }
    return !line_.devices_.empty();
}

// Dials on the line. An attempt is a chain of timers, one per progress event,
// and Dial waits in the event loop until the chain has ended, so the wizard's
// clicks and timers run nested inside it as they do around a real dial.
class DialerObject final : public platform::RasDialer, public platform::RasDialParams {
public:
    DialerObject(ModemLine& line, platform::RasEvents& events, long& lastError)
        : line_(line), events_(events), lastError_(lastError)
    {
    }
    ~DialerObject() override;
    DialerObject(const DialerObject&) = delete;
    DialerObject& operator=(const DialerObject&) = delete;

    platform::RasDialParams& DialParams() override { return *this; }
    long Dial(long windowHandle) override;
    long HangUp(bool& flag) override;

    void SetEntryName(const std::string& name) override { entryName_ = name; }
    void SetUserName(const std::string& name) override { userName_ = name; }
    void SetPassword(const std::string& password) override { password_ = password; }
    void SetDialOption(bool option) override { dialOption_ = option; }
    long ConnState() const override { return line_.connState_; }

private:
    bool Dialling() const { return attempt_ && !attempt_->ended; }
    bool LoginAccepted() const
    {
        return userName_ == ModemLine::kRegistrationUser
               && password_ == ModemLine::kRegistrationPassword;
    }
    long Refuse(long error) { return lastError_ = error; }
    std::shared_ptr<Attempt> StartAttempt(const std::map<int, std::string>& entry);
    void ScheduleNextStep(int delayMs);
    void RaiseNextStep();
    void Stop(long result);

    ModemLine& line_;
    platform::RasEvents& events_;
    long& lastError_;
    std::string entryName_;
    std::string userName_;
    std::string password_;
    // Kept as the component keeps it; nothing on this line depends on it.
    [[maybe_unused]] bool dialOption_ = false;
    std::shared_ptr<Attempt> attempt_;
    std::optional<platform::EventLoop::TimerId> timer_;
    // Seen by a Dial still waiting when a handler nested in it releases the object.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

DialerObject::~DialerObject()
{
    *alive_ = false;
    if (Dialling()) {
        // Releasing the component drops the line it was dialling on.
        Stop(ras::ErrorUserDisconnection);
        line_.connState_ = ras::Disconnected;
    }
}

long DialerObject::Dial(long /*windowHandle*/)
{
    if (Dialling())
        return Refuse(kErrorPortAlreadyOpen);
    const auto entry = line_.StoredEntry(entryName_);
    if (!entry) {
        line_.connState_ = ras::Disconnected;
        return Refuse(ras::ErrorCannotFindEntry);
    }
    const std::shared_ptr<bool> alive = alive_;
    platform::EventLoop& loop = line_.loop_;
    const std::shared_ptr<Attempt> attempt = StartAttempt(*entry);
    try {
        while (!attempt->ended)
            loop.WaitForEvents();
    } catch (...) {
        // No events may outlive the Dial that was abandoned.
        if (*alive && !attempt->ended) {
            Stop(ras::ErrorUserDisconnection);
            line_.connState_ = ras::Disconnected;
        }
        throw;
    }
    if (*alive)
        lastError_ = attempt->result;
    return attempt->result;
}

std::shared_ptr<Attempt> DialerObject::StartAttempt(const std::map<int, std::string>& entry)
{
    auto attempt = std::make_shared<Attempt>();
    attempt->number = ++line_.dials_;
    attempt_ = attempt;
    line_.connState_ = ras::OpenPort;
    if (line_.onDialStarted)
        line_.onDialStarted(attempt->number);
    if (attempt->ended) // hung up from the hook
        return attempt;
    // Taken only now, so the hook can still queue this attempt's outcome.
    attempt->script = Plan(line_.NextOutcome(), line_.ReachesNetwork(entry), LoginAccepted());
    ScheduleNextStep(0);
    return attempt;
}

void DialerObject::ScheduleNextStep(int delayMs)
{
    timer_ = line_.loop_.StartTimer(delayMs, [this] { RaiseNextStep(); });
}

// The next step's timer starts before the handler runs, so a handler that
// waits in the loop gets the following events nested, as posted messages would
// arrive, and a HangUp inside it only has to stop that timer.
void DialerObject::RaiseNextStep()
{
    timer_.reset();
    const std::shared_ptr<Attempt> attempt = attempt_;
    const Step step = attempt->script.steps[attempt->next++];
    const bool last = attempt->next == attempt->script.steps.size();
    if (!last)
        ScheduleNextStep(line_.stepDelayMs);
    else if (!attempt->script.hangs)
        Stop(step.error);
    ModemLine& line = line_; // the handler may release this object
    line.connState_ = step.state;
    events_.ConnectionStatus(step.text, step.state, step.error);
    // A failed attempt is over once its error is reported, hung up or not,
    // unless the handler has already dialled again.
    if (last && step.error != 0 && line.dials_ == attempt->number)
        line.connState_ = ras::Disconnected;
}

void DialerObject::Stop(long result)
{
    if (timer_)
        line_.loop_.StopTimer(*timer_);
    timer_.reset();
    if (Dialling()) {
        attempt_->ended = true;
        attempt_->result = result;
    }
}

long DialerObject::HangUp(bool& /*flag*/)
{
    Stop(ras::ErrorUserDisconnection);
    line_.connState_ = ras::Disconnected;
    ++line_.hangUps_;
    return lastError_ = 0;
}

} // namespace detail

namespace {

class ModemAccess final : public platform::RasAccess {
public:
    ModemAccess(ModemLine& line, platform::RasEvents& events)
        : phoneBook_(line, events, lastError_), dialer_(line, events, lastError_)
    {
    }

    void Initialize() override { lastError_ = 0; }
    platform::RasPhoneBook& PhoneBook() override { return phoneBook_; }
    platform::RasDialer& Dialer() override { return dialer_; }
    long LastError() const override { return lastError_; }

private:
    long lastError_ = 0; // before the parts that hold on to it
    detail::PhoneBookObject phoneBook_;
    detail::DialerObject dialer_;
};

} // namespace

ModemLine::ModemLine(platform::EventLoop& loop, platform::ProfileFiles& profiles,
                     std::filesystem::path phoneBookFile)
    : loop_(loop), profiles_(profiles), phoneBookFile_(std::move(phoneBookFile))
{
}

void ModemLine::AddDevice(std::string type, std::string name)
{
    devices_.emplace_back(std::move(type), std::move(name));
}

std::optional<std::map<int, std::string>> ModemLine::StoredEntry(const std::string& name)
{
    if (!IsValidEntryName(name) || !profiles_.HasSection(phoneBookFile_, name))
        return std::nullopt;
    std::map<int, std::string> entry;
    for (int position = kFirstPosition; position <= kLastPosition; ++position) {
        std::string text = profiles_.GetString(phoneBookFile_, name, std::to_string(position),
                                               kMissing, kValueBufferSize);
        if (text != kMissing)
            entry[position] = std::move(text);
    }
    return entry;
}

void ModemLine::WriteEntrySetting(const std::string& name, int position, const std::string& text)
{
    profiles_.WriteString(phoneBookFile_, name, std::to_string(position), text);
}

platform::RasAccessFactory ModemLine::Factory()
{
    return [this](platform::RasEvents& events) -> std::unique_ptr<platform::RasAccess> {
        return std::make_unique<ModemAccess>(*this, events);
    };
}

DialOutcome ModemLine::NextOutcome()
{
    if (outcomes_.empty())
        return {};
    DialOutcome outcome = std::move(outcomes_.front());
    outcomes_.pop_front();
    return outcome;
}

// The network answers when the entry's area code and number end in the
// registration number's last ten digits, however they are written.
bool ModemLine::ReachesNetwork(const std::map<int, std::string>& entry) const
{
    constexpr std::size_t kSignificantDigits = 10;
    std::string wanted = Digits(registrationNumber_);
    if (wanted.size() > kSignificantDigits)
        wanted.erase(0, wanted.size() - kSignificantDigits);
    const auto setting = [&entry](int position) {
        const auto text = entry.find(position);
        return text == entry.end() ? std::string() : text->second;
    };
    return Digits(setting(2) + setting(1)).ends_with(wanted);
}

void Configure(ModemLine& modem, platform::ProfileFiles& profiles,
               const std::filesystem::path& file)
{
    for (int n = 1;; ++n) {
        const std::string device = profiles.GetString(file, "Devices", std::to_string(n), "", 255);
        if (device.empty())
            break;
        const std::size_t bar = device.find('|');
        modem.AddDevice(device.substr(0, bar),
                        bar == std::string::npos ? device : device.substr(bar + 1));
    }
    modem.SetRegistrationNumber(profiles.GetString(file, "Network", "Number", "", 255));
}

} // namespace regwiz::dialup::sim
