#include "exchange/access_numbers.h"

#include <algorithm>
#include <cstdint>
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

constexpr std::size_t kMaxFieldBytes = UINT32_MAX;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool EndsField(char c)
{
    return c == ',' || c == '\r' || c == '\n';
}

// Reads the list's fields in order and packs each one behind the ones read
// before, in the same buffer: a field never takes more room than it had.
class FieldPacker {
public:
    explicit FieldPacker(std::string& text) : text_(text) {}

    bool AtEnd() const { return text_.find_first_not_of(" \t\r\n", at_) == std::string::npos; }

    // One field: quoted (commas inside belong to it) or up to the next comma
    // or line end, blanks around it dropped. False once the buffer is full.
    bool PackNextField()
    {
        while (at_ < text_.size() && IsBlank(text_[at_]))
            ++at_;
        std::size_t begin = at_;
        std::size_t end = at_;
        if (at_ < text_.size() && text_[at_] == '"') {
            begin = at_ + 1;
            end = std::min(text_.find('"', begin), text_.size());
            at_ = end == text_.size() ? end : end + 1;
            SkipToSeparator();
        } else {
            SkipToSeparator();
            end = at_;
            while (end > begin && IsBlank(text_[end - 1]))
                --end;
        }
        SkipSeparator();
        if (end - begin > kMaxFieldBytes - packed_)
            return false;
        std::char_traits<char>::move(text_.data() + packed_, text_.data() + begin, end - begin);
        packed_ += end - begin;
        return true;
    }

    std::size_t Packed() const { return packed_; }

private:
    void SkipToSeparator()
    {
        while (at_ < text_.size() && !EndsField(text_[at_]))
            ++at_;
    }

    // A comma, a CR LF pair, or a lone CR or LF.
    void SkipSeparator()
    {
        if (at_ >= text_.size())
            return;
        const bool crlf = text_[at_] == '\r' && at_ + 1 < text_.size() && text_[at_ + 1] == '\n';
        at_ += crlf ? 2 : 1;
    }

    std::string& text_;
    std::size_t at_ = 0;
    std::size_t packed_ = 0;
};

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
    const std::size_t index = row * kAccessColumns + static_cast<std::size_t>(column);
    const std::size_t begin = index == 0 ? 0 : ends_[index - 1];
    return std::string_view(fields_).substr(begin, ends_[index] - begin);
}

std::string AccessNumberTable::Field(std::size_t row, AccessColumn column) const
{
    return platform::FromAnsiTable(AnsiField(row, column));
}

AccessNumberTable ReadPhoneList(std::string ansiText)
{
    AccessNumberTable table;
    const auto lines = static_cast<std::size_t>(std::count(ansiText.begin(), ansiText.end(), '\n'));
    table.ends_.reserve((lines + 1) * kAccessColumns);
    FieldPacker packer(ansiText);
    bool room = true;
    while (room && !packer.AtEnd()) {
        for (std::size_t column = 0; room && column < kAccessColumns; ++column) {
            room = packer.PackNextField();
            if (room)
                table.ends_.push_back(static_cast<std::uint32_t>(packer.Packed()));
        }
    }
    // A record cut short by a full buffer is dropped whole.
    table.ends_.resize(table.Rows() * kAccessColumns);
    ansiText.resize(table.ends_.empty() ? 0 : table.ends_.back());
    table.fields_ = std::move(ansiText);
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
