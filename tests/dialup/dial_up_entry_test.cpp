#include "dialup/dial_up_entry.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

#include "platform/errors.h"
#include "store/globals.h"

namespace regwiz::dialup {
namespace {

// The dial-up component as the entry code meets it: records the settings set
// and saved, refuses the positions a test names, and leaves the last-error
// numbers a test scripts for OpenEntry and SaveEntry.
class FakeEntrySettings final : public platform::RasEntryProperties {
public:
    void SetValue(int position, const Variant& value) override
    {
        ++setCalls;
        if (refused.contains(position))
            throw RunTimeError(380, "Invalid property value");
        values[position] = value;
    }
    Variant Value(int position) const override
    {
        const auto value = values.find(position);
        return value == values.end() ? Variant() : value->second;
    }

    std::map<int, Variant> values;
    std::set<int> refused;
    int setCalls = 0;
};

class FakePhoneBook final : public platform::RasPhoneBook {
public:
    explicit FakePhoneBook(long& lastError) : lastError_(lastError) {}

    void SetEntryName(const std::string& name) override { entryName = name; }
    void OpenEntry() override
    {
        openedName = entryName;
        lastError_ = openError;
    }
    platform::RasEntryProperties& EntryProperties() override { return settings; }
    long SaveEntry() override
    {
        saved.push_back(settings.values);
        return lastError_ = saveError;
    }
    bool EnumDevices() override { return false; }
    long DeleteEntry(const std::string&) override { return lastError_ = 0; }

    long openError = 0;
    long saveError = 0;
    std::string entryName;
    std::string openedName;
    FakeEntrySettings settings;
    std::vector<std::map<int, Variant>> saved; // the settings at each SaveEntry

private:
    long& lastError_;
};

class FakeDialer final : public platform::RasDialer, public platform::RasDialParams {
public:
    platform::RasDialParams& DialParams() override { return *this; }
    long Dial(long) override { return 0; }
    long HangUp(bool&) override { return 0; }
    void SetEntryName(const std::string&) override {}
    void SetUserName(const std::string&) override {}
    void SetPassword(const std::string&) override {}
    void SetDialOption(bool) override {}
    long ConnState() const override { return platform::ras::Disconnected; }
};

class FakeRas final : public platform::RasAccess {
public:
    void Initialize() override { lastError_ = 0; }
    platform::RasPhoneBook& PhoneBook() override { return phoneBook; }
    platform::RasDialer& Dialer() override { return dialer; }
    long LastError() const override { return lastError_; }

private:
    long lastError_ = 0; // before the parts that hold on to it

public:
    FakePhoneBook phoneBook{lastError_};
    FakeDialer dialer;
};

class DialUpEntry : public ::testing::Test {
protected:
    FakePhoneBook& book() { return ras.phoneBook; }

    // The text of a setting as the last SaveEntry saw it.
    std::string Saved(int position)
    {
        if (book().saved.empty())
            return "(not saved)";
        const auto& values = book().saved.back();
        const auto value = values.find(position);
        return value == values.end() ? "(not set)" : CStr(value->second);
    }

    FakeRas ras;
};

// --- The registration entry ---

const RegistrationEntry kEntry{"5550142", "800", "Standard 56000 bps Modem", "modem"};

TEST_F(DialUpEntry, RegistrationEntryDialsTheServerWithTheChosenModem)
{
    const EntryResult result = CreateRegistrationEntry(ras, kEntry);

    EXPECT_EQ(result.stage, EntryResult::Stage::Written);
    EXPECT_EQ(result.error, 0);
    EXPECT_EQ(book().openedName, ServiceDomain);
    ASSERT_EQ(book().saved.size(), 1u);
    EXPECT_EQ(book().settings.setCalls, 43);
    EXPECT_EQ(Saved(1), "5550142");
    EXPECT_EQ(Saved(2), "800");
    EXPECT_EQ(Saved(3), "1");
    EXPECT_EQ(Saved(5), "True");
    EXPECT_EQ(Saved(6), "0");
    EXPECT_EQ(Saved(7), "Standard 56000 bps Modem");
    EXPECT_EQ(Saved(8), "modem");
    EXPECT_EQ(Saved(24), "0.0.0.0");
    EXPECT_EQ(Saved(33), "");
    EXPECT_EQ(Saved(45), "");
    EXPECT_EQ(Saved(42), "(not set)");
    EXPECT_EQ(Saved(44), "(not set)");
}

TEST_F(DialUpEntry, RegistrationEntryOverwritesAnExistingEntry)
{
    book().openError = platform::ras::ErrorAlreadyExists;

    const EntryResult result = CreateRegistrationEntry(ras, kEntry);

    EXPECT_EQ(result.stage, EntryResult::Stage::Written);
    EXPECT_EQ(result.error, 0);
    ASSERT_EQ(book().saved.size(), 1u);
    EXPECT_EQ(Saved(1), "5550142");
}

TEST_F(DialUpEntry, RegistrationEntryWithAnInvalidNameSetsAndSavesNothing)
{
    book().openError = 123;

    const EntryResult result = CreateRegistrationEntry(ras, kEntry);

    EXPECT_EQ(result.stage, EntryResult::Stage::NameInvalid);
    EXPECT_EQ(result.error, 123);
    EXPECT_EQ(book().settings.setCalls, 0);
    EXPECT_TRUE(book().saved.empty());
}

TEST_F(DialUpEntry, RegistrationEntryReportsAFailedSave)
{
    book().saveError = 624;

    const EntryResult result = CreateRegistrationEntry(ras, kEntry);

    EXPECT_EQ(result.stage, EntryResult::Stage::SaveFailed);
    EXPECT_EQ(result.error, 624);
    EXPECT_EQ(result.lngResult, 624);
}

// --- Opening the entry for a change ---

TEST_F(DialUpEntry, OpeningTheEntryTakesAnExistingOneAndReportsAnUnusableName)
{
    EXPECT_EQ(OpenServiceEntry(ras), 0);
    EXPECT_EQ(book().openedName, ServiceDomain);

    book().openError = platform::ras::ErrorAlreadyExists;
    EXPECT_EQ(OpenServiceEntry(ras), 0);

    book().openError = 123;
    EXPECT_EQ(OpenServiceEntry(ras), 123);
}

// --- Pointing the entry at the access number ---

TEST_F(DialUpEntry, WithoutTenDigitDiallingTheNumberIsDialledInItsAreaCode)
{
    EXPECT_EQ(PointEntryAt(ras, {"ST, Town, 212 5550123", false, "415"}), 0);

    ASSERT_EQ(book().saved.size(), 1u);
    EXPECT_EQ(Saved(1), "5550123");
    EXPECT_EQ(Saved(2), "212") << "the location's city code plays no part";
    EXPECT_EQ(Saved(43), "");
    EXPECT_EQ(Saved(44), "");
}

TEST_F(DialUpEntry, TenDigitDiallingDialsAreaAndNumberFromTheLocationsCityCode)
{
    PointEntryAt(ras, {"ST, Town, 212 5550123", true, "415"});
    EXPECT_EQ(Saved(1), "212 5550123");
    EXPECT_EQ(Saved(2), "415");

    PointEntryAt(ras, {"ST, Town, 212 5550123", true, "41567"});
    EXPECT_EQ(Saved(2), "415") << "cut to three characters";

    PointEntryAt(ras, {"ST, Town, 212 5550123", true, "41"});
    EXPECT_EQ(Saved(2), "41");

    PointEntryAt(ras, {"ST, Town, 212 5550123", true, ""});
    EXPECT_EQ(Saved(2), "") << "the location is unknown";
}

TEST_F(DialUpEntry, AccessStringWithoutBlanksIsTheWholeNumber)
{
    PointEntryAt(ras, {"5550123", false, ""});
    EXPECT_EQ(Saved(1), "5550123");
    EXPECT_EQ(Saved(2), "");

    PointEntryAt(ras, {"5550123", true, ""});
    EXPECT_EQ(Saved(1), " 5550123") << "an empty area code, a blank, the number";
}

// Both lists end in area code, blank, number, whatever blanks the state and
// the city hold before them.
TEST_F(DialUpEntry, SeveralWordsInStateOrCityStillGiveAreaAndNumber)
{
    for (const char* access : {"NY New York 212 5550188", "New York, New York, 212 5550188",
                               "NY, New York, 212 5550188", "NY NewYork 212 5550188"}) {
        SCOPED_TRACE(access);
        PointEntryAt(ras, {access, false, ""});
        EXPECT_EQ(Saved(1), "5550188");
        EXPECT_EQ(Saved(2), "212");
    }
    PointEntryAt(ras, {"NY New York 212 5550188", true, "415"});
    EXPECT_EQ(Saved(1), "212 5550188");
}

TEST_F(DialUpEntry, SettingsTheComponentRefusesAreSkippedAndTheEntryIsSaved)
{
    book().settings.refused = {1, 43};

    EXPECT_EQ(PointEntryAt(ras, {"ST, Town, 212 5550123", false, ""}), 0);

    ASSERT_EQ(book().saved.size(), 1u);
    EXPECT_EQ(Saved(1), "(not set)");
    EXPECT_EQ(Saved(43), "(not set)");
}

TEST_F(DialUpEntry, PointingReportsAFailedSave)
{
    book().saveError = 624;
    EXPECT_EQ(PointEntryAt(ras, {"ST, Town, 212 5550123", false, ""}), 624);
}

} // namespace
} // namespace regwiz::dialup
