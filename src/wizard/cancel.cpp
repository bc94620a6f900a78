// Cancel, "Do Not Agree" and "Done": leaving the wizard.
#include "dialup/site_connection.h"
#include "platform/errors.h"
#include "store/crypt.h"
#include "wizard/reg_wizard.h"

namespace regwiz::wizard {
namespace {

constexpr const char* kQuestionTitle = "QuorVale Setup Wizard";

} // namespace

void frmRegWizard::cmdCancel_Click()
{
    auto& f = form;
    auto hangUp = [&] { CancelStep("HangUp", [&] { dialup::HangUp(objRASAcc.get()); }); };
    if (gErrorFlag_) {
        HangUpIfConnected();
        DeleteEntry();
        CloseWizard();
    } else if (CurrentPage() == Page::SiteConnection) {
        hangUp();
        context.globals.gUserCanceled = true;
    } else if (f.cmdCancel.Caption() == "Done") {
        hangUp();
        StoreCredentials();
        CloseWizard();
    } else if (CurrentPage() == Page::Finish) {
        hangUp();
        if (f.cmdCancel.Caption() == "Cancel")
            DeleteEntry();
        CloseWizard();
    } else if (!ConfirmLeaving()) {
        if (f.cmdNext.Visible())
            ResumeNext([&] { f.SetFocus(f.cmdNext); });
    } else {
        HangUpIfConnected();
        DeleteEntry();
        CloseWizard();
    }
}

// Every call of the closing steps runs even when one before it fails, so the
// wizard never stays half closed; a failure goes to the log.
void frmRegWizard::CancelStep(const char* what, const std::function<void()>& step)
{
    try {
        step();
    } catch (const RunTimeError& error) {
        ResumeNext([&] { Log("cmdCancel", std::string(what) + " failed: " + error.what()); });
    } catch (const std::exception& fault) {
        diagnostics::ReportFault(std::string(what) + ": " + fault.what());
    }
}

void frmRegWizard::HangUpIfConnected()
{
    CancelStep("HangUp", [&] {
        if (dialup::CheckConnection(objRASAcc.get()))
            dialup::HangUp(objRASAcc.get());
    });
}

void frmRegWizard::DeleteEntry()
{
    CancelStep("DeleteEntry", [&] {
        if (objRASAcc)
            objRASAcc->PhoneBook().DeleteEntry(std::string(ServiceDomain));
    });
}

void frmRegWizard::CloseWizard()
{
    CancelStep("CancelRegistration", [&] {
        if (host_ != nullptr)
            host_->CancelRegistration();
    });
}

void frmRegWizard::StoreCredentials()
{
    platform::MessageBoxes& boxes = context.ports.boxes;
    const std::string& memberId = context.globals.gMemberID;
    const std::string password = form.txtPassword1.Text();
    if (context.store.WriteSetting("memberi", memberId, "S") != 0)
        platform::MsgBox(boxes,
                         "There has been an error storing your member ID.\r\n\r\nYour member ID is "
                             + memberId + "\r\n\r\nIt is very important that record it.\r\n",
                         platform::mb::Exclamation, "Member ID");
    if (context.store.WriteSetting("memberp", crypt::Encrypt(password), "S") != 0)
        platform::MsgBox(boxes,
                         "There has been an error storing your password.\r\n\r\nYour password is "
                             + password + "\r\n\r\nIt is very important that record it.\r\n",
                         platform::mb::Exclamation, "Password");
}

// "Are you sure?": true when the member confirms leaving.
bool frmRegWizard::ConfirmLeaving()
{
    platform::Answer answer;
    if (CurrentPage() == Page::Agreement)
        answer =
            platform::MsgBox(context.ports.boxes,
                             "You have not agreed to the License Agreement.  Click on \"Retry\" "
                             "to try again or click on \"Cancel\" to exit Quorvale.",
                             platform::mb::RetryCancel | platform::mb::Information, kQuestionTitle);
    else
        answer = platform::MsgBox(context.ports.boxes,
                                  "QuorVale cannot start without the completion of the QuorVale "
                                  "Setup Wizard.\nAre you sure you want to cancel?",
                                  platform::mb::YesNo | platform::mb::Question, kQuestionTitle);
    return answer == platform::Answer::Cancel || answer == platform::Answer::Yes;
}

} // namespace regwiz::wizard
