#include "wizard/validation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "host/component.h"
#include "platform/posix/regional_settings.h"
#include "support/fake_platform.h"

namespace regwiz::wizard {
namespace {

const NumberSeparators kUs{".", ","};

TEST(NumberTest, DigitsAndUsFormsConvert)
{
    for (const char* text :
         {"12345", " 123 ", "602", "1,234", "12.5", "1,234.5", ".5", "12.", "-12", "+12", "$12",
          "-$12", "$-12", "007", "79228162514264337593543950335"})
        EXPECT_TRUE(IsDecimalNumber(text, kUs)) << '"' << text << '"';
}

TEST(NumberTest, LettersDashesBlanksAndStrayMarksDoNotConvert)
{
    for (const char* text : {"12a45",
                             "555-0142",
                             "555 0142",
                             "",
                             "   ",
                             "-",
                             ".",
                             "$",
                             "+-1",
                             "1,,234",
                             ",123",
                             "1234,",
                             "1,234.5,6",
                             "12.5.1",
                             "1.2,3",
                             "5-",
                             "(5)",
                             "1e3",
                             "$1$",
                             "12 .5",
                             "79228162514264337593543950336",
                             "99999999999999999999999999999",
                             "79228162514264337593543950335.5"})
        EXPECT_FALSE(IsDecimalNumber(text, kUs)) << '"' << text << '"';
}

TEST(NumberTest, LocaleSeparatorsReplaceTheUsOnes)
{
    const NumberSeparators german{",", "."};
    EXPECT_TRUE(IsDecimalNumber("1.234,5", german));
    EXPECT_TRUE(IsDecimalNumber("12,5", german));
    EXPECT_FALSE(IsDecimalNumber("12,5,1", german));
    const NumberSeparators french{",", "\u202F"};
    EXPECT_TRUE(IsDecimalNumber("1\u202F234,5", french));
    EXPECT_FALSE(IsDecimalNumber("1,234.5", french));
}

// Restores the environment variable it overrides.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        setenv(name, value, 1);
    }
    ~ScopedEnv()
    {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(NumberTest, TheCLocaleAndUnknownLocalesTakeTheUsThousandsSeparator)
{
    for (const char* name : {"C", "xx_NOWHERE.UTF-8"}) {
        ScopedEnv locale("LC_ALL", name);
        const NumberSeparators separators = RegionalSeparators(platform::posix::LocaleSettings());
        EXPECT_EQ(separators.decimal, ".") << name;
        EXPECT_EQ(separators.thousands, ",") << name;
        EXPECT_TRUE(IsDecimalNumber("1,234", separators)) << name;
    }
}

TEST(CheckCardTest, Mod10AndTheTestNumbers)
{
    EXPECT_TRUE(CheckCard("4111111111111111"));
    EXPECT_FALSE(CheckCard("4111111111111112"));
    EXPECT_TRUE(CheckCard("378282246310005")) << "odd length doubles the even positions";
    EXPECT_FALSE(CheckCard("378282246310006"));
    EXPECT_TRUE(CheckCard("   ")) << "blanks weigh 0";
    EXPECT_FALSE(CheckCard(""));
    for (const char* test : {"0000000000000000", "8888888888888888", "5454545454545454"})
        EXPECT_FALSE(CheckCard(test)) << test;
    EXPECT_TRUE(CheckCard("00000000000000000")) << "only the exact test numbers are refused";
}

TEST(CheckCardTest, PositionsCountCharactersNotBytes)
{
    // The trailing "é" is one character; as two bytes it would move the
    // doubling onto the other digits and swap both results.
    EXPECT_TRUE(CheckCard("1111111111111114\u00E9"));
    EXPECT_FALSE(CheckCard("4111111111111111\u00E9"));
}

class PageChecksTest : public ::testing::Test {
protected:
    PageChecksTest()
    {
        form.SetVisible(true);
        fake.clock.Set({2026, 4, 15, 10, 0, 0, 3});
    }

    // Leaving the page forward, as Next checks it.
    bool Next(Page page)
    {
        form.Page(Number(page)).SetVisible(true);
        return PageChecksPass(wizard, page);
    }

    // Chooses `item`, adding it when the list does not hold it.
    static void Choose(Control& list, const std::string& item)
    {
        auto found = std::find(list.Items().begin(), list.Items().end(), item);
        if (found == list.Items().end()) {
            list.AddItem(item);
            found = list.Items().end() - 1;
        }
        list.SetListIndex(static_cast<int>(found - list.Items().begin()));
    }

    void FillPersonalPage()
    {
        form.txtFirstName.SetText("Ada");
        form.txtLastName.SetText("Lovelace");
        form.txtAddress1.SetText("12 Elm Street");
        form.txtCity.SetText("Springfield");
        Choose(form.cboState, "IL");
        form.txtZipCode.SetText("62701");
        Choose(form.cboAge, "25-34");
        Choose(form.cboGender, "Female");
        form.txtPhoneNumber.SetText("2175550142");
    }

    void FillPaymentPage(const std::string& month, const std::string& year)
    {
        Choose(form.cboPaymentType, "Visa");
        form.txtCCNumber.SetText("4111111111111111");
        if (!month.empty())
            Choose(form.cboCCMonth, month);
        if (!year.empty())
            Choose(form.cboCCYear, year);
        form.txtCCName.SetText("Ada Lovelace");
    }

    const std::vector<platform::fake::ShownBox>& Boxes() const { return fake.boxes.Shown(); }

    static std::string Report(std::initializer_list<const char*> lines)
    {
        std::string text = "Use Must enter correct value for:\r\n";
        for (const char* line : lines)
            text += std::string(line) + "\r\n";
        return text;
    }

    void ExpectOneBox(const std::string& text, const std::string& title, int style)
    {
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Boxes()[0].text, text);
        EXPECT_EQ(Boxes()[0].title, title);
        EXPECT_EQ(Boxes()[0].style, style);
    }

    void ExpectOneReport(std::initializer_list<const char*> lines)
    {
        ExpectOneBox(Report(lines), "Missing values", 49);
    }

    test::FakePlatform fake;
    host::Component component{fake.ports};
    frmRegWizard& wizard = *component.LoadForm();
    RegWizardDesign& form = wizard.form;
};

// ---- Personal information --------------------------------------------------------------------

TEST_F(PageChecksTest, MissingPersonalFieldsTurnRedAndAreListedInOrder)
{
    FillPersonalPage();
    form.txtFirstName.SetText("  ");
    form.txtCity.SetText("");
    form.txtPhoneNumber.SetText("");

    EXPECT_FALSE(Next(Page::Personal));
    ExpectOneReport({"First Name", "City", "Phone Number"});
    for (Control* red : {&form.lblFirstName, &form.lblCity, &form.lblPhone})
        EXPECT_EQ(red->ForeColor(), MissingColour) << red->Name();
    for (Control* white : {&form.lblLastName, &form.lblAddress, &form.lblState, &form.lblZipCode,
                           &form.lblAge, &form.lblGender})
        EXPECT_EQ(white->ForeColor(), NormalColour) << white->Name();
}

TEST_F(PageChecksTest, AnUnchosenListCountsAsMissing)
{
    FillPersonalPage();
    form.cboState.SetListIndex(-1);
    EXPECT_FALSE(Next(Page::Personal));
    ExpectOneReport({"State"});
    EXPECT_EQ(form.lblState.ForeColor(), MissingColour);
}

TEST_F(PageChecksTest, AWrongNumberIsListedButItsLabelKeepsItsColour)
{
    FillPersonalPage();
    form.txtPhoneNumber.SetText("555-0142");
    EXPECT_FALSE(Next(Page::Personal));
    ExpectOneReport({"Phone Number"});
    EXPECT_EQ(form.lblPhone.ForeColor(), NormalColour) << "white as designed";

    form.lblPhone.SetForeColor(MissingColour);
    form.txtZipCode.SetText("6270a");
    EXPECT_FALSE(Next(Page::Personal));
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[1].text, Report({"Zip Code", "Phone Number"}));
    EXPECT_EQ(form.lblPhone.ForeColor(), MissingColour) << "still red from before";
    EXPECT_EQ(form.lblZipCode.ForeColor(), NormalColour);
}

TEST_F(PageChecksTest, PersonalPagePassesWithoutSecondAddressLineOrEmail)
{
    FillPersonalPage();
    form.lblFirstName.SetForeColor(MissingColour);
    form.txtAddress2.SetText("");
    form.txtEmailAddress.SetText("");
    EXPECT_TRUE(Next(Page::Personal));
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(form.lblFirstName.ForeColor(), NormalColour) << "a filled field clears its mark";
}

// What the colour says, said without colour: the state a screen reader
// reports and a view draws as well.
TEST_F(PageChecksTest, AFailedCheckMarksItsFieldsAndFocusesTheFirstOnThePage)
{
    FillPersonalPage();
    form.txtPhoneNumber.SetText("");
    form.txtLastName.SetText("");
    form.txtZipCode.SetText("6270a");
    form.Page(Number(Page::Personal)).SetVisible(true);
    form.SetFocus(form.txtCity);

    EXPECT_FALSE(Next(Page::Personal));
    for (const Control* marked : {&form.lblLastName, &form.txtLastName, &form.lblPhone,
                                  &form.txtPhoneNumber, &form.txtZipCode})
        EXPECT_TRUE(marked->Missing()) << marked->Name();
    for (const Control* clear : {&form.lblFirstName, &form.txtFirstName, &form.txtCity})
        EXPECT_FALSE(clear->Missing()) << clear->Name();
    EXPECT_FALSE(form.lblZipCode.Missing()) << "a wrong number leaves its label as it was";
    EXPECT_EQ(form.ActiveControl(), &form.txtLastName) << "the first listed, in page order";

    FillPersonalPage();
    EXPECT_TRUE(Next(Page::Personal));
    for (const Control* cleared :
         {&form.lblLastName, &form.txtLastName, &form.txtPhoneNumber, &form.txtZipCode})
        EXPECT_FALSE(cleared->Missing()) << cleared->Name();
}

TEST_F(PageChecksTest, TheCardPageMarksTheFieldsItStopsAt)
{
    EXPECT_FALSE(Next(Page::Payment));
    EXPECT_TRUE(form.cboPaymentType.Missing());
    EXPECT_TRUE(form.lblPaymentType.Missing());
    EXPECT_EQ(form.ActiveControl(), &form.cboPaymentType);

    FillPaymentPage("4", "");
    EXPECT_FALSE(form.lblPaymentType.Missing()) << "choosing a type clears its mark";
    form.txtCCNumber.SetText("4111111111111112");
    EXPECT_FALSE(Next(Page::Payment));
    EXPECT_TRUE(form.txtCCNumber.Missing());
    EXPECT_EQ(form.ActiveControl(), &form.txtCCNumber);

    form.txtCCNumber.SetText("4111111111111111");
    EXPECT_FALSE(Next(Page::Payment));
    EXPECT_FALSE(form.txtCCNumber.Missing());
    EXPECT_FALSE(form.cboCCMonth.Missing());
    EXPECT_TRUE(form.cboCCYear.Missing());
    EXPECT_TRUE(form.lblCCExpiration.Missing()) << "the year decides the shared caption";
    EXPECT_EQ(form.ActiveControl(), &form.cboCCYear);
}

// ---- Media source and occupation -------------------------------------------------------------

TEST_F(PageChecksTest, MediaAndOccupationPagesListTheirEmptyLists)
{
    EXPECT_FALSE(Next(Page::Media));
    ExpectOneReport({"Where did you here about quorvale"});
    EXPECT_EQ(form.lblWhere1.ForeColor(), MissingColour);

    Choose(form.cboMediaSources, "Radio");
    EXPECT_TRUE(Next(Page::Media));

    Choose(form.cboOccupation, "Teacher");
    EXPECT_FALSE(Next(Page::Employment));
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[1].text, Report({"Currently employed", "Are you a business owner",
                                       "Intrested in home based business"}));
    EXPECT_EQ(form.lblOccupation.ForeColor(), NormalColour);
    EXPECT_EQ(form.lblPrimaryInterest.ForeColor(), MissingColour);
}

// ---- Payment ---------------------------------------------------------------------------------

TEST_F(PageChecksTest, WithoutPaymentTypeOnlyThePaymentTypeIsListed)
{
    EXPECT_FALSE(Next(Page::Payment));
    ExpectOneReport({"Payment Type"});
    EXPECT_EQ(form.lblPaymentType.ForeColor(), MissingColour);
}

TEST_F(PageChecksTest, AnInvalidOrEmptyCardNumberIsRefusedFirst)
{
    for (const char* number : {"4111111111111112", ""}) {
        FillPaymentPage("", "");
        form.txtCCNumber.SetText(number);
        EXPECT_FALSE(Next(Page::Payment)) << number;
    }
    ASSERT_EQ(Boxes().size(), 2u);
    for (const auto& box : Boxes()) {
        EXPECT_EQ(box.text, "You have entered an invalid credit card number!!!");
        EXPECT_EQ(box.title, "Invalid credit card");
        EXPECT_EQ(box.style, 48);
    }
}

TEST_F(PageChecksTest, AMonthPastInTheCurrentYearHasExpired)
{
    FillPaymentPage("3", "2026");
    EXPECT_FALSE(Next(Page::Payment));
    ExpectOneBox("Your credit card number is expired!!!", "Expired credit card", 48);
}

TEST_F(PageChecksTest, TheCurrentMonthOrALaterYearHasNotExpired)
{
    FillPaymentPage("04", "2026");
    form.lblCCExpiration.SetForeColor(MissingColour);
    EXPECT_TRUE(Next(Page::Payment));
    EXPECT_EQ(form.lblCCExpiration.ForeColor(), NormalColour);

    FillPaymentPage("1", "2027");
    EXPECT_TRUE(Next(Page::Payment));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(PageChecksTest, AMonthWithoutYearAsksForTheYearNotExpired)
{
    FillPaymentPage("1", "");
    EXPECT_FALSE(Next(Page::Payment));
    ExpectOneReport({"Expiration Year"});
    EXPECT_EQ(form.lblCCExpiration.ForeColor(), MissingColour);
}

TEST_F(PageChecksTest, MissingMonthAndNameAreListed)
{
    FillPaymentPage("", "");
    form.txtCCName.SetText(" ");
    EXPECT_FALSE(Next(Page::Payment));
    ExpectOneReport({"Expiration Month", "Expiration Year", "Name on card"});
    EXPECT_EQ(form.lblCCName.ForeColor(), MissingColour);
}

TEST_F(PageChecksTest, ABlankCardNumberFailsWithoutALineOfItsOwn)
{
    FillPaymentPage("12", "2026");
    form.txtCCNumber.SetText("    ");
    EXPECT_FALSE(Next(Page::Payment));
    ExpectOneReport({});
    EXPECT_EQ(form.lblCreditCardNumber.ForeColor(), MissingColour);
}

TEST_F(PageChecksTest, ChoosingAPaymentTypeShowsTheCardFields)
{
    std::vector<Control*> cardFields{
        &form.lblCreditCardNumber, &form.txtCCNumber, &form.lblCCExpiration, &form.cboCCMonth,
        &form.cboCCYear,           &form.lblCCName,   &form.txtCCName};
    for (Control* field : cardFields)
        field->SetVisible(false);
    for (Control* label :
         {&form.lblPaymentType, &form.lblCreditCardNumber, &form.lblCCExpiration, &form.lblCCName})
        label->SetForeColor(MissingColour);

    cboPaymentType_Click(wizard);
    EXPECT_FALSE(form.txtCCNumber.Visible()) << "nothing chosen yet";

    Choose(form.cboPaymentType, "MasterCard"); // raises the list's Click
    EXPECT_EQ(form.lblCreditCardNumber.Caption(), "Credit Card Number: (no spaces)");
    for (Control* field : cardFields)
        EXPECT_TRUE(field->Visible()) << field->Name();
    for (Control* label :
         {&form.lblPaymentType, &form.lblCreditCardNumber, &form.lblCCExpiration, &form.lblCCName})
        EXPECT_EQ(label->ForeColor(), NormalColour) << label->Name();
}

// ---- Device, passwords, area code ------------------------------------------------------------

TEST_F(PageChecksTest, ADeviceMustBeSelected)
{
    form.lstDevices.Clear();
    EXPECT_FALSE(Next(Page::Modem));
    ExpectOneBox("You must select a device to connect with.", "RegWizard", 16);

    Choose(form.lstDevices, "Standard Modem");
    EXPECT_TRUE(Next(Page::Modem));
}

TEST_F(PageChecksTest, PasswordsMustMatchExactly)
{
    form.txtPassword1.SetText("Pass");
    form.txtPassword2.SetText("pass");
    EXPECT_FALSE(Next(Page::Password));
    ExpectOneBox("The passwords do not match.", "RegWizard", 0);
    EXPECT_EQ(form.txtPassword1.Text(), "");
    EXPECT_EQ(form.txtPassword2.Text(), "");
    EXPECT_EQ(form.ActiveControl(), &form.txtPassword1);
}

TEST_F(PageChecksTest, APasswordNeedsFourCharacters)
{
    for (const char* shortOne : {"abc", "\u00E4bc"}) { // the second is four bytes
        form.txtPassword1.SetText(shortOne);
        form.txtPassword2.SetText(shortOne);
        EXPECT_FALSE(Next(Page::Password)) << shortOne;
        EXPECT_EQ(form.txtPassword1.Text(), "");
        EXPECT_EQ(form.txtPassword2.Text(), "");
        EXPECT_EQ(form.ActiveControl(), &form.txtPassword1);
    }
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[0].text, "Please enter a password that is betwwen 4 and 8 characters long.");
    EXPECT_EQ(Boxes()[0].style, 0);

    form.txtPassword1.SetText("\u00E4bcd");
    form.txtPassword2.SetText("\u00E4bcd");
    EXPECT_TRUE(Next(Page::Password));
}

TEST_F(PageChecksTest, AFocusThatCannotBeTakenIsIgnored)
{
    form.txtPassword1.SetText("abc");
    form.txtPassword2.SetText("abd");
    form.txtPassword1.SetEnabled(false);
    EXPECT_FALSE(Next(Page::Password));
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(form.txtPassword2.Text(), "") << "the steps after the focus still ran";
}

TEST_F(PageChecksTest, AnAreaCodeThatIsNoNumberIsListedAndFocused)
{
    form.txtAreaCode.SetText("6a2");
    EXPECT_FALSE(Next(Page::AreaCode));
    ExpectOneReport({"Area Code"});
    EXPECT_EQ(form.ActiveControl(), &form.txtAreaCode);

    form.txtAreaCode.SetText("602");
    EXPECT_TRUE(Next(Page::AreaCode));
}

TEST_F(PageChecksTest, PagesWithoutChecksPass)
{
    for (Page page :
         {Page::Welcome, Page::Agreement, Page::SiteConnection, Page::AccessNumber, Page::Finish})
        EXPECT_TRUE(Next(page)) << Describe(page).name;
    EXPECT_TRUE(Boxes().empty());
}

} // namespace
} // namespace regwiz::wizard
