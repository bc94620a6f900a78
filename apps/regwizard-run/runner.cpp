#include "regwizard-run/runner.h"

#include "regwizard-run/driver.h"
#include "regwizard-run/faults.h"
#include "regwizard-run/run_platform.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <set>
#include <sstream>

#include "diagnostics/faults.h"
#include "dialup/sim/simulated_modem.h"
#include "host/reg_engine_object.h"
#include "platform/codepage.h"
#include "platform/fake/fakes.h"
#include "platform/fake/virtual_event_loop.h"
#include "platform/text.h"

namespace regwiz::runner {
namespace {

using wizard::Control;

std::string ReadFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The scenario's folders: the registry and the application folder.
class Home {
public:
    explicit Home(const std::filesystem::path& chosen)
    {
        if (chosen.empty()) {
            root = MakeTemporaryFolder();
            temporary_ = true;
        } else {
            root = std::filesystem::absolute(chosen);
        }
        std::filesystem::create_directories(App());
    }
    ~Home()
    {
        std::error_code ignored;
        if (temporary_)
            std::filesystem::remove_all(root, ignored);
    }
    Home(const Home&) = delete;
    Home& operator=(const Home&) = delete;

    std::filesystem::path App() const { return root / "app"; }

    std::filesystem::path root;

private:
    bool temporary_ = false;
};

// The host's side of the events.
class EventRecorder final : public regwizard::RegEngineEvents {
public:
    void IsLoaded() override { events.emplace_back("IsLoaded"); }
    void RegCanceled() override { events.emplace_back("RegCanceled"); }
    std::vector<std::string> events;
};

platform::Answer AnswerNamed(const std::string& word)
{
    using platform::Answer;
    static const std::map<std::string, Answer> answers = {
        {"OK", Answer::Ok},        {"Cancel", Answer::Cancel}, {"Yes", Answer::Yes},
        {"No", Answer::No},        {"Retry", Answer::Retry},   {"Abort", Answer::Abort},
        {"Ignore", Answer::Ignore}};
    return answers.at(word);
}

dialup::sim::DialOutcome ModemOutcome(const DialOutcome& outcome)
{
    using Kind = dialup::sim::DialOutcome::Kind;
    static const std::map<DialOutcomeKind, Kind> kinds = {
        {DialOutcomeKind::Connect, Kind::Connect},   {DialOutcomeKind::Busy, Kind::Busy},
        {DialOutcomeKind::NoAnswer, Kind::NoAnswer}, {DialOutcomeKind::Error, Kind::Error},
        {DialOutcomeKind::State, Kind::State},       {DialOutcomeKind::Hang, Kind::Hang}};
    return {kinds.at(outcome.kind), outcome.number, outcome.text.value_or("")};
}

platform::LocalTime DayAt10(const std::string& date)
{
    using namespace std::chrono;
    const int y = std::stoi(date.substr(0, 4));
    const unsigned m = static_cast<unsigned>(std::stoi(date.substr(5, 2)));
    const unsigned d = static_cast<unsigned>(std::stoi(date.substr(8, 2)));
    const weekday wd{sys_days{year{y} / month{m} / day{d}}};
    return {
        y, static_cast<int>(m), static_cast<int>(d), 10, 0, 0, static_cast<int>(wd.c_encoding())};
}

// The computer's time of day follows the run's clock: `today` starts it, and
// whatever lets the run's clock pass moves it on.
class RunClock final : public platform::Clock {
public:
    explicit RunClock(const platform::EventLoop& loop) : loop_(loop) {}
    void Set(const platform::LocalTime& start)
    {
        start_ = start;
        startMs_ = loop_.NowMs();
    }
    platform::LocalTime Now() const override
    {
        using namespace std::chrono;
        const sys_days startDay = year{start_.year} / month{static_cast<unsigned>(start_.month)}
                                  / day{static_cast<unsigned>(start_.day)};
        const sys_seconds at = startDay + hours{start_.hour} + minutes{start_.minute}
                               + seconds{start_.second}
                               + duration_cast<seconds>(milliseconds{loop_.NowMs() - startMs_});
        const sys_days today = floor<days>(at);
        const year_month_day date{today};
        const hh_mm_ss time{at - today};
        return {static_cast<int>(date.year()),
                static_cast<int>(static_cast<unsigned>(date.month())),
                static_cast<int>(static_cast<unsigned>(date.day())),
                static_cast<int>(time.hours().count()),
                static_cast<int>(time.minutes().count()),
                static_cast<int>(time.seconds().count()),
                static_cast<int>(weekday{today}.c_encoding())};
    }

private:
    const platform::EventLoop& loop_;
    platform::LocalTime start_;
    std::int64_t startMs_ = 0;
};

// Transfer N's state events: the scenario's `on transfer N` actions run before
// the first of them is handled.
class CountedEvents final : public platform::InetEvents {
public:
    CountedEvents(platform::InetEvents& inner, std::function<void()> beforeFirst)
        : inner_(inner), beforeFirst_(std::move(beforeFirst))
    {
    }
    void Started(std::function<void()> beforeFirst) { beforeFirst_ = std::move(beforeFirst); }
    void StateChanged(std::int16_t state) override
    {
        if (auto run = std::exchange(beforeFirst_, nullptr))
            run();
        inner_.StateChanged(state);
    }

private:
    platform::InetEvents& inner_;
    std::function<void()> beforeFirst_;
};

std::string HexBytes(const std::vector<std::uint8_t>& data)
{
    std::ostringstream out;
    out << "hex:";
    for (std::size_t i = 0; i < data.size(); ++i)
        out << (i ? "," : "") << std::hex << std::setw(2) << std::setfill('0') << int(data[i]);
    return out.str();
}

std::string ColourText(std::uint32_t rgb)
{
    std::ostringstream out;
    out << std::uppercase << std::hex << std::setw(6) << std::setfill('0') << rgb;
    return out.str();
}

std::string YesNo(bool value)
{
    return value ? "yes" : "no";
}

// A transfer control whose request time-out the scenario chose ("timeout").
class TimedTransfer final : public platform::InetTransfer {
public:
    using Factory = std::function<std::unique_ptr<platform::InetTransfer>(platform::InetEvents&)>;
    TimedTransfer(platform::InetEvents& events, const Factory& make,
                  const std::optional<int>& timeout, std::function<std::function<void()>()> started,
                  std::set<const TimedTransfer*>& live)
        : events_(events, nullptr), inner_(make(events_)), timeout_(timeout),
          started_(std::move(started)), live_(live)
    {
        live_.insert(this);
    }
    ~TimedTransfer() override { live_.erase(this); }
    TimedTransfer(const TimedTransfer&) = delete;
    TimedTransfer& operator=(const TimedTransfer&) = delete;
    void SetProtocol(const std::string& protocol) override { inner_->SetProtocol(protocol); }
    void SetURL(const std::string& url) override { inner_->SetURL(url); }
    std::string URL() const override { return inner_->URL(); }
    void SetRemotePort(int port) override { inner_->SetRemotePort(port); }
    void SetUserName(const std::string& name) override { inner_->SetUserName(name); }
    void SetPassword(const std::string& password) override { inner_->SetPassword(password); }
    void SetRequestTimeout(int seconds) override
    {
        inner_->SetRequestTimeout(timeout_.value_or(seconds));
    }
    void Execute(const std::string& url, const std::string& operation, const std::string& data,
                 const std::string& headers) override
    {
        if (timeout_)
            inner_->SetRequestTimeout(*timeout_);
        inner_->Execute(url, operation, data, headers);
        events_.Started(started_());
    }
    bool StillExecuting() const override { return inner_->StillExecuting(); }
    std::string GetChunk(int size, int dataType) override
    {
        return inner_->GetChunk(size, dataType);
    }
    long ResponseCode() const override { return inner_->ResponseCode(); }
    std::string ResponseInfo() const override { return inner_->ResponseInfo(); }
    void Cancel() override { inner_->Cancel(); }

private:
    CountedEvents events_;
    std::unique_ptr<platform::InetTransfer> inner_;
    const std::optional<int>& timeout_;
    std::function<std::function<void()>()> started_; // the actions of the transfer just started
    std::set<const TimedTransfer*>& live_;           // the run's transfer controls
};

class ScenarioRun {
public:
    ScenarioRun(const RunOptions& options, std::ostream& out)
        : options_(options), home_(options.home), out_(out), driver_(MakeDriver(options, pointer_)),
          platform_(MakeRunPlatform(home_.root)),
          folders_(home_.root / "Program Files", home_.App()),
          modem_(loop_, platform_->Profiles(), home_.root / "phonebook.ini"),
          ports_{faultyRegistry_,
                 faultyProfiles_,
                 faultyFiles_,
                 driver_->Boxes(),
                 pointer_,
                 clock_,
                 platform_->Regional(),
                 folders_,
                 loop_,
                 help_,
                 volume_,
                 screen_,
                 telephony_,
                 modem_.Factory(),
                 [this](platform::InetEvents& events) -> std::unique_ptr<platform::InetTransfer> {
                     return std::make_unique<TimedTransfer>(
                         events, transfers_, timeout_, [this] { return TransferStarted(); },
                         liveTransfers_);
                 }},
          setupPorts_(SetUpPorts(ports_)), setupStore_(setupPorts_, setupGlobals_)
    {
        clock_.Set(DayAt10("2026-12-05"));
        modem_.onDialStarted = [this](int attempt) { OnDialStarted(attempt); };
        modem_.refuseEntryWrite = [this] { return faults_.Fails("entry-write"); };
    }

    ~ScenarioRun()
    {
        engines_.clear();
        component_.reset();
    }

    Outcome Run(const std::vector<Command>& commands)
    {
        try {
            for (const Command& command : commands) {
                out_ << std::setw(4) << command.line << "  " << Describe(command) << "\n";
                Execute(command);
                driver_->Settle();
                ReportBoxes();
                if (nestedError_)
                    throw *nestedError_;
            }
            CheckTransfersStarted();
        } catch (const ScenarioError& error) {
            out_ << "ERROR " << error.Text() << "\n";
            return Outcome::NotRun;
        } catch (const platform::fake::EventLoopStalled& stalled) {
            out_ << "ERROR the wizard waits for something that never comes (at " << stalled.atMs
                 << " ms)\n";
            return Outcome::NotRun;
        }
        out_ << "-- " << expectations_ << " expectations, " << failures_ << " failed\n";
        // What `fault` can aim at: the fault loop (tests/fault-loop) reads this line.
        out_ << "-- writes: registry-write " << faults_.Count("registry-write") << ", file-write "
             << faults_.Count("file-write") << ", entry-write " << faults_.Count("entry-write")
             << "\n";
        return failures_ == 0 ? Outcome::Passed : Outcome::Failed;
    }

private:
    void Execute(const Command& c);
    void SetUp(const Command& c);
    void Host(const Command& c);
    void Start();
    void Click(const Command& c);
    void TypeText(const Command& c);
    void Select(const Command& c);
    void Dump();
    void Shot(const Command& c);
    void Expect(const Command& c);
    void ExpectControl(const Command& c, const std::string& what);
    void ExpectWindow(const Command& c, const std::string& what);
    void ExpectLog(const Command& c);
    void ExpectReg(const Command& c, bool present);
    void ExpectFile(const Command& c, bool present);
    void OnDialStarted(int attempt);
    std::function<void()> TransferStarted();
    void RunNested(const Command& action, const std::string& context);
    void ReportBoxes();
    void CheckTransfersStarted();
    void NoReg(const Command& c);
    void Fault(const Command& c);

    // The runner's own set-up writes go to the real registry and files.
    platform::Ports SetUpPorts(const platform::Ports& ports)
    {
        return {platform_->Registry(),
                platform_->Profiles(),
                platform_->Files(),
                ports.boxes,
                ports.pointer,
                ports.clock,
                ports.regional,
                ports.folders,
                ports.loop,
                ports.help,
                ports.volume,
                ports.screen,
                ports.telephony,
                ports.rasFactory,
                ports.inetFactory};
    }

    void Check(const Command& c, bool held, const std::string& found)
    {
        ++expectations_;
        if (held)
            return;
        ++failures_;
        out_ << "FAIL line " << c.line << ": " << Describe(c) << "\n     found " << found << "\n";
    }

    wizard::frmRegWizard& Form(const Command& c)
    {
        wizard::frmRegWizard* form = component_ ? component_->Form() : nullptr;
        if (form == nullptr)
            throw ScenarioError{c.line, "the wizard form is not loaded"};
        return *form;
    }

    Control& ControlNamed(const Command& c, const std::string& name)
    {
        Control* control = Form(c).form.Find(name);
        if (control == nullptr)
            throw ScenarioError{c.line, "no control named " + name};
        return *control;
    }

    Control& UsableControl(const Command& c, const std::string& name)
    {
        Control& control = ControlNamed(c, name);
        if (!control.UsableOnForm())
            throw ScenarioError{c.line, name + " is hidden or disabled"};
        return control;
    }

    std::filesystem::path AppFolder() const
    {
        if (component_ && !component_->globals.gAppPath.empty())
            return component_->globals.gAppPath;
        return home_.App();
    }

    static std::unique_ptr<Driver> MakeDriver(const RunOptions& options,
                                              const platform::MousePointer& pointer)
    {
        return options.gui ? MakeWidgetDriver() : MakeModelDriver(pointer);
    }

    const RunOptions& options_;
    Home home_;
    std::ostream& out_;
    platform::fake::FakeMousePointer pointer_;
    std::unique_ptr<Driver> driver_;
    std::unique_ptr<RunPlatform> platform_; // the real registry, files and transfers
    FaultPlan faults_;
    std::filesystem::path appFolder_; // where file writes count, known at `start`
    FaultyRegistry faultyRegistry_{platform_->Registry(), faults_};
    FaultyProfileFiles faultyProfiles_{platform_->Profiles(), faults_, appFolder_};
    FaultyFiles faultyFiles_{platform_->Files(), faults_, appFolder_};
    platform::fake::VirtualEventLoop loop_;
    RunClock clock_{loop_};
    platform::fake::FakeFolders folders_;
    platform::fake::FakeHelp help_;
    platform::fake::FakeVolume volume_;
    platform::fake::FakeScreen screen_;
    platform::fake::FakeTelephony telephony_;
    dialup::sim::ModemLine modem_;
    std::set<const TimedTransfer*> liveTransfers_;
    platform::InetFactory transfers_ = platform_->Transfers(loop_, [this] {
        return std::any_of(
            liveTransfers_.begin(), liveTransfers_.end(),
            [](const TimedTransfer* transfer) { return transfer->StillExecuting(); });
    });
    std::optional<int> timeout_;
    platform::Ports ports_;
    platform::Ports setupPorts_;
    Globals setupGlobals_;
    modRegistry setupStore_;

    std::unique_ptr<host::Component> component_;
    std::vector<std::unique_ptr<host::RegEngineObject>> engines_;
    EventRecorder events_;
    std::map<int, std::vector<Command>> onDial_;
    std::map<int, std::vector<Command>> onTransfer_;
    int transfersStarted_ = 0;
    std::optional<ScenarioError> nestedError_; // raised inside the component's handlers
    bool appPathWritten_ = false;
    std::size_t boxesSeen_ = 0;
    std::size_t boxesReported_ = 0;
    std::size_t eventsSeen_ = 0;
    std::size_t helpSeen_ = 0;
    std::size_t logLinesSeen_ = 0;
    int expectations_ = 0;
    int failures_ = 0;
    // A fault in the component's own code fails the scenario like a failed
    // expectation, though the wizard goes on.
    diagnostics::FaultWatch faultWatch_{[this](std::string_view what) {
        ++failures_;
        out_ << "FAIL: fault in the component: " << what << "\n";
    }};
};

void ScenarioRun::Execute(const Command& c)
{
    const std::string& verb = c.words[0];
    if (IsSetUpCommand(c))
        SetUp(c);
    else if (verb == "start")
        Start();
    else if (verb == "wait")
        loop_.AdvanceBy(ParseNumber(c, 1));
    else if (verb == "click")
        Click(c);
    else if (verb == "type")
        TypeText(c);
    else if (verb == "select")
        Select(c);
    else if (verb == "answer") {
        for (std::size_t i = 1; i < c.words.size(); ++i)
            driver_->QueueAnswer(AnswerNamed(c.words[i]));
    } else if (verb == "host")
        Host(c);
    else if (verb == "after") {
        const Command action = SubCommand(c, 2);
        loop_.StartTimer(static_cast<int>(ParseNumber(c, 1)),
                         [this, action] { RunNested(action, "(after)"); });
    } else if (verb == "on") {
        auto& actions = c.words[1] == "dial" ? onDial_ : onTransfer_;
        actions[static_cast<int>(ParseNumber(c, 2))].push_back(SubCommand(c, 3));
    } else if (verb == "shot")
        Shot(c);
    else if (verb == "dump")
        Dump();
    else if (verb == "expect")
        Expect(c);
    else
        throw ScenarioError{c.line, "unknown command " + verb};
}

void ScenarioRun::OnDialStarted(int attempt)
{
    auto actions = onDial_.find(attempt);
    if (actions == onDial_.end())
        return;
    for (const Command& action : actions->second)
        RunNested(action, "(on dial " + std::to_string(attempt) + ")");
}

std::function<void()> ScenarioRun::TransferStarted()
{
    const int number = ++transfersStarted_;
    const auto actions = onTransfer_.find(number);
    if (actions == onTransfer_.end())
        return nullptr;
    return [this, number, commands = actions->second] {
        for (const Command& action : commands)
            RunNested(action, "(on transfer " + std::to_string(number) + ")");
    };
}

// An action run from inside the component's handlers: a scenario error there
// must not unwind through the component (or the toolkit's event loop), so it
// is kept and raised once the handler has returned to the runner.
void ScenarioRun::RunNested(const Command& action, const std::string& context)
{
    if (nestedError_)
        return;
    ReportBoxes();
    out_ << std::setw(4) << action.line << "  " << context << " " << Describe(action) << "\n";
    try {
        Execute(action);
    } catch (const ScenarioError& error) {
        nestedError_ = error;
    }
    ReportBoxes();
}

// Each message box appears once in the transcript, after the line it came up
// in, written as the `expect box` that matches it.
void ScenarioRun::ReportBoxes()
{
    const auto shown = driver_->Shown();
    for (; boxesReported_ < shown.size(); ++boxesReported_) {
        const ShownBox& box = shown[boxesReported_];
        out_ << "      box " << QuoteWord(box.text) << " " << QuoteWord(box.title) << " "
             << box.style << "\n";
    }
}

void ScenarioRun::CheckTransfersStarted()
{
    for (const auto& [number, actions] : onTransfer_)
        if (number > transfersStarted_)
            for (const Command& action : actions)
                Check(action, false,
                      "transfer " + std::to_string(number) + " never started ("
                          + std::to_string(transfersStarted_) + " did)");
}

void ScenarioRun::SetUp(const Command& c)
{
    const std::string& verb = c.words[0];
    if (verb == "reg") {
        setupStore_.fWriteValue(c.words[1], c.words[2], c.words[3], c.words[4], c.words[5]);
        if (platform::EqualNoCase(c.words[3], "AppPath"))
            appPathWritten_ = true;
    } else if (verb == "file") {
        const std::filesystem::path file = FileBelow(AppFolder(), c.words[1]);
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << platform::ToAnsi(c.words[2]);
    } else if (verb == "link") {
        // Read at each expectation: shows what another program wrote last.
        const std::filesystem::path file = FileBelow(AppFolder(), c.words[1]);
        std::filesystem::create_directories(file.parent_path());
        std::filesystem::remove(file);
        platform_->Link(c.words[2], file);
    } else if (verb == "modem") {
        modem_.AddDevice(c.words[1], c.words[2]);
    } else if (verb == "dial") {
        for (const DialOutcome& outcome : ParseDialOutcomes(c))
            modem_.QueueOutcome(ModemOutcome(outcome));
    } else if (verb == "entry") {
        modem_.WriteEntrySetting(std::string(ServiceDomain), static_cast<int>(ParseNumber(c, 1)),
                                 c.words[2]);
    } else if (verb == "today") {
        clock_.Set(DayAt10(c.words[1]));
    } else if (verb == "volume") {
        volume_.serial = c.words[1] == "none"
                             ? std::nullopt
                             : std::optional<std::uint32_t>(
                                 static_cast<std::uint32_t>(std::stoul(c.words[1], nullptr, 16)));
    } else if (verb == "location") {
        if (c.words[1] == "none")
            telephony_.location.reset();
        else
            telephony_.location = std::make_pair(c.words[1], c.words[2]);
    } else if (verb == "timeout") {
        timeout_ = static_cast<int>(ParseNumber(c, 1));
    } else if (verb == "noreg") {
        NoReg(c);
    } else if (verb == "fault") {
        Fault(c);
    }
}

void ScenarioRun::NoReg(const Command& c)
{
    if (platform::EqualNoCase(c.words[3], "AppPath"))
        appPathWritten_ = true; // and none is written at `start`
    const long hive = setupStore_.fTopKey(c.words[1]);
    if (hive == 0 || hive == modRegistry::kIniFile)
        throw ScenarioError{c.line, c.words[1] + " is no hive"};
    const long rc =
        platform_->DeleteValue(static_cast<platform::Hive>(hive), c.words[2], c.words[3]);
    if (rc != platform::status::Success && rc != platform::status::FileNotFound)
        throw ScenarioError{c.line, "cannot remove " + c.words[3]};
}

void ScenarioRun::Fault(const Command& c)
{
    const long from = ParseNumber(c, 2);
    const long to = c.words.size() < 4  ? from
                    : c.words[3] == "*" ? FaultPlan::kNoBound
                                        : ParseNumber(c, 3);
    faults_.Add(c.words[1], from, to);
}

void ScenarioRun::Start()
{
    if (!appPathWritten_) {
        setupStore_.WriteSetting("AppPath", home_.App().string(), "S");
        appPathWritten_ = true;
    }
    Variant number;
    if (setupStore_.fReadValue("HKLM", kSystemKey, "RegSvrNum", "S", "", number) == 0)
        modem_.SetRegistrationNumber(std::string(platform::TrimBlanks(CStr(number))));
    Variant appPath;
    appFolder_ = setupStore_.fReadValue("HKLM", kSystemKey, "AppPath", "S", "", appPath) == 0
                         && !CStr(appPath).empty()
                     ? std::filesystem::path(CStr(appPath))
                     : home_.App();
    faults_.Start();
    if (!component_) {
        component_ = std::make_unique<host::Component>(ports_);
        component_->viewFactory = driver_->ViewFactory();
    }
    engines_.push_back(std::make_unique<host::RegEngineObject>(*component_, &events_));
}

void ScenarioRun::Host(const Command& c)
{
    if (engines_.empty())
        throw ScenarioError{c.line, "the host holds no RegEngine (no start, or released)"};
    host::RegEngineObject& engine = *engines_.back();
    const std::string& what = c.words[1];
    if (what == "unloadsplash")
        engine.UnloadSplash();
    else if (what == "cancel")
        engine.CancelRegistration();
    else if (what == "log")
        engine.m_boolLogEvents = c.words[2] == "on";
    else if (what == "release")
        engines_.pop_back();
}

void ScenarioRun::Click(const Command& c)
{
    driver_->Click(UsableControl(c, c.words[1]));
}

void ScenarioRun::Shot(const Command& c)
{
    if (!options_.gui)
        return;
    std::filesystem::path folder =
        options_.shots.empty() ? std::filesystem::path(".") : options_.shots;
    std::filesystem::create_directories(folder);
    const std::filesystem::path file = folder / (c.words[1] + ".png");
    if (driver_->Shot(file))
        out_ << "      saved " << file.string() << "\n";
    else
        out_ << "      (no window to take a picture of)\n";
}

void ScenarioRun::TypeText(const Command& c)
{
    Control& control = UsableControl(c, c.words[1]);
    if (control.Kind() != wizard::ControlKind::TextBox || control.Locked())
        throw ScenarioError{c.line, c.words[1] + " takes no typing"};
    driver_->Type(control, c.words[2]);
}

void ScenarioRun::Select(const Command& c)
{
    Control& control = UsableControl(c, c.words[1]);
    const std::string& choice = c.words[2];
    int index = -1;
    if (choice == "none")
        return driver_->Select(control, -1);
    if (choice.size() > 1 && choice[0] == '#'
        && choice.find_first_not_of("0123456789", 1) == std::string::npos) {
        index = std::stoi(choice.substr(1));
    } else {
        for (int i = 0; i < control.ListCount(); ++i)
            if (control.List(i) == choice)
                index = i;
    }
    if (index < 0 || index >= control.ListCount())
        throw ScenarioError{c.line, c.words[1] + " has no entry " + choice};
    driver_->Select(control, index);
}

void ScenarioRun::Dump()
{
    wizard::frmRegWizard* form = component_ ? component_->Form() : nullptr;
    if (form == nullptr) {
        out_ << "      (no form loaded)\n";
        return;
    }
    out_ << "      frmRegWizard caption=" << QuoteWord(form->form.Caption())
         << " visible=" << YesNo(form->form.Visible()) << " gStep=" << form->gStep() << "\n";
    for (const auto& control : form->form.Controls()) {
        out_ << "      " << control->Name() << " visible=" << YesNo(control->Visible())
             << " enabled=" << YesNo(control->Enabled());
        if (!control->Caption().empty())
            out_ << " caption=" << QuoteWord(control->Caption());
        if (!control->Text().empty())
            out_ << " text=" << QuoteWord(control->Text());
        if (control->ListCount() > 0)
            out_ << " items=" << control->ListCount() << " selected=" << control->ListIndex();
        out_ << "\n";
    }
}

void ScenarioRun::Expect(const Command& c)
{
    platform_->RefreshLinks();
    const std::string& what = c.words[1];
    if (what == "box") {
        const auto shown = driver_->Shown();
        if (boxesSeen_ >= shown.size())
            return Check(c, false, "no further message box");
        const auto& box = shown[boxesSeen_++];
        const long style = ParseNumber(c, 4);
        Check(c, box.text == c.words[2] && box.title == c.words[3] && box.style == style,
              QuoteWord(box.text) + " " + QuoteWord(box.title) + " " + std::to_string(box.style));
    } else if (what == "nobox") {
        const auto shown = driver_->Shown();
        Check(c, boxesSeen_ >= shown.size(),
              boxesSeen_ < shown.size() ? "box " + QuoteWord(shown[boxesSeen_].text) : "");
    } else if (what == "event") {
        if (eventsSeen_ >= events_.events.size())
            return Check(c, false, "no further host event");
        const std::string& event = events_.events[eventsSeen_++];
        Check(c, event == c.words[2], event);
    } else if (what == "noevent") {
        Check(c, eventsSeen_ >= events_.events.size(),
              eventsSeen_ < events_.events.size() ? events_.events[eventsSeen_] : "");
    } else if (what == "help") {
        if (helpSeen_ >= help_.calls.size())
            return Check(c, false, "no further help call");
        const auto& call = help_.calls[helpSeen_++];
        const bool quit = c.words[2] == "quit";
        Check(c, call.quit == quit && (quit || call.key == c.words[2]),
              call.quit ? "quit" : "key " + QuoteWord(call.key));
    } else if (what == "page") {
        wizard::frmRegWizard& form = Form(c);
        const long page = ParseNumber(c, 2);
        bool only = true;
        for (int n = 0; n < wizard::kPageCount; ++n)
            only = only && form.form.Page(n).Visible() == (n == page);
        Check(c, form.gStep() == page && only, "gStep " + std::to_string(form.gStep()));
    } else if (what == "title") {
        Check(c, Form(c).form.Caption() == c.words[2], QuoteWord(Form(c).form.Caption()));
    } else if (what == "focus") {
        Control* active = Form(c).form.ActiveControl();
        const std::string name = active ? active->Name() : "(none)";
        Check(c, name == c.words[2], name);
    } else if (what == "pointer") {
        const int screen = pointer_.ScreenPointer();
        const int shown =
            screen != 0
                ? screen
                : (component_ && component_->Form() ? component_->Form()->form.MousePointer() : 0);
        Check(c, shown == ParseNumber(c, 2), std::to_string(shown));
    } else if (what == "reg" || what == "noreg") {
        ExpectReg(c, what == "reg");
    } else if (what == "file" || what == "nofile") {
        ExpectFile(c, what == "file");
    } else if (what == "log") {
        ExpectLog(c);
    } else if (what == "nolog") {
        const std::string log = platform::FromAnsi(ReadFile(AppFolder() / "quorvale.log"));
        const std::size_t at = log.find(c.words[2]);
        Check(c, at == std::string::npos,
              at == std::string::npos ? ""
                                      : QuoteWord(std::string(platform::TextOf(
                                          log, platform::SplitLines(log.substr(0, at)).back()))));
    } else if (what == "nohelp") {
        Check(c, helpSeen_ >= help_.calls.size(),
              helpSeen_ < help_.calls.size() ? "a help call" : "");
    } else if (what == "entry") {
        const auto entry = modem_.StoredEntry(std::string(ServiceDomain));
        const int position = static_cast<int>(ParseNumber(c, 2));
        const std::string found =
            entry ? (entry->contains(position) ? entry->at(position) : "(not set)") : "(no entry)";
        Check(c, entry && entry->contains(position) && found == c.words[3], QuoteWord(found));
    } else if (what == "noentry") {
        Check(c, !modem_.StoredEntry(std::string(ServiceDomain)), "the entry");
    } else if (what == "dials") {
        Check(c, modem_.Dials() == ParseNumber(c, 2), std::to_string(modem_.Dials()));
    } else if (what == "hangups") {
        Check(c, modem_.HangUps() == ParseNumber(c, 2), std::to_string(modem_.HangUps()));
    } else {
        ExpectControl(c, what);
    }
}

void ScenarioRun::ExpectControl(const Command& c, const std::string& what)
{
    if (c.words[2] == "frmRegWizard")
        return ExpectWindow(c, what);
    Control& control = ControlNamed(c, c.words[2]);
    if (what == "caption") {
        Check(c, control.Caption() == c.words[3], QuoteWord(control.Caption()));
    } else if (what == "text") {
        Check(c, control.Text() == c.words[3], QuoteWord(control.Text()));
    } else if (what == "visible") {
        const bool visible = driver_->Visible(control);
        Check(c, YesNo(visible) == c.words[3], YesNo(visible));
    } else if (what == "enabled") {
        const bool enabled = driver_->Enabled(control);
        Check(c, YesNo(enabled) == c.words[3], YesNo(enabled));
    } else if (what == "items") {
        const std::vector<std::string> expected(c.words.begin() + 3, c.words.end());
        std::string found;
        for (const auto& item : control.Items())
            found += QuoteWord(item) + " ";
        Check(c, control.Items() == expected, found.empty() ? "(empty)" : found);
    } else if (what == "selected") {
        Check(c, control.ListIndex() == ParseNumber(c, 3), std::to_string(control.ListIndex()));
    } else if (what == "checked") {
        const bool checked = control.Value() == 1;
        Check(c, YesNo(checked) == c.words[3], YesNo(checked));
    } else if (what == "colour") {
        const std::string found = ColourText(control.ForeColor());
        Check(c, platform::EqualNoCase(found, c.words[3]), found);
    } else {
        throw ScenarioError{c.line, "unknown expectation " + what};
    }
}

// The window itself: its caption and whether it is shown.
void ScenarioRun::ExpectWindow(const Command& c, const std::string& what)
{
    wizard::frmRegWizard* form = component_ ? component_->Form() : nullptr;
    const bool shown = form != nullptr && driver_->WindowShown(form->form);
    if (what == "visible")
        Check(c, YesNo(shown) == c.words[3], YesNo(shown));
    else if (what == "caption")
        Check(c, form != nullptr && form->form.Caption() == c.words[3],
              form ? QuoteWord(form->form.Caption()) : "no form loaded");
    else if (what == "enabled")
        Check(c, YesNo(form != nullptr) == c.words[3], YesNo(form != nullptr));
    else
        throw ScenarioError{c.line, "frmRegWizard has no " + what};
}

void ScenarioRun::ExpectLog(const Command& c)
{
    const std::string log = platform::FromAnsi(ReadFile(AppFolder() / "quorvale.log"));
    const auto lines = platform::SplitLines(log);
    for (std::size_t i = logLinesSeen_; i < lines.size(); ++i) {
        if (platform::TextOf(log, lines[i]).ends_with(c.words[2])) {
            logLinesSeen_ = i + 1;
            return Check(c, true, "");
        }
    }
    Check(c, false,
          logLinesSeen_ < lines.size()
              ? "next line " + QuoteWord(std::string(platform::TextOf(log, lines[logLinesSeen_])))
              : "no further log line");
}

void ScenarioRun::ExpectReg(const Command& c, bool present)
{
    const long hive = setupStore_.fTopKey(c.words[2]);
    if (hive == 0 || hive == modRegistry::kIniFile)
        throw ScenarioError{c.line, c.words[2] + " is no hive"};
    platform::KeyHandle key = 0;
    std::optional<std::string> found;
    platform::Registry& registry = platform_->Registry();
    if (registry.OpenKey(static_cast<platform::Hive>(hive), c.words[3],
                         platform::KeyAccess::QueryValue, key)
        == 0) {
        std::vector<std::uint8_t> data(1 << 16);
        std::uint32_t type = 0;
        std::uint32_t size = static_cast<std::uint32_t>(data.size());
        if (registry.QueryValue(key, c.words[4], type, data, size) == 0) {
            data.resize(size);
            if (type == platform::regtype::Sz) {
                std::string text(data.begin(), data.end());
                if (!text.empty() && text.back() == '\0')
                    text.pop_back();
                found = platform::FromAnsi(text);
            } else {
                found = HexBytes(data);
            }
        }
        registry.CloseKey(key);
    }
    if (present)
        Check(c, found && *found == c.words[5], found ? QuoteWord(*found) : "no such value");
    else
        Check(c, !found, found ? QuoteWord(*found) : "");
}

void ScenarioRun::ExpectFile(const Command& c, bool present)
{
    const std::filesystem::path file = FileBelow(AppFolder(), c.words[2]);
    const bool exists = std::filesystem::exists(file);
    if (!present)
        return Check(c, !exists, "the file exists");
    const std::string bytes = exists ? ReadFile(file) : std::string();
    Check(c, exists && bytes == platform::ToAnsi(c.words[3]),
          exists ? QuoteWord(platform::FromAnsi(bytes)) : "no such file");
}

std::optional<std::string> FromEnvironment(std::string_view name)
{
    const char* value = std::getenv(std::string(name).c_str());
    return value ? std::optional<std::string>(value) : std::nullopt;
}

} // namespace

Outcome RunScenario(const std::filesystem::path& file, const RunOptions& options, std::ostream& out)
{
    out << "== " << file.string() << (options.gui ? " (through the widgets)" : "") << "\n";
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        out << "ERROR cannot read " << file.string() << "\n";
        return Outcome::NotRun;
    }
    try {
        const std::vector<Command> commands = ParseScenario(ReadFile(file), FromEnvironment);
        ScenarioRun run(options, out);
        return run.Run(commands);
    } catch (const ScenarioError& error) {
        out << "ERROR " << error.Text() << "\n";
        return Outcome::NotRun;
    } catch (const std::exception& error) {
        out << "ERROR " << error.what() << "\n";
        return Outcome::NotRun;
    }
}

} // namespace regwiz::runner
