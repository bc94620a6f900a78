// Page 9: writes the dial-up entry and dials the registration server; once
// connected, presses Next itself.
#include "dialup/dial_up_entry.h"
#include "dialup/site_connection.h"
#include "platform/errors.h"
#include "wizard/reg_wizard.h"

namespace regwiz::wizard {
namespace {

using platform::ras::Connected;

constexpr int kAttempts = 3;

std::string ContactingText(const char* between)
{
    return "The registration wizard is contacting " + std::string(ServiceDomain)
           + " on a secure toll free phone number." + between
           + "Please wait, this may take a few moments.\r\n";
}

} // namespace

void frmRegWizard::SiteConnectionSequence()
{
    context.globals.gUserCanceled = false;
    form.lblPleaseWait.SetCaption("Please Wait");
    // Until the dialling decides, a press of Back or Next would skip ahead of
    // the connection; ConnectToSite gives them back once connected.
    form.cmdBack.SetEnabled(false);
    form.cmdNext.SetEnabled(false);
    TakeChosenDevice();
    form.lblConfigureStep.SetCaption("Step1: Configuring System");
    DoEvents();

    long result = CreateEntry();
    DoEvents();
    if (result != 0) {
        Log("cmdNext", "After create DUN RVal : " + std::to_string(result));
        ShowConnectionError("Error (" + std::to_string(result) + "): Creating Dial-Up Entry");
        return;
    }

    form.lblConfigureStep.SetCaption("Step2: Connecting to quorvale");
    DoEvents();
    result = ConnectToSite();
    if (result == 0) {
        form.lblPleaseWait.SetCaption("Press Next to continue");
        form.cmdNext.Click();
        return;
    }
    Log("cmdNext", "After connect to site RVal : " + std::to_string(result));
    ShowConnectionError("Error (" + std::to_string(result) + "): Connecting to site.");
}

void frmRegWizard::ShowConnectionError(const std::string& caption)
{
    gErrorFlag_ = true;
    form.cmdNext.SetVisible(false);
    form.cmdBack.SetVisible(false);
    form.lblConfigureStep.SetCaption(caption);
}

// The chosen modem, for the dial-up entry.
void frmRegWizard::TakeChosenDevice()
{
    auto& devices = form.lstDevices;
    const int index = devices.ListIndex();
    context.globals.gDeviceName = devices.Text();
    context.globals.gDeviceType = index >= 0 && index < static_cast<int>(m_DeviceTypes.size())
                                      ? m_DeviceTypes[static_cast<std::size_t>(index)]
                                      : std::string();
}

// CreateDUN's failures are its result: a raised error must not let the
// sequence go on to dial as if the entry had been written.
long frmRegWizard::CreateEntry()
{
    try {
        return CreateDUN();
    } catch (const RunTimeError& error) {
        return error.Number() != 0 ? error.Number() : err::PathFileAccessError;
    }
}

long frmRegWizard::CreateDUN()
{
    constexpr const char* kProcedure = "CreateDUN";
    Log(kProcedure, "Begin");
    const Globals& g = context.globals;
    const dialup::EntryResult written = dialup::CreateRegistrationEntry(
        *objRASAcc, {g.gRegServerNumber, g.gRegServerAreaCode, g.gDeviceName, g.gDeviceType});
    using Stage = dialup::EntryResult::Stage;
    if (written.stage == Stage::NameInvalid) {
        platform::MsgBox(context.ports.boxes,
                         "Error (" + std::to_string(written.error) + "): RAS Name invalid");
    } else {
        if (written.stage == Stage::SaveFailed)
            platform::MsgBox(context.ports.boxes,
                             "Error (" + std::to_string(written.error) + "): Creating RAS Entry");
        Log(kProcedure, "lngResult : " + std::to_string(written.lngResult));
    }
    Log(kProcedure, "End");
    return written.error;
}

long frmRegWizard::ConnectToSite()
{
    auto log = [&](const std::string& message) { Log("ConnectToSite", message); };
    log("Begin ConnectToSite");
    DoEvents();
    form.SetMousePointer(platform::pointer::Hourglass);
    form.lblPleaseWait.SetCaption(ContactingText("\r\n\r\n"));
    log("setting up values");
    platform::RasDialer& dialer = objRASAcc->Dialer();
    dialup::SetRegistrationDialParams(dialer.DialParams());
    form.cmdNext.SetEnabled(false);
    form.cmdBack.SetEnabled(false);
    form.cmdHelp.SetEnabled(false);

    long status = 0;
    long state = 0;
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        log("About to dial. (" + std::to_string(attempt) + ")");
        form.lblConfigureStep.SetCaption("Connecting to quorvale : Attempt "
                                         + std::to_string(attempt) + " of 3");
        DoEvents();
        form.amiPleaseWait.SetVisible(true);
        form.amiPleaseWait.SetAnimationFile(AppFile(context.globals, "wait.avi").string());
        DoEvents();
        log("Before connect");
        ResumeNext([&] { status = dialer.Dial(0); });
        log("Status: " + std::to_string(status));
        form.amiPleaseWait.SetAnimationFile("");
        form.amiPleaseWait.SetVisible(false);
        state = dialup::ConnState(*objRASAcc);
        if (state == Connected) {
            log("Connected to site");
            break;
        }
        if (context.globals.gUserCanceled) {
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
        gErrorFlag_ = false;
        form.cmdBack.SetEnabled(true);
        form.cmdNext.SetEnabled(true);
        form.cmdHelp.SetEnabled(true);
    } else {
        form.lblPleaseWait.SetCaption("");
        form.lblConfigureStep.SetCaption(
            "I could not connect to the site.\r\nPlease try again later.");
        form.SetMousePointer(platform::pointer::Default);
        gErrorFlag_ = true;
        form.cmdCancel.SetEnabled(true);
        form.cmdHelp.SetEnabled(true);
        result = dialup::ConnState(*objRASAcc);
    }
    form.SetMousePointer(platform::pointer::Default);
    log("End ConnectToSite");
    return result;
}

void frmRegWizard::objRasAcc_ConnectionStatus(const std::string& sCallStatus, long RasConnState,
                                              long dwerror)
{
    auto log = [&](const std::string& message) { Log("objRasAcc_ConnectionStatus", message); };
    log("Begin ConnectionStatus");
    const std::string t1 = ContactingText("\r\n");
    auto& pleaseWait = form.lblPleaseWait;
    ResumeNext([&] {
        if (dwerror > 0) {
            log("dwerror in objRasAcc_ConnectionStatus : " + std::to_string(dwerror));
            pleaseWait.SetCaption("Error (" + std::to_string(dwerror) + ") " + sCallStatus);
            dialup::HangUp(objRASAcc.get());
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
            dialup::HangUp(objRASAcc.get());
            break;
        default:
            break;
        }
    });
    DoEvents();
    log("End ConnectionStatus");
}

void frmRegWizard::objRASAcc_DeviceInfo(const std::string& DeviceType,
                                        const std::string& DeviceName)
{
    form.lstDevices.AddItem(DeviceName);
    m_DeviceTypes.back() = DeviceType;
    m_DeviceTypes.emplace_back();
}

} // namespace regwiz::wizard
