#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Reading scenario files: the words of each command, checked against the
// commands the runner knows, so a malformed scenario stops before anything runs.
namespace regwiz::runner {

struct Command {
    int line = 0;                   // 1-based line in the file where the command starts
    std::vector<std::string> words; // words[0] is the verb ("reg", "expect", "after", ...)
};

// Thrown on malformed input; Text() reads "line 7: unterminated quoted word".
struct ScenarioError {
    int line;
    std::string message;

    std::string Text() const { return "line " + std::to_string(line) + ": " + message; }
};

// Looks up ${NAME}; nullopt when the variable is not set.
using Environment = std::function<std::optional<std::string>(std::string_view name)>;

// Splits a scenario into commands and validates each of them. Throws
// ScenarioError for the first problem found.
std::vector<Command> ParseScenario(std::string_view text, const Environment& env);

// Checks a command's verb, argument count and argument forms. `after` and
// `on dial` check the command they carry, which must be an action or an
// expectation.
void ValidateCommand(const Command& command);

// True for the commands that prepare the run and belong before `start`.
bool IsSetUpCommand(const Command& command);

// The words from `first` on as a command of their own (the ACTION of `after`
// and `on dial`), keeping the line.
Command SubCommand(const Command& command, std::size_t first);

// One entry of `dial OUTCOME...`. `number` is the CODE of `error` or the N of
// `state`; `text` the optional TEXT of `error`.
enum class DialOutcomeKind { Connect, Busy, NoAnswer, Error, State, Hang };
struct DialOutcome {
    DialOutcomeKind kind = DialOutcomeKind::Connect;
    long number = 0;
    std::optional<std::string> text;
};

// The outcomes in words[first...]. After `error CODE` the next word is its TEXT
// unless it is itself an outcome word, so `dial error 691 busy` is two outcomes.
std::vector<DialOutcome> ParseDialOutcomes(const Command& command, std::size_t first = 1);

// The integer at words[wordIndex]; throws ScenarioError naming the line when
// the word is missing or is not a whole number.
long ParseNumber(const Command& command, std::size_t wordIndex);

// A word in double quotes with the scenario's escapes, so it reads back as the
// same word.
std::string QuoteWord(std::string_view word);

// The command as a scenario line that reads back as the same words, for the
// transcript.
std::string Describe(const Command& command);

} // namespace regwiz::runner
