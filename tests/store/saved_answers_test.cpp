#include "store/saved_answers.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "support/fake_platform.h"
#include "support/temp_dir.h"

namespace regwiz {
namespace {

// The questionnaire pages' controls: text boxes by name, and lists with their
// entries and the chosen index.
class FakeAnswerForm final : public AnswerForm {
public:
    struct List {
        std::vector<std::string> items;
        int index = -1;
    };

    std::string Text(const std::string& control) const override
    {
        if (const auto list = lists.find(control); list != lists.end())
            return list->second.index < 0 ? std::string()
                                          : list->second.items.at(list->second.index);
        return texts.at(control);
    }
    bool IsList(const std::string& control) const override { return lists.contains(control); }
    void SetText(const std::string& control, const std::string& text) override
    {
        texts.at(control) = text;
    }
    int ListCount(const std::string& control) const override
    {
        return static_cast<int>(lists.at(control).items.size());
    }
    std::string ListItem(const std::string& control, int index) const override
    {
        return lists.at(control).items.at(index);
    }
    void SetListIndex(const std::string& control, int index) override
    {
        lists.at(control).index = index;
    }

    // Every control's current text, to compare two forms by.
    std::map<std::string, std::string> Answers() const
    {
        std::map<std::string, std::string> answers;
        for (const auto& [name, text] : texts)
            answers[name] = text;
        for (const auto& [name, list] : lists)
            answers[name] = Text(name);
        return answers;
    }

    std::map<std::string, std::string> texts;
    std::map<std::string, List> lists;
};

// The three questionnaire pages' controls, empty, the lists holding the same
// entries the configuration gives them.
FakeAnswerForm EmptyPages()
{
    FakeAnswerForm form;
    for (const char* box : {"txtFirstName", "txtLastName", "txtAddress1", "txtAddress2", "txtCity",
                            "txtZipCode", "txtPhoneNumber", "txtEmailAddress", "txtMediaName"})
        form.texts[box] = "";
    const std::vector<std::string> choices = {"Choice A", "Choice B", "Choice C", "Choice D",
                                              "Choice E", "Choice F", "Choice G", "Choice H"};
    for (const char* list : {"cboState", "cboAge", "cboGender", "cboMediaSources", "cboEmployed",
                             "cboOccupation", "cboBusinessOwner", "cboHomeBased"})
        form.lists[list] = {choices, -1};
    return form;
}

// Every answer of every page different from every other.
FakeAnswerForm AnsweredPages()
{
    FakeAnswerForm form = EmptyPages();
    form.texts = {{"txtFirstName", "Ann"},          {"txtLastName", "Bell"},
                  {"txtAddress1", "1 Main St"},     {"txtAddress2", "Apt 2"},
                  {"txtCity", "Springfield"},       {"txtZipCode", "62701"},
                  {"txtPhoneNumber", "2175550100"}, {"txtEmailAddress", "ann@example.com"},
                  {"txtMediaName", "Morning Radio"}};
    int index = 0;
    for (const char* list : {"cboState", "cboAge", "cboGender", "cboMediaSources", "cboEmployed",
                             "cboOccupation", "cboBusinessOwner", "cboHomeBased"})
        form.lists[list].index = index++;
    return form;
}

const char* const kSections[] = {"Personal", "Media", "Employment"};

class SavedAnswers : public ::testing::Test {
protected:
    SavedAnswers() { globals.gAppPath = home.path().string(); }

    test::TempDir home;
    test::FakePlatform fake;
    Globals globals;
    modRegistry store{fake.ports, globals};
};

TEST_F(SavedAnswers, EveryPagesAnswersComeBackToTheirControls)
{
    const FakeAnswerForm answered = AnsweredPages();
    for (const char* section : kSections)
        SaveAnswers(section, answered, store, globals);

    FakeAnswerForm loaded = EmptyPages();
    for (const char* section : kSections)
        LoadAnswers(section, loaded, store, globals);

    EXPECT_EQ(loaded.Answers(), answered.Answers());
}

TEST_F(SavedAnswers, EachPageSavesAndLoadsItsOwnControls)
{
    const std::map<std::string, std::vector<std::string>> pageControls = {
        {"Personal",
         {"txtFirstName", "txtLastName", "txtAddress1", "txtAddress2", "txtCity", "cboState",
          "txtZipCode", "cboAge", "cboGender", "txtPhoneNumber", "txtEmailAddress"}},
        {"Media", {"cboMediaSources", "txtMediaName"}},
        {"Employment", {"cboEmployed", "cboOccupation", "cboBusinessOwner", "cboHomeBased"}}};
    const FakeAnswerForm answered = AnsweredPages();
    for (const auto& [section, controls] : pageControls) {
        SCOPED_TRACE(section);
        test::TempDir pageHome;
        globals.gAppPath = pageHome.path().string();
        SaveAnswers(section, answered, store, globals);

        FakeAnswerForm loaded = EmptyPages();
        for (const char* any : kSections)
            LoadAnswers(any, loaded, store, globals);

        std::map<std::string, std::string> expected = EmptyPages().Answers();
        for (const std::string& control : controls)
            expected[control] = answered.Text(control);
        EXPECT_EQ(loaded.Answers(), expected);
    }
}

TEST_F(SavedAnswers, FileNamesTheSectionsAndKeys)
{
    const FakeAnswerForm answered = AnsweredPages();
    SaveAnswers("Employment", answered, store, globals);
    SaveAnswers("Media", answered, store, globals);
    EXPECT_EQ(test::ReadBytes(home / "conf" / "reginf.dat"),
              "[Employment]\r\nEmployed=Choice E\r\nOccupation=Choice F\r\n"
              "Business=Choice G\r\nHomeBased=Choice H\r\n"
              "[Media]\r\nWhere=Choice D\r\nName=Morning Radio\r\n");
}

TEST_F(SavedAnswers, AnswerNoLongerAmongTheEntriesLeavesTheChoiceAlone)
{
    SaveAnswers("Media", AnsweredPages(), store, globals);
    FakeAnswerForm loaded = EmptyPages();
    loaded.lists["cboMediaSources"] = {{"Newspaper", "Television"}, 1};

    LoadAnswers("Media", loaded, store, globals);

    EXPECT_EQ(loaded.lists["cboMediaSources"].index, 1);
    EXPECT_EQ(loaded.texts["txtMediaName"], "Morning Radio");
}

TEST_F(SavedAnswers, OtherSectionsAndAMissingFileDoNothing)
{
    SaveAnswers("Payment", AnsweredPages(), store, globals);
    EXPECT_FALSE(std::filesystem::exists(home / "conf" / "reginf.dat"));

    FakeAnswerForm loaded = AnsweredPages();
    for (const char* section : kSections)
        LoadAnswers(section, loaded, store, globals);
    EXPECT_EQ(loaded.Answers(), AnsweredPages().Answers());
}

} // namespace
} // namespace regwiz
