#include <gtest/gtest.h>

#include "wizard/form_design.h"

namespace regwiz::wizard {
namespace {

TEST(SingleLineBoxes, KeepWhatStandsBeforeTheFirstLineBreak)
{
    RegWizardDesign form;
    form.txtFirstName.Type("Lee\r\n[Personal]\r\nFirstName=Eve");
    EXPECT_EQ(form.txtFirstName.Text(), "Lee");
    form.txtLastName.SetText("Ng\nX=1");
    EXPECT_EQ(form.txtLastName.Text(), "Ng");
    form.txtCity.SetText("\rTown");
    EXPECT_EQ(form.txtCity.Text(), "") << "a break at the start leaves nothing";
    form.txtAddress1.SetText("1 Main St");
    EXPECT_EQ(form.txtAddress1.Text(), "1 Main St");
}

TEST(SingleLineBoxes, TheAgreementKeepsItsLines)
{
    RegWizardDesign form;
    form.txtAgreement.SetText("One.\r\nTwo.\r\n");
    EXPECT_EQ(form.txtAgreement.Text(), "One.\r\nTwo.\r\n");
}

} // namespace
} // namespace regwiz::wizard
