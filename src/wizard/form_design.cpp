#include "wizard/form_design.h"

#include <utility>

namespace regwiz::wizard {

const std::array<const char*, 59> RegWizardDesign::kStateCodes = {
    "AK", "AL", "AR", "AS", "AZ", "CA", "CO", "CT", "DC", "DE", "FL", "FM", "GA", "GU", "HI",
    "IA", "ID", "IL", "IN", "KS", "KY", "LA", "MA", "MD", "ME", "MH", "MI", "MN", "MO", "MP",
    "MS", "MT", "NC", "ND", "NE", "NH", "NJ", "NM", "NV", "NY", "OH", "OK", "OR", "PA", "PR",
    "PW", "RI", "SC", "SD", "TN", "TX", "UT", "VA", "VI", "VT", "WA", "WI", "WV", "WY"};

RegWizardDesign::RegWizardDesign() : FormModel("frmRegWizard")
{
    SetCaption("quorvale Registration Wizard");
    SetSize(kDesignWidth, kDesignHeight);
    SetDesignTexts();
    SetDesignLook();
    SetAccessibility();
    for (const char* code : kStateCodes)
        cboState.AddItem(code);
}

Control& RegWizardDesign::AddPage(int n)
{
    Control& page = Add(K::Frame, "fraSteps(" + std::to_string(n) + ")");
    page.SetVisible(n == 0);
    fraSteps[static_cast<std::size_t>(n)] = &page;
    return page;
}

void RegWizardDesign::SetDesignTexts()
{
    cmdBack.SetCaption("< &Back");
    cmdNext.SetCaption("&Next >");
    cmdCancel.SetCaption("Cancel");
    cmdHelp.SetCaption("Help");

    lblWelcome.SetCaption("Welcome to the quorvale 4.02 Setup Wizard");
    lblWelcome2.SetCaption("Follow these step-by-step instructions to start using quorvale.  "
                           "Click Next to continue.");
    lblInstructions.SetCaption("Click Agree if you accept the terms of this License Agreement and "
                               "Privacy Policy, otherwise, click Do Not Agree.");
    lblNotice.SetCaption("This software is licensed, not sold. You may use it only to sign up for "
                         "and connect to quorvale Online under the terms of the agreement above.");
    lblPersonalInformation.SetCaption(
        "To process your account we will need the following information:");
    lblFirstName.SetCaption("First name:");
    lblLastName.SetCaption("Last name:");
    lblAddress.SetCaption("Address:");
    lblCity.SetCaption("City:");
    lblState.SetCaption("State:");
    lblZipCode.SetCaption("Zip code:");
    lblAge.SetCaption("Age:");
    lblGender.SetCaption("Gender:");
    lblPhone.SetCaption("Phone Number:");
    lblPhnNmbr.SetCaption("Please include your area code.");
    lblEMailInst.SetCaption("If you currently have an email address please enter it below.");
    lblEMailAddress.SetCaption("Email Address:");
    lblWhere1.SetCaption("Where did you hear about quorvale:");
    lblWhere2.SetCaption("Please enter an ID# or name of the person/entity who told you about "
                         "quorvale:");
    lblCustomize.SetCaption("To help us customize the information you receive, select your "
                            "occupation and topics of interest from the lists below.");
    lblJobFunction.SetCaption("Currently employed:");
    lblOccupation.SetCaption("Occupation:");
    lblJobTitle.SetCaption("Are you a business owner:");
    lblPrimaryInterest.SetCaption("Interested in home based business");
    lblCCInstructions.SetCaption("Please select your method of payment.");
    lblPaymentType.SetCaption("Payment Type:");
    lblCreditCardNumber.SetCaption("Credit Card Number: (no spaces)");
    lblCCExpiration.SetCaption("Expiration:");
    lblCCName.SetCaption("Name On Card:");
    lblConnection.SetCaption("You can connect to quorvale online using one of the options below.  "
                             "Click on the option you would like to use, then click Next to "
                             "continue.");
    Label1.SetCaption("You will need a password to connect to quorvale online.  Please enter a "
                      "password between 4 and 8 characters.");
    lblPassword1.SetCaption("Enter password:");
    lblPassword2.SetCaption("Re-Enter Password:");
    lblAreaCode.SetCaption("To access quorvale Online you will need to dial in using your modem. "
                           "Please enter the area code you will be dialing from in the box below "
                           "to help us determine the local access number.");
    lblAreaCode2.SetCaption("Area Code:");
    lblAreaCodeEx.SetCaption("(Example: 602)");
    lblPleaseWait.SetCaption("Please Wait");
    lblAccessNumbers.SetCaption("Access Numbers:");
    lblAccessState.SetCaption("State:");
    lblAccessCity.SetCaption("City:");
    cmdSelectAccessNumber.SetCaption("Select a different access number");
    chkTenDigit.SetCaption("Use 10-digit dialing to dial the selected access number");
    lblConfigSystem.SetCaption(
        "Please wait while your account information is being processed by quorvale.");
}

void RegWizardDesign::SetDesignLook()
{
    // Pages and error panels are blue; their labels white on blue.
    for (const auto& control : Controls()) {
        Control* container = control->Container();
        const bool onPanel = container != nullptr && container != &fraButtonBackground;
        if (control->Kind() == K::Frame && control.get() != &fraButtonBackground) {
            control->SetBackColor(colour::Blue);
            control->SetForeColor(colour::White);
        } else if (control->Kind() == K::Label && onPanel) {
            control->SetBackColor(colour::Blue);
            control->SetForeColor(colour::White);
        }
    }
    txtAgreement.SetMultiLine(true);
    txtAgreement.SetLocked(true);

    fraError.SetVisible(false);
    fraTerminalError.SetVisible(false);
    cmdBack.SetVisible(false);
    cmdBack.SetEnabled(false);
    for (Control* hidden : {&lstAccessNumbers, &lblAccessNumbers, &lblAccessState, &cboAccessState,
                            &lblAccessCity, &cmdSelectAccessNumber, &cboAccessCity})
        hidden->SetVisible(false);
    cboAccessCity.SetEnabled(false);
}

// What a screen reader says of each control: fields by the label beside them
// (two fields under one label each by a name of its own), page frames by the
// page's subject, and pictures not at all.
void RegWizardDesign::SetAccessibility()
{
    static constexpr std::array<const char*, kPageCount> kPageSubjects = {
        "Welcome",
        "Agreement",
        "Personal Information",
        "Media Source",
        "Occupational Information",
        "Payment Information",
        "Modem Selection",
        "Password Entry",
        "Area Code Selection",
        "Site Connection",
        "Access Number Selection",
        "Finish"};
    for (int n = 0; n < kPageCount; ++n)
        Page(n).SetAccessibleName(kPageSubjects[static_cast<std::size_t>(n)]);
    fraError.SetAccessibleName("Error");
    fraTerminalError.SetAccessibleName("Error");
    fraButtonBackground.SetAccessibleName("Buttons");

    const std::pair<Control*, Control*> labelled[] = {
        {&txtFirstName, &lblFirstName},
        {&txtLastName, &lblLastName},
        {&txtAddress1, &lblAddress},
        {&txtAddress2, &lblAddress},
        {&txtCity, &lblCity},
        {&cboState, &lblState},
        {&txtZipCode, &lblZipCode},
        {&cboAge, &lblAge},
        {&cboGender, &lblGender},
        {&txtPhoneNumber, &lblPhone},
        {&txtEmailAddress, &lblEMailAddress},
        {&cboMediaSources, &lblWhere1},
        {&txtMediaName, &lblWhere2},
        {&cboEmployed, &lblJobFunction},
        {&cboOccupation, &lblOccupation},
        {&cboBusinessOwner, &lblJobTitle},
        {&cboHomeBased, &lblPrimaryInterest},
        {&cboPaymentType, &lblPaymentType},
        {&txtCCNumber, &lblCreditCardNumber},
        {&cboCCMonth, &lblCCExpiration},
        {&cboCCYear, &lblCCExpiration},
        {&txtCCName, &lblCCName},
        {&lstDevices, &lblConnection},
        {&txtPassword1, &lblPassword1},
        {&txtPassword2, &lblPassword2},
        {&txtAreaCode, &lblAreaCode2},
        {&lstAccessNumbers, &lblAccessNumbers},
        {&cboAccessState, &lblAccessState},
        {&cboAccessCity, &lblAccessCity},
    };
    for (const auto& [field, label] : labelled)
        field->SetLabel(label);
    txtAddress1.SetAccessibleName("Address line 1");
    txtAddress2.SetAccessibleName("Address line 2");
    cboCCMonth.SetAccessibleName("Expiration month");
    cboCCYear.SetAccessibleName("Expiration year");
    lstDevices.SetAccessibleName("Connection options");
    txtAgreement.SetAccessibleName("License Agreement and Privacy Policy");

    for (const auto& control : Controls())
        if (control->Kind() == K::Image)
            control->SetDecorative(true);
    amiPleaseWait.SetAccessibleName("Please Wait");
    for (Control* status :
         {&lblPleaseWait, &lblConfigureStep, &lblAccessNumber, &lblConfigSystem, &lblError})
        status->SetReportsStatus(true);
    SetDefaultButton(&cmdNext);
}

} // namespace regwiz::wizard
