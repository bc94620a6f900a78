#include <chrono>
#include <fstream>
#include <gtest/gtest.h>

#include "exchange/access_numbers.h"
#include "exchange/account_request.h"
#include "exchange/server_reply.h"
#include "host/reg_engine_object.h"
#include "support/wizard_home.h"

namespace regwiz::exchange {
namespace {

// A loaded wizard to read replies and build requests with.
class Exchange : public ::testing::Test, protected test::WizardHome {
protected:
    Exchange() { form = component.Form(); }

    struct NoEvents final : regwizard::RegEngineEvents {
        void IsLoaded() override {}
        void RegCanceled() override {}
    } events;
    host::Component component{fake.ports};
    host::RegEngineObject engine{component, &events};
    wizard::frmRegWizard* form = nullptr;
};

const std::string kUnableToConnect =
    "Unable to connect to the registration server.\r\n\r\nPlease try again later.\r\n\r\n";
const std::string kInvalidData =
    "The registration server returned invalid data.\r\n\r\nPlease try again.\r\n\r\n";

TEST_F(Exchange, ReplyWithFlagAndMemberIdSignsUp)
{
    EXPECT_EQ(
        ParseWebData(*form, "\r\n\r\n<html><body>\r\nTrue\r\n\r\n1234567\r\n</body></html>\r\n"),
        "");
    EXPECT_EQ(component.globals.gMemberID, "1234567");
    EXPECT_FALSE(form->gErrorFlag);

    std::string none;
    form->form.txtPassword1.SetText("sunrise8");
    ResultMessage(*form, none);
    EXPECT_EQ(form->form.cmdCancel.Caption(), "Done");
    EXPECT_NE(form->form.lblConfigSystem.Caption().find("Your Password is:      sunrise8\r\n"),
              std::string::npos);
}

TEST_F(Exchange, RepliesThatFail)
{
    EXPECT_EQ(ParseWebData(*form, ""), kUnableToConnect);
    EXPECT_EQ(ParseWebData(*form, "<html><body>\r\nError Occurred While Processing Request\r\n"),
              kUnableToConnect);
    EXPECT_EQ(ParseWebData(*form, "True\r\n1234567\r\n"), kInvalidData);
    EXPECT_EQ(ParseWebData(*form, "<html><body>\r\nTrue\r\n1234567\r\n"), kInvalidData)
        << "no closing marker, though the member ID is there";
    EXPECT_FALSE(form->gErrorFlag) << "unusable replies leave the flag as it was";
    EXPECT_EQ(component.globals.gMemberID, "");

    EXPECT_EQ(ParseWebData(*form, "<html><body>\r\nFalse\r\nCard refused.\r\n</body></html>"),
              "Card refused.\r\n\r\n");
    EXPECT_TRUE(form->gErrorFlag);
}

TEST_F(Exchange, MemberIdWithoutItsLineEndIsNotTaken)
{
    EXPECT_EQ(ParseWebData(*form, "<html><body>\r\nTrue\r\n1234567</body></html>"), "");
    EXPECT_EQ(component.globals.gMemberID, "");
    EXPECT_TRUE(form->gErrorFlag);

    std::string none;
    ResultMessage(*form, none);
    EXPECT_EQ(form->form.cmdCancel.Caption(), "Cancel");
}

TEST_F(Exchange, FlagThatIsNoBooleanSetsTheErrorFlag)
{
    EXPECT_EQ(ParseWebData(*form, "<html><body>\r\nMaybe\r\nWhy not\r\n</body></html>"),
              "Why not\r\n\r\n");
    EXPECT_TRUE(form->gErrorFlag);
}

TEST_F(Exchange, RequestBodyKeepsEveryKeyAndEncodesValues)
{
    auto& f = form->form;
    f.txtFirstName.SetText("A&B=C");
    f.txtLastName.SetText("Zoë Smith");
    f.txtCCNumber.SetText("4111111111111111");
    f.txtPassword1.SetText("sunrise8");
    const std::string body = RequestBody(*form);
    EXPECT_TRUE(body.starts_with("firstname=A%26B%3DC&lastname=Zo%EB+Smith&Address1=&Address2="))
        << body;
    std::vector<std::string> keys;
    for (std::size_t at = 0; at < body.size();) {
        const std::size_t end = std::min(body.find('&', at), body.size());
        const std::string field = body.substr(at, end - at);
        keys.push_back(field.substr(0, field.find('=')));
        at = end + 1;
    }
    EXPECT_EQ(keys, (std::vector<std::string>{
                        "firstname", "lastname",   "Address1",      "Address2",  "City",
                        "State",     "ZipCode",    "Age",           "Gender",    "Phone",
                        "e_mail",    "Offers",     "Media",         "MediaName", "AccType",
                        "Employed",  "Occupation", "BusinessOwner", "HomeBased", "PaymentType",
                        "CCNumber",  "CCMonth",    "CCYear",        "CCName",    "AccessNumber",
                        "Password"}));
    EXPECT_NE(body.find("&AccessNumber=1234&"), std::string::npos) << "first four of 1234ABCD";

    const std::string logged = LoggedBody(*form);
    EXPECT_NE(logged.find("&CCNumber=1111&"), std::string::npos);
    EXPECT_NE(logged.find("&Password=********"), std::string::npos);
    EXPECT_EQ(logged.find("sunrise8"), std::string::npos);
}

TEST_F(Exchange, ShortVolumeCodeIsPaddedToFourCharacters)
{
    fake.volume.serial = 0x00AB0001; // "AB0001"
    EXPECT_NE(RequestBody(*form).find("&AccessNumber=AB00&"), std::string::npos);
    fake.volume.serial.reset();
    EXPECT_NE(RequestBody(*form).find("&AccessNumber=0000&"), std::string::npos);
}

TEST(PhoneList, QuotedFieldsAndBlanks)
{
    test::TempDir dir;
    test::WriteBytes(dir / "list.txt", "DC,\"Washington, DC\",202,5550123,V.90\r\n"
                                       "  NY,  New York,212,5550148,56K\r\n"
                                       "NY,Albany,518,5550144\r\n");
    AccessNumberTable table;
    ReadPhoneList(table, dir / "list.txt");
    ASSERT_EQ(table.Rows(), 3u) << "exactly the records read";
    EXPECT_EQ(table.City[0], "Washington, DC");
    EXPECT_EQ(table.State[1], "NY");
    EXPECT_EQ(table.City[1], "New York");
    EXPECT_EQ(table.Extra[2], "");
}

TEST(PhoneList, FortyThousandRowsLoadQuickly)
{
    test::TempDir dir;
    {
        std::ofstream out(dir / "big.txt", std::ios::binary);
        for (int row = 0; row < 40000; ++row)
            out << "ST" << row / 100 << ",City" << row / 10 << "," << 200 + row % 700 << ",555"
                << row << ",56K\r\n";
    }
    AccessNumberTable table;
    const auto start = std::chrono::steady_clock::now();
    ReadPhoneList(table, dir / "big.txt");
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(table.Rows(), 40000u);
    EXPECT_EQ(table.Number.back(), "55539999");
    EXPECT_LT(elapsed, std::chrono::seconds(2));
}

} // namespace
} // namespace regwiz::exchange
