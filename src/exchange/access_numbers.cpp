#include "exchange/access_numbers.h"

#include <fstream>
#include <iterator>

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/inet.h"

namespace regwiz::exchange {
namespace {

using wizard::frmRegWizard;

constexpr const char* kDefaultHost = "register.quorvale.example";
constexpr const char* kFtpPassword = "register@quorvale.example";
constexpr long kTransferFailed = 35754; // the download ended without the file

std::string ServerUrl(modRegistry& store, const char* name, const char* scheme)
{
    Variant url;
    if (store.fReadValue(kSystemHive, kSystemKey, name, "S", "", url) == 0 && !CStr(url).empty())
        return CStr(url);
    return std::string(scheme) + kDefaultHost;
}

void ShowRetrievalFailure(frmRegWizard& wizard)
{
    auto& f = wizard.form;
    wizard.gErrorFlag = true;
    f.cmdNext.SetEnabled(false);
    f.lblAccessNumber.SetCaption(
        "The Registration Wizard was unable to retrieve a list of access numbers.\r\n\r\n"
        "This may be caused by a heavy load on the registration server.\r\n\r\n"
        "Please try again later.\r\n\r\n");
    f.cmdCancel.SetEnabled(true);
    f.cmdNext.SetVisible(false);
    f.cmdBack.SetVisible(true);
    f.SetMousePointer(platform::pointer::Default);
}

// The state list, and the city list waiting for a state.
void OfferStatesAndCities(frmRegWizard& wizard)
{
    auto& f = wizard.form;
    f.cboAccessState.Clear();
    f.cboAccessCity.SetVisible(true);
    f.cboAccessState.SetVisible(true);
    f.cboAccessState.SetEnabled(true);
    f.lblAccessState.SetVisible(true);
    f.lblAccessCity.SetVisible(true);
    f.lstAccessNumbers.SetVisible(true);
    FillAccessStates(wizard);
}

void ShowStateAndCityChoice(frmRegWizard& wizard)
{
    wizard.form.lblAccessNumber.SetCaption(
        "An access number could not be found in your area code.  Select a state and a city from "
        "which you would like to access quorvale Online.");
    OfferStatesAndCities(wizard);
}

void OfferAreaCodeNumbers(frmRegWizard& wizard)
{
    auto& f = wizard.form;
    f.lblAccessNumber.SetCaption(
        "Please select an access number from the list below.\r\n\r\nOr\r\n");
    f.lstAccessNumbers.SetVisible(true);
    wizard::ResumeNext([&] { f.lstAccessNumbers.SetListIndex(0); });
    wizard::ResumeNext([&] { f.SetFocus(f.lstAccessNumbers); });
    f.cmdSelectAccessNumber.SetVisible(true);
}

// Asks the FTP control for the list; false when the request was refused.
long StartDownload(frmRegWizard& wizard, const std::string& target)
{
    platform::InetTransfer& ftp = *wizard.inetFtp;
    try {
        ftp.SetURL(RegistrationFtpUrl(wizard.context.store));
        ftp.SetUserName("anonymous");
        ftp.SetPassword(kFtpPassword);
        ftp.Execute("", "GET phone_list.csv " + target);
        return 0;
    } catch (const RunTimeError& error) {
        return error.Number();
    }
}

// The transfer control bounds the transfer by its request time-out.
void WaitForDownload(frmRegWizard& wizard)
{
    while (wizard.inetFtp->StillExecuting())
        wizard.context.ports.loop.WaitForEvents();
}

bool AskToTryAgain(frmRegWizard& wizard)
{
    const platform::Answer answer = platform::MsgBox(
        wizard.context.ports.boxes,
        "The Registration Wizard was unable to retrieve the phone list.\r\nWould you like to try "
        "again?\r\n",
        platform::mb::YesNo | platform::mb::Critical | platform::mb::DefaultButton2,
        "Access Number List Missing");
    return answer != platform::Answer::No;
}

// One field of the list: quoted (commas inside belong to it) or up to the next
// comma or line end, blanks before it skipped. Moves `at` past its separator.
std::string NextField(const std::string& text, std::size_t& at)
{
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
        ++at;
    std::string field;
    if (at < text.size() && text[at] == '"') {
        const std::size_t close = text.find('"', at + 1);
        const std::size_t end = close == std::string::npos ? text.size() : close;
        field = text.substr(at + 1, end - at - 1);
        at = end == text.size() ? end : end + 1;
        at = std::min(text.find_first_of(",\r\n", at), text.size());
    } else {
        const std::size_t end = std::min(text.find_first_of(",\r\n", at), text.size());
        field = text.substr(at, end - at);
        while (!field.empty() && (field.back() == ' ' || field.back() == '\t'))
            field.pop_back();
        at = end;
    }
    if (at < text.size() && text[at] == ',')
        ++at;
    else if (text.compare(at, 2, "\r\n") == 0)
        at += 2;
    else if (at < text.size())
        ++at;
    return field;
}

bool AtEnd(const std::string& text, std::size_t at)
{
    return text.find_first_not_of(" \t\r\n", at) == std::string::npos;
}

} // namespace

std::string RegistrationHttpUrl(modRegistry& store)
{
    return ServerUrl(store, "RegSvrHttp", "http://");
}

std::string RegistrationFtpUrl(modRegistry& store)
{
    return ServerUrl(store, "RegSvrFtp", "ftp://");
}

void AccessNumberEntry(frmRegWizard& wizard)
{
    auto& f = wizard.form;
    f.SetMousePointer(platform::pointer::Hourglass);
    f.lblAccessState.SetVisible(false);
    f.cboAccessCity.Clear();
    f.lblAccessCity.SetVisible(false);
    f.cboAccessCity.SetVisible(false);
    f.cboAccessCity.SetEnabled(false);
    f.cboAccessState.SetVisible(false);
    f.cboAccessState.SetEnabled(false);
    f.lstAccessNumbers.Clear();
    f.cmdNext.SetEnabled(false);
    f.cmdCancel.SetEnabled(false);
    f.cmdBack.SetEnabled(false);
    f.lblAccessNumber.SetCaption(
        "Please wait while list of access numbers for your area are found.  "
        "This may take several minutes.");
    const long result = GetPhoneList(wizard);
    wizard.Log("cmdNext", "RVal : " + std::to_string(result));
    wizard.Log("cmdNext", "gInetState : " + std::to_string(wizard.context.globals.gInetState));
    if (result != 0)
        return ShowRetrievalFailure(wizard);

    FillAccessNumbers(wizard);
    if (f.lstAccessNumbers.ListCount() == 0)
        ShowStateAndCityChoice(wizard);
    else
        OfferAreaCodeNumbers(wizard);
    f.cmdNext.SetEnabled(true);
    f.cmdCancel.SetEnabled(true);
    f.cmdBack.SetEnabled(true);
    f.SetMousePointer(platform::pointer::Default);
}

long GetPhoneList(frmRegWizard& wizard)
{
    const std::filesystem::path conf = AppFile(wizard.context.globals, "conf");
    const std::filesystem::path local = conf / "phonelist.txt";
    if (FileExists(local.string())) {
        std::error_code ignored;
        std::filesystem::remove(local, ignored);
        wizard.DoEvents();
    }
    // Paths here have no short form; the transfer takes the rest of its
    // command as the local path, blanks included.
    const std::string target = (conf / "phonelist.txt").string();
    long error = 0;
    for (;;) {
        wizard.form.SetMousePointer(platform::pointer::Hourglass);
        error = wizard.inetFtp ? StartDownload(wizard, target) : kTransferFailed;
        if (error == 0) {
            WaitForDownload(wizard);
            // A download that ended without the file failed as surely as one
            // that could not start.
            if (!FileExists(local.string()))
                error = kTransferFailed;
        }
        if (error == 0 || !AskToTryAgain(wizard))
            break;
    }
    if (error == 0) {
        wizard.context.globals.accessNumbers.Clear();
        wizard::ResumeNext([&] { ReadPhoneList(wizard.context.globals.accessNumbers, local); });
    }
    wizard.form.SetMousePointer(platform::pointer::Default);
    return error;
}

void ReadPhoneList(AccessNumberTable& table, const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw RunTimeError(err::FileNotFound, "File not found");
    const std::string text = platform::FromAnsi(
        std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    std::size_t at = 0;
    while (!AtEnd(text, at)) {
        table.State.push_back(NextField(text, at));
        table.City.push_back(NextField(text, at));
        table.AreaCode.push_back(NextField(text, at));
        table.Number.push_back(NextField(text, at));
        table.Extra.push_back(NextField(text, at));
    }
}

void FillAccessNumbers(frmRegWizard& wizard)
{
    const AccessNumberTable& t = wizard.context.globals.accessNumbers;
    const std::string areaCode = wizard.form.txtAreaCode.Text();
    for (std::size_t row = 0; row < t.Rows(); ++row) {
        if (t.AreaCode[row] == areaCode)
            wizard.form.lstAccessNumbers.AddItem(t.State[row] + ", " + t.City[row] + ", "
                                                 + t.AreaCode[row] + " " + t.Number[row]);
    }
}

void FillAccessStates(frmRegWizard& wizard)
{
    const AccessNumberTable& t = wizard.context.globals.accessNumbers;
    std::string previous;
    for (std::size_t row = 0; row < t.Rows(); ++row) {
        if (t.State[row] != previous) {
            wizard.form.cboAccessState.AddItem(t.State[row]);
            previous = t.State[row];
        }
    }
}

void FillAccessCities(frmRegWizard& wizard, const std::string& state)
{
    const AccessNumberTable& t = wizard.context.globals.accessNumbers;
    std::string previous;
    for (std::size_t row = 0; row < t.Rows(); ++row) {
        if (t.State[row] == state && t.City[row] != previous) {
            wizard.form.cboAccessCity.AddItem(t.City[row]);
            previous = t.City[row];
        }
    }
}

void FillAccessNumbersByCity(frmRegWizard& wizard, const std::string& state,
                             const std::string& city)
{
    const AccessNumberTable& t = wizard.context.globals.accessNumbers;
    for (std::size_t row = 0; row < t.Rows(); ++row) {
        if (t.State[row] == state && t.City[row] == city)
            wizard.form.lstAccessNumbers.AddItem(t.State[row] + " " + t.City[row] + " "
                                                 + t.AreaCode[row] + " " + t.Number[row]);
    }
}

void cboAccessState_Click(frmRegWizard& wizard)
{
    auto& f = wizard.form;
    f.cboAccessCity.Clear();
    FillAccessCities(wizard, f.cboAccessState.Text());
    f.cboAccessCity.SetEnabled(true);
    f.lstAccessNumbers.Clear();
}

void cboAccessCity_Click(frmRegWizard& wizard)
{
    auto& f = wizard.form;
    f.lstAccessNumbers.Clear();
    FillAccessNumbersByCity(wizard, f.cboAccessState.Text(), f.cboAccessCity.Text());
    wizard::ResumeNext([&] { f.lstAccessNumbers.SetListIndex(0); });
    wizard::ResumeNext([&] { f.SetFocus(f.lstAccessNumbers); });
}

void cmdSelectAccessNumber_Click(frmRegWizard& wizard)
{
    auto& f = wizard.form;
    f.lstAccessNumbers.Clear();
    f.lblAccessNumber.SetCaption(
        "Select a state and a city from which you would like to access quorvale Online.");
    f.cmdSelectAccessNumber.SetVisible(false);
    OfferStatesAndCities(wizard);
}

bool FileExists(std::string path)
{
    if (!path.empty() && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    std::ifstream in(path, std::ios::binary);
    return static_cast<bool>(in) && !std::filesystem::is_directory(path);
}

} // namespace regwiz::exchange
