#include "ui/layout/page_layouts.h"

#include <array>

#include "wizard/pages.h"

namespace regwiz::ui {
namespace {

Row Across(const char* name, int width = kFill)
{
    return Row{nullptr, {{name, width}}, false};
}

Row Growing(const char* name)
{
    return Row{nullptr, {{name, kFill}}, true};
}

Row Field(const char* label, std::vector<Cell> fields)
{
    return Row{label, std::move(fields), false};
}

using Layouts = std::array<PageLayout, wizard::kPageCount>;

Layouts MakeLayouts()
{
    Layouts layouts;
    auto page = [&](wizard::Page named) -> PageLayout& {
        return layouts[static_cast<std::size_t>(wizard::Number(named))];
    };
    page(wizard::Page::Welcome) = {"ImgWelcome", {Across("lblWelcome"), Across("lblWelcome2")}};
    page(wizard::Page::Agreement) = {
        "imgStep1", {Growing("txtAgreement"), Across("lblInstructions"), Across("lblNotice")}};
    page(wizard::Page::Personal) = {
        "imgStep2",
        {Across("lblPersonalInformation"), Field("lblFirstName", {{"txtFirstName"}}),
         Field("lblLastName", {{"txtLastName"}}), Field("lblAddress", {{"txtAddress1"}}),
         Field("", {{"txtAddress2"}}), Field("lblCity", {{"txtCity"}}),
         Field("lblState", {{"cboState", 70}, {"lblZipCode", kNatural}, {"txtZipCode", 90}}),
         Field("lblAge", {{"cboAge", 110}, {"lblGender", kNatural}, {"cboGender", 110}}),
         Field("lblPhone", {{"txtPhoneNumber", 160}, {"lblPhnNmbr"}}), Across("lblEMailInst"),
         Field("lblEMailAddress", {{"txtEmailAddress"}})}};
    page(wizard::Page::Media) = {"imgStep3",
                                 {Across("lblWhere1"), Across("cboMediaSources"),
                                  Across("lblWhere2"), Across("txtMediaName")}};
    page(wizard::Page::Employment) = {
        "imgStep4",
        {Across("lblCustomize"), Field("lblJobFunction", {{"cboEmployed"}}),
         Field("lblOccupation", {{"cboOccupation"}}), Field("lblJobTitle", {{"cboBusinessOwner"}}),
         Field("lblPrimaryInterest", {{"cboHomeBased"}})}};
    page(wizard::Page::Payment) = {
        "imgStep5",
        {Across("lblCCInstructions"), Field("lblPaymentType", {{"cboPaymentType"}}),
         Field("lblCreditCardNumber", {{"txtCCNumber"}}),
         Field("lblCCExpiration", {{"cboCCMonth", 70}, {"cboCCYear", 80}}),
         Field("lblCCName", {{"txtCCName"}})}};
    page(wizard::Page::Modem) = {"imgStep6", {Across("lblConnection"), Growing("lstDevices")}};
    page(wizard::Page::Password) = {"imgStep7",
                                    {Across("Label1"),
                                     Field("lblPassword1", {{"txtPassword1", 160}}),
                                     Field("lblPassword2", {{"txtPassword2", 160}})}};
    page(wizard::Page::AreaCode) = {
        "imgStep8",
        {Across("lblAreaCode"), Field("lblAreaCode2", {{"txtAreaCode", 60}, {"lblAreaCodeEx"}})}};
    page(wizard::Page::SiteConnection) = {"imgStep9",
                                          {Across("imgConfig1", kNatural), Across("lblPleaseWait"),
                                           Across("lblConfigureStep"),
                                           Across("amiPleaseWait", kNatural)}};
    page(wizard::Page::AccessNumber) = {
        "imgStep10",
        {Across("lblAccessNumber"), Across("lblAccessNumbers"), Growing("lstAccessNumbers"),
         Field("lblAccessState", {{"cboAccessState"}}), Field("lblAccessCity", {{"cboAccessCity"}}),
         Across("cmdSelectAccessNumber", kNatural), Across("chkTenDigit")}};
    page(wizard::Page::Finish) = {"imgStep11", {Across("lblConfigSystem")}};
    return layouts;
}

} // namespace

const PageLayout& LayoutOfPage(int page)
{
    static const Layouts pages = MakeLayouts();
    static const PageLayout none;
    if (page < 0 || page >= wizard::kPageCount)
        return none;
    return pages[static_cast<std::size_t>(page)];
}

} // namespace regwiz::ui
