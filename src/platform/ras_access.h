#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/variant.h"

// The dial-up networking component: the wizard's dial-up entry, the modems,
// dialling and hanging up. It lies outside the wizard; the wizard creates one
// when its form loads and walks this object tree from it.
namespace regwiz::platform {

// Connection states (RASCONNSTATE numbers) and numbers the component reports.
namespace ras {
inline constexpr long OpenPort = 0;
inline constexpr long ConnectDevice = 2;
inline constexpr long DeviceConnected = 3;
inline constexpr long Authenticate = 5;
inline constexpr long Authenticated = 14;
inline constexpr long Connected = 8192;
inline constexpr long Disconnected = 8193;

inline constexpr long ErrorAlreadyExists = 183;   // OpenEntry: the entry exists
inline constexpr long ErrorCannotFindEntry = 623; // no such phone-book entry
inline constexpr long ErrorUserDisconnection = 631;
inline constexpr long ErrorLineBusy = 676;
inline constexpr long ErrorNoAnswer = 678;
inline constexpr long ErrorAuthenticationFailure = 691;
} // namespace ras

// What ConnectionStatus says of a state without an error, e.g. "Dialing...".
std::string RasStateText(long state);

// The component's events, delivered on the user-interface thread.
class RasEvents {
public:
    virtual ~RasEvents() = default;
    // Progress of a dial; dwerror > 0: the attempt failed with that code.
    virtual void ConnectionStatus(const std::string& sCallStatus, long RasConnState,
                                  long dwerror) = 0;
    // One dial-up device, raised by EnumDevices.
    virtual void DeviceInfo(const std::string& DeviceType, const std::string& DeviceName) = 0;
};

// The settings of the entry opened last, by position 1 to 45.
class RasEntryProperties {
public:
    virtual ~RasEntryProperties() = default;
    virtual void SetValue(int position, const Variant& value) = 0;
    virtual Variant Value(int position) const = 0;
};

class RasPhoneBook {
public:
    virtual ~RasPhoneBook() = default;
    virtual void SetEntryName(const std::string& name) = 0;
    // Leaves the last-error number: 0 name free, 183 entry exists (its
    // settings loaded), other: name unusable.
    virtual void OpenEntry() = 0;
    virtual RasEntryProperties& EntryProperties() = 0;
    // Writes the entry; leaves the last-error number.
    virtual long SaveEntry() = 0;
    // Raises DeviceInfo once per device; True when there was one.
    virtual bool EnumDevices() = 0;
    virtual long DeleteEntry(const std::string& name) = 0;
};

class RasDialParams {
public:
    virtual ~RasDialParams() = default;
    virtual void SetEntryName(const std::string& name) = 0;
    virtual void SetUserName(const std::string& name) = 0;
    virtual void SetPassword(const std::string& password) = 0;
    virtual void SetDialOption(bool option) = 0;
    virtual long ConnState() const = 0;
};

class RasDialer {
public:
    virtual ~RasDialer() = default;
    virtual RasDialParams& DialParams() = 0;
    // Returns when the attempt has ended; meanwhile raises ConnectionStatus
    // and lets window events run.
    virtual long Dial(long windowHandle) = 0;
    // Ends the connection or the attempt under way, also from inside a
    // ConnectionStatus handler.
    virtual long HangUp(bool& flag) = 0;
};

class RasAccess {
public:
    virtual ~RasAccess() = default;
    virtual void Initialize() = 0;
    virtual RasPhoneBook& PhoneBook() = 0;
    virtual RasDialer& Dialer() = 0;
    // The thread's last-error number, as the component's calls leave it.
    virtual long LastError() const = 0;
};

// Creates the component, its events going to `events`.
using RasAccessFactory = std::function<std::unique_ptr<RasAccess>(RasEvents& events)>;

} // namespace regwiz::platform
