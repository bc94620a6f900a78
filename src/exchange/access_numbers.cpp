#include "exchange/access_numbers.h"

#include <algorithm>

#include "platform/codepage.h"

namespace regwiz::exchange {
namespace {

constexpr const char* kDefaultHost = "register.quorvale.example";

std::string ServerUrl(const std::string& configured, const char* scheme)
{
    return configured.empty() ? std::string(scheme) + kDefaultHost : configured;
}

// One field of the list: quoted (commas inside belong to it) or up to the next
// comma or line end, blanks before it skipped. Moves `at` past its separator.
std::string NextField(std::string_view text, std::size_t& at)
{
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
        ++at;
    std::string_view field;
    if (at < text.size() && text[at] == '"') {
        const std::size_t close = text.find('"', at + 1);
        const std::size_t end = close == std::string_view::npos ? text.size() : close;
        field = text.substr(at + 1, end - at - 1);
        at = end == text.size() ? end : end + 1;
        at = std::min(text.find_first_of(",\r\n", at), text.size());
    } else {
        const std::size_t end = std::min(text.find_first_of(",\r\n", at), text.size());
        field = text.substr(at, end - at);
        while (!field.empty() && (field.back() == ' ' || field.back() == '\t'))
            field.remove_suffix(1);
        at = end;
    }
    if (at < text.size() && text[at] == ',')
        ++at;
    else if (text.substr(at, 2) == "\r\n")
        at += 2;
    else if (at < text.size())
        ++at;
    return std::string(field);
}

bool AtEnd(std::string_view text, std::size_t at)
{
    return text.find_first_not_of(" \t\r\n", at) == std::string_view::npos;
}

template <typename Keep, typename Make>
std::vector<std::string> Entries(const AccessNumberTable& t, Keep keep, Make make)
{
    std::vector<std::string> entries;
    for (std::size_t row = 0; row < t.Rows(); ++row) {
        if (keep(row))
            entries.push_back(make(row));
    }
    return entries;
}

// Each value once per run of equal values; an empty value before the first
// other one is no entry.
std::vector<std::string> Runs(const std::vector<std::string>& values)
{
    std::vector<std::string> runs;
    std::string previous;
    for (const std::string& value : values) {
        if (value != previous) {
            runs.push_back(value);
            previous = value;
        }
    }
    return runs;
}

} // namespace

std::string RegistrationHttpUrl(const std::string& configured)
{
    return ServerUrl(configured, "http://");
}

std::string RegistrationFtpUrl(const std::string& configured)
{
    return ServerUrl(configured, "ftp://");
}

AccessNumberTable ReadPhoneList(std::string_view ansiText)
{
    const std::string text = platform::FromAnsi(std::string(ansiText));
    AccessNumberTable table;
    std::size_t at = 0;
    while (!AtEnd(text, at)) {
        table.State.push_back(NextField(text, at));
        table.City.push_back(NextField(text, at));
        table.AreaCode.push_back(NextField(text, at));
        table.Number.push_back(NextField(text, at));
        table.Extra.push_back(NextField(text, at));
    }
    return table;
}

std::vector<std::string> NumbersInAreaCode(const AccessNumberTable& t, std::string_view areaCode)
{
    return Entries(
        t, [&](std::size_t row) { return t.AreaCode[row] == areaCode; },
        [&](std::size_t row) {
            return t.State[row] + ", " + t.City[row] + ", " + t.AreaCode[row] + " " + t.Number[row];
        });
}

std::vector<std::string> AccessStates(const AccessNumberTable& t)
{
    return Runs(t.State);
}

std::vector<std::string> AccessCities(const AccessNumberTable& t, std::string_view state)
{
    return Runs(Entries(
        t, [&](std::size_t row) { return t.State[row] == state; },
        [&](std::size_t row) { return t.City[row]; }));
}

std::vector<std::string> NumbersInCity(const AccessNumberTable& t, std::string_view state,
                                       std::string_view city)
{
    return Entries(
        t, [&](std::size_t row) { return t.State[row] == state && t.City[row] == city; },
        [&](std::size_t row) {
            return t.State[row] + " " + t.City[row] + " " + t.AreaCode[row] + " " + t.Number[row];
        });
}

} // namespace regwiz::exchange
