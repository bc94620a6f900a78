// Scenario files: any text either reads or fails with a ScenarioError (any
// other exception escapes and is reported), and each command read is described
// as a line that reads back as the same words.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "regwizard-run/scenario.h"

namespace {

std::optional<std::string> Variable(std::string_view name)
{
    if (name == "HOME")
        return std::string("/home/member");
    if (name == "EMPTY")
        return std::string();
    if (name == "ODD")
        return std::string("two words \"quoted\" ${HOME} \\x41\r\n");
    return std::nullopt;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace regwiz::runner;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const Environment env = Variable;

    std::vector<Command> commands;
    try {
        commands = ParseScenario(text, env);
    } catch (const ScenarioError& error) {
        FUZZ_CHECK(error.line >= 1);
        FUZZ_CHECK(!error.message.empty());
        return 0;
    }
    for (const Command& command : commands) {
        const std::string line = Describe(command);
        FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
        std::vector<Command> again;
        try {
            again = ParseScenario(line, env);
        } catch (const ScenarioError& error) {
            std::fprintf(stderr, "described as %s: %s\n", line.c_str(), error.Text().c_str());
            FUZZ_CHECK(!"a described command reads back");
        }
        FUZZ_CHECK(again.size() == 1);
        FUZZ_CHECK(again.front().words == command.words);
    }
    return 0;
}
