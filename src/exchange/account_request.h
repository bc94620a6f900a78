#pragma once

#include <string>

namespace regwiz::exchange {

// Where the request goes below the HTTP service's base address.
inline constexpr const char* kRequestPath = "/Registration/setvariables.cfm";
inline constexpr const char* kRequestHeader = "Content-Type: application/x-www-form-urlencoded";

// The member's sign-up as the registration server takes it: every value as
// sent, choices already turned into the server's codes.
struct SignUpRecord {
    std::string firstName, lastName, address1, address2, city, state, zipCode;
    std::string age, gender, phone, email;
    std::string media, mediaName, accType;
    std::string employed, occupation, businessOwner, homeBased;
    std::string paymentType, ccNumber, ccMonth, ccYear, ccName;
    std::string accessNumber; // the machine's four-character volume code
    std::string password;
};

// The form body: the 26 keys in their order, each value form-encoded in
// Windows-1252.
std::string RequestBody(const SignUpRecord& record);

// The same body fit for the log: the card number cut to its last four digits,
// the password starred.
std::string LoggedBody(const SignUpRecord& record);

// application/x-www-form-urlencoded of a text's Windows-1252 bytes.
std::string FormEncode(const std::string& text);

} // namespace regwiz::exchange
