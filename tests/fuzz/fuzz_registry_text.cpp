// The REGEDIT4 reader and writer: after a value is set in any hive text, it
// reads back with its type and bytes, every other value and key reads as
// before, and at most the one key is new.
//
// Input: a key line (below HKEY_CURRENT_USER), a value name line, a type line
// (hex; empty for a string) and a data line, then the hive's text. A string's
// data gets its terminating NUL, as callers write strings.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_input.h"
#include "platform/codepage.h"
#include "platform/posix/registry_files.h"

namespace {

using regwiz::platform::UpperAnsi;
using regwiz::platform::posix::HiveSection;
using regwiz::platform::posix::HiveValue;

bool SameValue(const std::optional<HiveValue>& a, const std::optional<HiveValue>& b)
{
    if (!a || !b)
        return !a && !b;
    return a->name == b->name && a->type == b->type && a->data == b->data;
}

std::set<std::string> Keys(const std::vector<HiveSection>& sections)
{
    std::set<std::string> keys;
    for (const HiveSection& section : sections)
        keys.insert(section.upperPath);
    return keys;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace regwiz::platform::posix;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string_view> lines = TakeLines(text, 4);
    if (lines.empty() || lines[0].find('\r') != std::string_view::npos || lines[0].empty()
        || lines[0].ends_with('\\') || lines[1].find('\r') != std::string_view::npos
        || lines[2].size() > 8)
        return 0;
    const std::string keyPath = "HKEY_CURRENT_USER\\" + std::string(lines[0]);
    const std::string name(lines[1]);
    const std::uint32_t type =
        lines[2].empty()
            ? 1u
            : static_cast<std::uint32_t>(std::strtoul(std::string(lines[2]).c_str(), nullptr, 16));
    std::string bytes(lines[3]);
    if (type == 1 && bytes.find('\0') == std::string::npos)
        bytes.push_back('\0');

    const std::vector<HiveSection> before = ReadHiveText(text);
    const std::string written = WithHiveValue(std::string(text), keyPath, name, type, bytes);
    const std::vector<HiveSection> after = ReadHiveText(written);

    const std::optional<HiveValue> found = FindHiveValue(written, keyPath, name);
    FUZZ_CHECK(found && found->type == type && found->data == bytes);
    // A value set in another case keeps the name it had.
    const std::optional<HiveValue> old = FindHiveValue(text, keyPath, name);
    FUZZ_CHECK(found->name == (old ? old->name : name));

    // Every other value as a query reads it, in every key that had values.
    const std::string upperKey = UpperAnsi(keyPath), upperName = UpperAnsi(name);
    for (const HiveSection& section : before)
        for (const HiveValue& value : section.values) {
            if (section.upperPath == upperKey && UpperAnsi(value.name) == upperName)
                continue;
            FUZZ_CHECK(SameValue(FindHiveValue(written, section.upperPath, value.name),
                                 FindHiveValue(text, section.upperPath, value.name)));
        }

    const std::set<std::string> keysBefore = Keys(before), keysAfter = Keys(after);
    for (const std::string& key : keysBefore)
        FUZZ_CHECK(keysAfter.contains(key));
    FUZZ_CHECK(keysAfter.size() <= keysBefore.size() + 1);
    return 0;
}
