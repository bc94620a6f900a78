#include "platform/text.h"

namespace regwiz::platform {
namespace {
constexpr std::string_view kBlanks = " \t";
}

std::string_view TrimLeadingBlanks(std::string_view s)
{
    const std::size_t first = s.find_first_not_of(kBlanks);
    return first == std::string_view::npos ? std::string_view{} : s.substr(first);
}

std::string_view TrimTrailingBlanks(std::string_view s)
{
    const std::size_t last = s.find_last_not_of(kBlanks);
    return last == std::string_view::npos ? std::string_view{} : s.substr(0, last + 1);
}

std::string_view TrimBlanks(std::string_view s)
{
    return TrimTrailingBlanks(TrimLeadingBlanks(s));
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsBlankLine(std::string_view line)
{
    return line.find_first_not_of(kBlanks) == line.npos;
}

namespace {

// Byte offset of character `index` (0-based), or the size when past the end.
std::size_t CharOffset(std::string_view s, std::size_t index)
{
    std::size_t offset = 0;
    for (std::size_t chars = 0; offset < s.size() && chars < index; ++chars) {
        ++offset;
        while (offset < s.size() && (static_cast<unsigned char>(s[offset]) & 0xC0) == 0x80)
            ++offset;
    }
    return offset;
}

std::size_t CharLength(std::string_view s)
{
    std::size_t count = 0;
    for (unsigned char c : s)
        count += (c & 0xC0) != 0x80 ? 1 : 0;
    return count;
}

} // namespace

std::string Left(std::string_view s, std::size_t count)
{
    return std::string(s.substr(0, CharOffset(s, count)));
}

std::string Mid(std::string_view s, std::size_t start, std::size_t count)
{
    const std::size_t begin = CharOffset(s, start > 0 ? start - 1 : 0);
    return Left(s.substr(begin), count);
}

std::string Right(std::string_view s, std::size_t count)
{
    const std::size_t length = CharLength(s);
    return std::string(s.substr(CharOffset(s, length > count ? length - count : 0)));
}

std::vector<Line> SplitLines(std::string_view text)
{
    std::vector<Line> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t lf = text.find('\n', begin);
        if (lf == std::string_view::npos) {
            lines.push_back({begin, text.size(), text.size()});
            break;
        }
        const std::size_t end = lf > begin && text[lf - 1] == '\r' ? lf - 1 : lf;
        lines.push_back({begin, end, lf + 1});
        begin = lf + 1;
    }
    return lines;
}

} // namespace regwiz::platform
