#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

// Inputs that carry a few parameters before a file's text: the first `count`
// lines (LF-terminated) are the parameters, the rest is the text. Empty when
// the input has fewer lines.
inline std::vector<std::string_view> TakeLines(std::string_view& input, std::size_t count)
{
    std::vector<std::string_view> lines;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t lf = input.find('\n');
        if (lf == std::string_view::npos)
            return {};
        lines.push_back(input.substr(0, lf));
        input.remove_prefix(lf + 1);
    }
    return lines;
}
