#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <new>

#include <optional>
#include <string>
#include <vector>

#include "exchange/access_numbers.h"
#include "exchange/account_request.h"
#include "exchange/server_reply.h"

// What the program copies shows in what it allocates: a parser that copies
// the rest of the reply for every line allocates the square of its length.
namespace {
std::atomic<std::size_t> allocatedBytes{0};
} // namespace

void* operator new(std::size_t size)
{
    allocatedBytes += size;
    if (void* block = std::malloc(size == 0 ? 1 : size))
        return block;
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept
{
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

namespace regwiz::exchange {
namespace {

// --- The request body ---

// A sign-up whose every value differs from every other, so a value sent under
// another key, or two values swapped, shows in the body.
SignUpRecord DistinctSignUp()
{
    SignUpRecord r;
    r.firstName = "Ann";
    r.lastName = "Bell";
    r.address1 = "1 Main St";
    r.address2 = "Apt 2";
    r.city = "Springfield";
    r.state = "IL";
    r.zipCode = "62701";
    r.age = "25-34";
    r.gender = "Female";
    r.phone = "2175550100";
    r.email = "ann@example.com";
    r.media = "101";
    r.mediaName = "Radio";
    r.accType = "P";
    r.employed = "202";
    r.occupation = "303";
    r.businessOwner = "404";
    r.homeBased = "505";
    r.paymentType = "VI";
    r.ccNumber = "4111111111119876";
    r.ccMonth = "07";
    r.ccYear = "2029";
    r.ccName = "Ann B Bell";
    r.accessNumber = "1A2B";
    r.password = "sunrise8";
    return r;
}

// The body up to the card number, the same in the request and in the log.
const std::string kBodyUpToTheCard = "firstname=Ann&lastname=Bell&Address1=1+Main+St&Address2=Apt+2"
                                     "&City=Springfield&State=IL&ZipCode=62701&Age=25-34"
                                     "&Gender=Female&Phone=2175550100&e_mail=ann%40example.com"
                                     "&Offers=True&Media=101&MediaName=Radio&AccType=P"
                                     "&Employed=202&Occupation=303&BusinessOwner=404"
                                     "&HomeBased=505&PaymentType=VI";

TEST(RequestBody, SendsEveryValueUnderItsKeyInOrder)
{
    EXPECT_EQ(RequestBody(DistinctSignUp()),
              kBodyUpToTheCard
                  + "&CCNumber=4111111111119876&CCMonth=07&CCYear=2029&CCName=Ann+B+Bell"
                    "&AccessNumber=1A2B&Password=sunrise8");
}

TEST(RequestBody, LoggedBodyKeepsTheCardsLastFourDigitsAndStarsThePassword)
{
    EXPECT_EQ(LoggedBody(DistinctSignUp()),
              kBodyUpToTheCard
                  + "&CCNumber=9876&CCMonth=07&CCYear=2029&CCName=Ann+B+Bell"
                    "&AccessNumber=1A2B&Password=********");

    SignUpRecord shortValues = DistinctSignUp();
    shortValues.ccNumber = "12";
    shortValues.password = "n\xC3\xA9"
                           "1"; // "né1": one star per character
    const std::string logged = LoggedBody(shortValues);
    EXPECT_TRUE(logged.ends_with("&Password=***")) << logged;
    EXPECT_NE(logged.find("&CCNumber=12&"), std::string::npos) << logged;
}

TEST(RequestBody, EmptyValuesKeepTheirKeys)
{
    EXPECT_EQ(RequestBody(SignUpRecord{}),
              "firstname=&lastname=&Address1=&Address2=&City=&State=&ZipCode=&Age=&Gender="
              "&Phone=&e_mail=&Offers=True&Media=&MediaName=&AccType=&Employed=&Occupation="
              "&BusinessOwner=&HomeBased=&PaymentType=&CCNumber=&CCMonth=&CCYear=&CCName="
              "&AccessNumber=&Password=");
}

TEST(FormEncode, EncodesTheWindows1252BytesOfTheText)
{
    EXPECT_EQ(FormEncode("Az09-_.*"), "Az09-_.*") << "left as they are";
    EXPECT_EQ(FormEncode("A&B=C d+e"), "A%26B%3DC+d%2Be");
    EXPECT_EQ(FormEncode("~%/\r\n"), "%7E%25%2F%0D%0A");
    EXPECT_EQ(FormEncode("Zo\xC3\xAB"), "Zo%EB") << "ë is one byte, 0xEB";
    EXPECT_EQ(FormEncode("\xE2\x82\xAC"), "%80") << "the euro sign is 0x80";
    EXPECT_EQ(FormEncode(""), "");
}

// --- The server's reply ---

const std::string kInvalidData =
    "The registration server returned invalid data.\r\n\r\nPlease try again.\r\n\r\n";

// Replies that are read: the flag line, then the member ID or the reason.
TEST(ServerReply, ReadRepliesGiveTheMemberIdOrTheReason)
{
    struct Case {
        const char* data;
        bool failed;
        std::optional<std::string> memberId;
        const char* message;
        const char* why;
    };
    const Case cases[] = {
        {"\r\n\r\n<html><body>\r\nTrue\r\n\r\n1234567\r\n</body></html>\r\n", false, "1234567", "",
         "signed up; empty lines are not counted"},
        {"<html><body>\r\nFalse\r\nCard refused.\r\n</body></html>", true, std::nullopt,
         "Card refused.\r\n\r\n", "refused with its reason"},
        {"<html><body>\r\nMaybe\r\nWhy not\r\n</body></html>", true, std::nullopt,
         "Why not\r\n\r\n", "a flag that is no Boolean"},
        {"<html><body>\r\nTrue\r\n1234567</body></html>", true, std::nullopt, "",
         "a member ID without its line end is not taken"},
    };
    for (const Case& c : cases) {
        const ServerReply reply = ParseWebData(c.data);
        EXPECT_TRUE(reply.readable) << c.why;
        EXPECT_EQ(reply.failed, c.failed) << c.why;
        EXPECT_EQ(reply.memberId, c.memberId) << c.why;
        EXPECT_EQ(reply.message, c.message) << c.why;
    }
}

TEST(ServerReply, RepliesThatCannotBeReadSayWhyAndDoNotFail)
{
    struct Case {
        const char* data;
        std::string message;
    };
    for (const Case& c :
         {Case{"", kUnableToConnect},
          Case{"<html><body>\r\nError Occurred While Processing Request\r\n", kUnableToConnect},
          Case{"True\r\n1234567\r\n", kInvalidData},
          Case{"<html><body>\r\nTrue\r\n1234567\r\n", kInvalidData}}) {
        SCOPED_TRACE(c.data);
        const ServerReply reply = ParseWebData(c.data);
        EXPECT_EQ(reply.message, c.message);
        EXPECT_FALSE(reply.readable);
        EXPECT_FALSE(reply.failed);
        EXPECT_EQ(reply.memberId, std::nullopt) << "not even when the ID is there";
    }
}

// --- The access-number list ---

// A hostile reply costs time in proportion to its length: the parser reads a
// view of it in one pass and copies at most its lines.
TEST(ServerReply, HugeRepliesCostWorkInProportionToTheirLength)
{
    constexpr std::size_t kFiveMegabytes = 5 * 1024 * 1024;
    std::string lineEnds = "<html><body>\r\n";
    for (std::size_t i = 0; i < kFiveMegabytes / 2; ++i)
        lineEnds += "\r\n";
    lineEnds += "True\r\n1234567\r\n</body></html>";
    const std::string oneLine =
        "<html><body>\r\n" + std::string(kFiveMegabytes, 'x') + "\r\n</body></html>";

    for (const std::string* reply :
         std::initializer_list<const std::string*>{&lineEnds, &oneLine}) {
        const std::size_t before = allocatedBytes;
        const ServerReply read = ParseWebData(*reply);
        const std::size_t copied = allocatedBytes - before;
        EXPECT_LE(copied, 8 * reply->size()) << "allocated " << copied << " for " << reply->size();
        EXPECT_TRUE(read.readable);
    }
    EXPECT_EQ(ParseWebData(lineEnds).memberId, "1234567");
    EXPECT_TRUE(ParseWebData(oneLine).failed);
}

using Texts = std::vector<std::string>;

Texts ColumnOf(const AccessNumberTable& table, AccessColumn column)
{
    Texts values;
    for (std::size_t row = 0; row < table.Rows(); ++row)
        values.push_back(table.Field(row, column));
    return values;
}

TEST(PhoneList, QuotedFieldsAndBlanks)
{
    const AccessNumberTable table = ReadPhoneList("DC,\"Washington, DC\",202,5550123,V.90\r\n"
                                                  "  NY,  New York ,212,5550148,56K\r\n"
                                                  "NY,Albany,518,5550144\r\n");
    ASSERT_EQ(table.Rows(), 3u);
    EXPECT_EQ(table.Field(0, AccessColumn::City), "Washington, DC");
    EXPECT_EQ(table.Field(0, AccessColumn::AreaCode), "202");
    EXPECT_EQ(table.Field(0, AccessColumn::Extra), "V.90");
    EXPECT_EQ(table.Field(1, AccessColumn::State), "NY");
    EXPECT_EQ(table.Field(1, AccessColumn::City), "New York");
    EXPECT_EQ(table.Field(2, AccessColumn::Number), "5550144");
    EXPECT_EQ(table.Field(2, AccessColumn::Extra), "");
}

TEST(PhoneList, FieldsFarIntoALongRecordAreFound)
{
    const std::string state(300, 'S');
    const std::string city = std::string(200, 'C') + ", x";
    const std::string number(400, '5');
    const AccessNumberTable table = ReadPhoneList(state + ",\"" + city + "\",212," + number
                                                  + ",V.90\r\nNY,Albany,518,5550144,\r\n");
    ASSERT_EQ(table.Rows(), 2u);
    EXPECT_EQ(table.Field(0, AccessColumn::City), city);
    EXPECT_EQ(table.Field(0, AccessColumn::AreaCode), "212");
    EXPECT_EQ(table.Field(0, AccessColumn::Number), number);
    EXPECT_EQ(table.Field(0, AccessColumn::Extra), "V.90");
    EXPECT_EQ(table.Field(1, AccessColumn::Number), "5550144");
    EXPECT_EQ(NumbersInAreaCode(table, "212"),
              std::vector<std::string>{state + ", " + city + ", 212 " + number});
}

TEST(PhoneList, RecordsInFileOrderWhateverTheLineEnds)
{
    const std::string crlf = "NY,New York,212,5550148,\r\nAZ,Phoenix,602,5550100,\r\n"
                             "IL,Springfield,217,5550199,";
    std::string lf = crlf;
    for (std::size_t at = lf.find('\r'); at != std::string::npos; at = lf.find('\r'))
        lf.erase(at, 1);

    for (const std::string& text : {crlf, lf, crlf + "\r\n\r\n"}) {
        const AccessNumberTable table = ReadPhoneList(text);
        EXPECT_EQ(ColumnOf(table, AccessColumn::State), (Texts{"NY", "AZ", "IL"}));
        EXPECT_EQ(ColumnOf(table, AccessColumn::City),
                  (Texts{"New York", "Phoenix", "Springfield"}));
        EXPECT_EQ(ColumnOf(table, AccessColumn::AreaCode), (Texts{"212", "602", "217"}));
        EXPECT_EQ(ColumnOf(table, AccessColumn::Number), (Texts{"5550148", "5550100", "5550199"}));
    }
    EXPECT_EQ(ReadPhoneList("").Rows(), 0u);
    EXPECT_EQ(ReadPhoneList("\r\n  \r\n").Rows(), 0u);
}

TEST(PhoneList, ReadsWindows1252Bytes)
{
    const AccessNumberTable table = ReadPhoneList("QC,Montr\xE9"
                                                  "al,514,5550100,\x80"
                                                  "\r\n");
    ASSERT_EQ(table.Rows(), 1u);
    EXPECT_EQ(table.Field(0, AccessColumn::City), "Montr\xC3\xA9"
                                                  "al");
    EXPECT_EQ(table.Field(0, AccessColumn::Extra), "\xE2\x82\xAC");
}

TEST(PhoneList, ReadsEveryRowOfALargeList)
{
    std::string text;
    for (int row = 0; row < 40000; ++row)
        text += "ST" + std::to_string(row / 100) + ",City" + std::to_string(row / 10) + ","
                + std::to_string(200 + row % 700) + ",555" + std::to_string(row) + ",56K\r\n";
    const AccessNumberTable table = ReadPhoneList(text);
    ASSERT_EQ(table.Rows(), 40000u);
    EXPECT_EQ(table.Field(0, AccessColumn::Number), "5550");
    EXPECT_EQ(table.Field(39999, AccessColumn::Number), "55539999");
    EXPECT_EQ(table.Field(39999, AccessColumn::Extra), "56K");
    EXPECT_EQ(AccessStates(table).size(), 400u);

    // The table keeps the text it is given and little beside it.
    const std::size_t before = allocatedBytes;
    const std::size_t size = text.size();
    const AccessNumberTable kept = ReadPhoneList(std::move(text));
    EXPECT_LT(allocatedBytes - before, size / 2 + 64) << "for a list of " << size << " bytes";
    EXPECT_EQ(kept.Rows(), 40000u);
}

// A list sorted by state and city, with area codes that are near misses of one another.
AccessNumberTable ArizonaAndNewYork()
{
    return ReadPhoneList("AZ,Phoenix,602,5550100,\r\n"
                         "AZ,Phoenix,602,5550101,\r\n"
                         "AZ,Tucson,520,5550102,\r\n"
                         "AZ,Tucson,602,5550103,\r\n"
                         "NY,New York,212,5550148,\r\n"
                         "NY,New York,212,5550149,\r\n");
}

TEST(AccessNumbers, AreaCodeMatchesOnlyTheWholeCode)
{
    const AccessNumberTable table = ArizonaAndNewYork();
    EXPECT_EQ(NumbersInAreaCode(table, "602"),
              (std::vector<std::string>{"AZ, Phoenix, 602 5550100", "AZ, Phoenix, 602 5550101",
                                        "AZ, Tucson, 602 5550103"}));
    EXPECT_TRUE(NumbersInAreaCode(table, "60").empty()) << "a prefix of 602";
    EXPECT_TRUE(NumbersInAreaCode(table, "6020").empty()) << "602 and one more digit";
    EXPECT_TRUE(NumbersInAreaCode(table, "02").empty());
    EXPECT_TRUE(NumbersInAreaCode(table, "").empty());
    EXPECT_TRUE(NumbersInAreaCode(table, "999").empty());
}

TEST(AccessNumbers, TextTheCodePageLacksMatchesNoField)
{
    // "中" becomes "?" in the code page: it must not find the city named "?".
    const AccessNumberTable table =
        ReadPhoneList("AZ,?,602,5550100,\r\n\xE9,\xE9,602,5550101,\r\n");
    EXPECT_TRUE(AccessCities(table, "\xE4\xB8\xAD").empty());
    EXPECT_TRUE(NumbersInCity(table, "AZ", "\xE4\xB8\xAD").empty());
    EXPECT_EQ(AccessCities(table, "\xC3\xA9"), (Texts{"\xC3\xA9"}));
    EXPECT_EQ(NumbersInAreaCode(table, "602").back(), "\xC3\xA9, \xC3\xA9, 602 5550101");
}

TEST(AccessNumbers, StatesCitiesAndTheirNumbers)
{
    const AccessNumberTable table = ArizonaAndNewYork();
    EXPECT_EQ(AccessStates(table), (std::vector<std::string>{"AZ", "NY"}));
    EXPECT_EQ(AccessCities(table, "AZ"), (std::vector<std::string>{"Phoenix", "Tucson"}));
    EXPECT_EQ(AccessCities(table, "NY"), (std::vector<std::string>{"New York"}));
    EXPECT_TRUE(AccessCities(table, "A").empty());
    EXPECT_EQ(NumbersInCity(table, "AZ", "Tucson"),
              (std::vector<std::string>{"AZ Tucson 520 5550102", "AZ Tucson 602 5550103"}));
    EXPECT_EQ(NumbersInCity(table, "NY", "New York"),
              (std::vector<std::string>{"NY New York 212 5550148", "NY New York 212 5550149"}));
    EXPECT_TRUE(NumbersInCity(table, "NY", "Tucson").empty());
}

TEST(AccessNumbers, ServerAddressIsTheConfiguredOneOrTheServicesHost)
{
    EXPECT_EQ(RegistrationHttpUrl(""), "http://register.quorvale.example");
    EXPECT_EQ(RegistrationFtpUrl(""), "ftp://register.quorvale.example");
    EXPECT_EQ(RegistrationHttpUrl("http://127.0.0.1:8080"), "http://127.0.0.1:8080");
    EXPECT_EQ(RegistrationFtpUrl("ftp://127.0.0.1:2121"), "ftp://127.0.0.1:2121");
}

} // namespace
} // namespace regwiz::exchange
