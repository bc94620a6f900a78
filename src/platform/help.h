#pragma once

#include <string>

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

} // namespace regwiz::platform
