#pragma once

#include <array>
#include <string>

#include "wizard/form_model.h"

namespace regwiz::wizard {

inline constexpr int kPageCount = 12;

// A transfer component's design-time properties.
struct InetDesign {
    std::string protocol; // "" default (HTTP), "FTP"
    std::string url;
    int remotePort = 80;
    int requestTimeout = 60; // seconds
};

// The timer's design-time properties; the form runs it.
struct TimerDesign {
    bool enabled = true;
    int interval = 3000; // milliseconds
};

// frmRegWizard as designed: every control with its design-time text,
// visibility and enabled state, before any code runs.
class RegWizardDesign : public FormModel {
public:
    RegWizardDesign();

    // The window's size, in pixels.
    static constexpr int kDesignWidth = 660;
    static constexpr int kDesignHeight = 460;

    Control& Page(int n) { return *fraSteps[static_cast<std::size_t>(n)]; }

    using K = ControlKind;
    std::array<Control*, kPageCount> fraSteps{};

    // Error panels and the button bar, outside the pages.
    Control& fraError = Add(K::Frame, "fraError");
    Control& lblError = Add(K::Label, "lblError", &fraError);
    Control& imgError = Add(K::Image, "imgError", &fraError);
    Control& fraTerminalError = Add(K::Frame, "fraTerminalError");
    Control& LinTopLine = Add(K::Line, "LinTopLine");
    Control& linBottomLine = Add(K::Line, "linBottomLine");
    Control& fraButtonBackground = Add(K::Frame, "fraButtonBackground");
    Control& cmdBack = Add(K::CommandButton, "cmdBack", &fraButtonBackground);
    Control& cmdNext = Add(K::CommandButton, "cmdNext", &fraButtonBackground);
    Control& cmdCancel = Add(K::CommandButton, "cmdCancel", &fraButtonBackground);
    Control& cmdHelp = Add(K::CommandButton, "cmdHelp", &fraButtonBackground);

    // Page 0, Welcome.
    Control& fraStep0 = AddPage(0);
    Control& ImgWelcome = Add(K::Image, "ImgWelcome", &fraStep0);
    Control& lblWelcome = Add(K::Label, "lblWelcome", &fraStep0);
    Control& lblWelcome2 = Add(K::Label, "lblWelcome2", &fraStep0);
    // Page 1, Agreement.
    Control& fraStep1 = AddPage(1);
    Control& imgStep1 = Add(K::Image, "imgStep1", &fraStep1);
    Control& txtAgreement = Add(K::TextBox, "txtAgreement", &fraStep1);
    Control& lblInstructions = Add(K::Label, "lblInstructions", &fraStep1);
    Control& lblNotice = Add(K::Label, "lblNotice", &fraStep1);
    // Page 2, Personal Information.
    Control& fraStep2 = AddPage(2);
    Control& imgStep2 = Add(K::Image, "imgStep2", &fraStep2);
    Control& lblPersonalInformation = Add(K::Label, "lblPersonalInformation", &fraStep2);
    Control& lblFirstName = Add(K::Label, "lblFirstName", &fraStep2);
    Control& txtFirstName = Add(K::TextBox, "txtFirstName", &fraStep2);
    Control& lblLastName = Add(K::Label, "lblLastName", &fraStep2);
    Control& txtLastName = Add(K::TextBox, "txtLastName", &fraStep2);
    Control& lblAddress = Add(K::Label, "lblAddress", &fraStep2);
    Control& txtAddress1 = Add(K::TextBox, "txtAddress1", &fraStep2);
    Control& txtAddress2 = Add(K::TextBox, "txtAddress2", &fraStep2);
    Control& lblCity = Add(K::Label, "lblCity", &fraStep2);
    Control& txtCity = Add(K::TextBox, "txtCity", &fraStep2);
    Control& lblState = Add(K::Label, "lblState", &fraStep2);
    Control& cboState = Add(K::ComboBox, "cboState", &fraStep2);
    Control& lblZipCode = Add(K::Label, "lblZipCode", &fraStep2);
    Control& txtZipCode = Add(K::TextBox, "txtZipCode", &fraStep2);
    Control& lblAge = Add(K::Label, "lblAge", &fraStep2);
    Control& cboAge = Add(K::ComboBox, "cboAge", &fraStep2);
    Control& lblGender = Add(K::Label, "lblGender", &fraStep2);
    Control& cboGender = Add(K::ComboBox, "cboGender", &fraStep2);
    Control& lblPhone = Add(K::Label, "lblPhone", &fraStep2);
    Control& txtPhoneNumber = Add(K::TextBox, "txtPhoneNumber", &fraStep2);
    Control& lblPhnNmbr = Add(K::Label, "lblPhnNmbr", &fraStep2);
    Control& lblEMailInst = Add(K::Label, "lblEMailInst", &fraStep2);
    Control& lblEMailAddress = Add(K::Label, "lblEMailAddress", &fraStep2);
    Control& txtEmailAddress = Add(K::TextBox, "txtEmailAddress", &fraStep2);
    // Page 3, Media Source.
    Control& fraStep3 = AddPage(3);
    Control& imgStep3 = Add(K::Image, "imgStep3", &fraStep3);
    Control& lblWhere1 = Add(K::Label, "lblWhere1", &fraStep3);
    Control& cboMediaSources = Add(K::ComboBox, "cboMediaSources", &fraStep3);
    Control& lblWhere2 = Add(K::Label, "lblWhere2", &fraStep3);
    Control& txtMediaName = Add(K::TextBox, "txtMediaName", &fraStep3);
    // Page 4, Occupational Information.
    Control& fraStep4 = AddPage(4);
    Control& imgStep4 = Add(K::Image, "imgStep4", &fraStep4);
    Control& lblCustomize = Add(K::Label, "lblCustomize", &fraStep4);
    Control& lblJobFunction = Add(K::Label, "lblJobFunction", &fraStep4);
    Control& cboEmployed = Add(K::ComboBox, "cboEmployed", &fraStep4);
    Control& lblOccupation = Add(K::Label, "lblOccupation", &fraStep4);
    Control& cboOccupation = Add(K::ComboBox, "cboOccupation", &fraStep4);
    Control& lblJobTitle = Add(K::Label, "lblJobTitle", &fraStep4);
    Control& cboBusinessOwner = Add(K::ComboBox, "cboBusinessOwner", &fraStep4);
    Control& lblPrimaryInterest = Add(K::Label, "lblPrimaryInterest", &fraStep4);
    Control& cboHomeBased = Add(K::ComboBox, "cboHomeBased", &fraStep4);
    // Page 5, Payment Information.
    Control& fraStep5 = AddPage(5);
    Control& imgStep5 = Add(K::Image, "imgStep5", &fraStep5);
    Control& lblCCInstructions = Add(K::Label, "lblCCInstructions", &fraStep5);
    Control& lblPaymentType = Add(K::Label, "lblPaymentType", &fraStep5);
    Control& cboPaymentType = Add(K::ComboBox, "cboPaymentType", &fraStep5);
    Control& lblCreditCardNumber = Add(K::Label, "lblCreditCardNumber", &fraStep5);
    Control& txtCCNumber = Add(K::TextBox, "txtCCNumber", &fraStep5);
    Control& lblCCExpiration = Add(K::Label, "lblCCExpiration", &fraStep5);
    Control& cboCCMonth = Add(K::ComboBox, "cboCCMonth", &fraStep5);
    Control& cboCCYear = Add(K::ComboBox, "cboCCYear", &fraStep5);
    Control& lblCCName = Add(K::Label, "lblCCName", &fraStep5);
    Control& txtCCName = Add(K::TextBox, "txtCCName", &fraStep5);
    // Page 6, Modem Selection.
    Control& fraStep6 = AddPage(6);
    Control& imgStep6 = Add(K::Image, "imgStep6", &fraStep6);
    Control& lblConnection = Add(K::Label, "lblConnection", &fraStep6);
    Control& lstDevices = Add(K::ListBox, "lstDevices", &fraStep6);
    // Page 7, Password Entry.
    Control& fraStep7 = AddPage(7);
    Control& imgStep7 = Add(K::Image, "imgStep7", &fraStep7);
    Control& Label1 = Add(K::Label, "Label1", &fraStep7);
    Control& lblPassword1 = Add(K::Label, "lblPassword1", &fraStep7);
    Control& txtPassword1 = Add(K::TextBox, "txtPassword1", &fraStep7);
    Control& lblPassword2 = Add(K::Label, "lblPassword2", &fraStep7);
    Control& txtPassword2 = Add(K::TextBox, "txtPassword2", &fraStep7);
    // Page 8, Area Code Selection.
    Control& fraStep8 = AddPage(8);
    Control& imgStep8 = Add(K::Image, "imgStep8", &fraStep8);
    Control& lblAreaCode = Add(K::Label, "lblAreaCode", &fraStep8);
    Control& lblAreaCode2 = Add(K::Label, "lblAreaCode2", &fraStep8);
    Control& txtAreaCode = Add(K::TextBox, "txtAreaCode", &fraStep8);
    Control& lblAreaCodeEx = Add(K::Label, "lblAreaCodeEx", &fraStep8);
    // Page 9, Site Connection.
    Control& fraStep9 = AddPage(9);
    Control& imgStep9 = Add(K::Image, "imgStep9", &fraStep9);
    Control& imgConfig1 = Add(K::Image, "imgConfig1", &fraStep9);
    Control& lblPleaseWait = Add(K::Label, "lblPleaseWait", &fraStep9);
    Control& lblConfigureStep = Add(K::Label, "lblConfigureStep", &fraStep9);
    Control& amiPleaseWait = Add(K::Animation, "amiPleaseWait", &fraStep9);
    // Page 10, Access Number Selection.
    Control& fraStep10 = AddPage(10);
    Control& imgStep10 = Add(K::Image, "imgStep10", &fraStep10);
    Control& lblAccessNumber = Add(K::Label, "lblAccessNumber", &fraStep10);
    Control& lblAccessNumbers = Add(K::Label, "lblAccessNumbers", &fraStep10);
    Control& lstAccessNumbers = Add(K::ListBox, "lstAccessNumbers", &fraStep10);
    Control& lblAccessState = Add(K::Label, "lblAccessState", &fraStep10);
    Control& cboAccessState = Add(K::ComboBox, "cboAccessState", &fraStep10);
    Control& lblAccessCity = Add(K::Label, "lblAccessCity", &fraStep10);
    Control& cboAccessCity = Add(K::ComboBox, "cboAccessCity", &fraStep10);
    Control& cmdSelectAccessNumber = Add(K::CommandButton, "cmdSelectAccessNumber", &fraStep10);
    Control& chkTenDigit = Add(K::CheckBox, "chkTenDigit", &fraStep10);
    // Page 11, Finish.
    Control& fraStep11 = AddPage(11);
    Control& imgStep11 = Add(K::Image, "imgStep11", &fraStep11);
    Control& lblConfigSystem = Add(K::Label, "lblConfigSystem", &fraStep11);

    TimerDesign Timer1;
    InetDesign inetFtp{"FTP", "ftp://", 21, 60};
    InetDesign Inet1{"", "", 80, 60};

    // The postal codes of cboState, in design order.
    static const std::array<const char*, 59> kStateCodes;

private:
    Control& AddPage(int n);
    void SetDesignTexts();
    void SetDesignLook();
    void SetAccessibility();
};

} // namespace regwiz::wizard
