#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Small text helpers shared by the file formats and the core.
namespace regwiz::platform {

// Without the spaces and tabs around it.
std::string_view TrimBlanks(std::string_view s);
std::string_view TrimLeadingBlanks(std::string_view s);
std::string_view TrimTrailingBlanks(std::string_view s);
bool IsBlankLine(std::string_view line);

// The value of a hexadecimal digit, or -1.
int HexValue(char c);

// Left$, Mid$ and Right$ of a UTF-8 text, counting characters: `start` is
// 1-based; counts past the end take what there is.
std::string Left(std::string_view s, std::size_t count);
std::string Mid(std::string_view s, std::size_t start, std::size_t count);
std::string Right(std::string_view s, std::size_t count);

// One line of a text: only LF ends a line, and a CR before it belongs to the
// line end, so files written on either system read alike and each line keeps
// the end it had.
struct Line {
    std::size_t begin = 0; // first byte
    std::size_t end = 0;   // end of the text, before "\r\n" or "\n"
    std::size_t next = 0;  // start of the following line; `end` when nothing ends this one
};

std::vector<Line> SplitLines(std::string_view text);

inline std::string_view TextOf(std::string_view text, const Line& line)
{
    return text.substr(line.begin, line.end - line.begin);
}

} // namespace regwiz::platform
