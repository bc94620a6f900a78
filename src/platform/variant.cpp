#include "platform/variant.h"

#include <charconv>
#include <cstdlib>
#include <string>

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/text.h"

namespace regwiz {
namespace {

std::optional<double> TextAsNumber(std::string_view text)
{
    double number = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return number;
}

} // namespace

std::optional<bool> TextAsBoolean(std::string_view text)
{
    text = platform::TrimBlanks(text);
    if (platform::EqualNoCase(text, "True"))
        return true;
    if (platform::EqualNoCase(text, "False"))
        return false;
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (auto number = TextAsNumber(text))
        return *number != 0;
    return std::nullopt;
}

std::string CStr(const Variant& v)
{
    if (auto* text = std::get_if<std::string>(&v.value_))
        return *text;
    if (auto* flag = std::get_if<bool>(&v.value_))
        return *flag ? "True" : "False";
    return std::to_string(std::get<long>(v.value_));
}

bool CBool(const Variant& v)
{
    if (auto* flag = std::get_if<bool>(&v.value_))
        return *flag;
    if (auto* number = std::get_if<long>(&v.value_))
        return *number != 0;
    if (auto flag = TextAsBoolean(std::get<std::string>(v.value_)))
        return *flag;
    throw RunTimeError(err::TypeMismatch, "Type mismatch");
}

} // namespace regwiz
