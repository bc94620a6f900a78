#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/regional_settings.h"
#include "wizard/pages.h"

namespace regwiz::wizard {

class frmRegWizard;

// Label colours of the checked fields: missing, and filled in.
inline constexpr std::uint32_t MissingColour = 0xFF0000;
inline constexpr std::uint32_t NormalColour = 0xFFFFFF;

// The checks of a page being left forward: true when the page passes. A
// failing page has told the member (label colours, a message box). A check
// that raises a run-time error has not passed.
bool PageChecksPass(frmRegWizard& wizard, Page page);

// The checks of each page, as the page table names them.
bool PersonalPagePasses(frmRegWizard& wizard);
bool MediaPagePasses(frmRegWizard& wizard);
bool EmploymentPagePasses(frmRegWizard& wizard);
bool PaymentPagePasses(frmRegWizard& wizard);
bool DevicePagePasses(frmRegWizard& wizard);
bool PasswordPagePasses(frmRegWizard& wizard);
bool AreaCodePagePasses(frmRegWizard& wizard);

// The card number passes the mod-10 check and is none of the test numbers.
bool CheckCard(const std::string& number);

bool IsEven(long number);

// Choosing a payment type shows the card fields.
void cboPaymentType_Click(frmRegWizard& wizard);

// The input limits and password masks of the entry boxes.
void SetInputLimits(frmRegWizard& wizard);

// The decimal point and thousands separator a typed number may use.
struct NumberSeparators {
    std::string decimal = ".";
    std::string thousands = ",";
};

// Those of the regional settings. Settings without a thousands separator (the
// C locale) get the US "," unless "," is their decimal point.
NumberSeparators RegionalSeparators(const platform::RegionalSettings& regional);

// The text converts to a Decimal the way the number fields (zip code, phone,
// area code) have always been tested: see validation.cpp for what is taken.
bool IsDecimalNumber(std::string_view text, const NumberSeparators& separators);

} // namespace regwiz::wizard
