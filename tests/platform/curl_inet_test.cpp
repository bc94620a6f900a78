#include "platform/curl/curl_inet.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/fake/virtual_event_loop.h"
#include "support/temp_dir.h"

extern char** environ;

namespace regwiz::platform::curl {
namespace {

using namespace std::chrono_literals;
using test::ReadBytes;
using test::TempDir;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using Clock = std::chrono::steady_clock;
using States = std::vector<std::int16_t>;

const std::string kPhoneList = REGWIZ_SOURCE_DIR "/tools/regserver/phone_list.csv";
const States kCompleted = {1, 2, 3, 4, 5, 6, 7, 8, 12};
constexpr char kFormHeaders[] = "Content-Type: application/x-www-form-urlencoded\r\n";

// The stand-in registration server in a process of its own, on free ports.
class RegServer {
public:
    explicit RegServer(std::vector<std::string> options = {})
    {
        std::filesystem::copy_file(kPhoneList, dir_ / "phone_list.csv");
        std::vector<std::string> args = {
            "/usr/bin/python3", REGWIZ_SOURCE_DIR "/tools/regserver.py",
            "--root",           dir_.path().string(),
            "--requests",       requests().string(),
            "--ports-file",     (logs_ / "ports").string()};
        args.insert(args.end(), options.begin(), options.end());
        std::vector<char*> argv;
        for (auto& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t quiet; // the ports line is read from the file
        posix_spawn_file_actions_init(&quiet);
        posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        const int spawned = ::posix_spawn(&pid_, argv[0], &quiet, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&quiet);
        if (spawned != 0)
            throw std::runtime_error("cannot start the registration server");
        for (int i = 0; i < 500 && !std::filesystem::exists(logs_ / "ports"); ++i)
            std::this_thread::sleep_for(20ms);
        std::sscanf(ReadBytes(logs_ / "ports").c_str(), "ftp=%d http=%d", &ftpPort_, &httpPort_);
    }
    ~RegServer()
    {
        ::kill(pid_, SIGTERM);
        for (int i = 0; i < 150 && ::waitpid(pid_, nullptr, WNOHANG) == 0; ++i)
            std::this_thread::sleep_for(20ms);
        if (::kill(pid_, SIGKILL) == 0)
            ::waitpid(pid_, nullptr, 0);
    }

    bool Listening() const { return ftpPort_ > 0 && httpPort_ > 0; }
    std::string FtpUrl() const { return "ftp://127.0.0.1:" + std::to_string(ftpPort_); }
    std::string HttpUrl(const std::string& path = "/Registration/setvariables.cfm") const
    {
        return "http://127.0.0.1:" + std::to_string(httpPort_) + path;
    }
    std::filesystem::path requests() const { return logs_ / "requests.jsonl"; }

private:
    TempDir dir_;  // served by FTP
    TempDir logs_; // not
    pid_t pid_ = -1;
    int ftpPort_ = 0;
    int httpPort_ = 0;
};

struct RecordedEvents final : InetEvents {
    void StateChanged(std::int16_t state) override
    {
        states.push_back(state);
        if (onState)
            onState(state);
    }
    States states;
    std::function<void(std::int16_t)> onState;
};

class TransferTest : public ::testing::Test {
protected:
    static void TearDownTestSuite() { server.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(server && server->Listening());
        inet->SetRequestTimeout(5);
    }

    // Waits the way the wizard does, bounded in rounds and in time.
    void WaitForTransfer(std::chrono::milliseconds limit = 5s)
    {
        const auto deadline = Clock::now() + limit;
        for (int round = 0; round < 100'000 && inet->StillExecuting(); ++round) {
            ASSERT_LT(Clock::now(), deadline) << "the transfer did not end in time";
            loop.WaitForEvents();
        }
    }

    std::string Post(const std::string& url, const std::string& form)
    {
        inet->Execute(url, "POST", form, kFormHeaders);
        WaitForTransfer();
        std::string reply;
        for (std::string piece; !(piece = inet->GetChunk(1024, 0)).empty();)
            reply += piece;
        return reply;
    }

    static inline std::unique_ptr<RegServer> server;
    fake::VirtualEventLoop loop;
    RecordedEvents events;
    std::unique_ptr<CurlInet> inet = std::make_unique<CurlInet>(loop, events);
    TempDir dir;
};

bool EndsWithOnceEach(const States& states, std::int16_t last)
{
    return !states.empty() && states.back() == last
           && std::adjacent_find(states.begin(), states.end(), std::greater_equal<>())
                  == states.end();
}

std::string Form(const std::string& card, const std::string& city = "Boston")
{
    return "firstname=Zoé&lastname=O'Brien&Address1=1 Main St&Address2=&City=" + city
           + "&State=MA&ZipCode=02101&Phone=6175550100&PaymentType=Visa&CCNumber=" + card
           + "&CCMonth=01&CCYear=2027&CCName=Zoé O'Brien&Password=Kb93M24Wd58";
}

class FtpTransfer : public TransferTest {
protected:
    static void SetUpTestSuite() { server = std::make_unique<RegServer>(); }

    void SetUp() override
    {
        TransferTest::SetUp();
        inet->SetProtocol("FTP");
        inet->SetURL(server->FtpUrl());
        inet->SetUserName("anonymous");
        inet->SetPassword("register@quorvale.example");
    }
    long ExecuteError(const std::string& url, const std::string& operation)
    {
        try {
            inet->Execute(url, operation);
        } catch (const RunTimeError& error) {
            return error.Number();
        }
        return 0;
    }
};

TEST_F(FtpTransfer, DownloadsTheListIntoTheLocalFile)
{
    const auto local = dir / "conf dir phonelist.txt"; // blanks belong to the path
    inet->Execute("", "get phone_list.csv " + local.string());
    EXPECT_TRUE(inet->StillExecuting());
    EXPECT_THAT(events.states, IsEmpty()) << "states come from the loop, not from Execute";

    WaitForTransfer();

    EXPECT_EQ(events.states, kCompleted);
    EXPECT_EQ(ReadBytes(local), ReadBytes(kPhoneList));
    EXPECT_FALSE(std::filesystem::exists(local.string() + ".part"));
    EXPECT_EQ(std::filesystem::status(local).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write)
        << "the member's files are his alone";
    EXPECT_EQ(inet->ResponseCode(), 0);
    EXPECT_FALSE(loop.HasNetworkWork()) << "an idle control leaves the virtual clock free";
}

TEST_F(FtpTransfer, AMissingRemoteFileFailsAndLeavesNoLocalFile)
{
    inet->Execute("", "GET no_such_list.csv " + (dir / "phonelist.txt").string());
    WaitForTransfer();

    EXPECT_TRUE(EndsWithOnceEach(events.states, inet::Error));
    EXPECT_EQ(inet->ResponseCode(), 78) << "libcurl: remote file not found";
    EXPECT_NE(inet->ResponseInfo(), "");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << "neither the file nor a partial one";
}

TEST_F(FtpTransfer, RefusesRequestsItCannotStart)
{
    const auto get = "GET phone_list.csv " + (dir / "list.txt").string();
    EXPECT_EQ(ExecuteError("", "PUT phone_list.csv list.txt"), inet::ErrorInvalidUrl);
    EXPECT_EQ(ExecuteError("", "GET phone_list.csv"), inet::ErrorInvalidUrl) << "no local file";
    EXPECT_EQ(ExecuteError("gopher://127.0.0.1/", "GET a b"), inet::ErrorInvalidUrl);
    EXPECT_EQ(ExecuteError("ftp://bad host/", "GET a b"), inet::ErrorInvalidUrl);
    EXPECT_FALSE(inet->StillExecuting());

    EXPECT_EQ(ExecuteError("", get), 0);
    EXPECT_EQ(ExecuteError("", get), inet::ErrorStillExecuting);
    WaitForTransfer();
    EXPECT_EQ(events.states, kCompleted) << "the refused request changed nothing";

    EXPECT_EQ(ExecuteError("", get), 0) << "the control can be used again";
    WaitForTransfer();
    EXPECT_EQ(events.states.back(), inet::ResponseCompleted);
}

TEST_F(FtpTransfer, CancelAndDestructionStopEverythingQuietly)
{
    const auto local = dir / "phonelist.txt";
    inet->Execute("", "GET phone_list.csv " + local.string());
    for (int i = 0; i < 1000 && events.states.size() < 3; ++i)
        loop.WaitForEvents();
    inet->Cancel();
    EXPECT_FALSE(inet->StillExecuting());

    inet->Execute("", "GET phone_list.csv " + local.string());
    for (int i = 0; i < 1000 && events.states.size() < 6; ++i)
        loop.WaitForEvents();
    inet.reset();

    EXPECT_FALSE(loop.HasNetworkWork()) << "sockets unwatched and timers stopped";
    loop.DoEvents(); // what was posted before finds nothing to do
    EXPECT_FALSE(loop.HasPendingWork());
    EXPECT_EQ(events.states, (States{1, 2, 3, 1, 2, 3}));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

class HttpTransfer : public TransferTest {
protected:
    static void SetUpTestSuite() { server = std::make_unique<RegServer>(); }
};

TEST_F(HttpTransfer, PostsTheFormInWindows1252AndReadsTheReply)
{
    const std::string form = Form("4111111111111111");
    inet->Execute(server->HttpUrl(), "Post", form, kFormHeaders);
    EXPECT_THAT(events.states, IsEmpty());
    WaitForTransfer();

    EXPECT_EQ(events.states, kCompleted);
    EXPECT_THAT(
        inet->GetChunk(1024, 0),
        ::testing::MatchesRegex("\r\n<html><body>\r\nTrue\r\n41[0-9]{5}\r\n</body></html>\r\n"));
    EXPECT_EQ(inet->ResponseCode(), 0);
    // The server logs the body decoded from Windows-1252: "é" only if it came as one byte.
    const std::string log = ReadBytes(server->requests());
    EXPECT_THAT(log, HasSubstr("\"body\": \"" + form + "\""));
    EXPECT_THAT(log, HasSubstr("\"Content-Type\": \"application/x-www-form-urlencoded\""));
}

TEST_F(HttpTransfer, RefusalsAndErrorStatusesAreCompletedReplies)
{
    EXPECT_EQ(
        Post(server->HttpUrl(), Form("4111111111111112")),
        "\r\n<html><body>\r\nFalse\r\nThe credit card number was refused.\r\n</body></html>\r\n");
    EXPECT_THAT(Post(server->HttpUrl(), Form("0000000000000000")),
                HasSubstr("False\r\nThe credit"));
    EXPECT_THAT(Post(server->HttpUrl(), Form("4111111111111111", "")),
                HasSubstr("False\r\nMissing value: City\r\n"));
    EXPECT_EQ(inet->ResponseCode(), 0);

    events.states.clear();
    EXPECT_THAT(Post(server->HttpUrl("/Registration/other.cfm"), "x=1"), HasSubstr("404"));
    EXPECT_EQ(events.states, kCompleted);
    EXPECT_EQ(inet->ResponseCode(), 404);
    EXPECT_EQ(inet->ResponseInfo(), "Not Found");
}

TEST_F(HttpTransfer, ARefusedConnectionIsAnError)
{
    // A port just bound and released: nobody listens there.
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t size = sizeof address;
    ::bind(probe, reinterpret_cast<sockaddr*>(&address), size);
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(probe);

    EXPECT_EQ(Post("http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/", "x=1"), "");
    EXPECT_TRUE(EndsWithOnceEach(events.states, inet::Error));
    EXPECT_EQ(inet->ResponseCode(), 7) << "libcurl: could not connect";
    EXPECT_THAT(inet->ResponseInfo(), HasSubstr("onnect"));
}

TEST_F(HttpTransfer, AHandlerMayWaitInTheLoopAndStillSeesEveryStateInOrder)
{
    events.onState = [&](std::int16_t state) {
        if (state == inet::HostResolved)
            WaitForTransfer();
    };
    EXPECT_THAT(Post(server->HttpUrl(), Form("4111111111111111")), HasSubstr("True"));
    EXPECT_EQ(events.states, kCompleted);
}

class LongReply : public TransferTest {
protected:
    static void SetUpTestSuite()
    {
        // 3000 characters, the last one byte in Windows-1252 and two in UTF-8.
        test::WriteBytes(replyDir / "reply.html", std::string(2999, 'x') + "\xE9");
        server = std::make_unique<RegServer>(
            std::vector<std::string>{"--reply-file", (replyDir / "reply.html").string()});
    }
    static inline TempDir replyDir;
};

TEST_F(LongReply, IsHandedOutInPiecesOfCharacters)
{
    std::vector<std::size_t> pieces;
    std::string reply;
    // As the wizard reads it: from its handler, letting events run between pieces.
    events.onState = [&](std::int16_t state) {
        for (std::string piece; state == inet::ResponseCompleted && pieces.size() < 10
                                && !(piece = inet->GetChunk(1024, 0)).empty();) {
            pieces.push_back(CharCount(piece));
            reply += piece;
            loop.DoEvents();
        }
    };
    inet->Execute(server->HttpUrl(), "POST", "x=1", kFormHeaders);
    WaitForTransfer();

    EXPECT_THAT(pieces, ::testing::ElementsAre(1024, 1024, 952));
    EXPECT_EQ(reply, std::string(2999, 'x') + "é");
    EXPECT_EQ(inet->GetChunk(1024, 0), "");
}

// The reply is kept up to its bound; one byte more fails the request.
class ReplyBound : public TransferTest {
protected:
    static void SetUpTestSuite()
    {
        test::WriteBytes(replyDir / "full.html", std::string(inet::MaxReplyBytes, 'x'));
        test::WriteBytes(replyDir / "over.html", std::string(inet::MaxReplyBytes + 1, 'x'));
        server = std::make_unique<RegServer>(
            std::vector<std::string>{"--reply-file", (replyDir / "full.html").string()});
        over = std::make_unique<RegServer>(
            std::vector<std::string>{"--reply-file", (replyDir / "over.html").string()});
    }
    static void TearDownTestSuite()
    {
        over.reset();
        TransferTest::TearDownTestSuite();
    }
    static inline TempDir replyDir;
    static inline std::unique_ptr<RegServer> over;
};

TEST_F(ReplyBound, AReplyUpToTheBoundIsKeptWholeOneByteMoreFails)
{
    EXPECT_EQ(Post(server->HttpUrl(), "x=1").size(), inet::MaxReplyBytes);
    EXPECT_TRUE(EndsWithOnceEach(events.states, inet::ResponseCompleted));

    events.states.clear();
    EXPECT_EQ(Post(over->HttpUrl(), "x=1"), "");
    EXPECT_TRUE(EndsWithOnceEach(events.states, inet::Error));
    EXPECT_THAT(inet->ResponseInfo(), HasSubstr("longer than"));
}

class SlowServer : public TransferTest {
protected:
    static void SetUpTestSuite()
    {
        server = std::make_unique<RegServer>(std::vector<std::string>{"--delay", "5"});
    }
};

double CpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

TEST_F(SlowServer, TimesOutWaitingWithoutSpinningOrMovingTheVirtualClock)
{
    bool virtualTimerRan = false;
    loop.StartTimer(100, [&] { virtualTimerRan = true; });
    inet->SetRequestTimeout(1);
    const auto start = Clock::now();
    const double cpuBefore = CpuSeconds();

    inet->Execute(server->HttpUrl(), "POST", Form("4111111111111111"), kFormHeaders);
    WaitForTransfer(3s);

    const auto waited = Clock::now() - start;
    EXPECT_GE(waited, 900ms);
    EXPECT_LT(waited, 2s);
    EXPECT_LT(CpuSeconds() - cpuBefore, 0.25) << "the wait blocks in the loop";
    EXPECT_TRUE(EndsWithOnceEach(events.states, inet::Error));
    EXPECT_EQ(inet->ResponseCode(), 28) << "libcurl: operation timed out";
    EXPECT_FALSE(virtualTimerRan);
    EXPECT_EQ(loop.NowMs(), 0);
}

bool LibcurlLoaded()
{
    void* library = ::dlopen("libcurl.so.4", RTLD_NOW | RTLD_NOLOAD);
    if (library != nullptr)
        ::dlclose(library);
    return library != nullptr;
}

// libcurl, with the TLS and directory libraries it brings, loads when the
// first transfer starts, not with the control: the wizard starts without it.
// Checked in a process of its own, which no earlier transfer has touched.
TEST(CurlLibrary, LoadsWhenTheFirstTransferStarts)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            fake::VirtualEventLoop loop;
            RecordedEvents events;
            CurlInet inet(loop, events);
            inet.SetURL("http://127.0.0.1:9/");
            const bool before = LibcurlLoaded();
            try {
                inet.Execute("http://127.0.0.1:9/", "POST", "a=b", kFormHeaders);
            } catch (const RunTimeError&) {
            }
            std::exit(!before && LibcurlLoaded() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
} // namespace regwiz::platform::curl
