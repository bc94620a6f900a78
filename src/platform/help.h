#pragma once

#include <string>
#include <string_view>

namespace regwiz::platform {

// The help viewer (WinHelpA) as the wizard calls it.
class Help {
public:
    virtual ~Help() = default;
    // HELP_PARTIALKEY: the topic whose keyword starts with `key`; an empty key
    // shows the keyword index.
    virtual void ShowPartialKey(const std::string& helpFile, const std::string& key) = 0;
    // HELP_QUIT: closes the help file.
    virtual void Quit(const std::string& helpFile) = 0;
};

// The help document's anchor for a partial key: the first topic heading
// `<h2 ...><a name="KEYWORD">` whose keyword starts with `key` (any case),
// else the keyword index "index" (also for an empty key). Both help viewers
// open their HTML document there.
std::string HelpTopicFor(std::string_view document, std::string_view key);

} // namespace regwiz::platform
