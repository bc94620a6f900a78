#pragma once

#include <string>
#include <vector>

#include "ui/layout/page_layouts.h"
#include "wizard/form_design.h"

// What both views decide alike about a control, whatever draws it.
namespace regwiz::ui {

// Controls that show a value the member enters or picks; they are named after
// the label beside them.
bool IsInput(wizard::ControlKind kind);

// Controls the member reaches with Tab.
bool TakesFocus(wizard::ControlKind kind);

// Fields and buttons keep the system's look on the blue pages; labels and
// check boxes take the page's colours.
bool KeepsStandardLook(wizard::ControlKind kind);

// How many points a heading label is drawn larger (and bold); 0 for the rest.
int HeadingEmphasis(const std::string& labelName);

// "&Next >" reads "Next >"; "&&" stands for one ampersand.
std::string WithoutMnemonics(const std::string& caption);

// The key that presses a button with Alt although its caption shows none:
// "Agree" is Alt+A, where the member agrees. 0: none.
char HiddenAccessKey(const std::string& caption);

// `layout` with the controls of `panel` it does not name added: the first
// picture on the left, the rest one per row below the named ones.
PageLayout CompleteLayout(const wizard::FormModel& form, const wizard::Control& panel,
                          PageLayout layout);

// The page number of `frame`, one of the form's page frames; -1 for any other control.
int PageOf(wizard::RegWizardDesign& form, const wizard::Control& frame);

} // namespace regwiz::ui
