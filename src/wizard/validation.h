#pragma once

#include <cstdint>
#include <string>

namespace regwiz::wizard {

class frmRegWizard;

// The checks of the page being left forward (gStep): true when the page
// passes. A failing page has told the member (label colours, a message box).
bool PageChecksPass(frmRegWizard& wizard);

// Shows the "Missing values" box for the fields of `page` set in `mask`.
void ReportMissing(frmRegWizard& wizard, std::uint16_t mask, std::int16_t page);

// The card number passes the mod-10 check and is none of the test numbers.
bool CheckCard(const std::string& number);

bool IsEven(long number);

// Choosing a payment type shows the card fields.
void cboPaymentType_Click(frmRegWizard& wizard);

// The input limits and password masks of the entry boxes.
void SetInputLimits(frmRegWizard& wizard);

} // namespace regwiz::wizard
