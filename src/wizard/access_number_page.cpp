// Page 10: fetches the access-number list and offers the numbers of the
// member's area code, or a choice by state and city.
#include "platform/errors.h"
#include "platform/inet.h"
#include "wizard/reg_wizard.h"

namespace regwiz::wizard {
namespace {

constexpr long kTransferFailed = 35754; // the download ended without the file

void Fill(Control& list, const std::vector<std::string>& entries)
{
    for (const std::string& entry : entries)
        list.AddItem(entry);
}

} // namespace

void frmRegWizard::AccessNumberEntry()
{
    auto& f = form;
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
    const long result = GetPhoneList();
    Log("cmdNext", "RVal : " + std::to_string(result));
    Log("cmdNext", "gInetState : " + std::to_string(context.globals.gInetState));
    if (result != 0)
        return ShowRetrievalFailure();

    Fill(f.lstAccessNumbers, exchange::NumbersInAreaCode(accessNumbers_, f.txtAreaCode.Text()));
    if (f.lstAccessNumbers.ListCount() == 0)
        ShowStateAndCityChoice();
    else
        OfferAreaCodeNumbers();
    f.cmdNext.SetEnabled(true);
    f.cmdCancel.SetEnabled(true);
    f.cmdBack.SetEnabled(true);
    f.SetMousePointer(platform::pointer::Default);
}

// Downloads "phone_list.csv" (asking to try again when it fails) and loads it:
// 0, or the error number of the last attempt.
long frmRegWizard::GetPhoneList()
{
    const std::filesystem::path local = AppFile(context.globals, "conf") / "phonelist.txt";
    platform::Files& files = context.ports.files;
    if (files.IsFile(local)) {
        files.Remove(local);
        DoEvents();
    }
    long error = 0;
    for (;;) {
        form.SetMousePointer(platform::pointer::Hourglass);
        error = inetFtp ? StartDownload(local.string()) : kTransferFailed;
        if (error == 0) {
            WaitForDownload();
            // A download that ended without the file failed as surely as one
            // that could not start.
            if (!files.IsFile(local))
                error = kTransferFailed;
        }
        if (error == 0 || !AskToTryAgain())
            break;
    }
    if (error == 0)
        accessNumbers_ = exchange::ReadPhoneList(files.Read(local).value_or(std::string()));
    form.SetMousePointer(platform::pointer::Default);
    return error;
}

// Asks the FTP control for the list: 0, or the error of a refused request.
// Paths here have no short form; the transfer takes the rest of its command as
// the local path, blanks included.
long frmRegWizard::StartDownload(const std::string& target)
{
    platform::InetTransfer& ftp = *inetFtp;
    try {
        ftp.SetURL(exchange::RegistrationFtpUrl(ReadSetting("RegSvrFtp")));
        ftp.SetUserName(exchange::kFtpUser);
        ftp.SetPassword(exchange::kFtpPassword);
        ftp.Execute("", "GET " + std::string(exchange::kPhoneListName) + " " + target);
        return 0;
    } catch (const RunTimeError& error) {
        return error.Number();
    }
}

// The transfer control bounds the transfer by its request time-out.
void frmRegWizard::WaitForDownload()
{
    while (inetFtp->StillExecuting())
        context.ports.loop.WaitForEvents();
}

bool frmRegWizard::AskToTryAgain()
{
    const platform::Answer answer = platform::MsgBox(
        context.ports.boxes,
        "The Registration Wizard was unable to retrieve the phone list.\r\nWould you like to try "
        "again?\r\n",
        platform::mb::YesNo | platform::mb::Critical | platform::mb::DefaultButton2,
        "Access Number List Missing");
    return answer != platform::Answer::No;
}

void frmRegWizard::ShowRetrievalFailure()
{
    auto& f = form;
    gErrorFlag_ = true;
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

void frmRegWizard::ShowStateAndCityChoice()
{
    form.lblAccessNumber.SetCaption(
        "An access number could not be found in your area code.  Select a state and a city from "
        "which you would like to access quorvale Online.");
    OfferStatesAndCities();
}

// The state list, and the city list waiting for a state.
void frmRegWizard::OfferStatesAndCities()
{
    auto& f = form;
    f.cboAccessState.Clear();
    f.cboAccessCity.SetVisible(true);
    f.cboAccessState.SetVisible(true);
    f.cboAccessState.SetEnabled(true);
    f.lblAccessState.SetVisible(true);
    f.lblAccessCity.SetVisible(true);
    f.lstAccessNumbers.SetVisible(true);
    Fill(f.cboAccessState, exchange::AccessStates(accessNumbers_));
}

void frmRegWizard::OfferAreaCodeNumbers()
{
    auto& f = form;
    f.lblAccessNumber.SetCaption(
        "Please select an access number from the list below.\r\n\r\nOr\r\n");
    f.lstAccessNumbers.SetVisible(true);
    ChooseFirstAccessNumber();
    f.cmdSelectAccessNumber.SetVisible(true);
}

// The first number is chosen for the member, who may pick another.
void frmRegWizard::ChooseFirstAccessNumber()
{
    ResumeNext([&] { form.lstAccessNumbers.SetListIndex(0); });
    ResumeNext([&] { form.SetFocus(form.lstAccessNumbers); });
}

void frmRegWizard::cboAccessState_Click()
{
    auto& f = form;
    f.cboAccessCity.Clear();
    Fill(f.cboAccessCity, exchange::AccessCities(accessNumbers_, f.cboAccessState.Text()));
    f.cboAccessCity.SetEnabled(true);
    f.lstAccessNumbers.Clear();
}

void frmRegWizard::cboAccessCity_Click()
{
    auto& f = form;
    f.lstAccessNumbers.Clear();
    Fill(f.lstAccessNumbers,
         exchange::NumbersInCity(accessNumbers_, f.cboAccessState.Text(), f.cboAccessCity.Text()));
    ChooseFirstAccessNumber();
}

void frmRegWizard::cmdSelectAccessNumber_Click()
{
    auto& f = form;
    f.lstAccessNumbers.Clear();
    f.lblAccessNumber.SetCaption(
        "Select a state and a city from which you would like to access quorvale Online.");
    f.cmdSelectAccessNumber.SetVisible(false);
    OfferStatesAndCities();
}

std::string frmRegWizard::ReadSetting(const char* name)
{
    Variant value;
    if (context.store.fReadValue(kSystemHive, kSystemKey, name, "S", "", value) != 0)
        return {};
    return CStr(value);
}

} // namespace regwiz::wizard
