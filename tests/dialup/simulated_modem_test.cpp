#include "dialup/sim/simulated_modem.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/fake/fakes.h"
#include "platform/fake/virtual_event_loop.h"
#include "platform/posix/profile_files.h"
#include "support/temp_dir.h"

namespace regwiz::dialup::sim {
namespace {

namespace ras = platform::ras;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using Kind = DialOutcome::Kind;

struct Status {
    std::int64_t atMs;
    long state;
    long error;
    bool operator==(const Status&) const = default;
};

struct RecordingEvents final : platform::RasEvents {
    explicit RecordingEvents(platform::EventLoop& eventLoop) : loop(eventLoop) {}
    void ConnectionStatus(const std::string& text, long state, long error) override
    {
        statuses.push_back({loop.NowMs(), state, error});
        texts.push_back(text);
        if (onStatus)
            onStatus(state, error);
    }
    void DeviceInfo(const std::string& type, const std::string& name) override
    {
        devices.push_back(type + ":" + name);
    }

    platform::EventLoop& loop;
    std::vector<Status> statuses;
    std::vector<std::string> texts;
    std::vector<std::string> devices;
    std::function<void(long state, long error)> onStatus;
};

class ModemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        line.SetRegistrationNumber("1-800-555-0142");
        line.WriteEntrySetting("quorvale", 2, "(800)");
        line.WriteEntrySetting("quorvale", 1, "555-0142");
    }
    long Dial(platform::RasAccess& access, const std::string& password = "Kb93M24Wd58")
    {
        auto& params = access.Dialer().DialParams();
        params.SetEntryName("quorvale");
        params.SetUserName("autoreg");
        params.SetPassword(password);
        return access.Dialer().Dial(0);
    }
    long HangUp(platform::RasAccess& access)
    {
        bool flag = false;
        return access.Dialer().HangUp(flag);
    }
    std::vector<long> States() const
    {
        std::vector<long> states;
        for (const Status& status : events.statuses)
            states.push_back(status.state);
        return states;
    }

    platform::fake::VirtualEventLoop loop;
    test::TempDir dir;
    platform::posix::PrivateProfileFiles profiles;
    ModemLine line{loop, profiles, dir / "rasphone.pbk"};
    RecordingEvents events{loop};
    std::unique_ptr<platform::RasAccess> ras = line.Factory()(events);
};

TEST_F(ModemTest, ConnectsThroughEveryStateOnTheLoopClock)
{
    std::vector<long> seenConnState;
    events.onStatus = [&](long, long) { seenConnState.push_back(line.ConnState()); };
    EXPECT_EQ(line.ConnState(), ras::Disconnected);
    EXPECT_EQ(Dial(*ras), 0);
    EXPECT_THAT(events.statuses,
                ElementsAre(Status{0, 0, 0}, Status{250, 2, 0}, Status{500, 3, 0},
                            Status{750, 5, 0}, Status{1000, 14, 0}, Status{1250, 8192, 0}));
    EXPECT_EQ(seenConnState, States());
    EXPECT_THAT(events.texts, Each(Not(IsEmpty())));
    EXPECT_EQ(ras->Dialer().DialParams().ConnState(), ras::Connected);
    EXPECT_FALSE(loop.HasPendingWork());
}

TEST_F(ModemTest, HangUpInsideTheHandlerEndsTheAttempt)
{
    events.onStatus = [&](long state, long) {
        if (state == ras::DeviceConnected) {
            EXPECT_EQ(HangUp(*ras), 0);
        }
    };
    EXPECT_EQ(Dial(*ras), ras::ErrorUserDisconnection);
    EXPECT_THAT(States(), ElementsAre(0, 2, 3));
    EXPECT_EQ(line.ConnState(), ras::Disconnected);
    EXPECT_EQ(line.HangUps(), 1);
    EXPECT_FALSE(loop.HasPendingWork());
}

TEST_F(ModemTest, NetworkChecksTheNumberAndTheLogin)
{
    EXPECT_EQ(Dial(*ras, "wrong"), ras::ErrorAuthenticationFailure);
    EXPECT_EQ(events.statuses.back(), (Status{1000, 5, ras::ErrorAuthenticationFailure}));
    EXPECT_EQ(line.ConnState(), ras::Disconnected);
    EXPECT_EQ(ras->LastError(), ras::ErrorAuthenticationFailure);

    line.WriteEntrySetting("quorvale", 1, "555-0143");
    events.statuses.clear();
    EXPECT_EQ(Dial(*ras), ras::ErrorNoAnswer);
    EXPECT_THAT(events.statuses.back(), (Status{1500, 2, ras::ErrorNoAnswer}));

    line.SetRegistrationNumber("");
    EXPECT_EQ(Dial(*ras), 0);
}

TEST_F(ModemTest, ConfiguredOutcomesComeInQueueOrder)
{
    std::vector<long> connStateInHandler;
    std::vector<std::string> errorTexts;
    events.onStatus = [&](long, long error) {
        if (error == 0)
            return;
        connStateInHandler.push_back(line.ConnState());
        errorTexts.push_back(events.texts.back());
    };
    line.QueueOutcome({Kind::Busy});
    line.QueueOutcome({Kind::NoAnswer});
    line.QueueOutcome({Kind::Error, 777, "Modem on fire."});
    line.QueueOutcome({Kind::Error, 778, ""});
    line.QueueOutcome({Kind::State, 4});
    for (long expected : {ras::ErrorLineBusy, ras::ErrorNoAnswer, 777L, 778L}) {
        EXPECT_EQ(Dial(*ras), expected);
        EXPECT_EQ(events.statuses.back().state, ras::ConnectDevice);
        EXPECT_EQ(events.statuses.back().error, expected);
        EXPECT_EQ(line.ConnState(), ras::Disconnected);
    }
    EXPECT_THAT(connStateInHandler, ElementsAre(2, 2, 2, 2));
    EXPECT_THAT(errorTexts, ElementsAre("The line is busy.", "The remote computer did not respond.",
                                        "Modem on fire.", HasSubstr("778")));
    EXPECT_EQ(Dial(*ras), 0);
    EXPECT_EQ(events.statuses.back().state, 4);
    EXPECT_EQ(line.ConnState(), 4);
    EXPECT_EQ(Dial(*ras), 0); // the queue is used up: a plain connect
    EXPECT_EQ(line.ConnState(), ras::Connected);
    EXPECT_EQ(line.HangUps(), 0);
}

TEST_F(ModemTest, AttemptsAreCountedOverTheLinesLife)
{
    std::vector<std::string> log;
    events.onStatus = [&](long state, long) { log.push_back("state " + std::to_string(state)); };
    line.onDialStarted = [&](int attempt) {
        log.push_back("start " + std::to_string(attempt));
        if (attempt == 2)
            line.QueueOutcome({Kind::Busy}); // still in time for this attempt
    };
    EXPECT_EQ(Dial(*ras), 0);
    EXPECT_EQ(log.front(), "start 1");
    ras.reset();
    EXPECT_FALSE(loop.HasPendingWork());
    EXPECT_EQ(line.ConnState(), ras::Connected); // the connection belongs to the line

    ras = line.Factory()(events);
    log.clear();
    EXPECT_EQ(Dial(*ras), ras::ErrorLineBusy);
    EXPECT_THAT(log, ElementsAre("start 2", "state 0", "state 2", "state 2"));
    ras->Dialer().DialParams().SetEntryName("nowhere");
    EXPECT_EQ(ras->Dialer().Dial(0), ras::ErrorCannotFindEntry);
    EXPECT_EQ(line.Dials(), 2);
    EXPECT_EQ(log.size(), 4u);
    EXPECT_EQ(line.ConnState(), ras::Disconnected);
}

TEST_F(ModemTest, HangingAttemptEndsOnlyByHangUpOrRelease)
{
    line.QueueOutcome({Kind::Hang});
    long nestedDial = 0;
    loop.StartTimer(100, [&] { nestedDial = Dial(*ras); });
    loop.StartTimer(5000, [&] { HangUp(*ras); });
    EXPECT_EQ(Dial(*ras), ras::ErrorUserDisconnection);
    EXPECT_EQ(loop.NowMs(), 5000);
    EXPECT_THAT(States(), ElementsAre(0, 2, 3));
    EXPECT_EQ(nestedDial, 602);

    line.QueueOutcome({Kind::Hang});
    loop.StartTimer(900, [&] { ras.reset(); }); // the wizard releases the object mid-dial
    EXPECT_EQ(Dial(*ras), ras::ErrorUserDisconnection);
    EXPECT_EQ(line.ConnState(), ras::Disconnected);
    EXPECT_FALSE(loop.HasPendingWork());
}

TEST_F(ModemTest, AHandlerThatThrowsLeavesNoEventsBehind)
{
    events.onStatus = [](long state, long) {
        if (state == ras::DeviceConnected)
            throw std::runtime_error("handler failed");
    };
    EXPECT_THROW(Dial(*ras), std::runtime_error);
    EXPECT_FALSE(loop.HasPendingWork());
    EXPECT_EQ(line.ConnState(), ras::Disconnected);
}

TEST_F(ModemTest, EnumeratesDevicesInOrder)
{
    EXPECT_FALSE(ras->PhoneBook().EnumDevices());
    line.AddDevice("modem", "Hayes Optima 288");
    line.AddDevice("isdn", "ISDN Channel - Adapter");
    line.AddDevice("modem", "Standard 56000 bps");
    EXPECT_TRUE(ras->PhoneBook().EnumDevices());
    EXPECT_THAT(events.devices, ElementsAre("modem:Hayes Optima 288", "isdn:ISDN Channel - Adapter",
                                            "modem:Standard 56000 bps"));
}

TEST_F(ModemTest, ReportsAPhoneBookThatCannotBeWritten)
{
    ModemLine elsewhere{loop, profiles, dir / "no" / "rasphone.pbk"};
    auto other = elsewhere.Factory()(events);
    other->PhoneBook().SetEntryName("quorvale");
    other->PhoneBook().EntryProperties().SetValue(1, "555");
    EXPECT_EQ(other->PhoneBook().SaveEntry(), 624);
    EXPECT_EQ(other->LastError(), 624);
}

// The phone book over the profile files on disk and over the in-memory fake.
template <class Profiles> class PhoneBookTest : public ::testing::Test {
protected:
    long Open(const std::string& name)
    {
        ras->PhoneBook().SetEntryName(name);
        ras->PhoneBook().OpenEntry();
        return ras->LastError();
    }
    platform::RasEntryProperties& Settings() { return ras->PhoneBook().EntryProperties(); }

    platform::fake::VirtualEventLoop loop;
    test::TempDir dir;
    Profiles profiles;
    ModemLine line{loop, profiles, dir / "rasphone.pbk"};
    RecordingEvents events{loop};
    std::unique_ptr<platform::RasAccess> ras = line.Factory()(events);
};

using ProfileKinds =
    ::testing::Types<platform::posix::PrivateProfileFiles, platform::fake::FakeProfileFiles>;
TYPED_TEST_SUITE(PhoneBookTest, ProfileKinds);

TYPED_TEST(PhoneBookTest, SavesOpensAndDeletesAnEntry)
{
    EXPECT_EQ(this->Open("quorvale Online"), 0);
    this->Settings().SetValue(1, "555-0142");
    this->Settings().SetValue(4, 42);
    this->Settings().SetValue(7, true);
    this->Settings().SetValue(8, false);
    this->Settings().SetValue(46, "ignored");
    EXPECT_EQ(this->Settings().Value(46), Variant());
    EXPECT_EQ(this->ras->PhoneBook().SaveEntry(), 0);
    const std::map<int, std::string> stored{{1, "555-0142"}, {4, "42"}, {7, "-1"}, {8, "0"}};
    EXPECT_EQ(this->line.StoredEntry("QUORVALE ONLINE"), stored);

    this->ras = this->line.Factory()(this->events);
    EXPECT_EQ(this->Open("quorvale Online"), ras::ErrorAlreadyExists);
    EXPECT_EQ(this->Settings().Value(4), Variant("42"));
    EXPECT_EQ(this->Open("other"), 0);
    EXPECT_EQ(this->Settings().Value(4), Variant());

    EXPECT_EQ(this->ras->PhoneBook().DeleteEntry("quorvale Online"), 0);
    EXPECT_EQ(this->ras->PhoneBook().DeleteEntry("quorvale Online"), ras::ErrorCannotFindEntry);
    EXPECT_EQ(this->Open("quorvale Online"), 0);
}

TYPED_TEST(PhoneBookTest, RefusesNamesThePhoneBookCannotHold)
{
    for (const std::string& name :
         std::vector<std::string>{"", "a[b", "a]", "a=b", "a\r\nb", " a", std::string(257, 'x')}) {
        EXPECT_EQ(this->Open(name), 123) << name;
        EXPECT_EQ(this->ras->PhoneBook().SaveEntry(), 123) << name;
    }
    EXPECT_EQ(this->Open(std::string(256, 'x')), 0);
}

} // namespace
} // namespace regwiz::dialup::sim
