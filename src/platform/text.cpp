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

bool IsBlankLine(std::string_view line)
{
    return line.find_first_not_of(kBlanks) == line.npos;
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
