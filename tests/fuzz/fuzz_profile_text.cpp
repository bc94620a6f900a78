// The .ini reader and writer: after a setting is written into any text, it
// reads back as written, and every other key reads as before.
//
// Input: a section line, a key line and a value line, then the file's text.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_input.h"
#include "platform/codepage.h"
#include "platform/posix/profile_files.h"
#include "platform/text.h"

namespace {

using regwiz::platform::TrimBlanks;
using regwiz::platform::UpperAnsi;

bool HasLineBreak(std::string_view s)
{
    return s.find_first_of("\r\n") != std::string_view::npos;
}

// What the format can hold: a section name without "]", a key that is neither
// a header nor holds "=", and a value that loses nothing to the reader's
// trimming of blanks and of one pair of quotes.
bool Writable(std::string_view section, std::string_view key, std::string_view value)
{
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value))
        return false;
    if (section.find(']') != std::string_view::npos || key.find('=') != std::string_view::npos
        || TrimBlanks(key).starts_with('['))
        return false;
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
                        && value.back() == value.front();
    return TrimBlanks(value) == value && !quoted;
}

// Names the text seems to use: what follows "[" and what precedes "=" on each line.
void CandidateNames(std::string_view text, std::vector<std::string_view>& sections,
                    std::vector<std::string_view>& keys)
{
    constexpr std::size_t kMost = 12;
    while (!text.empty() && (sections.size() < kMost || keys.size() < kMost)) {
        const std::size_t lf = text.find('\n');
        const std::string_view line = text.substr(0, lf);
        text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
        if (const std::size_t open = line.find('['); open != std::string_view::npos)
            if (sections.size() < kMost)
                sections.push_back(line.substr(open + 1, line.find(']', open) - open - 1));
        if (const std::size_t eq = line.find('='); eq != std::string_view::npos)
            if (keys.size() < kMost)
                keys.push_back(line.substr(0, eq));
    }
}

bool SameName(std::string_view a, std::string_view b)
{
    return UpperAnsi(TrimBlanks(a)) == UpperAnsi(TrimBlanks(b));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace regwiz::platform::posix;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string_view> setting = TakeLines(text, 3);
    if (setting.empty() || !Writable(setting[0], setting[1], setting[2]))
        return 0;
    const std::string_view section = setting[0], key = setting[1], value = setting[2];

    std::vector<std::string_view> sections{section}, keys{key};
    CandidateNames(text, sections, keys);
    std::vector<std::optional<std::string>> before;
    for (std::string_view s : sections)
        for (std::string_view k : keys)
            before.push_back(ProfileValue(text, s, k));

    const std::string written = WithProfileSetting(std::string(text), section, key, value);
    FUZZ_CHECK(ProfileValue(written, section, key) == std::string(value));

    std::size_t i = 0;
    for (std::string_view s : sections)
        for (std::string_view k : keys) {
            const bool same = SameName(s, section) && SameName(k, key);
            FUZZ_CHECK(same || ProfileValue(written, s, k) == before[i]);
            ++i;
        }
    return 0;
}
