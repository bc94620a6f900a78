#pragma once

#include <stdexcept>
#include <string>

namespace regwiz {

// A run-time error as the wizard's handlers see it: a number they can show or
// log ("Error (n): ...") and a description. Operations that trap nothing let it
// reach their caller, whose own error handling applies.
class RunTimeError : public std::runtime_error {
public:
    RunTimeError(long number, const std::string& description)
        : std::runtime_error(description), number_(number)
    {
    }

    long Number() const noexcept { return number_; }

private:
    long number_;
};

// Run-time error numbers of the file and conversion statements.
namespace err {
inline constexpr long TypeMismatch = 13;
inline constexpr long FileNotFound = 53;
inline constexpr long DiskFull = 61;
inline constexpr long PermissionDenied = 70;
inline constexpr long PathFileAccessError = 75;
inline constexpr long PathNotFound = 76;
} // namespace err

} // namespace regwiz
