// The access-number list: every record fills all five columns, and each
// filter the member chooses by keeps exactly the rows that match, in order.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/access_numbers.h"
#include "fuzz_check.h"

namespace {

using regwiz::exchange::AccessColumn;
using regwiz::exchange::AccessNumberTable;

std::vector<std::string> ColumnOf(const AccessNumberTable& t, AccessColumn column)
{
    std::vector<std::string> values;
    for (std::size_t row = 0; row < t.Rows(); ++row)
        values.push_back(t.Field(row, column));
    return values;
}

template <typename Match>
std::vector<std::size_t> RowsWhere(const AccessNumberTable& t, Match match)
{
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < t.Rows(); ++row)
        if (match(row))
            rows.push_back(row);
    return rows;
}

// Each entry names its row's area code and number, so it is that row's entry.
void CheckEntries(const std::vector<std::string>& entries, const AccessNumberTable& t,
                  const std::vector<std::size_t>& rows)
{
    FUZZ_CHECK(entries.size() == rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string tail =
            t.Field(rows[i], AccessColumn::AreaCode) + " " + t.Field(rows[i], AccessColumn::Number);
        FUZZ_CHECK(entries[i].ends_with(tail));
        FUZZ_CHECK(entries[i].starts_with(t.Field(rows[i], AccessColumn::State)));
    }
}

// No value twice in a row, and each one taken from the values given.
void CheckRuns(const std::vector<std::string>& runs, const std::vector<std::string>& values)
{
    const std::set<std::string> known(values.begin(), values.end());
    for (std::size_t i = 0; i < runs.size(); ++i) {
        FUZZ_CHECK(known.contains(runs[i]));
        if (i > 0)
            FUZZ_CHECK(runs[i] != runs[i - 1]);
    }
    // Every non-empty value shows up.
    for (const std::string& value : known)
        FUZZ_CHECK(value.empty() || std::find(runs.begin(), runs.end(), value) != runs.end());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace regwiz::exchange;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const AccessNumberTable t = ReadPhoneList(std::string(text));

    // A record takes at least one byte of the list.
    FUZZ_CHECK(t.Rows() <= size);

    CheckRuns(AccessStates(t), ColumnOf(t, AccessColumn::State));

    // Probe with the values of the first rows and with one that matches none.
    const std::size_t probes = std::min<std::size_t>(t.Rows(), 4);
    for (std::size_t p = 0; p <= probes; ++p) {
        const bool none = p == probes;
        const std::string area = none ? "\x01" : t.Field(p, AccessColumn::AreaCode);
        const std::string state = none ? "\x01" : t.Field(p, AccessColumn::State);
        const std::string city = none ? "\x01" : t.Field(p, AccessColumn::City);

        CheckEntries(NumbersInAreaCode(t, area), t, RowsWhere(t, [&](std::size_t r) {
                         return t.Field(r, AccessColumn::AreaCode) == area;
                     }));
        CheckEntries(NumbersInCity(t, state, city), t, RowsWhere(t, [&](std::size_t r) {
                         return t.Field(r, AccessColumn::State) == state
                                && t.Field(r, AccessColumn::City) == city;
                     }));
        std::vector<std::string> cities;
        for (std::size_t r : RowsWhere(
                 t, [&](std::size_t row) { return t.Field(row, AccessColumn::State) == state; }))
            cities.push_back(t.Field(r, AccessColumn::City));
        CheckRuns(AccessCities(t, state), cities);
    }
    return 0;
}
