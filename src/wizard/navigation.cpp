// The page machine: what Next, Back and Help do on each page.
#include <array>

#include "store/saved_answers.h"
#include "wizard/reg_wizard.h"
#include "wizard/validation.h"

namespace regwiz::wizard {
namespace {

constexpr std::array<const char*, kPageCount> kHelpKeys = {
    "Welcome",
    "Agreement",
    "Personal Information",
    "",
    "Occupational Information",
    "Payment Information",
    "Modem Selection",
    "Password Entry",
    "Area Code Selection",
    "Site Connection",
    "Access Number Selection",
    "Finish",
};

} // namespace

void frmRegWizard::SetStepTitle()
{
    form.SetCaption("Registration Wizard - Step " + std::to_string(gStep) + " of "
                    + std::to_string(gLastStep));
}

void frmRegWizard::ShowWelcomeTitle()
{
    form.SetCaption("Registration Wizard - Welcome");
}

void frmRegWizard::FocusOn(Control& control)
{
    form.SetFocus(control);
}

// The field a page puts the focus on when the member arrives on it.
Control* frmRegWizard::FirstField(std::int16_t page)
{
    switch (page) {
    case 2:
        return &form.txtFirstName;
    case 3:
        return &form.cboMediaSources;
    case 4:
        return &form.cboEmployed;
    case 5:
        return &form.cboPaymentType;
    case 7:
        return &form.txtPassword1;
    case 8:
        return &form.txtAreaCode;
    default:
        return nullptr;
    }
}

void frmRegWizard::FocusFirstField()
{
    if (Control* field = FirstField(gStep))
        ResumeNext([&] { FocusOn(*field); });
}

void frmRegWizard::cmdNext_Click()
{
    ResumeNext([&] { Log("cmdNext", "gStep : " + std::to_string(gStep)); });
    if (!CheckPage())
        return;
    ResumeNext([&] { SaveLeftPage(); });
    ResumeNext([&] { form.Page(gStep).SetVisible(false); });
    if (gStep < gLastStep) {
        if (!context.globals.gAffiliateID.empty() && gStep == 2)
            ++gStep;
        ++gStep;
    }
    ResumeNext([&] { form.Page(gStep).SetVisible(true); });
    if (gStep == 0) {
        ShowWelcomeTitle();
        return;
    }
    SetStepTitle();
    form.cmdBack.SetEnabled(true);
    EnterPageForward();
}

bool frmRegWizard::CheckPage()
{
    return PageChecksPass(*this);
}

namespace {

// The form's controls by name, for the saved answers.
class FormAnswers final : public AnswerForm {
public:
    explicit FormAnswers(FormModel& form) : form_(form) {}
    std::string Text(const std::string& control) const override { return Find(control).Text(); }
    bool IsList(const std::string& control) const override
    {
        const ControlKind kind = Find(control).Kind();
        return kind == ControlKind::ComboBox || kind == ControlKind::ListBox;
    }
    void SetText(const std::string& control, const std::string& text) override
    {
        Find(control).SetText(text);
    }
    int ListCount(const std::string& control) const override { return Find(control).ListCount(); }
    std::string ListItem(const std::string& control, int index) const override
    {
        return Find(control).List(index);
    }
    void SetListIndex(const std::string& control, int index) override
    {
        Find(control).SetListIndex(index);
    }

private:
    Control& Find(const std::string& name) const { return *form_.Find(name); }
    FormModel& form_;
};

} // namespace

void frmRegWizard::SaveLeftPage()
{
    if (gStep >= 2 && gStep <= 4)
        SaveAnswers(gStep, FormAnswers(form), context.store, context.globals);
    if (gStep == 10)
        context.store.WriteSetting("Suffix", "@" + std::string(ServiceDomain), "S");
}

void frmRegWizard::LoadPageAnswers()
{
    FormAnswers answers(form);
    LoadAnswers(gStep, answers, context.store, context.globals);
}

void frmRegWizard::EnterPageForward()
{
    switch (gStep) {
    case 1:
        form.cmdBack.SetVisible(true);
        form.cmdCancel.SetCaption("Do Not Agree");
        form.cmdNext.SetCaption("Agree");
        break;
    case 2:
        form.cmdCancel.SetCaption("Cancel");
        form.cmdNext.SetCaption("&Next >");
        [[fallthrough]];
    case 3:
    case 4:
        ResumeNext([&] { LoadPageAnswers(); });
        break;
    case 6:
        if (form.lstDevices.ListCount() > 0)
            ResumeNext([&] { form.lstDevices.SetListIndex(0); });
        break;
    case 9:
        ResumeNext([&] { hooks_.SiteConnectionSequence(*this); });
        break;
    case 10:
        ResumeNext([&] { hooks_.AccessNumberEntry(*this); });
        break;
    case 11:
        ResumeNext([&] { hooks_.FinishingSequence(*this); });
        break;
    default:
        break;
    }
    FocusFirstField();
}

void frmRegWizard::cmdBack_Click()
{
    if (gStep == 9 && objRASAcc) {
        bool flag = true;
        ResumeNext([&] { objRASAcc->Dialer().HangUp(flag); });
    }
    const std::int16_t old = gStep;
    if (gStep > 0) {
        if (!context.globals.gAffiliateID.empty() && gStep == 4)
            gStep = 3;
        --gStep;
    }
    form.Page(gStep).SetVisible(true);
    form.Page(old).SetVisible(false);
    if (gStep != 0)
        SetStepTitle();
    if (!form.cmdNext.Enabled())
        form.cmdNext.SetEnabled(true);
    ArriveBack();
}

void frmRegWizard::ArriveBack()
{
    switch (gStep) {
    case 0:
        form.cmdBack.SetEnabled(false);
        form.cmdBack.SetVisible(false);
        form.cmdCancel.SetCaption("Cancel");
        form.cmdNext.SetCaption("&Next >");
        ShowWelcomeTitle();
        break;
    case 1:
        form.cmdCancel.SetCaption("Do Not Agree");
        form.cmdNext.SetCaption("Agree");
        break;
    case 3: // coming back, the media page leaves the focus where it is
        break;
    case 9:
        form.lstAccessNumbers.SetVisible(false);
        form.cmdNext.SetVisible(true);
        break;
    default:
        FocusFirstField();
        break;
    }
}

void frmRegWizard::cmdHelp_Click()
{
    const std::string key =
        gStep >= 0 && gStep < kPageCount ? kHelpKeys[static_cast<std::size_t>(gStep)] : "";
    context.ports.help.ShowPartialKey(context.helpFile, key);
}

} // namespace regwiz::wizard
