// The page machine: what Next, Back and Help do on each page.
#include "dialup/site_connection.h"
#include "store/saved_answers.h"
#include "wizard/reg_wizard.h"
#include "wizard/validation.h"

namespace regwiz::wizard {

const PageDescriptor& frmRegWizard::Current() const
{
    return Describe(CurrentPage());
}

void frmRegWizard::ShowPageTitle()
{
    if (const char* title = Current().title)
        form.SetCaption(title);
    else
        form.SetCaption("Registration Wizard - Step " + std::to_string(gStep_) + " of "
                        + std::to_string(gLastStep_));
}

void frmRegWizard::FocusOn(Control& control)
{
    form.SetFocus(control);
}

void frmRegWizard::FocusFirstField(bool arrivingBack)
{
    const PageDescriptor& page = Current();
    if (page.focusField == nullptr) {
        FocusDefaultButton();
        return;
    }
    if (arrivingBack && !page.focusWhenBack)
        return;
    if (Control* field = form.Find(page.focusField))
        ResumeNext([&] { FocusOn(*field); });
}

// A page without a field to start on starts on its default button, so that
// Space and Enter go on rather than back or out; unless the page's entry has
// put the focus on one of its own controls.
void frmRegWizard::FocusDefaultButton()
{
    const Control* active = form.ActiveControl();
    if (active != nullptr && active->UsableOnForm() && active->Container() == &form.Page(gStep_))
        return;
    Control* button = form.DefaultButton();
    if (button != nullptr && button->UsableOnForm())
        ResumeNext([&] { FocusOn(*button); });
}

bool frmRegWizard::Skipped(std::int16_t page) const
{
    const PageDescriptor* described = DescribeNumber(page);
    return described != nullptr && described->skippedForAffiliate
           && !context.globals.gAffiliateID.empty();
}

std::int16_t frmRegWizard::NextPage() const
{
    if (gStep_ >= gLastStep_)
        return gStep_;
    std::int16_t next = gStep_ + 1;
    while (Skipped(next) && next < gLastStep_)
        ++next;
    return next;
}

std::int16_t frmRegWizard::PreviousPage() const
{
    if (CurrentPage() == Page::Welcome)
        return gStep_;
    std::int16_t previous = gStep_ - 1;
    while (Skipped(previous) && previous > Number(Page::Welcome))
        --previous;
    return previous;
}

void frmRegWizard::cmdNext_Click()
{
    ResumeNext([&] { Log("cmdNext", "gStep : " + std::to_string(gStep_)); });
    if (!PageChecksPass(*this, CurrentPage()))
        return;
    ResumeNext([&] { SaveLeftPage(); });
    ResumeNext([&] { form.Page(gStep_).SetVisible(false); });
    gStep_ = NextPage();
    ResumeNext([&] { form.Page(gStep_).SetVisible(true); });
    ShowPageTitle();
    if (CurrentPage() == Page::Welcome)
        return;
    form.cmdBack.SetEnabled(true);
    EnterPageForward();
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
    const PageDescriptor& page = Current();
    if (page.answersSection != nullptr)
        SaveAnswers(page.answersSection, FormAnswers(form), context.store, context.globals);
    if (page.leave != nullptr)
        (this->*page.leave)();
}

void frmRegWizard::LoadPageAnswers()
{
    const PageDescriptor& page = Current();
    if (page.answersSection == nullptr)
        return;
    FormAnswers answers(form);
    LoadAnswers(page.answersSection, answers, context.store, context.globals);
}

void frmRegWizard::EnterPageForward()
{
    const PageDescriptor& page = Current();
    if (page.enter != nullptr)
        ResumeNext([&] { (this->*page.enter)(); });
    ResumeNext([&] { LoadPageAnswers(); });
    FocusFirstField(false);
}

void frmRegWizard::EnterAgreement()
{
    form.cmdBack.SetVisible(true);
    ShowAgreementButtons();
}

void frmRegWizard::ShowAgreementButtons()
{
    form.cmdCancel.SetCaption("Do Not Agree");
    form.cmdNext.SetCaption("Agree");
}

void frmRegWizard::ShowPlainButtons()
{
    form.cmdCancel.SetCaption("Cancel");
    form.cmdNext.SetCaption("&Next >");
}

void frmRegWizard::EnterModem()
{
    if (form.lstDevices.ListCount() > 0)
        ResumeNext([&] { form.lstDevices.SetListIndex(0); });
}

void frmRegWizard::LeaveAccessNumber()
{
    context.store.WriteSetting("Suffix", "@" + std::string(ServiceDomain), "S");
}

void frmRegWizard::cmdBack_Click()
{
    if (const auto leave = Current().leaveBack)
        (this->*leave)();
    const std::int16_t old = gStep_;
    gStep_ = PreviousPage();
    form.Page(gStep_).SetVisible(true);
    form.Page(old).SetVisible(false);
    if (CurrentPage() != Page::Welcome)
        ShowPageTitle();
    if (!form.cmdNext.Enabled())
        form.cmdNext.SetEnabled(true);
    ArriveBack();
}

void frmRegWizard::ArriveBack()
{
    const PageDescriptor& page = Current();
    if (page.arriveBack != nullptr)
        (this->*page.arriveBack)();
    FocusFirstField(true);
}

void frmRegWizard::LeaveSiteConnectionBack()
{
    dialup::HangUp(objRASAcc.get());
}

void frmRegWizard::ArriveBackAtWelcome()
{
    form.cmdBack.SetEnabled(false);
    form.cmdBack.SetVisible(false);
    ShowPlainButtons();
    ShowPageTitle();
}

void frmRegWizard::ArriveBackAtSiteConnection()
{
    form.lstAccessNumbers.SetVisible(false);
    form.cmdNext.SetVisible(true);
}

void frmRegWizard::cmdHelp_Click()
{
    const PageDescriptor* page = DescribeNumber(gStep_);
    context.ports.help.ShowPartialKey(context.helpFile, page != nullptr ? page->helpKey : "");
}

} // namespace regwiz::wizard
