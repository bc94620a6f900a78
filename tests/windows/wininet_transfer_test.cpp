#include "platform/win32/wininet_transfer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "platform/codepage.h"
#include "platform/win32/win32_platform_parts.h"

namespace regwiz::platform::win32 {
namespace {

using ::testing::IsEmpty;
using States = std::vector<std::int16_t>;
namespace fs = std::filesystem;

const States kCompleted = {1, 2, 3, 4, 5, 6, 7, 8, 12};
constexpr char kFormHeaders[] = "Content-Type: application/x-www-form-urlencoded\r\n";
constexpr char kRefusedUrl[] = "http://127.0.0.1:1/Registration/setvariables.cfm";

std::string ReadBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteBytes(const fs::path& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

// The stand-in registration server the CTest fixture started (regserver-fixture.sh).
struct Server {
    Server()
    {
        const char* dir = std::getenv("REGWIZ_SERVER_DIR");
        if (dir == nullptr)
            return;
        folder = dir;
        std::sscanf(ReadBytes(folder / "ports").c_str(), "ftp=%d http=%d", &ftpPort, &httpPort);
    }
    std::string HttpUrl(const std::string& path = "/Registration/setvariables.cfm") const
    {
        return "http://127.0.0.1:" + std::to_string(httpPort) + path;
    }
    std::string FtpUrl() const { return "ftp://127.0.0.1:" + std::to_string(ftpPort); }

    fs::path folder;
    int ftpPort = 0;
    int httpPort = 0;
};

struct RecordedEvents final : InetEvents {
    void StateChanged(std::int16_t state) override { states.push_back(state); }
    States states;
};

bool EndsWithOnceEach(const States& states, std::int16_t last)
{
    return !states.empty() && states.back() == last
           && std::adjacent_find(states.begin(), states.end(), std::greater_equal<>())
                  == states.end();
}

class WinInetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_GT(server.httpPort, 0) << "no registration server: run under CTest";
        inet->SetRequestTimeout(10);
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        dir = fs::path(temp) / ("wininet-test-" + std::to_string(GetCurrentProcessId()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Waits the way the wizard does, bounded in rounds; a timer wakes a wait
    // that nothing else would end, so a transfer that hangs fails the test.
    void WaitForTransfer()
    {
        bool givenUp = false;
        const auto guard = loop->StartTimer(30'000, [&] { givenUp = true; });
        for (int round = 0; round < 100'000 && inet->StillExecuting() && !givenUp; ++round)
            loop->WaitForEvents();
        loop->StopTimer(guard);
        ASSERT_FALSE(inet->StillExecuting()) << "the transfer did not end";
    }

    // Lets whatever is still on its way arrive.
    void Settle(int milliseconds = 300)
    {
        bool done = false;
        loop->StartTimer(milliseconds, [&] { done = true; });
        while (!done)
            loop->WaitForEvents();
    }

    std::string ReadReply(int piece = 1024)
    {
        std::string reply;
        for (std::string chunk; !(chunk = inet->GetChunk(piece, 0)).empty();) {
            EXPECT_LE(CharCount(chunk), static_cast<std::size_t>(piece));
            reply += chunk;
        }
        return reply;
    }

    static inline Server server;
    std::unique_ptr<EventLoop> loop = MakeWin32EventLoop();
    RecordedEvents events;
    std::unique_ptr<InetTransfer> inet = MakeWinInetFactory(*loop)(events);
    fs::path dir;
};

using HttpTransfer = WinInetTest;

TEST_F(HttpTransfer, PostsInWindows1252AndHandsTheReplyOutInPiecesOfCharacters)
{
    WriteBytes(server.folder / "reply.bin", "\r\nTrue\r\n4100001 Zo\xE9 \x80 caf\xE9\r\n");
    inet->Execute(server.HttpUrl(), "POST", "firstname=Zoé&CCName=Zoé O'Brien", kFormHeaders);
    EXPECT_TRUE(inet->StillExecuting());
    EXPECT_THAT(events.states, IsEmpty()) << "states come from the loop, not from Execute";

    WaitForTransfer();

    EXPECT_EQ(events.states, kCompleted);
    EXPECT_EQ(ReadBytes(server.folder / "last-body"), "firstname=Zo\xE9&CCName=Zo\xE9 O'Brien");
    EXPECT_EQ(ReadReply(3), "\r\nTrue\r\n4100001 Zoé € café\r\n") << "pieces of 3 characters";
    EXPECT_EQ(inet->GetChunk(10, 0), "") << "nothing left";
    EXPECT_EQ(inet->ResponseCode(), 0);
    EXPECT_EQ(inet->URL(), server.HttpUrl()) << "the URL used becomes the URL property";
}

TEST_F(HttpTransfer, AnErrorPageIsAReplyWithItsStatus)
{
    inet->Execute(server.HttpUrl("/nowhere.cfm"), "POST", "a=1", kFormHeaders);
    WaitForTransfer();

    EXPECT_EQ(events.states, kCompleted);
    EXPECT_EQ(inet->ResponseCode(), 404);
    EXPECT_EQ(inet->ResponseInfo(), "Not Found");
    EXPECT_THAT(ReadReply(), ::testing::HasSubstr("404"));
}

TEST_F(HttpTransfer, ARefusedConnectionFailsOnce)
{
    inet->Execute(kRefusedUrl, "POST", "a=1", kFormHeaders);
    WaitForTransfer();

    EXPECT_TRUE(EndsWithOnceEach(events.states, inet::Error));
    EXPECT_EQ(inet->ResponseCode(), 12029); // ERROR_INTERNET_CANNOT_CONNECT
    EXPECT_NE(inet->ResponseInfo(), "");
    EXPECT_EQ(inet->GetChunk(10, 0), "");

    events.states.clear();
    WriteBytes(server.folder / "reply.bin", "True");
    inet->Execute(server.HttpUrl(), "POST", "a=1", kFormHeaders);
    WaitForTransfer();
    EXPECT_EQ(events.states, kCompleted) << "the control can be used again";
    EXPECT_EQ(inet->ResponseCode(), 0) << "the old failure is forgotten";
    EXPECT_EQ(ReadReply(), "True");
}

TEST_F(HttpTransfer, TheReplyIsBoundedByItsLongestLength)
{
    const std::string longest(inet::MaxReplyBytes, 'x');
    WriteBytes(server.folder / "reply.bin", longest);
    inet->Execute(server.HttpUrl(), "POST", "a=1", kFormHeaders);
    WaitForTransfer();
    EXPECT_EQ(events.states, kCompleted);
    EXPECT_EQ(ReadReply(100'000), longest);

    events.states.clear();
    WriteBytes(server.folder / "reply.bin", longest + "y");
    inet->Execute(server.HttpUrl(), "POST", "a=1", kFormHeaders);
    WaitForTransfer();
    EXPECT_TRUE(EndsWithOnceEach(events.states, inet::Error));
    EXPECT_NE(inet->ResponseCode(), 0);
    EXPECT_EQ(inet->GetChunk(10, 0), "") << "nothing of a reply that is too long";
}

TEST_F(HttpTransfer, CancelAndTheControlsEndLeaveNothingBehind)
{
    WriteBytes(server.folder / "reply.bin", "True");
    inet->Execute(server.HttpUrl(), "POST", "a=1", kFormHeaders);
    inet->Cancel();
    EXPECT_FALSE(inet->StillExecuting());
    Settle();
    EXPECT_THAT(events.states, IsEmpty()) << "a cancelled request raises nothing";

    inet->Execute(server.HttpUrl(), "POST", "a=1", kFormHeaders);
    for (int round = 0; round < 1000 && events.states.size() < 3; ++round)
        loop->WaitForEvents();
    inet.reset(); // WinINet may still report on the request's handles: nothing breaks
    Settle();
    EXPECT_EQ(events.states, (States{1, 2, 3}));
}

class FtpTransfer : public WinInetTest {
protected:
    void SetUp() override
    {
        WinInetTest::SetUp();
        inet->SetProtocol("FTP");
        inet->SetURL(server.FtpUrl());
        inet->SetUserName("anonymous");
        inet->SetPassword("register@quorvale.example");
    }
};

TEST_F(FtpTransfer, DownloadsIntoTheLocalFile)
{
    const fs::path local = dir / "phone list.txt"; // blanks belong to the path
    inet->Execute("", "GET phone_list.csv \"" + local.string() + "\"");
    EXPECT_TRUE(inet->StillExecuting());
    WaitForTransfer();

    EXPECT_EQ(events.states, kCompleted);
    EXPECT_EQ(ReadBytes(local), ReadBytes(server.folder / "root" / "phone_list.csv"));
    EXPECT_FALSE(fs::exists(local.string() + ".part"));
    EXPECT_EQ(inet->ResponseCode(), 0);
}

TEST_F(FtpTransfer, AMissingRemoteFileFailsAndLeavesNoLocalFile)
{
    inet->Execute("", "GET no_such_list.csv " + (dir / "phonelist.txt").string());
    WaitForTransfer();

    EXPECT_TRUE(EndsWithOnceEach(events.states, inet::Error));
    EXPECT_NE(inet->ResponseCode(), 0);
    EXPECT_NE(inet->ResponseInfo(), "");
    Settle(); // WinINet closes its handles in the background
    EXPECT_TRUE(fs::is_empty(dir)) << "neither the file nor a partial one";
}

} // namespace
} // namespace regwiz::platform::win32
