#include "regwizard-run/scenario.h"

#include "platform/codepage.h"
#include "platform/text.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <utility>

namespace regwiz::runner {
namespace {

[[noreturn]] void Fail(int line, std::string message)
{
    throw ScenarioError{line, std::move(message)};
}

std::string Quote(std::string_view word)
{
    return "'" + std::string(word) + "'";
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsHexWord(std::string_view word, std::size_t digits)
{
    if (word.size() != digits)
        return false;
    for (char c : word)
        if (platform::HexValue(c) < 0)
            return false;
    return true;
}

bool IsNameChar(char c)
{
    return c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

std::optional<long> ToNumber(std::string_view word)
{
    long value = 0;
    const char* end = word.data() + word.size();
    const auto [stop, error] = std::from_chars(word.data(), end, value);
    if (word.empty() || error != std::errc{} || stop != end)
        return std::nullopt;
    return value;
}

// --- UTF-8 check: a file saved in the ANSI code page would otherwise slip
// through and turn every accented letter into "?" much later.

std::size_t SequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

// The range of the byte after `lead`, narrower for some leads so that overlong
// forms, surrogates and code points past U+10FFFF are refused.
std::pair<unsigned char, unsigned char> SecondByteRange(unsigned char lead)
{
    switch (lead) {
    case 0xE0:
        return {0xA0, 0xBF};
    case 0xED:
        return {0x80, 0x9F};
    case 0xF0:
        return {0x90, 0xBF};
    case 0xF4:
        return {0x80, 0x8F};
    default:
        return {0x80, 0xBF};
    }
}

bool IsValidUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = SequenceLength(lead);
        if (length == 0 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto byte = static_cast<unsigned char>(text[i + k]);
            const auto [low, high] = k == 1 ? SecondByteRange(lead)
                                            : std::pair<unsigned char, unsigned char>{0x80, 0xBF};
            if (byte < low || byte > high)
                return false;
        }
        i += length;
    }
    return true;
}

// --- Variables ---

// Expands the ${NAME} starting at text[pos] into `out`; returns the position
// after the closing brace. The value goes in as it is: its quotes, backslashes
// and ${ are not read again.
std::size_t ExpandVariable(std::string_view text, std::size_t pos, int line, const Environment& env,
                           std::string& out)
{
    std::size_t end = pos + 2;
    while (end < text.size() && IsNameChar(text[end]))
        ++end;
    const std::string name(text.substr(pos + 2, end - pos - 2));
    if (end >= text.size() || text[end] != '}')
        Fail(line, "bad variable reference ${" + name + ": expected a name and '}'");
    if (name.empty())
        Fail(line, "empty variable name ${}");
    const std::optional<std::string> value = env ? env(name) : std::nullopt;
    if (!value)
        Fail(line, "environment variable " + name + " is not set");
    out += *value;
    return end + 1;
}

bool StartsVariable(std::string_view text, std::size_t pos)
{
    return text.substr(pos, 2) == "${";
}

std::string ExpandText(std::string_view text, int line, const Environment& env)
{
    std::string out;
    for (std::size_t pos = 0; pos < text.size();) {
        if (StartsVariable(text, pos))
            pos = ExpandVariable(text, pos, line, env, out);
        else
            out += text[pos++];
    }
    return out;
}

// --- One line into words ---

struct LineWords {
    std::vector<std::string> words;
    std::optional<std::string> hereDocTerminator;
};

class LineTokeniser {
public:
    LineTokeniser(std::string_view text, int line, const Environment& env)
        : text_(text), line_(line), env_(env)
    {
    }

    LineWords Run()
    {
        LineWords result;
        for (SkipBlanks(); !AtEnd(); SkipBlanks()) {
            if (text_.substr(pos_).starts_with("<<"))
                result.hereDocTerminator = ReadHereDocMarker();
            else if (text_[pos_] == '"')
                result.words.push_back(ReadQuoted());
            else
                result.words.push_back(ReadUnquoted());
        }
        return result;
    }

private:
    bool AtEnd() const { return pos_ >= text_.size(); }

    void SkipBlanks()
    {
        while (!AtEnd() && IsBlank(text_[pos_]))
            ++pos_;
    }

    std::string ReadHereDocMarker()
    {
        pos_ += 2;
        const std::size_t begin = pos_;
        while (!AtEnd() && !IsBlank(text_[pos_]))
            ++pos_;
        std::string terminator(text_.substr(begin, pos_ - begin));
        if (terminator.empty())
            Fail(line_, "here-document marker needs a terminator word, as in <<END");
        SkipBlanks();
        if (!AtEnd())
            Fail(line_, "here-document marker <<" + terminator + " must be the last word");
        return terminator;
    }

    std::string ReadQuoted()
    {
        std::string out;
        for (++pos_;;) {
            if (AtEnd())
                Fail(line_, "unterminated quoted word");
            if (text_[pos_] == '"')
                break;
            ReadQuotedChar(out);
        }
        ++pos_;
        if (!AtEnd() && !IsBlank(text_[pos_]))
            Fail(line_, "a closing quote must be followed by a blank");
        return out;
    }

    void ReadQuotedChar(std::string& out)
    {
        if (text_[pos_] == '\\')
            ReadEscape(out);
        else if (StartsVariable(text_, pos_))
            pos_ = ExpandVariable(text_, pos_, line_, env_, out);
        else
            out += text_[pos_++];
    }

    // A backslash before a character without an escape meaning stands for
    // itself and leaves that character to be read normally, so Windows paths
    // need no doubling and "SOFTWARE\${KEY}" still expands KEY.
    void ReadEscape(std::string& out)
    {
        const char next = pos_ + 1 < text_.size() ? text_[pos_ + 1] : '\0';
        switch (next) {
        case 'r':
            out += '\r';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case '\\':
        case '"':
            out += next;
            break;
        case 'x':
            out += ReadHexEscape();
            return;
        default:
            out += '\\';
            ++pos_;
            return;
        }
        pos_ += 2;
    }

    // \xHH names a Windows-1252 code, which the program holds as UTF-8.
    std::string ReadHexEscape()
    {
        const int high = pos_ + 2 < text_.size() ? platform::HexValue(text_[pos_ + 2]) : -1;
        const int low = pos_ + 3 < text_.size() ? platform::HexValue(text_[pos_ + 3]) : -1;
        if (high < 0 || low < 0)
            Fail(line_, "bad \\x escape: it needs two hexadecimal digits, as in \\x80");
        pos_ += 4;
        return platform::FromAnsi(std::string(1, static_cast<char>(high * 16 + low)));
    }

    std::string ReadUnquoted()
    {
        std::string out;
        while (!AtEnd() && !IsBlank(text_[pos_])) {
            if (text_[pos_] == '"')
                Fail(line_, "a quote inside an unquoted word; quote the whole word");
            if (StartsVariable(text_, pos_))
                pos_ = ExpandVariable(text_, pos_, line_, env_, out);
            else
                out += text_[pos_++];
        }
        return out;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_;
    const Environment& env_;
};

// --- The file into commands ---

std::vector<std::string_view> FileLines(std::string_view text)
{
    if (text.starts_with("\xEF\xBB\xBF")) // byte order mark some editors write
        text.remove_prefix(3);
    std::vector<std::string_view> lines;
    for (const platform::Line& line : platform::SplitLines(text)) {
        std::string_view content = platform::TextOf(text, line);
        if (content.ends_with('\r')) // a last line with CR but no LF
            content.remove_suffix(1);
        lines.push_back(content);
    }
    return lines;
}

bool IsIgnoredLine(std::string_view line)
{
    return platform::IsBlankLine(line) || platform::TrimLeadingBlanks(line).starts_with('#');
}

class ScenarioReader {
public:
    ScenarioReader(std::string_view text, const Environment& env)
        : lines_(FileLines(text)), env_(env)
    {
    }

    std::vector<Command> ReadAll()
    {
        std::vector<Command> commands;
        while (next_ < lines_.size()) {
            std::optional<Command> command = ReadCommand();
            if (!command)
                continue;
            ValidateCommand(*command);
            commands.push_back(std::move(*command));
        }
        return commands;
    }

private:
    int LineNumber() const { return static_cast<int>(next_) + 1; }

    std::string_view TakeLine()
    {
        const std::string_view line = lines_[next_];
        if (!IsValidUtf8(line))
            Fail(LineNumber(), "not valid UTF-8 (was the file saved in another encoding?)");
        ++next_;
        return line;
    }

    std::optional<Command> ReadCommand()
    {
        const int lineNumber = LineNumber();
        const std::string_view line = TakeLine();
        if (IsIgnoredLine(line))
            return std::nullopt;
        LineWords parsed = LineTokeniser(line, lineNumber, env_).Run();
        if (parsed.hereDocTerminator)
            parsed.words.push_back(ReadHereDoc(*parsed.hereDocTerminator, lineNumber));
        return Command{lineNumber, std::move(parsed.words)};
    }

    std::string ReadHereDoc(const std::string& terminator, int markerLine)
    {
        std::string body;
        while (next_ < lines_.size()) {
            const int lineNumber = LineNumber();
            const std::string_view line = TakeLine();
            if (line == terminator)
                return body;
            body += ExpandText(line, lineNumber, env_) + "\r\n";
        }
        Fail(markerLine, "here-document has no terminator line " + Quote(terminator));
    }

    std::vector<std::string_view> lines_;
    std::size_t next_ = 0;
    const Environment& env_;
};

// --- The commands the runner knows ---

enum class Kind {
    Text,
    Integer,  // any whole number
    Count,    // 0 or more
    Positive, // 1 or more
    Index,    // -1 (none) or more
    Date,
    Volume,
    Colour,
    Choice,   // one of `choices`, separated by '|'
    Bound,    // 1 or more, or "*" for no bound
    Action,   // the rest of the words are an action or an expectation
    Outcomes, // the rest of the words are dial outcomes
};

enum class Repeat { Once, Optional, OneOrMore, ZeroOrMore };

struct Param {
    std::string_view name;
    Kind kind = Kind::Text;
    Repeat repeat = Repeat::Once;
    std::string_view choices = {};
};

struct Form {
    std::string_view head; // the literal words, e.g. "expect box"
    std::vector<Param> params;
};

constexpr Param kText{"TEXT"};
constexpr Param kControl{"CONTROL"};
constexpr Param kHive{"HIVE"};
constexpr Param kKey{"KEY"};
constexpr Param kName{"NAME"};
constexpr Param kPath{"PATH"};
constexpr Param kContent{"CONTENT"};
constexpr Param kCount{.name = "N", .kind = Kind::Count};
constexpr Param kSetting{.name = "SETTING", .kind = Kind::Integer};
constexpr Param kYesNo{.name = "yes|no", .kind = Kind::Choice, .choices = "yes|no"};
constexpr Param kAction{.name = "ACTION", .kind = Kind::Action, .repeat = Repeat::OneOrMore};
constexpr Param kMs{.name = "MS", .kind = Kind::Count};

std::vector<Form> SetUpForms()
{
    return {
        {"reg", {kHive, kKey, kName, {"TYPE"}, {"VALUE"}}},
        {"file", {kPath, kContent}},
        {"link", {kPath, {"FILE"}}},
        {"modem", {{"TYPE"}, kName}},
        {"dial", {{.name = "OUTCOME", .kind = Kind::Outcomes, .repeat = Repeat::OneOrMore}}},
        {"entry", {kSetting, {"VALUE"}}},
        {"today", {{.name = "YYYY-MM-DD", .kind = Kind::Date}}},
        {"volume", {{.name = "HEX|none", .kind = Kind::Volume}}},
        {"location none", {}},
        {"location", {{"COUNTRY"}, {"CITY"}}},
        {"timeout", {{.name = "SECONDS", .kind = Kind::Positive}}},
        {"fault",
         {{.name = "KIND",
           .kind = Kind::Choice,
           .choices = "registry-write|file-write|entry-write"},
          {.name = "FROM", .kind = Kind::Positive},
          {.name = "TO|*", .kind = Kind::Bound, .repeat = Repeat::Optional}}},
        {"noreg", {kHive, kKey, kName}},
    };
}

std::vector<Form> ActionForms()
{
    return {
        {"start", {}},
        {"wait", {kMs}},
        {"click", {kControl}},
        {"type", {kControl, kText}},
        {"select", {kControl, {"TEXT|#N"}}},
        {"answer",
         {{.name = "BUTTON",
           .kind = Kind::Choice,
           .repeat = Repeat::OneOrMore,
           .choices = "OK|Cancel|Yes|No|Retry|Abort|Ignore"}}},
        {"host unloadsplash", {}},
        {"host cancel", {}},
        {"host release", {}},
        {"host log", {{.name = "on|off", .kind = Kind::Choice, .choices = "on|off"}}},
        {"after", {kMs, kAction}},
        {"on dial", {{.name = "N", .kind = Kind::Positive}, kAction}},
        {"on transfer", {{.name = "N", .kind = Kind::Positive}, kAction}},
        {"shot", {kName}},
        {"dump", {}},
    };
}

std::vector<Form> ExpectationForms()
{
    return {
        {"expect box", {kText, {"TITLE"}, {.name = "STYLE", .kind = Kind::Count}}},
        {"expect nobox", {}},
        {"expect event",
         {{.name = "IsLoaded|RegCanceled",
           .kind = Kind::Choice,
           .choices = "IsLoaded|RegCanceled"}}},
        {"expect noevent", {}},
        {"expect help", {{"KEY|quit"}}},
        {"expect page", {kCount}},
        {"expect title", {kText}},
        {"expect caption", {kControl, kText}},
        {"expect text", {kControl, kText}},
        {"expect visible", {kControl, kYesNo}},
        {"expect enabled", {kControl, kYesNo}},
        {"expect items", {kControl, {.name = "ITEM", .repeat = Repeat::ZeroOrMore}}},
        {"expect selected", {kControl, {.name = "N", .kind = Kind::Index}}},
        {"expect colour", {kControl, {.name = "RRGGBB", .kind = Kind::Colour}}},
        {"expect focus", {kControl}},
        {"expect pointer", {kCount}},
        {"expect reg", {kHive, kKey, kName, {"VALUE"}}},
        {"expect noreg", {kHive, kKey, kName}},
        {"expect file", {kPath, kContent}},
        {"expect nofile", {kPath}},
        {"expect log", {kText}},
        {"expect nolog", {kText}},
        {"expect nohelp", {}},
        {"expect checked", {kControl, kYesNo}},
        {"expect entry", {kSetting, {"VALUE"}}},
        {"expect noentry", {}},
        {"expect dials", {kCount}},
        {"expect hangups", {kCount}},
    };
}

const std::vector<Form>& AllForms()
{
    static const std::vector<Form> forms = [] {
        std::vector<Form> all = SetUpForms();
        for (auto group : {ActionForms(), ExpectationForms()})
            all.insert(all.end(), group.begin(), group.end());
        return all;
    }();
    return forms;
}

std::vector<std::string_view> Split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    for (std::size_t at; (at = text.find(separator)) != text.npos; text.remove_prefix(at + 1))
        parts.push_back(text.substr(0, at));
    parts.push_back(text);
    return parts;
}

std::vector<std::string_view> SplitHead(std::string_view head)
{
    return Split(head, ' ');
}

std::string_view Verb(const Form& form)
{
    return SplitHead(form.head).front();
}

bool HeadMatches(const Form& form, const Command& command)
{
    const std::vector<std::string_view> head = SplitHead(form.head);
    if (head.size() > command.words.size())
        return false;
    for (std::size_t i = 0; i < head.size(); ++i)
        if (head[i] != command.words[i])
            return false;
    return true;
}

std::size_t HeadSize(const Form& form)
{
    return SplitHead(form.head).size();
}

std::string FormUsage(const Form& form)
{
    std::string usage(form.head);
    for (const Param& param : form.params) {
        const bool optional =
            param.repeat == Repeat::ZeroOrMore || param.repeat == Repeat::Optional;
        usage += optional ? " [" : " ";
        usage += param.name;
        usage += param.repeat == Repeat::Once || param.repeat == Repeat::Optional ? "" : "...";
        usage += optional ? "]" : "";
    }
    return usage;
}

bool ArityFits(const Form& form, std::size_t arguments)
{
    if (form.params.empty())
        return arguments == 0;
    const std::size_t fixed = form.params.size() - 1;
    switch (form.params.back().repeat) {
    case Repeat::Once:
        return arguments == form.params.size();
    case Repeat::Optional:
        return arguments == fixed || arguments == form.params.size();
    case Repeat::OneOrMore:
        return arguments > fixed;
    case Repeat::ZeroOrMore:
        return arguments >= fixed;
    }
    return false;
}

std::string DescribeHead(const Command& command, std::size_t words)
{
    Command head = command;
    head.words.resize(words);
    return Describe(head);
}

[[noreturn]] void FailUnknown(const Command& command)
{
    for (const Form& form : AllForms())
        if (Verb(form) == command.words[0]) {
            const std::size_t shown = std::min<std::size_t>(2, command.words.size());
            Fail(command.line, "unknown command " + Quote(DescribeHead(command, shown)));
        }
    Fail(command.line, "unknown command " + Quote(command.words[0]));
}

// The form the command is written in: the first whose literal words match and
// whose argument count fits.
const Form& FindForm(const Command& command)
{
    std::string_view name;
    std::string usages;
    for (const Form& form : AllForms()) {
        if (!HeadMatches(form, command))
            continue;
        if (ArityFits(form, command.words.size() - HeadSize(form)))
            return form;
        name = name.empty() ? form.head : name;
        usages += (usages.empty() ? "" : " or ") + FormUsage(form);
    }
    if (usages.empty())
        FailUnknown(command);
    Fail(command.line, "wrong number of arguments for " + Quote(name) + " (usage: " + usages + ")");
}

// --- Argument checks ---

bool IsValidDate(std::string_view word)
{
    if (word.size() != 10 || word[4] != '-' || word[7] != '-')
        return false;
    const auto year = ToNumber(word.substr(0, 4));
    const auto month = ToNumber(word.substr(5, 2));
    const auto day = ToNumber(word.substr(8, 2));
    if (!year || !month || !day || *year < 0 || *month < 0 || *day < 0)
        return false;
    const std::chrono::year_month_day date{std::chrono::year(static_cast<int>(*year)),
                                           std::chrono::month(static_cast<unsigned>(*month)),
                                           std::chrono::day(static_cast<unsigned>(*day))};
    return date.ok();
}

bool IsChoice(std::string_view word, std::string_view choices)
{
    for (std::string_view choice : Split(choices, '|'))
        if (choice == word)
            return true;
    return false;
}

std::string ChoiceList(std::string_view choices)
{
    std::string list;
    for (std::string_view choice : Split(choices, '|'))
        list += (list.empty() ? "" : ", ") + std::string(choice);
    return list;
}

// What a word of this kind must be, or "" when `word` is one.
std::string NumberProblem(std::string_view word, Kind kind)
{
    const std::optional<long> number = ToNumber(word);
    if (!number)
        return "a whole number";
    const long minimum = kind == Kind::Index ? -1 : kind == Kind::Count ? 0 : 1;
    if (kind != Kind::Integer && *number < minimum)
        return minimum == -1 ? "-1 or more" : std::to_string(minimum) + " or more";
    return "";
}

std::string WordProblem(std::string_view word, const Param& param)
{
    switch (param.kind) {
    case Kind::Integer:
    case Kind::Count:
    case Kind::Positive:
    case Kind::Index:
        return NumberProblem(word, param.kind);
    case Kind::Date:
        return IsValidDate(word) ? "" : "a valid date like 1999-12-31";
    case Kind::Volume:
        return word == "none" || IsHexWord(word, 8) ? "" : "eight hexadecimal digits or none";
    case Kind::Colour:
        return IsHexWord(word, 6) ? "" : "six hexadecimal digits";
    case Kind::Choice:
        return IsChoice(word, param.choices) ? "" : "one of " + ChoiceList(param.choices);
    case Kind::Bound:
        return word == "*" || NumberProblem(word, Kind::Positive).empty() ? "" : "1 or more, or *";
    default:
        return "";
    }
}

void CheckWord(const Command& command, const Form& form, std::size_t index, const Param& param)
{
    const std::string problem = WordProblem(command.words[index], param);
    if (!problem.empty())
        Fail(command.line, std::string(form.head) + ": " + std::string(param.name) + " must be "
                               + problem + ", got " + Quote(command.words[index]));
}

void ValidateAction(const Command& action, std::string_view carrier)
{
    if (IsSetUpCommand(action))
        Fail(action.line,
             "set-up command " + Quote(action.words[0]) + " cannot run inside " + Quote(carrier));
    ValidateCommand(action);
}

void CheckRest(const Command& command, const Form& form, std::size_t first)
{
    const Param& param = form.params.back();
    if (param.kind == Kind::Action)
        ValidateAction(SubCommand(command, first), form.head);
    else if (param.kind == Kind::Outcomes)
        ParseDialOutcomes(command, first);
    else
        for (std::size_t i = first; i < command.words.size(); ++i)
            CheckWord(command, form, i, param);
}

// --- Dial outcomes ---

std::optional<DialOutcomeKind> SimpleOutcome(std::string_view word)
{
    if (word == "connect")
        return DialOutcomeKind::Connect;
    if (word == "busy")
        return DialOutcomeKind::Busy;
    if (word == "noanswer")
        return DialOutcomeKind::NoAnswer;
    if (word == "hang")
        return DialOutcomeKind::Hang;
    return std::nullopt;
}

bool IsOutcomeWord(std::string_view word)
{
    return SimpleOutcome(word) || word == "error" || word == "state";
}

long OutcomeNumber(const Command& command, std::size_t index, std::string_view usage)
{
    if (index >= command.words.size())
        Fail(command.line, "dial: " + Quote(usage) + " is missing its number");
    const std::string problem = NumberProblem(command.words[index], Kind::Count);
    if (!problem.empty())
        Fail(command.line, "dial: the number in " + Quote(usage) + " must be " + problem + ", got "
                               + Quote(command.words[index]));
    return *ToNumber(command.words[index]);
}

} // namespace

std::vector<Command> ParseScenario(std::string_view text, const Environment& env)
{
    return ScenarioReader(text, env).ReadAll();
}

bool IsSetUpCommand(const Command& command)
{
    if (command.words.empty())
        return false;
    for (const Form& form : SetUpForms())
        if (Verb(form) == command.words[0])
            return true;
    return false;
}

Command SubCommand(const Command& command, std::size_t first)
{
    const auto begin = command.words.begin() + static_cast<long>(first);
    return Command{command.line, {begin, command.words.end()}};
}

void ValidateCommand(const Command& command)
{
    if (command.words.empty())
        Fail(command.line, "empty command");
    const Form& form = FindForm(command);
    const std::size_t first = HeadSize(form);
    for (std::size_t i = 0; i < form.params.size(); ++i) {
        if (form.params[i].repeat == Repeat::Once)
            CheckWord(command, form, first + i, form.params[i]);
        else
            CheckRest(command, form, first + i); // only the last parameter repeats
    }
}

std::vector<DialOutcome> ParseDialOutcomes(const Command& command, std::size_t first)
{
    std::vector<DialOutcome> outcomes;
    for (std::size_t i = first; i < command.words.size();) {
        const std::string& word = command.words[i++];
        if (const auto kind = SimpleOutcome(word)) {
            outcomes.push_back({*kind, 0, std::nullopt});
        } else if (word == "state") {
            const long state = OutcomeNumber(command, i++, "state N");
            outcomes.push_back({DialOutcomeKind::State, state, std::nullopt});
        } else if (word == "error") {
            DialOutcome error{DialOutcomeKind::Error, OutcomeNumber(command, i++, "error CODE"),
                              std::nullopt};
            if (i < command.words.size() && !IsOutcomeWord(command.words[i]))
                error.text = command.words[i++];
            outcomes.push_back(std::move(error));
        } else {
            Fail(command.line, "dial: unknown outcome " + Quote(word)
                                   + " (use connect, busy, noanswer, error CODE [TEXT], state N "
                                     "or hang)");
        }
    }
    return outcomes;
}

long ParseNumber(const Command& command, std::size_t wordIndex)
{
    if (wordIndex >= command.words.size())
        Fail(command.line, Quote(Describe(command)) + " is missing a number");
    const std::optional<long> number = ToNumber(command.words[wordIndex]);
    if (!number)
        Fail(command.line, Quote(command.words[wordIndex]) + " is not a whole number");
    return *number;
}

// --- Writing a command back ---

namespace {

bool NeedsEscape(unsigned char c)
{
    return c < 0x20 || c == 0x7F || c == '"' || c == '\\';
}

// Quotes are needed wherever the unquoted word would read differently: blanks
// split it, '#' first on a line starts a comment, "<<" starts a here-document.
// Backslashes alone need none, so registry paths stay readable.
bool NeedsQuotes(std::string_view word, bool first)
{
    if (word.empty() || word.starts_with("<<") || (first && word.starts_with('#')))
        return true;
    for (char c : word)
        if (c != '\\' && (c == ' ' || NeedsEscape(static_cast<unsigned char>(c))))
            return true;
    return word.find("${") != word.npos;
}

std::string EscapeChar(unsigned char c)
{
    switch (c) {
    case '\r':
        return "\\r";
    case '\n':
        return "\\n";
    case '\t':
        return "\\t";
    case '"':
        return "\\\"";
    case '\\':
        return "\\\\";
    default: {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        return {'\\', 'x', kDigits[c >> 4], kDigits[c & 0xF]};
    }
    }
}

} // namespace

std::string QuoteWord(std::string_view word)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < word.size(); ++i) {
        const auto c = static_cast<unsigned char>(word[i]);
        if (NeedsEscape(c))
            out += EscapeChar(c);
        else if (StartsVariable(word, i))
            out += "\\x24"; // a literal "${" must not expand when read back
        else
            out += word[i];
    }
    return out + "\"";
}

std::string Describe(const Command& command)
{
    std::string line;
    for (std::size_t i = 0; i < command.words.size(); ++i) {
        const std::string& word = command.words[i];
        line += i == 0 ? "" : " ";
        line += NeedsQuotes(word, i == 0) ? QuoteWord(word) : word;
    }
    return line;
}

} // namespace regwiz::runner
