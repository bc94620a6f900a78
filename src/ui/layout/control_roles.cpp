#include "ui/layout/control_roles.h"

#include <map>
#include <set>

namespace regwiz::ui {

using wizard::ControlKind;

bool IsInput(ControlKind kind)
{
    return kind == ControlKind::TextBox || kind == ControlKind::ComboBox
           || kind == ControlKind::ListBox;
}

bool TakesFocus(ControlKind kind)
{
    return IsInput(kind) || kind == ControlKind::CheckBox || kind == ControlKind::CommandButton;
}

bool KeepsStandardLook(ControlKind kind)
{
    return IsInput(kind) || kind == ControlKind::CommandButton;
}

int HeadingEmphasis(const std::string& labelName)
{
    static const std::map<std::string, int> kHeadings = {{"lblWelcome", 6}, {"lblPleaseWait", 3}};
    const auto heading = kHeadings.find(labelName);
    return heading == kHeadings.end() ? 0 : heading->second;
}

std::string WithoutMnemonics(const std::string& caption)
{
    return wizard::WithoutMnemonics(caption);
}

char HiddenAccessKey(const std::string& caption)
{
    if (caption.find('&') != std::string::npos)
        return 0;
    static const std::map<std::string, char> kKeys = {{"Agree", 'A'}, {"Do Not Agree", 'D'}};
    const auto key = kKeys.find(caption);
    return key == kKeys.end() ? 0 : key->second;
}

PageLayout CompleteLayout(const wizard::FormModel& form, const wizard::Control& panel,
                          PageLayout layout)
{
    std::set<std::string> named;
    if (layout.picture)
        named.insert(layout.picture);
    for (const Row& row : layout.rows) {
        if (row.label)
            named.insert(row.label);
        for (const Cell& cell : row.fields)
            named.insert(cell.name);
    }
    for (const auto& control : form.Controls()) {
        if (control->Container() != &panel || named.count(control->Name()) > 0)
            continue;
        if (control->Kind() == ControlKind::Image && !layout.picture)
            layout.picture = control->Name().c_str();
        else
            layout.rows.push_back(Row{nullptr, {{control->Name().c_str(), kFill}}, false});
    }
    return layout;
}

int PageOf(wizard::RegWizardDesign& form, const wizard::Control& frame)
{
    for (int page = 0; page < wizard::kPageCount; ++page) {
        if (&form.Page(page) == &frame)
            return page;
    }
    return -1;
}

} // namespace regwiz::ui
