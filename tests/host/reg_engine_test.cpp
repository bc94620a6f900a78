#include "host/reg_engine_object.h"

#include <gtest/gtest.h>

#include "support/wizard_home.h"

namespace regwiz::host {
namespace {

// A host that notes, with each event, whether the wizard form was loaded then.
class Host final : public regwizard::RegEngineEvents {
public:
    explicit Host(Component& component) : component_(component) {}
    void IsLoaded() override { events.push_back({"IsLoaded", component_.Form() != nullptr}); }
    void RegCanceled() override { events.push_back({"RegCanceled", component_.Form() != nullptr}); }

    struct Event {
        std::string name;
        bool formLoaded;
    };
    std::vector<Event> events;

private:
    Component& component_;
};

void FillPersonalPage(wizard::RegWizardDesign& f)
{
    for (wizard::Control* box : {&f.txtFirstName, &f.txtLastName, &f.txtAddress1, &f.txtCity})
        box->SetText("x");
    f.txtZipCode.SetText("62701");
    f.txtPhoneNumber.SetText("2175550100");
    f.cboState.SetListIndex(0);
    f.cboAge.AddItem("25-34");
    f.cboAge.SetListIndex(0);
    f.cboGender.SetListIndex(0);
}

class RegEngineTest : public ::testing::Test, protected test::WizardHome {
protected:
    std::optional<std::string> Stored(std::string_view name)
    {
        auto value = fake.registry.Get(platform::Hive::LocalMachine, kSystemKey, name);
        if (!value)
            return std::nullopt;
        return std::string(value->data.begin(), value->data.end());
    }

    Component component{fake.ports};
    Host host{component};
};

TEST_F(RegEngineTest, WithoutAppPathTheComponentFolderIsStoredAndUsed)
{
    {
        RegEngineObject engine(component, &host);
        EXPECT_EQ(component.globals.gAppPath, app.string());
        EXPECT_EQ(Stored("AppPath"), app.string() + std::string(1, '\0'));
        EXPECT_EQ(component.helpFile, (app / "Registration.hlp").string());
    }
    fake.folders.componentFolder = "/elsewhere";
    component.globals.gAppPath.clear();
    RegEngineObject again(component, &host);
    EXPECT_EQ(component.globals.gAppPath, app.string()) << "read back, not the new folder";
}

TEST_F(RegEngineTest, CancelRegistrationRaisesRegCanceledAfterTheFormIsGone)
{
    RegEngineObject engine(component, &host);
    fake.loop.AdvanceBy(3000);
    ASSERT_EQ(host.events.size(), 1u);
    EXPECT_TRUE(host.events[0].formLoaded);
    EXPECT_TRUE(component.Form()->form.Visible());

    engine.CancelRegistration();
    ASSERT_EQ(host.events.size(), 2u);
    EXPECT_EQ(host.events[1].name, "RegCanceled");
    EXPECT_FALSE(host.events[1].formLoaded);
    ASSERT_FALSE(fake.help.calls.empty());
    EXPECT_TRUE(fake.help.calls.back().quit);
    fake.loop.AdvanceBy(10000);
    EXPECT_EQ(host.events.size(), 2u) << "the timer went with the form";
}

TEST_F(RegEngineTest, TwoObjectsShareOneFormAndEitherReleaseUnloadsIt)
{
    auto first = std::make_unique<RegEngineObject>(component, &host);
    wizard::frmRegWizard* form = component.Form();
    form->cmdNext_Click();
    RegEngineObject second(component, &host);
    EXPECT_EQ(component.Form(), form) << "no second start-up";
    EXPECT_EQ(form->gStep(), 1);
    EXPECT_EQ(form->Host(), &second) << "the hand-over replaces the host";
    first.reset();
    EXPECT_EQ(component.Form(), nullptr);
}

TEST_F(RegEngineTest, LogLinesFollowTheHostsSwitch)
{
    ASSERT_EQ(component.store.WriteSetting("AppPath", app.string(), "S"), 0);
    ASSERT_EQ(component.store.WriteSetting("Log", "1", "S"), 0);
    {
        RegEngineObject engine(component, &host);
        EXPECT_TRUE(engine.m_boolLogEvents);
        engine.m_boolLogEvents = false;
    }
    const std::string log = test::ReadBytes(app / "quorvale.log");
    EXPECT_NE(log.find("RegWizard(Class_Initialize): ------------------------ BEGIN"),
              std::string::npos);
    EXPECT_EQ(log.find("Class_Terminate"), std::string::npos) << "the host switched logging off";
}

// Space and Enter on a page without fields go on, never back or out.
TEST_F(RegEngineTest, APageWithoutFieldsStartsOnItsDefaultButton)
{
    RegEngineObject engine(component, &host);
    fake.loop.AdvanceBy(3000);
    wizard::frmRegWizard& wizard = *component.Form();
    wizard::RegWizardDesign& form = wizard.form;
    EXPECT_EQ(form.DefaultButton(), &form.cmdNext);
    form.SetFocus(form.cmdCancel);
    wizard.cmdNext_Click();
    ASSERT_EQ(wizard.gStep(), 1);
    EXPECT_EQ(form.ActiveControl(), &form.cmdNext);

    form.SetFocus(form.cmdBack);
    wizard.cmdBack_Click();
    ASSERT_EQ(wizard.gStep(), 0);
    EXPECT_EQ(form.ActiveControl(), &form.cmdNext) << "Back is hidden on the Welcome page";

    wizard.cmdNext_Click();
    wizard.cmdNext_Click();
    ASSERT_EQ(wizard.gStep(), 2);
    EXPECT_EQ(form.ActiveControl(), &form.txtFirstName) << "a page with fields starts on one";
}

TEST_F(RegEngineTest, AffiliatesSkipTheMediaSourcePageBothWays)
{
    RegEngineObject engine(component, &host);
    fake.loop.AdvanceBy(3000);
    wizard::frmRegWizard& form = *component.Form();
    component.globals.gAffiliateID = "ABC123";
    form.cmdNext_Click();
    form.cmdNext_Click();
    FillPersonalPage(form.form);
    form.cmdNext_Click();
    EXPECT_EQ(form.gStep(), 4);
    EXPECT_EQ(form.form.Caption(), "Registration Wizard - Step 4 of 11");
    EXPECT_FALSE(form.form.Page(3).Visible());
    form.cmdBack_Click();
    EXPECT_EQ(form.gStep(), 2);
    EXPECT_TRUE(form.form.Page(2).Visible());
    EXPECT_FALSE(form.form.Page(4).Visible());

    component.globals.gAffiliateID.clear();
    form.cmdNext_Click();
    EXPECT_EQ(form.gStep(), 3);
}

} // namespace
} // namespace regwiz::host
