#include "store/saved_answers.h"

#include <array>
#include <filesystem>
#include <vector>

namespace regwiz {
namespace {

struct Answer {
    const char* key;
    const char* control;
};

struct PageAnswers {
    const char* section;
    std::vector<Answer> saveOrder;
    std::vector<Answer> loadOrder;
};

const PageAnswers* AnswersOf(std::string_view section)
{
    static const PageAnswers personal{"Personal",
                                      {{"FirstName", "txtFirstName"},
                                       {"LastName", "txtLastName"},
                                       {"Address1", "txtAddress1"},
                                       {"Address2", "txtAddress2"},
                                       {"City", "txtCity"},
                                       {"State", "cboState"},
                                       {"ZipCode", "txtZipCode"},
                                       {"Age", "cboAge"},
                                       {"Gender", "cboGender"},
                                       {"Phone", "txtPhoneNumber"},
                                       {"EMail", "txtEmailAddress"}},
                                      {{"FirstName", "txtFirstName"},
                                       {"LastName", "txtLastName"},
                                       {"Address1", "txtAddress1"},
                                       {"Address2", "txtAddress2"},
                                       {"City", "txtCity"},
                                       {"Phone", "txtPhoneNumber"},
                                       {"State", "cboState"},
                                       {"ZipCode", "txtZipCode"},
                                       {"Age", "cboAge"},
                                       {"Gender", "cboGender"},
                                       {"EMail", "txtEmailAddress"}}};
    static const PageAnswers media{"Media",
                                   {{"Where", "cboMediaSources"}, {"Name", "txtMediaName"}},
                                   {{"Where", "cboMediaSources"}, {"Name", "txtMediaName"}}};
    static const PageAnswers employment{"Employment",
                                        {{"Employed", "cboEmployed"},
                                         {"Occupation", "cboOccupation"},
                                         {"Business", "cboBusinessOwner"},
                                         {"HomeBased", "cboHomeBased"}},
                                        {{"Employed", "cboEmployed"},
                                         {"Occupation", "cboOccupation"},
                                         {"HomeBased", "cboHomeBased"},
                                         {"Business", "cboBusinessOwner"}}};
    for (const PageAnswers* answers : {&personal, &media, &employment})
        if (answers->section == section)
            return answers;
    return nullptr;
}

std::filesystem::path AnswersFile(const Globals& globals)
{
    return AppFile(globals, "conf\\reginf.dat");
}

// Every entry equal to the text becomes the chosen one, so the last wins; no
// equal entry leaves the choice alone.
void ChooseEqualEntries(AnswerForm& form, const std::string& list, const std::string& text)
{
    for (int i = 0; i < form.ListCount(list); ++i) {
        if (form.ListItem(list, i) == text)
            form.SetListIndex(list, i);
    }
}

} // namespace

void SaveAnswers(std::string_view section, const AnswerForm& form, modRegistry& store,
                 const Globals& globals)
{
    const PageAnswers* answers = AnswersOf(section);
    if (answers == nullptr)
        return;
    const std::filesystem::path file = AnswersFile(globals);
    platform::Files& files = store.Files();
    if (!files.IsFile(file)) {
        // The store writes only into an existing .ini file; a missing "conf"
        // folder would otherwise lose every answer.
        files.CreateFolders(file.parent_path());
        files.Append(file, {});
    }
    // A page's answers are one write of the file, and scratch: a crash that
    // loses them costs the member some typing, not the account.
    std::vector<platform::ProfileEntry> entries;
    for (const Answer& answer : answers->saveOrder)
        entries.push_back({answer.key, form.Text(answer.control)});
    store.fWriteTexts(file.string(), answers->section, entries, platform::Durability::Scratch);
}

void LoadAnswers(std::string_view section, AnswerForm& form, modRegistry& store,
                 const Globals& globals)
{
    const PageAnswers* answers = AnswersOf(section);
    const std::filesystem::path file = AnswersFile(globals);
    if (answers == nullptr || !store.Files().IsFile(file))
        return;
    for (const Answer& answer : answers->loadOrder) {
        Variant value;
        store.fReadValue(file.string(), answers->section, answer.key, "S", std::string(), value);
        const std::string text = CStr(value);
        if (form.IsList(answer.control))
            ChooseEqualEntries(form, answer.control, text);
        else
            form.SetText(answer.control, text);
    }
}

} // namespace regwiz
