#include "exchange/account_request.h"

#include <array>
#include <functional>

#include "dialup/dial_up_entry.h"
#include "exchange/access_numbers.h"
#include "exchange/server_reply.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/inet.h"
#include "platform/text.h"
#include "wizard/volume_serial.h"

namespace regwiz::exchange {
namespace {

using wizard::frmRegWizard;

constexpr const char* kRequestPath = "/Registration/setvariables.cfm";
constexpr const char* kHeader = "Content-Type: application/x-www-form-urlencoded";
constexpr const char* kConfigFile = "conf\\register.cfg";
constexpr int kChunkSize = 1024;

const std::string kUnableToConnect = "Unable to connect to the registration server.\r\n\r\n"
                                     "Please try again later.\r\n\r\n";

std::string Code(frmRegWizard& wizard, const char* section, const std::string& choice)
{
    return wizard.context.store.ReadConfigString(kConfigFile, section, choice);
}

// Exactly four characters of the volume code.
std::string VolumeCode4(frmRegWizard& wizard)
{
    std::string code = platform::Left(wizard::GetVolumeSerial(wizard.context.ports.volume), 4);
    while (platform::CharCount(code) < 4)
        code.insert(code.begin(), '0');
    return code;
}

struct Field {
    const char* key;
    std::string value;
    bool encoded = true; // "&Offers=True" carries its value in the key
};

std::vector<Field> RequestFields(frmRegWizard& wizard)
{
    auto& f = wizard.form;
    const Globals& g = wizard.context.globals;
    const bool affiliate = !g.gAffiliateID.empty();
    return {
        {"firstname=", f.txtFirstName.Text()},
        {"&lastname=", f.txtLastName.Text()},
        {"&Address1=", f.txtAddress1.Text()},
        {"&Address2=", f.txtAddress2.Text()},
        {"&City=", f.txtCity.Text()},
        {"&State=", f.cboState.Text()},
        {"&ZipCode=", f.txtZipCode.Text()},
        {"&Age=", f.cboAge.Text()},
        {"&Gender=", f.cboGender.Text()},
        {"&Phone=", f.txtPhoneNumber.Text()},
        {"&e_mail=", f.txtEmailAddress.Text()},
        {"&Offers=True", "", false},
        {"&Media=", Code(wizard, "whrfrm", affiliate ? "Affiliate" : f.cboMediaSources.Text())},
        {"&MediaName=", affiliate ? g.gAffiliateID : f.txtMediaName.Text()},
        {"&AccType=", g.gAccType},
        {"&Employed=", Code(wizard, "emplymnt", f.cboEmployed.Text())},
        {"&Occupation=", Code(wizard, "occptn", f.cboOccupation.Text())},
        {"&BusinessOwner=", Code(wizard, "bsnss", f.cboBusinessOwner.Text())},
        {"&HomeBased=", Code(wizard, "hmbsnss", f.cboHomeBased.Text())},
        {"&PaymentType=", Code(wizard, "pymnt", f.cboPaymentType.Text())},
        {"&CCNumber=", f.txtCCNumber.Text()},
        {"&CCMonth=", f.cboCCMonth.Text()},
        {"&CCYear=", f.cboCCYear.Text()},
        {"&CCName=", f.txtCCName.Text()},
        {"&AccessNumber=", VolumeCode4(wizard)},
        {"&Password=", f.txtPassword1.Text()},
    };
}

std::string Join(const std::vector<Field>& fields)
{
    std::string body;
    for (const Field& field : fields)
        body += std::string(field.key) + (field.encoded ? FormEncode(field.value) : std::string());
    return body;
}

void ReplyFailed(frmRegWizard& wizard)
{
    wizard.form.SetMousePointer(platform::pointer::Default);
    wizard.form.cmdBack.SetEnabled(true);
    wizard.form.cmdNext.SetEnabled(true);
    std::string message = kUnableToConnect;
    ResultMessage(wizard, message);
}

// The reply, pulled in pieces until the first empty one.
std::string CollectReply(frmRegWizard& wizard)
{
    platform::InetTransfer& inet = *wizard.Inet1;
    std::string piece = inet.GetChunk(kChunkSize, 0);
    wizard.DoEvents();
    std::string reply;
    do {
        reply += piece;
        piece = inet.GetChunk(kChunkSize, 0);
        wizard.DoEvents();
    } while (!piece.empty());
    return reply;
}

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

} // namespace

std::string FormEncode(const std::string& text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (char c : platform::ToAnsi(text)) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '-'
            || b == '_' || b == '.' || b == '*') {
            encoded += c;
        } else if (b == ' ') {
            encoded += '+';
        } else {
            encoded += '%';
            encoded += kHex[b >> 4];
            encoded += kHex[b & 0x0F];
        }
    }
    // Plain ASCII: the same inside the program and on the wire.
    return encoded;
}

std::string RequestBody(frmRegWizard& wizard)
{
    return Join(RequestFields(wizard));
}

std::string LoggedBody(frmRegWizard& wizard)
{
    std::vector<Field> fields = RequestFields(wizard);
    for (Field& field : fields) {
        const std::string key = field.key;
        if (key == "&CCNumber=")
            field.value = platform::Right(field.value, 4);
        else if (key == "&Password=")
            field.value = std::string(platform::CharCount(field.value), '*');
    }
    return Join(fields);
}

void FinishingSequence(frmRegWizard& wizard)
{
    auto& f = wizard.form;
    auto log = [&](const std::string& message) { wizard.Log("cmdNext", message); };
    log("FINISHED_STEP");
    wizard.gWaitingForReply = true;
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
    const std::string url = RegistrationHttpUrl(wizard.context.store) + kRequestPath;
    const std::string body = RequestBody(wizard);
    log("strFormData: " + LoggedBody(wizard));
    try {
        if (!wizard.Inet1)
            throw RunTimeError(platform::inet::ErrorInvalidUrl, "No transfer control");
        wizard.Inet1->Execute(url, "Post", body, kHeader);
    } catch (const RunTimeError&) {
        // A request that cannot start ends the wait at once, like a failed one.
        wizard.gWaitingForReply = false;
        ReplyFailed(wizard);
        return;
    }
    wizard.DoEvents();
    log("After execute");
    // The transfer ends by its request time-out at the latest, and every
    // final state clears the flag.
    while (wizard.gWaitingForReply)
        wizard.context.ports.loop.WaitForEvents();
    if (wizard.context.globals.gInetState != platform::inet::ResponseCompleted)
        return;
    log("Before Reset Dun");
    dialup::ResetDUN(wizard, f.lstAccessNumbers.Text());
    log("After Reset Dun");
}

void Inet1_StateChanged(frmRegWizard& wizard, std::int16_t State)
{
    auto log = [&](const std::string& message) { wizard.Log("Inet1_StateChanged", message); };
    wizard.context.globals.gInetState = State;
    log("State : " + std::to_string(State));
    if (const char* name = StateName(State)) {
        if (State == platform::inet::Error)
            log(name + std::to_string(wizard.Inet1->ResponseCode()) + "    "
                + wizard.Inet1->ResponseInfo());
        else
            log(name);
    }
    if (State == platform::inet::Error) {
        wizard::ResumeNext([&] { wizard.Inet1->GetChunk(kChunkSize, 0); });
        ReplyFailed(wizard);
        wizard.gWaitingForReply = false;
    } else if (State == platform::inet::ResponseCompleted) {
        const std::string reply = CollectReply(wizard);
        if (wizard.gStep == 11) {
            log("Data:" + reply);
            std::string message = ParseWebData(wizard, reply);
            ResultMessage(wizard, message);
        }
        wizard.gWaitingForReply = false;
        wizard.form.SetMousePointer(platform::pointer::Default);
    }
    log("End State thing");
}

} // namespace regwiz::exchange
