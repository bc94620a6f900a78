// The checks run when the member presses Next, and the card fields of the
// payment page.
#include "wizard/validation.h"

#include <array>
#include <charconv>
#include <optional>
#include <vector>

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/message_box.h"
#include "platform/text.h"
#include "wizard/reg_wizard.h"

namespace regwiz::wizard {
namespace {

using platform::mb::Critical;
using platform::mb::Exclamation;
using platform::mb::OkCancel;
using platform::mb::OkOnly;

// ---- The number test -------------------------------------------------------------------------

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool TakeToken(std::string_view& rest, std::string_view token)
{
    if (token.empty() || !rest.starts_with(token))
        return false;
    rest.remove_prefix(token.size());
    return true;
}

// One sign and one currency symbol, in either order, as "-$5" and "$-5" both
// read as money.
void SkipSignAndCurrency(std::string_view& rest)
{
    bool sign = false;
    bool currency = false;
    for (;;) {
        if (!sign && (TakeToken(rest, "+") || TakeToken(rest, "-")))
            sign = true;
        else if (!currency && TakeToken(rest, "$"))
            currency = true;
        else
            return;
    }
}

// The digits at the start of `rest`. A thousands separator counts only with a
// digit on each side; the group size is not checked, as the OLE conversion
// does not check it either.
std::string TakeDigits(std::string_view& rest, std::string_view thousands)
{
    std::string digits;
    while (!rest.empty()) {
        if (IsDigit(rest.front())) {
            digits += rest.front();
            rest.remove_prefix(1);
            continue;
        }
        const bool separates = !digits.empty() && !thousands.empty() && rest.starts_with(thousands)
                               && rest.size() > thousands.size() && IsDigit(rest[thousands.size()]);
        if (!separates)
            break;
        rest.remove_prefix(thousands.size());
    }
    return digits;
}

// A Decimal holds at most 79,228,162,514,264,337,593,543,950,335; fraction
// digits beyond its scale are rounded away, which overflows only at the top.
bool FitsDecimal(std::string_view whole, std::string_view fraction)
{
    constexpr std::string_view kLargest = "79228162514264337593543950335";
    const std::size_t first = whole.find_first_not_of('0');
    whole = first == std::string_view::npos ? std::string_view{} : whole.substr(first);
    if (whole.size() != kLargest.size())
        return whole.size() < kLargest.size();
    if (whole != kLargest)
        return whole < kLargest;
    return fraction.empty() || fraction.front() < '5';
}

std::optional<long> WholeNumber(std::string_view text)
{
    text = platform::TrimBlanks(text);
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// ---- Fields, labels and the report -----------------------------------------------------------

struct Field {
    std::uint16_t bit;
    Control* entry;
    Control* label;
    const char* reportLine; // null: the field is never listed
    bool numeric = false;
};

constexpr std::uint16_t kAllFields = 0xFFFF;

// The checked fields of each page, in report order.
std::vector<Field> PersonalFields(RegWizardDesign& f)
{
    return {{1, &f.txtFirstName, &f.lblFirstName, "First Name"},
            {2, &f.txtLastName, &f.lblLastName, "Last Name"},
            {4, &f.txtAddress1, &f.lblAddress, "Address 1"},
            {16, &f.txtCity, &f.lblCity, "City"},
            {32, &f.cboState, &f.lblState, "State"},
            {64, &f.txtZipCode, &f.lblZipCode, "Zip Code", true},
            {128, &f.cboAge, &f.lblAge, "Age"},
            {256, &f.cboGender, &f.lblGender, "Gender"},
            {512, &f.txtPhoneNumber, &f.lblPhone, "Phone Number", true}};
}

std::vector<Field> MediaFields(RegWizardDesign& f)
{
    return {{1, &f.cboMediaSources, &f.lblWhere1, "Where did you here about quorvale"}};
}

std::vector<Field> EmploymentFields(RegWizardDesign& f)
{
    return {{1, &f.cboEmployed, &f.lblJobFunction, "Currently employed"},
            {2, &f.cboOccupation, &f.lblOccupation, "Occupation"},
            {4, &f.cboBusinessOwner, &f.lblJobTitle, "Are you a business owner"},
            {8, &f.cboHomeBased, &f.lblPrimaryInterest, "Intrested in home based business"}};
}

std::vector<Field> PaymentFields(RegWizardDesign& f)
{
    return {{1, &f.cboPaymentType, &f.lblPaymentType, "Payment Type"},
            {2, &f.cboCCMonth, &f.lblCCExpiration, "Expiration Month"},
            {4, &f.cboCCYear, &f.lblCCExpiration, "Expiration Year"},
            {8, &f.txtCCName, &f.lblCCName, "Name on card"},
            {16, &f.txtCCNumber, &f.lblCreditCardNumber, nullptr}};
}

std::vector<Field> AreaCodeFields(RegWizardDesign& f)
{
    return {{1, &f.txtAreaCode, &f.lblAreaCode2, "Area Code", true}};
}

bool IsEmpty(const Control& control)
{
    return platform::TrimBlanks(control.Text()).empty();
}

// A caption's colour, and the state that says the same without colour.
void MarkLabel(Control& label, bool missing)
{
    label.SetForeColor(missing ? MissingColour : NormalColour);
    label.SetMissing(missing);
}

// An empty field turns its label red. A filled number field that does not
// convert is listed all the same, but its label keeps the colour it had:
// only a missing entry is marked on the page. The entry itself is marked
// whenever it is listed.
void CheckField(const Field& field, const NumberSeparators& separators, std::uint16_t& mask)
{
    const std::string text = field.entry->Text();
    const std::string_view trimmed = platform::TrimBlanks(text);
    if (trimmed.empty()) {
        MarkLabel(*field.label, true);
        mask |= field.bit;
    } else if (field.numeric && !IsDecimalNumber(trimmed, separators)) {
        mask |= field.bit;
    } else {
        MarkLabel(*field.label, false);
    }
    field.entry->SetMissing((mask & field.bit) != 0);
}

void CheckFields(const frmRegWizard& wizard, const std::vector<Field>& fields, std::uint16_t bits,
                 std::uint16_t& mask)
{
    const NumberSeparators separators = RegionalSeparators(wizard.context.ports.regional);
    for (const Field& field : fields)
        if ((field.bit & bits) != 0)
            CheckField(field, separators, mask);
}

void Tell(frmRegWizard& wizard, const std::string& text, int style, const std::string& title = {})
{
    platform::MsgBox(wizard.context.ports.boxes, text, style, title);
}

// Moving the focus is a courtesy: a control that cannot take it (the form not
// shown yet) must not turn a check into an error.
void FocusIfPossible(frmRegWizard& wizard, Control& control)
{
    try {
        wizard.form.SetFocus(control);
    } catch (const RunTimeError&) {
    }
}

// Shows the "Missing values" box for the fields set in `mask`.
void ReportMissing(frmRegWizard& wizard, std::uint16_t mask, const std::vector<Field>& fields)
{
    std::string text = "Use Must enter correct value for:\r\n";
    for (const Field& field : fields)
        if ((mask & field.bit) != 0 && field.reportLine != nullptr)
            text += std::string(field.reportLine) + "\r\n";
    Tell(wizard, text, OkCancel | Exclamation, "Missing values");
}

// Once the box is closed the member starts on the first field listed, in the
// order the page shows them.
void FocusFirstMissing(frmRegWizard& wizard, std::uint16_t mask, const std::vector<Field>& fields)
{
    for (const auto& control : wizard.form.Controls()) {
        for (const Field& field : fields) {
            if (field.entry == control.get() && (mask & field.bit) != 0
                && field.entry->UsableOnForm()) {
                FocusIfPossible(wizard, *field.entry);
                return;
            }
        }
    }
}

bool MaskStepPasses(frmRegWizard& wizard, std::uint16_t mask, const std::vector<Field>& fields)
{
    if (mask == 0)
        return true;
    ReportMissing(wizard, mask, fields);
    FocusFirstMissing(wizard, mask, fields);
    return false;
}

bool FieldPagePasses(frmRegWizard& wizard, const std::vector<Field>& fields)
{
    std::uint16_t mask = 0;
    CheckFields(wizard, fields, kAllFields, mask);
    return MaskStepPasses(wizard, mask, fields);
}

// ---- Payment page ----------------------------------------------------------------------------

bool CardExpired(const RegWizardDesign& f, const platform::LocalTime& now)
{
    const std::optional<long> month = WholeNumber(f.cboCCMonth.Text());
    const std::optional<long> year = WholeNumber(f.cboCCYear.Text());
    // An unfinished date (no year yet) is not expired: the year check asks for the year.
    if (!month || !year)
        return false;
    return *month < now.month && *year == now.year;
}

// The month and year of the expiry date; false when the card has expired.
bool CheckExpiry(frmRegWizard& wizard, std::uint16_t& mask)
{
    RegWizardDesign& f = wizard.form;
    MarkLabel(f.lblCCExpiration, false);
    const bool noMonth = IsEmpty(f.cboCCMonth);
    if (noMonth) {
        MarkLabel(f.lblCCExpiration, true);
        mask |= 2;
    } else if (CardExpired(f, wizard.context.ports.clock.Now())) {
        Tell(wizard, "Your credit card number is expired!!!", Exclamation, "Expired credit card");
        f.cboCCMonth.SetMissing(true);
        FocusIfPossible(wizard, f.cboCCMonth);
        return false;
    } else {
        MarkLabel(f.lblCCExpiration, false);
    }
    f.cboCCMonth.SetMissing(noMonth);
    const bool noYear = IsEmpty(f.cboCCYear);
    MarkLabel(f.lblCCExpiration, noYear);
    f.cboCCYear.SetMissing(noYear);
    if (noYear)
        mask |= 4;
    return true;
}

} // namespace

bool PersonalPagePasses(frmRegWizard& wizard)
{
    return FieldPagePasses(wizard, PersonalFields(wizard.form));
}

bool MediaPagePasses(frmRegWizard& wizard)
{
    return FieldPagePasses(wizard, MediaFields(wizard.form));
}

bool EmploymentPagePasses(frmRegWizard& wizard)
{
    return FieldPagePasses(wizard, EmploymentFields(wizard.form));
}

bool PaymentPagePasses(frmRegWizard& wizard)
{
    RegWizardDesign& f = wizard.form;
    const std::vector<Field> fields = PaymentFields(f);
    std::uint16_t mask = 0;
    const bool noType = IsEmpty(f.cboPaymentType);
    f.cboPaymentType.SetMissing(noType);
    if (noType) {
        MarkLabel(f.lblPaymentType, true);
        mask |= 1;
        return MaskStepPasses(wizard, mask, fields);
    }
    const bool cardPasses = CheckCard(f.txtCCNumber.Text());
    f.txtCCNumber.SetMissing(!cardPasses);
    if (!cardPasses) {
        Tell(wizard, "You have entered an invalid credit card number!!!", Exclamation,
             "Invalid credit card");
        FocusIfPossible(wizard, f.txtCCNumber);
        return false;
    }
    if (!CheckExpiry(wizard, mask))
        return false;
    CheckFields(wizard, fields, 8 | 16, mask);
    return MaskStepPasses(wizard, mask, fields);
}

// ---- Device, password and area code pages ----------------------------------------------------

bool DevicePagePasses(frmRegWizard& wizard)
{
    Control& devices = wizard.form.lstDevices;
    devices.SetMissing(devices.ListIndex() < 0);
    if (!devices.Missing())
        return true;
    Tell(wizard, "You must select a device to connect with.", Critical);
    FocusIfPossible(wizard, devices);
    return false;
}

namespace {

bool RejectPasswords(frmRegWizard& wizard, const std::string& message)
{
    Tell(wizard, message, OkOnly);
    wizard.form.txtPassword1.SetText("");
    wizard.form.txtPassword2.SetText("");
    FocusIfPossible(wizard, wizard.form.txtPassword1);
    return false;
}

} // namespace

bool PasswordPagePasses(frmRegWizard& wizard)
{
    const std::string password = wizard.form.txtPassword1.Text();
    if (password != wizard.form.txtPassword2.Text())
        return RejectPasswords(wizard, "The passwords do not match.");
    if (platform::CharCount(password) < 4)
        return RejectPasswords(wizard,
                               "Please enter a password that is betwwen 4 and 8 characters long.");
    return true;
}

bool AreaCodePagePasses(frmRegWizard& wizard)
{
    const std::vector<Field> fields = AreaCodeFields(wizard.form);
    std::uint16_t mask = 0;
    CheckFields(wizard, fields, kAllFields, mask);
    if (mask == 0)
        return true;
    ReportMissing(wizard, mask, fields);
    FocusIfPossible(wizard, wizard.form.txtAreaCode);
    return false;
}

// The Next handler takes a false result as "stay on the page"; a check that
// raises an error has not passed either, so the error stops here.
bool PageChecksPass(frmRegWizard& wizard, Page page)
{
    const auto check = Describe(page).check;
    try {
        return check == nullptr || check(wizard);
    } catch (const RunTimeError&) {
        return false;
    }
}

// Mod 10 (Luhn): every second digit leftwards from the next-to-last is
// doubled. Positions count characters, and a character that is not a digit
// counts as 0, so blanks pass and a number of any length is weighed.
bool CheckCard(const std::string& number)
{
    static constexpr std::array<std::string_view, 3> kTestNumbers = {
        "0000000000000000", "8888888888888888", "5454545454545454"};
    if (number.empty())
        return false;
    for (std::string_view test : kTestNumbers)
        if (number == test)
            return false;
    const std::string_view text = number;
    const long length = static_cast<long>(platform::CharCount(text));
    long sum = 0;
    long charsBefore = 0; // characters before byte `scanned`
    std::size_t scanned = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsDigit(text[i]))
            continue;
        charsBefore += static_cast<long>(platform::CharCount(text.substr(scanned, i - scanned)));
        scanned = i;
        const long position = charsBefore + 1;
        long digit = text[i] - '0';
        if (!IsEven(length - position))
            digit = digit * 2 > 9 ? digit * 2 - 9 : digit * 2;
        sum += digit;
    }
    return sum % 10 == 0;
}

bool IsEven(long number)
{
    return number % 2 == 0;
}

void cboPaymentType_Click(frmRegWizard& wizard)
{
    RegWizardDesign& f = wizard.form;
    if (IsEmpty(f.cboPaymentType))
        return;
    f.lblCreditCardNumber.SetCaption("Credit Card Number: (no spaces)");
    for (Control* shown : {&f.lblCreditCardNumber, &f.txtCCNumber, &f.lblCCExpiration,
                           &f.cboCCMonth, &f.cboCCYear, &f.lblCCName, &f.txtCCName})
        shown->SetVisible(true);
    for (Control* label :
         {&f.lblPaymentType, &f.lblCreditCardNumber, &f.lblCCExpiration, &f.lblCCName})
        MarkLabel(*label, false);
    f.cboPaymentType.SetMissing(false);
}

void SetInputLimits(frmRegWizard& wizard)
{
    RegWizardDesign& f = wizard.form;
    for (Control* password : {&f.txtPassword1, &f.txtPassword2}) {
        password->SetMaxLength(8);
        password->SetPasswordChar("*");
    }
    f.txtCCNumber.SetMaxLength(16);
    f.txtCCName.SetMaxLength(50);
    f.txtEmailAddress.SetMaxLength(100);
    f.txtMediaName.SetMaxLength(20);
    f.txtAreaCode.SetMaxLength(3);
    f.txtZipCode.SetMaxLength(5);
    f.txtPhoneNumber.SetMaxLength(10);
}

NumberSeparators RegionalSeparators(const platform::RegionalSettings& regional)
{
    NumberSeparators separators;
    const std::string decimal = regional.DecimalSeparator();
    const std::string thousands = regional.ThousandsSeparator();
    if (!decimal.empty())
        separators.decimal = decimal;
    if (!thousands.empty())
        separators.thousands = thousands;
    else if (separators.decimal == ",")
        separators.thousands.clear();
    return separators;
}

// Modelled on the OLE conversion to Decimal (VarDecFromStr) with only the
// forms a member types into a number field: blanks around the text, one
// leading sign and one leading "$" in either order, digits with thousands
// separators between them, and one decimal point followed by digits. Trailing
// signs, parentheses, exponents and hex are refused: they only make the test
// stricter, never let a letter or a dash through. At least one digit is
// needed, and the value must fit a Decimal.
bool IsDecimalNumber(std::string_view text, const NumberSeparators& separators)
{
    std::string_view rest = platform::TrimBlanks(text);
    SkipSignAndCurrency(rest);
    const std::string whole = TakeDigits(rest, separators.thousands);
    std::string fraction;
    if (TakeToken(rest, separators.decimal))
        fraction = TakeDigits(rest, {});
    if (!rest.empty() || (whole.empty() && fraction.empty()))
        return false;
    return FitsDecimal(whole, fraction);
}

} // namespace regwiz::wizard
