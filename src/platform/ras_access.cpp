#include "platform/ras_access.h"

namespace regwiz::platform {

std::string RasStateText(long state)
{
    switch (state) {
    case ras::OpenPort:
        return "Opening port...";
    case ras::ConnectDevice:
        return "Dialing...";
    case ras::DeviceConnected:
        return "Device connected.";
    case ras::Authenticate:
        return "Verifying user name and password...";
    case ras::Authenticated:
        return "Authenticated.";
    case ras::Connected:
        return "Connected.";
    case ras::Disconnected:
        return "Disconnected.";
    default:
        return "Connection state " + std::to_string(state) + ".";
    }
}

} // namespace regwiz::platform
