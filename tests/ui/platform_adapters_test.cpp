#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScrollBar>
#include <QTextBrowser>
#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "ui/qt/debug_window.h"
#include "ui/qt/qt_event_loop.h"
#include "ui/qt/qt_help.h"
#include "ui/qt/qt_mouse_pointer.h"

#include <QListWidget>
#include <QPushButton>

namespace regwiz::ui::qt {
namespace {

// --- Help -------------------------------------------------------------------

class HelpTest : public ::testing::Test {
protected:
    HelpTest()
    {
        std::string html = "<h1><a name=\"index\">Index</a></h1>";
        for (const char* topic : {"Welcome", "Personal Information", "Payment Information"}) {
            html += "<h2><a name=\"" + std::string(topic) + "\">" + topic + "</a></h2>";
            for (int i = 0; i < 40; ++i)
                html += "<p>Text of the topic.</p>";
        }
        test::WriteBytes(dir / "Registration.html", html);
    }

    int Scrolled() const { return help.Browser()->verticalScrollBar()->value(); }

    test::TempDir dir;
    std::string helpFile = (dir / "Registration.hlp").string();
    QtHelp help;
};

TEST_F(HelpTest, JumpsToTheFirstTopicWhoseKeywordStartsWithTheKey)
{
    help.ShowPartialKey(helpFile, "payment");
    EXPECT_EQ(help.CurrentTopic(), "Payment Information");
    ASSERT_NE(help.Window(), nullptr);
    EXPECT_TRUE(help.Window()->isVisible());
    EXPECT_GT(Scrolled(), 0);

    help.ShowPartialKey(helpFile, "Personal Information");
    EXPECT_EQ(help.CurrentTopic(), "Personal Information");
}

TEST_F(HelpTest, AnEmptyOrUnknownKeyShowsTheIndex)
{
    help.ShowPartialKey(helpFile, "Payment");
    help.ShowPartialKey(helpFile, "");
    EXPECT_EQ(help.CurrentTopic(), "index");
    EXPECT_EQ(Scrolled(), 0);
    help.ShowPartialKey(helpFile, "Modem");
    EXPECT_EQ(help.CurrentTopic(), "index");
}

TEST_F(HelpTest, QuitClosesTheWindow)
{
    help.Quit(helpFile); // before any help was shown: nothing to close
    help.ShowPartialKey(helpFile, "Welcome");
    help.Quit(helpFile);
    EXPECT_FALSE(help.Window()->isVisible());
}

TEST_F(HelpTest, AMissingDocumentSaysSo)
{
    help.ShowPartialKey((dir / "Elsewhere.hlp").string(), "Welcome");
    EXPECT_TRUE(help.Browser()->toPlainText().contains("Help is not installed"));
}

TEST(HelpDocument, HasATopicForEveryPagesKey)
{
    QtHelp help;
    const std::string helpFile = REGWIZ_SOURCE_DIR "/apps/demo/Registration.hlp";
    for (const char* key :
         {"Welcome", "Agreement", "Personal Information", "Media Source",
          "Occupational Information", "Payment Information", "Modem Selection", "Password Entry",
          "Area Code Selection", "Site Connection", "Access Number Selection", "Finish"}) {
        help.ShowPartialKey(helpFile, key);
        EXPECT_EQ(help.CurrentTopic(), key);
    }
}

// --- Mouse pointer ------------------------------------------------------------

TEST(QtMousePointer, KeepsTheOverrideCursorBalanced)
{
    {
        QtMousePointer pointer;
        pointer.SetScreenPointer(11);
        pointer.SetScreenPointer(11);
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        EXPECT_EQ(pointer.ScreenPointer(), 11);
        pointer.SetScreenPointer(0);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        pointer.SetScreenPointer(0);
        pointer.SetScreenPointer(11);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "an hourglass left at the end";
}

// --- Event loop ---------------------------------------------------------------

TEST(QtEventLoop, RunsTimersAndPostedCallsFromTheLoop)
{
    QtEventLoop loop;
    std::vector<std::string> ran;
    loop.Post([&] { ran.push_back("first post"); });
    loop.Post([&] { ran.push_back("second post"); });
    EXPECT_TRUE(ran.empty()) << "posted calls wait for the loop";
    loop.DoEvents();
    EXPECT_EQ(ran, (std::vector<std::string>{"first post", "second post"}));

    const std::int64_t start = loop.NowMs();
    bool fired = false;
    loop.StartTimer(20, [&] {
        // A timer may start the next one from its own callback.
        loop.StartTimer(0, [&] { fired = true; });
    });
    while (!fired)
        loop.WaitForEvents();
    EXPECT_GE(loop.NowMs() - start, 20);
}

TEST(QtEventLoop, AStoppedTimerNeverRuns)
{
    QtEventLoop loop;
    bool stoppedRan = false;
    bool laterRan = false;
    const auto stopped = loop.StartTimer(0, [&] { stoppedRan = true; });
    loop.StartTimer(10, [&] { laterRan = true; });
    loop.StopTimer(stopped);
    loop.StopTimer(stopped); // twice is harmless
    while (!laterRan)
        loop.WaitForEvents();
    EXPECT_FALSE(stoppedRan);
}

// --- Debug window -------------------------------------------------------------

TEST(DebugWindow, ClearListEmptiesTheList)
{
    DebugWindow window;
    window.AddLine("cmdNext(gStep : 2)");
    window.AddLine("cmdNext(gStep : 3)");
    EXPECT_EQ(window.List()->count(), 2);
    window.ClearButton()->click();
    EXPECT_EQ(window.List()->count(), 0);
    EXPECT_EQ(window.windowTitle(), "Debug information");
}

} // namespace
} // namespace regwiz::ui::qt
