#include "exchange/finishing.h"

#include "dialup/site_connection.h"
#include "store/crypt.h"

namespace regwiz::exchange {
namespace {

using wizard::frmRegWizard;

constexpr const char* kQuestionTitle = "QuorVale Setup Wizard";

// Every call of the closing steps runs even when one before it fails, so the
// wizard never stays half closed; a failure goes to the log.
void Step(frmRegWizard& wizard, const char* what, const std::function<void()>& step)
{
    try {
        step();
    } catch (const std::exception& error) {
        wizard::ResumeNext(
            [&] { wizard.Log("cmdCancel", std::string(what) + " failed: " + error.what()); });
    }
}

void HangUpIfConnected(frmRegWizard& wizard)
{
    Step(wizard, "HangUp", [&] {
        if (dialup::CheckConnection(wizard))
            dialup::HangUp(wizard);
    });
}

void DeleteEntry(frmRegWizard& wizard)
{
    Step(wizard, "DeleteEntry", [&] {
        if (wizard.objRASAcc)
            wizard.objRASAcc->PhoneBook().DeleteEntry(std::string(wizard::ServiceDomain));
    });
}

void CloseWizard(frmRegWizard& wizard)
{
    Step(wizard, "CancelRegistration", [&] {
        if (wizard::HostObject* host = wizard.Host())
            host->CancelRegistration();
    });
}

void StoreCredentials(frmRegWizard& wizard)
{
    platform::MessageBoxes& boxes = wizard.context.ports.boxes;
    const std::string& memberId = wizard.context.globals.gMemberID;
    const std::string password = wizard.form.txtPassword1.Text();
    if (wizard.context.store.WriteSetting("memberi", memberId, "S") != 0)
        platform::MsgBox(boxes,
                         "There has been an error storing your member ID.\r\n\r\nYour member ID is "
                             + memberId + "\r\n\r\nIt is very important that record it.\r\n",
                         platform::mb::Exclamation, "Member ID");
    if (wizard.context.store.WriteSetting("memberp", crypt::Encrypt(password), "S") != 0)
        platform::MsgBox(boxes,
                         "There has been an error storing your password.\r\n\r\nYour password is "
                             + password + "\r\n\r\nIt is very important that record it.\r\n",
                         platform::mb::Exclamation, "Password");
}

// "Are you sure?": true when the member confirms leaving.
bool ConfirmLeaving(frmRegWizard& wizard)
{
    platform::Answer answer;
    if (wizard.gStep == 1)
        answer =
            platform::MsgBox(wizard.context.ports.boxes,
                             "You have not agreed to the License Agreement.  Click on \"Retry\" "
                             "to try again or click on \"Cancel\" to exit Quorvale.",
                             platform::mb::RetryCancel | platform::mb::Information, kQuestionTitle);
    else
        answer = platform::MsgBox(wizard.context.ports.boxes,
                                  "QuorVale cannot start without the completion of the QuorVale "
                                  "Setup Wizard.\nAre you sure you want to cancel?",
                                  platform::mb::YesNo | platform::mb::Question, kQuestionTitle);
    return answer == platform::Answer::Cancel || answer == platform::Answer::Yes;
}

} // namespace

void cmdCancel_Click(frmRegWizard& wizard)
{
    auto& f = wizard.form;
    if (wizard.gErrorFlag) {
        HangUpIfConnected(wizard);
        DeleteEntry(wizard);
        CloseWizard(wizard);
    } else if (wizard.gStep == 9) {
        Step(wizard, "HangUp", [&] { dialup::HangUp(wizard); });
        wizard.context.globals.gUserCanceled = true;
    } else if (f.cmdCancel.Caption() == "Done") {
        Step(wizard, "HangUp", [&] { dialup::HangUp(wizard); });
        StoreCredentials(wizard);
        CloseWizard(wizard);
    } else if (wizard.gStep == 11) {
        Step(wizard, "HangUp", [&] { dialup::HangUp(wizard); });
        if (f.cmdCancel.Caption() == "Cancel")
            DeleteEntry(wizard);
        CloseWizard(wizard);
    } else if (!ConfirmLeaving(wizard)) {
        if (f.cmdNext.Visible())
            wizard::ResumeNext([&] { f.SetFocus(f.cmdNext); });
    } else {
        HangUpIfConnected(wizard);
        DeleteEntry(wizard);
        CloseWizard(wizard);
    }
}

} // namespace regwiz::exchange
