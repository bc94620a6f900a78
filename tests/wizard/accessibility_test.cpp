// What the form tells assistive technology, whichever window shows it: names,
// labels, pictures and status lines.
#include <gtest/gtest.h>

#include <set>

#include "wizard/form_design.h"

namespace regwiz::wizard {
namespace {

bool Reachable(ControlKind kind)
{
    return kind == ControlKind::TextBox || kind == ControlKind::ComboBox
           || kind == ControlKind::ListBox || kind == ControlKind::CheckBox
           || kind == ControlKind::CommandButton;
}

TEST(AccessibleNames, EveryControlTheMemberReachesHasAUniqueNameOnItsPage)
{
    RegWizardDesign form;
    for (int page = 0; page < kPageCount; ++page) {
        std::set<std::string> names;
        for (const auto& control : form.Controls()) {
            if (control->Container() != &form.Page(page) || !Reachable(control->Kind()))
                continue;
            const std::string name = control->AccessibleName();
            EXPECT_FALSE(name.empty()) << control->Name();
            EXPECT_TRUE(names.insert(name).second) << name << " twice on page " << page;
        }
        EXPECT_FALSE(form.Page(page).AccessibleName().empty()) << page;
    }
}

TEST(AccessibleNames, FieldsGoByTheirLabelWithoutItsColonNotByTheirValue)
{
    RegWizardDesign form;
    EXPECT_EQ(form.txtFirstName.Label(), &form.lblFirstName);
    EXPECT_EQ(form.txtFirstName.AccessibleName(), "First name");
    EXPECT_EQ(form.cboState.AccessibleName(), "State");
    form.cboState.SetListIndex(4);
    EXPECT_EQ(form.cboState.AccessibleName(), "State") << "never the chosen AZ";

    // Two fields under one caption: both labelled by it, each named apart.
    EXPECT_EQ(form.txtAddress2.Label(), &form.lblAddress);
    EXPECT_EQ(form.txtAddress1.AccessibleName(), "Address line 1");
    EXPECT_EQ(form.txtAddress2.AccessibleName(), "Address line 2");
    EXPECT_EQ(form.cboCCYear.Label(), &form.lblCCExpiration);
    EXPECT_EQ(form.cboCCMonth.AccessibleName(), "Expiration month");
    EXPECT_EQ(form.cboCCYear.AccessibleName(), "Expiration year");

    // A label's new caption renames its field; buttons drop the mnemonic.
    form.lblAccessNumbers.SetCaption("Numbers near you:");
    EXPECT_EQ(form.lstAccessNumbers.AccessibleName(), "Numbers near you");
    EXPECT_EQ(form.cmdBack.AccessibleName(), "< Back");
    EXPECT_EQ(WithoutMnemonics("Fish && &Chips"), "Fish & Chips");
}

TEST(AccessibleNames, PicturesDecorateAndWaitingTextsReportStatus)
{
    RegWizardDesign form;
    int pictures = 0;
    for (const auto& control : form.Controls())
        if (control->Kind() == ControlKind::Image) {
            EXPECT_TRUE(control->Decorative()) << control->Name();
            ++pictures;
        }
    EXPECT_EQ(pictures, 14);
    for (const Control* status : {&form.lblPleaseWait, &form.lblConfigureStep,
                                  &form.lblAccessNumber, &form.lblConfigSystem})
        EXPECT_TRUE(status->ReportsStatus()) << status->Name();
    EXPECT_FALSE(form.lblFirstName.ReportsStatus());
}

} // namespace
} // namespace regwiz::wizard
