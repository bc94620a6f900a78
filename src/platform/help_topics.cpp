#include <regex>

#include "platform/codepage.h"
#include "platform/help.h"

namespace regwiz::platform {

std::string HelpTopicFor(std::string_view document, std::string_view key)
{
    static const std::string kIndexAnchor = "index";
    static const std::regex kTopic(R"re(<h2[^>]*>\s*<a\s+name="([^"]+)")re", std::regex::icase);
    if (key.empty())
        return kIndexAnchor;
    const std::string text(document);
    for (auto match = std::sregex_iterator(text.begin(), text.end(), kTopic);
         match != std::sregex_iterator(); ++match) {
        const std::string keyword = (*match)[1].str();
        if (keyword.size() >= key.size() && EqualNoCase(keyword.substr(0, key.size()), key))
            return keyword;
    }
    return kIndexAnchor;
}

} // namespace regwiz::platform
