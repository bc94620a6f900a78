#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace regwiz::exchange {

inline constexpr const char* kUnableToConnect =
    "Unable to connect to the registration server.\r\n\r\n"
    "Please try again later.\r\n\r\n";

// What the registration server's reply says.
struct ServerReply {
    // The text to show the member; empty when the reply carried none.
    std::string message;
    // The new member ID, when the reply granted one.
    std::optional<std::string> memberId;
    // The reply was read and marks the sign-up as failed (a flag that is no
    // Boolean, or no member ID). Replies that cannot be read leave it false:
    // their message says what went wrong.
    bool failed = false;
    // The body between the markers was found and read.
    bool readable = false;
};

// Reads the reply: "<html><body>", a line with the flag, a line with the
// member ID (flag True) or the reason (flag False), "</body></html>".
// One pass over the text.
ServerReply ParseWebData(std::string_view Data);

} // namespace regwiz::exchange
