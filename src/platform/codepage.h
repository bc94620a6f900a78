#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text is UTF-8 inside the program and Windows-1252 ("ANSI") in files, in the
// registry and on the wire; these convert at those boundaries.
namespace regwiz::platform {

// A converter between UTF-8 and Windows-1252, with the rules of ToAnsi and
// FromAnsi below.
class CodePageConverter {
public:
    virtual ~CodePageConverter() = default;
    virtual std::string ToAnsi(std::string_view utf8) const = 0;
    virtual std::string FromAnsi(std::string_view ansi) const = 0;
};

// The converter ToAnsi and FromAnsi use from now on, for the whole process; it
// must outlive its use. Null, and the start, mean the built-in table, so the
// conversion is right before (and without) any platform installing its own.
void InstallCodePage(const CodePageConverter* converter);

// Converters handle what the code page lacks alike: for a malformed or
// unknown UTF-8 character at the start of `rest`, appends its replacement
// ("?", or an unassigned code itself) to `ansi` and returns its length.
std::size_t ReplaceUnknownCharacter(std::string_view rest, std::string& ansi);

// UTF-8 to Windows-1252. A character the code page lacks, or a malformed
// sequence, becomes "?".
std::string ToAnsi(std::string_view utf8);

// Windows-1252 to UTF-8. The five codes the code page leaves unassigned map to
// the control characters of the same number, so every byte survives a round trip.
std::string FromAnsi(std::string_view ansi);

// FromAnsi through the code page's fixed table whatever converter is
// installed: every byte maps to one code point, so bulk text needs no
// converter call.
std::string FromAnsiTable(std::string_view ansi);

// Characters, not bytes, in a UTF-8 text.
std::size_t CharCount(std::string_view utf8);

// Upper case of Windows-1252 text, as the registry and the profile functions
// compare names.
std::string UpperAnsi(std::string_view ansi);

// Two UTF-8 names equal without regard to case.
bool EqualNoCase(std::string_view a, std::string_view b);

} // namespace regwiz::platform
