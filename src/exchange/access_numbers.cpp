#include "exchange/access_numbers.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "platform/codepage.h"

namespace regwiz::exchange {
namespace {

constexpr const char* kDefaultHost = "register.quorvale.example";

std::string ServerUrl(const std::string& configured, const char* scheme)
{
    return configured.empty() ? std::string(scheme) + kDefaultHost : configured;
}

constexpr std::size_t kLastRecordStart = UINT32_MAX;
constexpr std::uint8_t kFar = UINT8_MAX;

// The list is scanned up to the NUL a std::string keeps after its text, so
// the scanning loops look at one byte per step and stop at the end without
// a second test; a NUL inside the text is only a byte of its field.
using Bytes = std::array<bool, 256>;

constexpr Bytes ByteSet(std::string_view members)
{
    Bytes set{};
    for (const char c : members)
        set[static_cast<unsigned char>(c)] = true;
    return set;
}

constexpr Bytes kFieldEnds = ByteSet(std::string_view(",\r\n\0", 4));
constexpr Bytes kQuoteEnds = ByteSet(std::string_view("\"\0", 2));
constexpr Bytes kBlanks = ByteSet(" \t");
constexpr Bytes kBlanksAndLineEnds = ByteSet(" \t\r\n");

bool In(const Bytes& set, char c)
{
    return set[static_cast<unsigned char>(c)];
}

// The first byte of `stops` (which holds NUL) from `at`, or `end`.
const char* FindFirst(const Bytes& stops, const char* at, const char* end)
{
    for (;;) {
        while (!In(stops, *at))
            ++at;
        if (*at != '\0' || at == end)
            return at;
        ++at;
    }
}

const char* SkipAll(const Bytes& set, const char* at)
{
    while (In(set, *at))
        ++at;
    return at;
}

// The field that starts at `at`: quoted (commas inside belong to it) or up
// to the next comma or line end, blanks around it dropped.
std::string_view FieldAt(const char* at, const char* end)
{
    at = SkipAll(kBlanks, at);
    if (*at == '"')
        return std::string_view(at + 1, FindFirst(kQuoteEnds, at + 1, end));
    const char* last = FindFirst(kFieldEnds, at, end);
    while (last != at && In(kBlanks, last[-1]))
        --last;
    return std::string_view(at, last);
}

// Where the field after the one at `at` starts. A comma, a CR LF pair, or a
// lone CR or LF ends a field outside quotes; a quote opens only where a field
// starts, blanks aside.
const char* NextField(const char* at, const char* end)
{
    at = SkipAll(kBlanks, at);
    if (*at == '"') {
        at = FindFirst(kQuoteEnds, at + 1, end);
        at += at == end ? 0 : 1;
    }
    at = FindFirst(kFieldEnds, at, end);
    if (at == end)
        return end;
    return at + (*at == '\r' && at[1] == '\n' ? 2 : 1);
}

std::size_t LineCount(std::string_view text)
{
    std::size_t lines = 0;
    const char* end = text.data() + text.size();
    for (const char* at = text.data();
         (at = static_cast<const char*>(std::memchr(at, '\n', end - at))) != nullptr; ++at)
        ++lines;
    return lines;
}

using Column = AccessColumn;

// The member's text as the list stores it; none when the code page cannot
// hold it, since then no field can equal it.
std::optional<std::string> StoredForm(std::string_view utf8)
{
    std::string ansi = platform::ToAnsi(utf8);
    if (platform::FromAnsiTable(ansi) != utf8)
        return std::nullopt;
    return ansi;
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

// "State<sep>City<sep>AreaCode Number" of a row.
std::string Entry(const AccessNumberTable& t, std::size_t row, std::string_view separator)
{
    std::string ansi;
    ansi.append(t.AnsiField(row, Column::State)).append(separator);
    ansi.append(t.AnsiField(row, Column::City)).append(separator);
    ansi.append(t.AnsiField(row, Column::AreaCode)).append(" ");
    ansi.append(t.AnsiField(row, Column::Number));
    return platform::FromAnsiTable(ansi);
}

// Each value of `column` once per run of equal values among the rows kept;
// an empty value before the first other one is no entry.
template <typename Keep>
std::vector<std::string> Runs(const AccessNumberTable& t, Column column, Keep keep)
{
    std::vector<std::string> runs;
    std::string_view previous;
    for (std::size_t row = 0; row < t.Rows(); ++row) {
        const std::string_view value = t.AnsiField(row, column);
        if (keep(row) && value != previous) {
            runs.push_back(platform::FromAnsiTable(value));
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

std::string_view AccessNumberTable::AnsiField(std::size_t row, AccessColumn column) const
{
    const char* end = text_.data() + text_.size();
    const Record& record = records_[row];
    const char* start = text_.data() + record.start;
    const auto skipped = static_cast<std::size_t>(column);
    if (skipped == 0)
        return FieldAt(start, end);
    const std::uint8_t offset = record.fieldOffsets[skipped - 1];
    if (offset != kFar)
        return FieldAt(start + offset, end);
    for (std::size_t field = 0; field < skipped; ++field)
        start = NextField(start, end);
    return FieldAt(start, end);
}

std::string AccessNumberTable::Field(std::size_t row, AccessColumn column) const
{
    return platform::FromAnsiTable(AnsiField(row, column));
}

AccessNumberTable ReadPhoneList(std::string ansiText)
{
    AccessNumberTable table;
    const char* begin = ansiText.data();
    const char* end = begin + ansiText.size();
    table.records_.reserve(LineCount(ansiText) + 1);
    for (const char* at = begin; SkipAll(kBlanksAndLineEnds, at) != end; at = NextField(at, end)) {
        if (static_cast<std::size_t>(at - begin) > kLastRecordStart)
            break;
        AccessNumberTable::Record& record = table.records_.emplace_back();
        record.start = static_cast<std::uint32_t>(at - begin);
        const char* start = at;
        for (std::uint8_t& offset : record.fieldOffsets) {
            at = NextField(at, end);
            offset = static_cast<std::uint8_t>(std::min<std::ptrdiff_t>(at - start, kFar));
        }
    }
    table.text_ = std::move(ansiText);
    return table;
}

std::vector<std::string> NumbersInAreaCode(const AccessNumberTable& t, std::string_view areaCode)
{
    const auto code = StoredForm(areaCode);
    if (!code)
        return {};
    return Entries(
        t, [&](std::size_t row) { return t.AnsiField(row, Column::AreaCode) == *code; },
        [&](std::size_t row) { return Entry(t, row, ", "); });
}

std::vector<std::string> AccessStates(const AccessNumberTable& t)
{
    return Runs(t, Column::State, [](std::size_t) { return true; });
}

std::vector<std::string> AccessCities(const AccessNumberTable& t, std::string_view state)
{
    const auto stored = StoredForm(state);
    if (!stored)
        return {};
    return Runs(t, Column::City,
                [&](std::size_t row) { return t.AnsiField(row, Column::State) == *stored; });
}

std::vector<std::string> NumbersInCity(const AccessNumberTable& t, std::string_view state,
                                       std::string_view city)
{
    const auto storedState = StoredForm(state);
    const auto storedCity = StoredForm(city);
    if (!storedState || !storedCity)
        return {};
    return Entries(
        t,
        [&](std::size_t row) {
            return t.AnsiField(row, Column::State) == *storedState
                   && t.AnsiField(row, Column::City) == *storedCity;
        },
        [&](std::size_t row) { return Entry(t, row, " "); });
}

} // namespace regwiz::exchange
