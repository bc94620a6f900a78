#pragma once

#include <cstdint>

#include "wizard/form_design.h"

namespace regwiz::wizard {

class frmRegWizard;

// The wizard's pages, by the number the member sees ("Step N of 11").
enum class Page : std::int16_t {
    Welcome = 0,
    Agreement,
    Personal,
    Media,
    Employment,
    Payment,
    Modem,
    Password,
    AreaCode,
    SiteConnection,
    AccessNumber,
    Finish,
};

// Everything the wizard does differently per page.
struct PageDescriptor {
    Page page;
    const char* name;
    // The window caption; null: "Registration Wizard - Step N of M".
    const char* title;
    // The help topic's partial key.
    const char* helpKey;
    // The control that takes the focus when the member arrives; null: none.
    const char* focusField;
    // Arriving by Back focuses that field too.
    bool focusWhenBack;
    // The section of the saved answers ("conf\reginf.dat"); null: none.
    const char* answersSection;
    // Members who came through an affiliate never see the page.
    bool skippedForAffiliate;
    // The check when the member leaves the page forward; null: none.
    bool (*check)(frmRegWizard&);
    // What happens on arriving forward, after the buttons are set; then the
    // saved answers are loaded and the focus field is focused.
    void (frmRegWizard::*enter)();
    // What happens on leaving forward, after the answers are saved.
    void (frmRegWizard::*leave)();
    // What happens on arriving by Back, and on leaving by Back.
    void (frmRegWizard::*arriveBack)();
    void (frmRegWizard::*leaveBack)();
};

inline constexpr std::int16_t kLastPage = kPageCount - 1;

const PageDescriptor& Describe(Page page);
// Null for a number that is no page.
const PageDescriptor* DescribeNumber(std::int16_t number);

constexpr std::int16_t Number(Page page)
{
    return static_cast<std::int16_t>(page);
}

} // namespace regwiz::wizard
