// Page 11: posts the member's answers to the registration server, shows the
// result, hangs up, and points the dial-up entry at the chosen access number.
#include <array>

#include "dialup/dial_up_entry.h"
#include "dialup/site_connection.h"
#include "exchange/server_reply.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/inet.h"
#include "platform/text.h"
#include "wizard/reg_wizard.h"
#include "wizard/volume_serial.h"

namespace regwiz::wizard {
namespace {

constexpr const char* kConfigFile = "conf\\register.cfg";
constexpr int kChunkSize = 1024;

const char* StateName(std::int16_t state)
{
    static constexpr std::array<const char*, 13> kNames = {"icNone",
                                                           "icHostResolvingHost",
                                                           "icHostResolved",
                                                           "icConnecting",
                                                           "icConnected",
                                                           "icRequesting",
                                                           "icRequestSent",
                                                           "icReceivingResponse",
                                                           "icReceivingResponse",
                                                           "icDisconnecting",
                                                           "icDisconnected",
                                                           "icError: ",
                                                           "icResponseCompleted"};
    return state >= 0 && state < 13 ? kNames[static_cast<std::size_t>(state)] : nullptr;
}

// Exactly four characters of the volume code.
std::string VolumeCode4(const platform::VolumeInfo& volume)
{
    std::string code = platform::Left(GetVolumeSerial(volume), 4);
    while (platform::CharCount(code) < 4)
        code.insert(code.begin(), '0');
    return code;
}

} // namespace

void frmRegWizard::FinishingSequence()
{
    auto& f = form;
    auto log = [&](const std::string& message) { Log("cmdNext", message); };
    log("FINISHED_STEP");
    gWaitingForReply_ = true;
    f.cmdBack.SetVisible(false);
    f.cmdNext.SetVisible(false);
    f.cmdBack.SetEnabled(false);
    f.cmdNext.SetEnabled(false);
    f.cmdCancel.SetEnabled(false);
    f.lblConfigSystem.SetCaption("Please wait while your account information is being processed by "
                                 "quorvale.  This may take several minutes.  If you interrupt this "
                                 "process your account may not be set up properly.");
    f.SetMousePointer(platform::pointer::Hourglass);
    log("");
    const std::string url =
        exchange::RegistrationHttpUrl(ReadSetting("RegSvrHttp")) + exchange::kRequestPath;
    const exchange::SignUpRecord record = SignUp();
    log("strFormData: " + exchange::LoggedBody(record));
    try {
        if (!Inet1)
            throw RunTimeError(platform::inet::ErrorInvalidUrl, "No transfer control");
        Inet1->Execute(url, "Post", exchange::RequestBody(record), exchange::kRequestHeader);
    } catch (const RunTimeError&) {
        // A request that cannot start ends the wait at once, like a failed one.
        gWaitingForReply_ = false;
        ReplyFailed();
        return;
    }
    DoEvents();
    log("After execute");
    // The transfer ends by its request time-out at the latest, and every
    // final state clears the flag.
    while (gWaitingForReply_)
        context.ports.loop.WaitForEvents();
    if (context.globals.gInetState != platform::inet::ResponseCompleted)
        return;
    log("Before Reset Dun");
    ResetDUN(f.lstAccessNumbers.Text());
    log("After Reset Dun");
}

// The member's answers as the server takes them.
exchange::SignUpRecord frmRegWizard::SignUp()
{
    const auto& f = form;
    const Globals& g = context.globals;
    const bool affiliate = !g.gAffiliateID.empty();
    exchange::SignUpRecord r;
    r.firstName = f.txtFirstName.Text();
    r.lastName = f.txtLastName.Text();
    r.address1 = f.txtAddress1.Text();
    r.address2 = f.txtAddress2.Text();
    r.city = f.txtCity.Text();
    r.state = f.cboState.Text();
    r.zipCode = f.txtZipCode.Text();
    r.age = f.cboAge.Text();
    r.gender = f.cboGender.Text();
    r.phone = f.txtPhoneNumber.Text();
    r.email = f.txtEmailAddress.Text();
    r.media = ConfigCode("whrfrm", affiliate ? "Affiliate" : f.cboMediaSources.Text());
    r.mediaName = affiliate ? g.gAffiliateID : f.txtMediaName.Text();
    r.accType = g.gAccType;
    r.employed = ConfigCode("emplymnt", f.cboEmployed.Text());
    r.occupation = ConfigCode("occptn", f.cboOccupation.Text());
    r.businessOwner = ConfigCode("bsnss", f.cboBusinessOwner.Text());
    r.homeBased = ConfigCode("hmbsnss", f.cboHomeBased.Text());
    r.paymentType = ConfigCode("pymnt", f.cboPaymentType.Text());
    r.ccNumber = f.txtCCNumber.Text();
    r.ccMonth = f.cboCCMonth.Text();
    r.ccYear = f.cboCCYear.Text();
    r.ccName = f.txtCCName.Text();
    r.accessNumber = VolumeCode4(context.ports.volume);
    r.password = f.txtPassword1.Text();
    return r;
}

// The server's code of a choice, from "conf\register.cfg".
std::string frmRegWizard::ConfigCode(const char* section, const std::string& choice)
{
    return context.store.ReadConfigString(kConfigFile, section, choice);
}

void frmRegWizard::Inet1_StateChanged(std::int16_t State)
{
    auto log = [&](const std::string& message) { Log("Inet1_StateChanged", message); };
    context.globals.gInetState = State;
    log("State : " + std::to_string(State));
    if (const char* name = StateName(State)) {
        if (State == platform::inet::Error)
            log(name + std::to_string(Inet1->ResponseCode()) + "    " + Inet1->ResponseInfo());
        else
            log(name);
    }
    if (State == platform::inet::Error) {
        ResumeNext([&] { Inet1->GetChunk(kChunkSize, 0); });
        ReplyFailed();
        gWaitingForReply_ = false;
    } else if (State == platform::inet::ResponseCompleted) {
        const std::string reply = CollectReply();
        if (CurrentPage() == Page::Finish) {
            log("Data:" + reply);
            TakeReply(reply);
        }
        gWaitingForReply_ = false;
        form.SetMousePointer(platform::pointer::Default);
    }
    log("End State thing");
}

// The reply, pulled in pieces until the first empty one.
std::string frmRegWizard::CollectReply()
{
    platform::InetTransfer& inet = *Inet1;
    std::string piece = inet.GetChunk(kChunkSize, 0);
    DoEvents();
    std::string reply;
    do {
        reply += piece;
        piece = inet.GetChunk(kChunkSize, 0);
        DoEvents();
    } while (!piece.empty());
    return reply;
}

void frmRegWizard::TakeReply(const std::string& reply)
{
    Log("ParseWebData", "Begin");
    const exchange::ServerReply read = exchange::ParseWebData(reply);
    if (read.memberId)
        context.globals.gMemberID = *read.memberId;
    if (read.failed)
        gErrorFlag_ = true;
    if (read.readable)
        Log("ParseWebData", "End");
    ResultMessage(read.message);
}

void frmRegWizard::ReplyFailed()
{
    form.SetMousePointer(platform::pointer::Default);
    form.cmdBack.SetEnabled(true);
    form.cmdNext.SetEnabled(true);
    ResultMessage(exchange::kUnableToConnect);
}

// Shows the outcome, leaves the one button for the last step ("Done" or
// "Cancel") and hangs the registration connection up.
void frmRegWizard::ResultMessage(const std::string& ErrString)
{
    auto log = [&](const std::string& message) { Log("ResultMessage", message); };
    log("Begin");
    if (!ErrString.empty() || gErrorFlag_) {
        log("Error message displayed (" + ErrString + ")");
        ShowResult("An error has occured processing your account.\r\n\r\n" + ErrString + "\r\n\r\n",
                   "Cancel");
    } else {
        const std::string& memberId = context.globals.gMemberID;
        log("Worked (" + memberId + ")");
        ShowResult("Congratulations:\r\n\r\nYour account has been processed.\r\n\r\n"
                   "Your membership ID is: "
                       + memberId + "\r\nYour Password is:      " + form.txtPassword1.Text()
                       + "\r\n\r\nPlease Wait for about an hour for your account to be activated "
                         "before connecting to quorvale online.\r\n",
                   "Done");
    }
    log("About to hangup");
    dialup::HangUp(objRASAcc.get());
    log("End");
}

void frmRegWizard::ShowResult(const std::string& text, const char* button)
{
    auto& f = form;
    f.cmdCancel.SetCaption(button);
    f.cmdCancel.SetEnabled(true);
    f.cmdNext.SetVisible(false);
    f.cmdBack.SetVisible(false);
    f.cmdHelp.SetVisible(false);
    f.lblConfigSystem.SetCaption(text);
    // The one button left is the way out: Enter presses it, and the member
    // starts on it with the result as its description.
    f.SetDefaultButton(&f.cmdCancel);
    ResumeNext([&] { f.SetFocus(f.cmdCancel); });
}

// Points the dial-up entry at the access number chosen on page 10 (an entry of
// lstAccessNumbers, ending in area code, blank, number).
void frmRegWizard::ResetDUN(const std::string& AccessString)
{
    constexpr const char* kProcedure = "ResetDUN";
    Log(kProcedure, "Begin ");
    platform::MessageBoxes& boxes = context.ports.boxes;
    long n = dialup::OpenServiceEntry(*objRASAcc);
    if (n != 0) {
        Log(kProcedure, "Error (" + std::to_string(n) + ") getting dial-up entry");
        gErrorFlag_ = true;
        platform::MsgBox(boxes,
                         "Error (" + std::to_string(n)
                             + "): Dial-Up Networking Entry name is invalid.\r\n",
                         platform::mb::Critical, "Dial-Up Networking Error");
        Log(kProcedure, "End");
        return;
    }
    const bool tenDigit = form.chkTenDigit.Value() == 1;
    if (context.store.WriteSetting("Default", tenDigit ? "\x01" : std::string(1, '\0'), "B") != 0)
        return;
    DoEvents();
    // The member may close the wizard with "Done" while the events run: the
    // form's unload released the dial-up component, and there is no entry
    // left to point anywhere.
    if (!objRASAcc) {
        Log(kProcedure, "End");
        return;
    }
    dialup::AccessNumberSettings settings{AccessString, tenDigit, {}};
    if (tenDigit) {
        std::string country;
        std::string city;
        if (context.ports.telephony.GetLocationInfo(country, city) == 0)
            settings.cityCode = city;
    }
    n = dialup::PointEntryAt(*objRASAcc, settings);
    if (n != 0) {
        gErrorFlag_ = true;
        platform::MsgBox(
            boxes, "Error (" + std::to_string(n) + "): Creating Dial-Up Networking entry.\r\n",
            platform::mb::Critical, "Dial-Up Networking Error");
    }
    Log(kProcedure, "End");
}

} // namespace regwiz::wizard
