#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "store/globals.h"
#include "store/mod_registry.h"

namespace regwiz {

// The form's controls, addressed by name, as far as the saved answers need them.
class AnswerForm {
public:
    virtual ~AnswerForm() = default;
    // A text box's text, or the chosen entry's text of a list.
    virtual std::string Text(const std::string& control) const = 0;
    virtual bool IsList(const std::string& control) const = 0;
    virtual void SetText(const std::string& control, const std::string& text) = 0;
    virtual int ListCount(const std::string& control) const = 0;
    virtual std::string ListItem(const std::string& control, int index) const = 0;
    virtual void SetListIndex(const std::string& control, int index) = 0;
};

// The answers of the questionnaire pages in "conf\reginf.dat", one section
// per page ("Personal", "Media", "Employment"), so a member who comes back
// finds them filled in. Another section name does nothing.
void SaveAnswers(std::string_view section, const AnswerForm& form, modRegistry& store,
                 const Globals& globals);
void LoadAnswers(std::string_view section, AnswerForm& form, modRegistry& store,
                 const Globals& globals);

} // namespace regwiz
