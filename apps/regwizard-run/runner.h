#pragma once

#include <filesystem>
#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "regwizard-run/scenario.h"

namespace regwiz::runner {

struct RunOptions {
    bool gui = false;
    std::filesystem::path shots;
    std::filesystem::path home; // empty: a fresh temporary folder
};

// Exit statuses of a scenario.
enum class Outcome { Passed = 0, Failed = 1, NotRun = 2 };

// Plays one scenario against the component, printing a transcript to `out`.
Outcome RunScenario(const std::filesystem::path& file, const RunOptions& options,
                    std::ostream& out);

} // namespace regwiz::runner
