// The page table: one row per page, in the order the member meets them.
#include "wizard/pages.h"

#include <array>

#include "wizard/reg_wizard.h"
#include "wizard/validation.h"

namespace regwiz::wizard {

// A member, so that the rows may name the form's own page handlers.
const std::array<PageDescriptor, kPageCount>& frmRegWizard::PageTable()
{
    using W = frmRegWizard;
    // clang-format off
    static constexpr std::array<PageDescriptor, kPageCount> kPages = {{
    // page, name, title, help key, focus field, focus when back, answers section,
    // skipped for affiliate, check, enter, leave, arrive back, leave back
    {Page::Welcome, "Welcome", "Registration Wizard - Welcome", "Welcome", nullptr, false,
     nullptr, false, nullptr, nullptr, nullptr, &W::ArriveBackAtWelcome, nullptr},
    {Page::Agreement, "Agreement", nullptr, "Agreement", nullptr, false,
     nullptr, false, nullptr, &W::EnterAgreement, nullptr, &W::ShowAgreementButtons, nullptr},
    {Page::Personal, "Personal", nullptr, "Personal Information", "txtFirstName", true,
     "Personal", false, &PersonalPagePasses, &W::ShowPlainButtons, nullptr, nullptr, nullptr},
    // Coming back, the media page leaves the focus where it is.
    {Page::Media, "Media", nullptr, "", "cboMediaSources", false,
     "Media", true, &MediaPagePasses, nullptr, nullptr, nullptr, nullptr},
    {Page::Employment, "Employment", nullptr, "Occupational Information", "cboEmployed", true,
     "Employment", false, &EmploymentPagePasses, nullptr, nullptr, nullptr, nullptr},
    {Page::Payment, "Payment", nullptr, "Payment Information", "cboPaymentType", true,
     nullptr, false, &PaymentPagePasses, nullptr, nullptr, nullptr, nullptr},
    {Page::Modem, "Modem", nullptr, "Modem Selection", nullptr, false,
     nullptr, false, &DevicePagePasses, &W::EnterModem, nullptr, nullptr, nullptr},
    {Page::Password, "Password", nullptr, "Password Entry", "txtPassword1", true,
     nullptr, false, &PasswordPagePasses, nullptr, nullptr, nullptr, nullptr},
    {Page::AreaCode, "AreaCode", nullptr, "Area Code Selection", "txtAreaCode", true,
     nullptr, false, &AreaCodePagePasses, nullptr, nullptr, nullptr, nullptr},
    {Page::SiteConnection, "SiteConnection", nullptr, "Site Connection", nullptr, false,
     nullptr, false, nullptr, &W::SiteConnectionSequence, nullptr,
     &W::ArriveBackAtSiteConnection, &W::LeaveSiteConnectionBack},
    {Page::AccessNumber, "AccessNumber", nullptr, "Access Number Selection", nullptr, false,
     nullptr, false, nullptr, &W::AccessNumberEntry, &W::LeaveAccessNumber, nullptr, nullptr},
    {Page::Finish, "Finish", nullptr, "Finish", nullptr, false,
     nullptr, false, nullptr, &W::FinishingSequence, nullptr, nullptr, nullptr},
}};
    // clang-format on
    static_assert(
        [] {
            for (std::size_t i = 0; i < kPages.size(); ++i)
                if (Number(kPages[i].page) != static_cast<std::int16_t>(i))
                    return false;
            return true;
        }(),
        "the table lists the pages by number");
    return kPages;
}

const PageDescriptor& Describe(Page page)
{
    return frmRegWizard::PageTable()[static_cast<std::size_t>(Number(page))];
}

const PageDescriptor* DescribeNumber(std::int16_t number)
{
    if (number < 0 || number >= kPageCount)
        return nullptr;
    return &frmRegWizard::PageTable()[static_cast<std::size_t>(number)];
}

} // namespace regwiz::wizard
