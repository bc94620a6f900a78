#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace regwiz {

// The loosely typed value the settings store reads and writes: a text, a
// Boolean or a whole number.
class Variant {
public:
    Variant() = default;
    Variant(std::string text) : value_(std::move(text)) {}
    Variant(const char* text) : value_(std::string(text)) {}
    Variant(bool flag) : value_(flag) {}
    Variant(long number) : value_(number) {}
    Variant(int number) : value_(static_cast<long>(number)) {}

    bool IsText() const { return std::holds_alternative<std::string>(value_); }
    bool IsBoolean() const { return std::holds_alternative<bool>(value_); }

    bool operator==(const Variant&) const = default;

    friend std::string CStr(const Variant& v);
    friend bool CBool(const Variant& v);

private:
    std::variant<std::string, bool, long> value_;
};

// The value as text: Booleans as "True" / "False", numbers in decimal.
std::string CStr(const Variant& v);

// The value as a Boolean: "True" / "False" in any case, or a number
// (non-zero is True). Anything else raises a type mismatch (13).
bool CBool(const Variant& v);

// A text as a Boolean, or nothing when it is not one.
std::optional<bool> TextAsBoolean(std::string_view text);

} // namespace regwiz
