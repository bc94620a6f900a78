#include "regwizard-run/scenario.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

namespace regwiz::runner {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

Environment FakeEnvironment(std::map<std::string, std::string> variables)
{
    return [variables](std::string_view name) -> std::optional<std::string> {
        const auto found = variables.find(std::string(name));
        if (found == variables.end())
            return std::nullopt;
        return found->second;
    };
}

const Environment kNoVariables = FakeEnvironment({});

// The words of a scenario that holds exactly one command.
std::vector<std::string> WordsOf(std::string_view text, const Environment& env = kNoVariables)
{
    const std::vector<Command> commands = ParseScenario(text, env);
    EXPECT_EQ(commands.size(), 1u) << text;
    return commands.empty() ? std::vector<std::string>{} : commands.front().words;
}

// The word `written` stands for, read as the TEXT of `expect log`.
std::string WordOf(std::string_view written, const Environment& env = kNoVariables)
{
    const std::vector<std::string> words = WordsOf("expect log " + std::string(written), env);
    return words.size() == 3 ? words[2] : "<" + std::to_string(words.size()) + " words>";
}

ScenarioError ErrorOf(std::string_view text, const Environment& env = kNoVariables)
{
    try {
        ParseScenario(text, env);
    } catch (const ScenarioError& error) {
        return error;
    }
    ADD_FAILURE() << "no error for: " << text;
    return {0, ""};
}

TEST(ScenarioWords, QuotedWordsTakeEveryEscape)
{
    EXPECT_EQ(WordOf(R"("a  b	c")"), "a  b\tc");
    EXPECT_EQ(WordOf(R"("\r\n\t\\\"")"), "\r\n\t\\\"");
    EXPECT_EQ(WordOf(R"("\x80")"), "€") << "Windows-1252 code, held as UTF-8";
    EXPECT_EQ(WordOf(R"("caf\xe9\x41")"), "caféA");
    EXPECT_EQ(WordOf(R"("\q\1\"")"), R"(\q\1")");
    EXPECT_EQ(WordOf(R"("")"), "");
    EXPECT_EQ(WordOf("\"\xE2\x82\xAC\""), "€");
}

TEST(ScenarioWords, RegistryPathNeedsNoDoubledBackslashes)
{
    EXPECT_EQ(WordOf(R"("SOFTWARE\quorvale\1.0")"), WordOf(R"("SOFTWARE\\quorvale\\1.0")"));
    EXPECT_EQ(WordOf(R"("SOFTWARE\quorvale\1.0")"), R"(SOFTWARE\quorvale\1.0)");
}

TEST(ScenarioWords, UnquotedWordsAreLiteralAndSplitAtBlanks)
{
    EXPECT_THAT(WordsOf("  reg\tHKLM  SOFTWARE\\new\\x80 Name S v\\  "),
                ElementsAre("reg", "HKLM", R"(SOFTWARE\new\x80)", "Name", "S", R"(v\)"))
        << "backslashes outside quotes escape nothing";
    EXPECT_THAT(WordsOf(R"(type txtName "" )"), ElementsAre("type", "txtName", ""));
    EXPECT_THAT(WordsOf("select lstCountry #2"), ElementsAre("select", "lstCountry", "#2"))
        << "'#' after the first word is no comment";
}

TEST(ScenarioWords, MalformedWordsAreReportedWithTheirLine)
{
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"\n\nexpect log \"open", "line 3: unterminated quoted word"},
        {"expect log \"ends in escaped quote\\\"", "line 1: unterminated quoted word"},
        {"\nexpect log \"\\x8\"", "line 2: bad \\x escape"},
        {"expect log \"\\xG0\"", "line 1: bad \\x escape"},
        {"expect log \"\\x", "line 1: bad \\x escape"},
        {"expect log \"a\"b", "line 1: a closing quote must be followed by a blank"},
        {"expect log O\"Brien", "line 1: a quote inside an unquoted word"},
    };
    for (const auto& c : cases)
        EXPECT_THAT(ErrorOf(c.text).Text(), HasSubstr(c.message)) << c.text;
}

TEST(ScenarioVariables, ExpandInsideAndOutsideQuotes)
{
    const Environment env = FakeEnvironment(
        {{"SERVER", "staging.example"}, {"ODD", R"(a "b" \n ${SERVER})"}, {"EMPTY", ""}});
    EXPECT_EQ(WordOf("http://${SERVER}/reg", env), "http://staging.example/reg");
    EXPECT_EQ(WordOf(R"("${SERVER} ${SERVER}")", env), "staging.example staging.example");
    EXPECT_EQ(WordOf("${ODD}", env), R"(a "b" \n ${SERVER})") << "values are not read again";
    EXPECT_EQ(WordOf(R"("KEY\${SERVER}")", env), R"(KEY\staging.example)");
    EXPECT_EQ(WordOf(R"("\x24{SERVER}")", env), "${SERVER}") << "an escaped dollar stays";
    EXPECT_EQ(WordOf("a${EMPTY}b", env), "ab");
    EXPECT_EQ(WordOf("cost$5", env), "cost$5");
}

TEST(ScenarioVariables, UnsetOrMalformedReferencesFail)
{
    const ScenarioError unset = ErrorOf("# set-up\nexpect log \"${MISSING}\"");
    EXPECT_EQ(unset.line, 2);
    EXPECT_THAT(unset.message, HasSubstr("MISSING is not set"));
    EXPECT_THAT(ErrorOf("expect log ${NAME").Text(), HasSubstr("line 1: bad variable reference"));
    EXPECT_THAT(ErrorOf("expect log \"${NAME\"").Text(), HasSubstr("bad variable reference"));
    EXPECT_THAT(ErrorOf("expect log ${}").Text(), HasSubstr("empty variable name"));
}

TEST(ScenarioHereDocuments, LinesJoinWithCrLfAndEndWithOne)
{
    const std::vector<Command> commands = ParseScenario("file cfg/a.ini <<END\n"
                                                        "[Main]\r\n"
                                                        "  # kept, not a comment\n"
                                                        "\n"
                                                        "Server=${HOST}\n"
                                                        "END\n"
                                                        "expect file b.ini <<EOF\n"
                                                        "EOF\r\n"
                                                        "\n"
                                                        "# done\n"
                                                        "  dump\n",
                                                        FakeEnvironment({{"HOST", "h1"}}));
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_EQ(commands[0].line, 1);
    EXPECT_THAT(
        commands[0].words,
        ElementsAre("file", "cfg/a.ini", "[Main]\r\n  # kept, not a comment\r\n\r\nServer=h1\r\n"));
    EXPECT_EQ(commands[1].line, 7);
    EXPECT_THAT(commands[1].words, ElementsAre("expect", "file", "b.ini", "")) << "empty body";
    EXPECT_EQ(commands[2].line, 11);
}

TEST(ScenarioHereDocuments, TerminatorMustBeExactAndPresent)
{
    const ScenarioError missing = ErrorOf("start\n\nexpect text txtA <<END\nline\n END\nEND \n");
    EXPECT_EQ(missing.line, 3);
    EXPECT_THAT(missing.message, HasSubstr("no terminator line 'END'"));
    EXPECT_THAT(ErrorOf("expect text <<END txtA\nEND").Text(),
                HasSubstr("line 1: here-document marker <<END must be the last word"));
    EXPECT_THAT(ErrorOf("expect text txtA <<").Text(), HasSubstr("needs a terminator word"));
    EXPECT_EQ(WordOf(R"("<<END")"), "<<END") << "quoted, it is an ordinary word";
}

TEST(ScenarioFile, SkipsCommentsAndBlankLinesAndCountsEveryLine)
{
    const std::vector<Command> commands = ParseScenario(
        "\xEF\xBB\xBF# title\r\n\r\n \t# indented comment\r\n\t\r\nstart\r\nwait 10", kNoVariables);
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].line, 5);
    EXPECT_THAT(commands[0].words, ElementsAre("start"));
    EXPECT_EQ(commands[1].line, 6);
    EXPECT_TRUE(ParseScenario("", kNoVariables).empty());
}

TEST(ScenarioFile, RefusesTextThatIsNotUtf8)
{
    const ScenarioError error = ErrorOf("start\nexpect log \"caf\xE9\"\n");
    EXPECT_EQ(error.line, 2);
    EXPECT_THAT(error.message, HasSubstr("UTF-8"));
    EXPECT_THAT(ErrorOf("file a.txt <<END\n\xC0\xAF\nEND").Text(), HasSubstr("line 2:"))
        << "overlong form inside a here-document";
}

TEST(ScenarioValidation, AcceptsEveryCommandForm)
{
    const char* const scenario = R"(reg HKLM "SOFTWARE\Q" Name S value
file a/b.txt ""
modem Modem "Hayes 33.6"
dial busy error 691 "Bad password" error 692 state 12 noanswer hang connect
entry -3 True
today 2024-02-29
volume 0A1b2C3d
volume none
location 44 London
location none
timeout 1
on dial 1 answer OK Cancel Yes No Retry Abort Ignore
after 0 host log off
start
wait 3000
click cmdNext
type txtName "Zoë"
select lstCountry #0
host unloadsplash
host cancel
host log on
host release
shot page1
dump
expect box "Text" "" 48
expect nobox
expect event IsLoaded
expect event RegCanceled
expect noevent
expect help quit
expect help TopicKey
expect page 0
expect title ""
expect caption lblTitle "Welcome"
expect text txtName ""
expect visible fraSteps(3) yes
expect enabled cmdBack no
expect items lstCountry
expect items lstCountry A "B C"
expect selected lstCountry -1
expect colour lblError FF00aa
expect focus txtName
expect pointer 11
expect reg HKLM K N V
expect noreg HKLM K N
expect file a.txt text
expect nofile a.txt
expect log "mod(proc): msg"
expect entry 2 -1
expect noentry
expect dials 0
expect hangups 2
)";
    EXPECT_EQ(ParseScenario(scenario, kNoVariables).size(), 52u);
}

TEST(ScenarioValidation, ReportsMalformedCommandsWithTheirLine)
{
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"start\nlaunch", "line 2: unknown command 'launch'"},
        {"expect boxes a b 0", "unknown command 'expect boxes'"},
        {"expect", "unknown command 'expect'"},
        {"host quit", "unknown command 'host quit'"},
        {"\n\nreg HKLM K N S", "line 3: wrong number of arguments for 'reg' (usage: reg HIVE KEY "
                               "NAME TYPE VALUE)"},
        {"location Paris", "usage: location COUNTRY CITY"},
        {"expect visible cmdNext", "usage: expect visible CONTROL yes|no"},
        {"answer", "usage: answer BUTTON..."},
        {"start extra", "wrong number of arguments for 'start'"},
        {"wait soon", "wait: MS must be a whole number, got 'soon'"},
        {"wait -1", "wait: MS must be 0 or more"},
        {"wait 99999999999999999999", "must be a whole number"},
        {"timeout 0", "timeout: SECONDS must be 1 or more"},
        {"expect selected lst -2", "N must be -1 or more"},
        {"today 2023-02-29", "must be a valid date"},
        {"today 2024-2-01", "must be a valid date"},
        {"volume 1234567", "eight hexadecimal digits or none"},
        {"expect colour lbl 00FF0G", "six hexadecimal digits"},
        {"answer OK cancel", "BUTTON must be one of OK, Cancel, Yes, No, Retry, Abort, Ignore, "
                             "got 'cancel'"},
        {"expect enabled cmdNext true", "yes|no must be one of yes, no"},
        {"expect event Loaded", "must be one of IsLoaded, RegCanceled"},
        {"host log yes", "must be one of on, off"},
    };
    for (const auto& c : cases)
        EXPECT_THAT(ErrorOf(c.text).Text(), HasSubstr(c.message)) << c.text;
}

TEST(ScenarioValidation, NestedActionsAreCheckedLikeCommands)
{
    EXPECT_EQ(
        ParseScenario("after 100 after 50 expect items lst\non dial 2 wait 5", kNoVariables).size(),
        2u);
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"\nafter 100", "line 2: wrong number of arguments for 'after'"},
        {"after 100 clack x", "unknown command 'clack'"},
        {"after soon click x", "after: MS must be a whole number"},
        {"after 1 after 2 expect page", "wrong number of arguments for 'expect page'"},
        {"on dial 0 dump", "on dial: N must be 1 or more"},
        {"on call 1 dump", "unknown command 'on call'"},
        {"on dial 1 answer Maybe", "BUTTON must be one of"},
        {"on dial 1 modem Modem x", "set-up command 'modem' cannot run inside 'on dial'"},
        {"after 5 on dial 1 today 2024-01-01", "set-up command 'today' cannot run inside"},
    };
    for (const auto& c : cases)
        EXPECT_THAT(ErrorOf(c.text).Text(), HasSubstr(c.message)) << c.text;
}

TEST(ScenarioDialOutcomes, ErrorTakesTheNextWordAsTextUnlessItIsAnOutcome)
{
    const std::vector<DialOutcome> outcomes = ParseDialOutcomes(
        Command{1, {"dial", "error", "691", "busy", "error", "633", "Port open", "state", "8193"}});
    ASSERT_EQ(outcomes.size(), 4u);
    EXPECT_EQ(outcomes[0].kind, DialOutcomeKind::Error);
    EXPECT_EQ(outcomes[0].number, 691);
    EXPECT_FALSE(outcomes[0].text);
    EXPECT_EQ(outcomes[1].kind, DialOutcomeKind::Busy);
    EXPECT_EQ(outcomes[2].text, "Port open");
    EXPECT_EQ(outcomes[3].kind, DialOutcomeKind::State);
    EXPECT_EQ(outcomes[3].number, 8193);

    EXPECT_THAT(ErrorOf("dial busy error").Text(), HasSubstr("'error CODE' is missing"));
    EXPECT_THAT(ErrorOf("dial state x").Text(), HasSubstr("'state N' must be a whole number"));
    EXPECT_THAT(ErrorOf("dial error 1 a b").Text(), HasSubstr("unknown outcome 'b'"));
}

TEST(ScenarioHelpers, ParseNumberNamesTheLine)
{
    const Command command{9, {"wait", "250", "x"}};
    EXPECT_EQ(ParseNumber(command, 1), 250);
    try {
        ParseNumber(command, 2);
        ADD_FAILURE() << "no error";
    } catch (const ScenarioError& error) {
        EXPECT_EQ(error.Text(), "line 9: 'x' is not a whole number");
    }
    EXPECT_THROW(ParseNumber(command, 3), ScenarioError);
}

TEST(ScenarioHelpers, DescribeReadsBackAsTheSameWords)
{
    const Command command{1,
                          {"expect", "items", "plain", "", "two words", R"(C:\dir\)",
                           "say \"hi\"\r\n\t\x01", "${NOT_A_VARIABLE}", "<<END", "#3", "€"}};
    EXPECT_EQ(Describe(command),
              R"(expect items plain "" "two words" C:\dir\ "say \"hi\"\r\n\t\x01" )"
              R"("\x24{NOT_A_VARIABLE}" "<<END" #3 €)");
    EXPECT_THAT(WordsOf(Describe(command)), ::testing::ContainerEq(command.words));
    EXPECT_EQ(Describe(Command{1, {"#x"}}), R"("#x")") << "first word would start a comment";
}

} // namespace
} // namespace regwiz::runner
