// The view in its window with the real engine: the page from the build tree loads,
// a missing page is reported once, command links reach the view from any frame.
#include <wx/frame.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "host/commands.h"
#include "host/tolv_view_window.h"
#include "tests/engine/engine_fixture.h"
#include "tests/fakes/fake_host_ui.h"

namespace praxora::testing {
namespace {

namespace fs = std::filesystem;

class ViewWindowTest : public ::testing::Test {
protected:
    void Open(const std::string& executablePath) {
        frame = new wxFrame(nullptr, wxID_ANY, "view test");
        window =
            new CTolvViewWindow(frame, ui, EngineOptions{}, CTolvView::Options{executablePath});
        ASSERT_TRUE(window->IsReady());
        window->View().SetDocumentCompleteListener(
            [this](const std::string& url) { completedUrls.push_back(url); });
        frame->Show();
    }
    void TearDown() override {
        if (frame != nullptr) {
            frame->Destroy();
            RunLoopFor(50ms);
        }
    }

    FakeHostUi ui;
    wxFrame* frame = nullptr;
    CTolvViewWindow* window = nullptr;
    std::vector<std::string> completedUrls;
};

TEST_F(ViewWindowTest, FormPageFromTheBuildTreeLoadsAndCompletes) {
    Open(std::string(PRAXORA_BIN_DIR) + "/praxora");
    // Before the page is asked for there is no document: the bridge fails at once.
    EXPECT_FALSE(window->View().RunScript("newRecord();"));
    BufferElementInfo element;
    EXPECT_EQ(window->View().GetNativeBufferElement(&element), ElementLookupStatus::NoDocument);

    window->View().OnInitialUpdate();
    ASSERT_TRUE(RunLoopUntil([&] { return !completedUrls.empty(); }, 15s));
    EXPECT_TRUE(ui.errors.empty());
    const std::string tail = "/html/tolv.html";
    ASSERT_GE(completedUrls[0].size(), tail.size());
    EXPECT_EQ(completedUrls[0].substr(completedUrls[0].size() - tail.size()), tail);
    // The page meets the contract: its buffer is a textarea and its functions run.
    EXPECT_EQ(window->View().GetNativeBufferElement(&element), ElementLookupStatus::Found);
    EXPECT_TRUE(element.isTextArea);
    EXPECT_TRUE(window->View().RunScript("newRecord();"));
}

TEST_F(ViewWindowTest, MissingPageGivesOneMessageAndNoNavigation) {
    const fs::path folder = fs::temp_directory_path() / "praxora-no-page";
    fs::create_directories(folder);
    Open((folder / "praxora").string());
    window->View().OnInitialUpdate();
    RunLoopFor(500ms);
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_NE(ui.errors[0].find("\n\n" + (folder / "html" / "tolv.html").string() + "\n\n"),
              std::string::npos);
    EXPECT_TRUE(completedUrls.empty());
    EXPECT_FALSE(window->View().RunScript("newRecord();"));
    fs::remove_all(folder);
}

class CommandLinkEngineTest : public EngineTest {};

TEST_F(CommandLinkEngineTest, LinkFromThePageIsCancelledAndReachesTheHost) {
    Load("buffer.html");
    ASSERT_TRUE(Engine().RunScript("document.getElementById('fake').click();"));
    ASSERT_TRUE(RunLoopUntil([&] { return !events.commandLinks.empty(); }, 5s));
    EXPECT_EQ(events.commandLinks[0], "tolv:fake");
    // The page stayed: its buffer is still there and no new document completed.
    RunLoopFor(200ms);
    EXPECT_EQ(events.completed, 1);
    EXPECT_TRUE(Engine().RunScript("if(!document.getElementById('fake'))throw 0;"));
}

TEST_F(CommandLinkEngineTest, LinkForANewWindowReachesTheHostAndOpensNoWindow) {
    Load("buffer.html");
    const size_t windows = wxTopLevelWindows.GetCount();
    ASSERT_TRUE(
        Engine().RunScript("document.getElementById('blank').click();"
                           "document.getElementById('blankFile').click();"));
    ASSERT_TRUE(RunLoopUntil([&] { return !events.commandLinks.empty(); }, 5s));
    EXPECT_EQ(events.commandLinks[0], "tolv:about");
    RunLoopFor(300ms);
    EXPECT_EQ(wxTopLevelWindows.GetCount(), windows);
    EXPECT_EQ(events.completed, 1) << "the page navigated away";
}

TEST_F(CommandLinkEngineTest, LinkFromAFrameReachesTheHostToo) {
    Load("frames.html");
    ASSERT_TRUE(RunLoopUntil([&] { return !events.commandLinks.empty(); }, 5s));
    EXPECT_EQ(events.commandLinks[0], "tolv:fake");
}

// What the engine reports for a link is what the host judges: the engine lowers the
// scheme and trims spaces around the address, so each case checks the operation the
// reported word names.
struct ReportedLinkCase {
    const char* href;
    const char* word;  // the command word that must be recognised; empty: none
};

class ReportedLinkTest : public EngineTest,
                         public ::testing::WithParamInterface<ReportedLinkCase> {};

TEST_P(ReportedLinkTest, NamesTheSameOperationAsWritten) {
    Load("buffer.html");
    ASSERT_EQ(Engine().WriteBuffer(GetParam().href), BufferAccess::Done);
    ASSERT_TRUE(Engine().RunScript(
        "const a=document.getElementById('fake');"
        "a.setAttribute('href',document.getElementById('nativeBuffer').value);a.click();"));
    ASSERT_TRUE(RunLoopUntil([&] { return !events.commandLinks.empty(); }, 5s));
    const auto word = CommandWordOf(events.commandLinks[0]);
    ASSERT_TRUE(word.has_value());
    const auto command = CommandForWord(*word);
    const std::string expected = GetParam().word;
    if (expected.empty()) {
        EXPECT_FALSE(command.has_value()) << events.commandLinks[0];
    } else {
        EXPECT_EQ(command, CommandForWord(expected)) << events.commandLinks[0];
    }
    std::printf("    %-16s reported as \"%s\"\n", GetParam().href, events.commandLinks[0].c_str());
}

INSTANTIATE_TEST_SUITE_P(
    PartExamples, ReportedLinkTest,
    ::testing::Values(ReportedLinkCase{"tolv:save", "save"},
                      ReportedLinkCase{"tolv:save-as", "save-as"},
                      ReportedLinkCase{"TOLV:SAVE-AS", "save-as"},
                      ReportedLinkCase{"Tolv:Open", "open"}, ReportedLinkCase{"tolv:", ""},
                      ReportedLinkCase{"tolv:save?x=1", ""}, ReportedLinkCase{"tolv:save/", ""},
                      ReportedLinkCase{"tolv:%20save", ""}, ReportedLinkCase{"tolv://save", ""},

                      // HTML trims spaces around an address: the host never sees this one.
                      ReportedLinkCase{"tolv:save ", "save"}));

}  // namespace
}  // namespace praxora::testing
