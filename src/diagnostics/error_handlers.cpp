#include "diagnostics/error_handlers.h"

#include <string>

namespace regwiz::diagnostics {

void TerminalError(platform::Ports& ports, long errorNumber)
{
    ports.pointer.SetScreenPointer(platform::pointer::Default);
    const std::string paragraph = "\r\n\r\n";
    const std::string message =
        "A terminal error has occurred in the registration wizard." + paragraph
        + "The registration wizard cannot continue." + paragraph
        + "Please call quorvale technical support at 1-800-555-0142." + paragraph
        + "Let them know what step you were in and what the error message was." + paragraph
        + "Error number:  " + std::to_string(errorNumber) + paragraph;
    ports.boxes.Show(message, "An error has occurred", platform::mb::Critical);
}

} // namespace regwiz::diagnostics
