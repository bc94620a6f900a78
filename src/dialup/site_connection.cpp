#include "dialup/site_connection.h"

#include "dialup/dial_up_entry.h"
#include "platform/errors.h"

namespace regwiz::dialup {
namespace {

using platform::ras::Connected;

constexpr int kAttempts = 3;

void ShowConnectionError(wizard::frmRegWizard& wizard, const std::string& caption)
{
    wizard.gErrorFlag = true;
    wizard.form.cmdNext.SetVisible(false);
    wizard.form.cmdBack.SetVisible(false);
    wizard.form.lblConfigureStep.SetCaption(caption);
}

// The chosen modem, for the dial-up entry.
void TakeChosenDevice(wizard::frmRegWizard& wizard)
{
    auto& devices = wizard.form.lstDevices;
    const int index = devices.ListIndex();
    Globals& globals = wizard.context.globals;
    globals.gDeviceName = devices.Text();
    globals.gDeviceType = index >= 0 && index < static_cast<int>(wizard.m_DeviceTypes.size())
                              ? wizard.m_DeviceTypes[static_cast<std::size_t>(index)]
                              : std::string();
}

// CreateDUN's failures are its result: a raised error must not let the
// sequence go on to dial as if the entry had been written.
long CreateEntry(wizard::frmRegWizard& wizard)
{
    try {
        return CreateDUN(wizard);
    } catch (const RunTimeError& error) {
        return error.Number() != 0 ? error.Number() : err::PathFileAccessError;
    }
}

std::string ContactingText(const char* between)
{
    return "The registration wizard is contacting " + std::string(wizard::ServiceDomain)
           + " on a secure toll free phone number." + between
           + "Please wait, this may take a few moments.\r\n";
}

void SetDialParams(platform::RasDialParams& params)
{
    wizard::ResumeNext([&] { params.SetEntryName(std::string(wizard::ServiceDomain)); });
    wizard::ResumeNext([&] { params.SetUserName(kRegistrationUser); });
    wizard::ResumeNext([&] { params.SetPassword(kRegistrationPassword); });
    wizard::ResumeNext([&] { params.SetDialOption(true); });
}

long ConnState(wizard::frmRegWizard& wizard)
{
    long state = platform::ras::Disconnected;
    wizard::ResumeNext([&] { state = wizard.objRASAcc->Dialer().DialParams().ConnState(); });
    return state;
}

} // namespace

void SiteConnectionSequence(wizard::frmRegWizard& wizard)
{
    auto& form = wizard.form;
    wizard.context.globals.gUserCanceled = false;
    form.lblPleaseWait.SetCaption("Please Wait");
    // Until the dialling decides, a press of Back or Next would skip ahead of
    // the connection; ConnectToSite gives them back once connected.
    form.cmdBack.SetEnabled(false);
    form.cmdNext.SetEnabled(false);
    TakeChosenDevice(wizard);
    form.lblConfigureStep.SetCaption("Step1: Configuring System");
    wizard.DoEvents();

    long result = CreateEntry(wizard);
    wizard.DoEvents();
    if (result != 0) {
        wizard.Log("cmdNext", "After create DUN RVal : " + std::to_string(result));
        ShowConnectionError(wizard,
                            "Error (" + std::to_string(result) + "): Creating Dial-Up Entry");
        return;
    }

    form.lblConfigureStep.SetCaption("Step2: Connecting to quorvale");
    wizard.DoEvents();
    result = ConnectToSite(wizard);
    if (result == 0) {
        form.lblPleaseWait.SetCaption("Press Next to continue");
        form.cmdNext.Click();
        return;
    }
    wizard.Log("cmdNext", "After connect to site RVal : " + std::to_string(result));
    ShowConnectionError(wizard, "Error (" + std::to_string(result) + "): Connecting to site.");
}

long ConnectToSite(wizard::frmRegWizard& wizard)
{
    auto& form = wizard.form;
    auto log = [&](const std::string& message) { wizard.Log("ConnectToSite", message); };
    log("Begin ConnectToSite");
    wizard.DoEvents();
    form.SetMousePointer(platform::pointer::Hourglass);
    form.lblPleaseWait.SetCaption(ContactingText("\r\n\r\n"));
    log("setting up values");
    platform::RasDialer& dialer = wizard.objRASAcc->Dialer();
    SetDialParams(dialer.DialParams());
    form.cmdNext.SetEnabled(false);
    form.cmdBack.SetEnabled(false);
    form.cmdHelp.SetEnabled(false);

    long status = 0;
    long state = 0;
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        log("About to dial. (" + std::to_string(attempt) + ")");
        form.lblConfigureStep.SetCaption("Connecting to quorvale : Attempt "
                                         + std::to_string(attempt) + " of 3");
        wizard.DoEvents();
        form.amiPleaseWait.SetVisible(true);
        form.amiPleaseWait.SetAnimationFile(AppFile(wizard.context.globals, "wait.avi").string());
        wizard.DoEvents();
        log("Before connect");
        wizard::ResumeNext([&] { status = dialer.Dial(0); });
        log("Status: " + std::to_string(status));
        form.amiPleaseWait.SetAnimationFile("");
        form.amiPleaseWait.SetVisible(false);
        state = ConnState(wizard);
        if (state == Connected) {
            log("Connected to site");
            break;
        }
        if (wizard.context.globals.gUserCanceled) {
            log("User canceled");
            form.lblPleaseWait.SetCaption("");
            form.lblConfigureStep.SetCaption(
                "Connection canceled by user.\r\nPlease try again later.");
            form.SetMousePointer(platform::pointer::Default);
            break;
        }
        log("Incrementing Event Count");
    }
    log("Status: " + std::to_string(status));

    long result = 0;
    if (state == Connected) {
        form.lblConfigureStep.SetCaption("Connected to site.\r\n");
        wizard.gErrorFlag = false;
        form.cmdBack.SetEnabled(true);
        form.cmdNext.SetEnabled(true);
        form.cmdHelp.SetEnabled(true);
    } else {
        form.lblPleaseWait.SetCaption("");
        form.lblConfigureStep.SetCaption(
            "I could not connect to the site.\r\nPlease try again later.");
        form.SetMousePointer(platform::pointer::Default);
        wizard.gErrorFlag = true;
        form.cmdCancel.SetEnabled(true);
        form.cmdHelp.SetEnabled(true);
        result = ConnState(wizard);
    }
    form.SetMousePointer(platform::pointer::Default);
    log("End ConnectToSite");
    return result;
}

void objRasAcc_ConnectionStatus(wizard::frmRegWizard& wizard, const std::string& sCallStatus,
                                long RasConnState, long dwerror)
{
    auto log = [&](const std::string& message) {
        wizard.Log("objRasAcc_ConnectionStatus", message);
    };
    log("Begin ConnectionStatus");
    const std::string t1 = ContactingText("\r\n");
    auto& pleaseWait = wizard.form.lblPleaseWait;
    wizard::ResumeNext([&] {
        if (dwerror > 0) {
            log("dwerror in objRasAcc_ConnectionStatus : " + std::to_string(dwerror));
            pleaseWait.SetCaption("Error (" + std::to_string(dwerror) + ") " + sCallStatus);
            HangUp(wizard);
            return;
        }
        log("RasConnState : " + std::to_string(RasConnState));
        switch (RasConnState) {
        case platform::ras::OpenPort:
            pleaseWait.SetCaption(t1 + "Step 1: Accessing Modem");
            break;
        case platform::ras::ConnectDevice:
        case platform::ras::DeviceConnected:
            pleaseWait.SetCaption(t1 + "Step 2: Connecting to quorvale");
            break;
        case platform::ras::Authenticate:
            pleaseWait.SetCaption(t1 + "Step 3: Logging into quorvale");
            break;
        case platform::ras::Authenticated:
            pleaseWait.SetCaption(t1 + "Step 4: Logged into quorvale");
            break;
        case platform::ras::Connected:
            pleaseWait.SetCaption(t1 + "Step 5: Connected to quorvale");
            break;
        case platform::ras::Disconnected:
            HangUp(wizard);
            break;
        default:
            break;
        }
    });
    wizard.DoEvents();
    log("End ConnectionStatus");
}

bool CheckConnection(const wizard::frmRegWizard& wizard)
{
    if (!wizard.objRASAcc)
        return false;
    return wizard.objRASAcc->Dialer().DialParams().ConnState() == Connected;
}

void HangUp(wizard::frmRegWizard& wizard)
{
    if (!wizard.objRASAcc)
        return;
    bool flag = true;
    wizard::ResumeNext([&] { wizard.objRASAcc->Dialer().HangUp(flag); });
}

} // namespace regwiz::dialup
