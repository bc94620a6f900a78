#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/event_loop.h"
#include "platform/profile_files.h"
#include "platform/ras_access.h"

// A dial-up component for Linux: a modem on a phone line that reaches the
// registration network, with its phone book in a profile file. Dialling runs
// on the event loop's clock, so tests and the scenario runner see the same
// progress events, delays and failures every time.
namespace regwiz::dialup::sim {

// How one dial attempt ends.
struct DialOutcome {
    enum class Kind {
        Connect,  // the number and the login are checked as a real network would
        Busy,     // error 676
        NoAnswer, // error 678
        Error,    // error `code` with `text` (a text of its own when empty)
        State,    // ends in state `code` without an error
        Hang      // never ends until hung up
    };
    // A constructor rather than aggregate initialization, so {Kind::Busy}
    // needs no code or text and -Wextra stays quiet.
    DialOutcome(Kind outcome = Kind::Connect, long number = 0, std::string message = {})
        : kind(outcome), code(number), text(std::move(message))
    {
    }

    Kind kind;
    long code;
    std::string text;
};

namespace detail {
class PhoneBookObject;
class DialerObject;
} // namespace detail

// The modem, its phone line and the registration network. It outlives the
// component objects the wizard creates and releases, so a connection, the
// phone book and the counters carry over from one object to the next.
class ModemLine {
public:
    static constexpr const char* kRegistrationUser = "autoreg";
    static constexpr const char* kRegistrationPassword = "Kb93M24Wd58";

    ModemLine(platform::EventLoop& loop, platform::ProfileFiles& profiles,
              std::filesystem::path phoneBookFile);

    // Devices are reported in the order they were added.
    void AddDevice(std::string type, std::string name);
    // Outcomes of the next attempts, in order; an attempt with none queued connects.
    void QueueOutcome(DialOutcome outcome) { outcomes_.push_back(std::move(outcome)); }
    // The number the network answers on; empty: any number is answered.
    void SetRegistrationNumber(std::string number) { registrationNumber_ = std::move(number); }

    // Time between two progress events of an attempt.
    int stepDelayMs = 250;
    // Called when attempt N (1-based over the line's life) starts, from inside
    // Dial and before the attempt's first event.
    std::function<void(int attempt)> onDialStarted;
    // Asked before each entry is stored; true makes the phone book refuse it,
    // as a full disk would.
    std::function<bool()> refuseEntryWrite;

    int Dials() const { return dials_; }
    int HangUps() const { return hangUps_; }
    long ConnState() const { return connState_; }

    // The entry's settings by position as stored, or nullopt when there is no such entry.
    std::optional<std::map<int, std::string>> StoredEntry(const std::string& name);
    // Puts a setting into the phone book as if an earlier session had saved it.
    void WriteEntrySetting(const std::string& name, int position, const std::string& text);

    // Creates component objects that dial on this line.
    platform::RasAccessFactory Factory();

private:
    friend class detail::PhoneBookObject;
    friend class detail::DialerObject;

    DialOutcome NextOutcome();
    bool ReachesNetwork(const std::map<int, std::string>& entry) const;

    platform::EventLoop& loop_;
    platform::ProfileFiles& profiles_;
    std::filesystem::path phoneBookFile_;
    std::vector<std::pair<std::string, std::string>> devices_; // (type, name)
    std::deque<DialOutcome> outcomes_;
    std::string registrationNumber_;
    int dials_ = 0;
    int hangUps_ = 0;
    long connState_ = platform::ras::Disconnected;
};

// Configures the line from a profile file, as each platform keeps it:
//   [Devices]  1=<type>|<name>, 2=..., in order
//   [Network]  Number=<the registration server's number, e.g. 18005550142>
void Configure(ModemLine& modem, platform::ProfileFiles& profiles,
               const std::filesystem::path& file);

} // namespace regwiz::dialup::sim
