// The real main window under a window manager, driven by real key presses (xdotool):
// every menu item reaches its operation, and the accelerators win over the page, also
// while a text field of the page has the keyboard focus.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <wx/app.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/main_frame.h"
#include "tests/engine/engine_wait.h"
#include "tests/engine/page_fields.h"
#include "tests/fakes/fake_host_ui.h"

namespace praxora::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Real key presses to whatever window has the focus.
void Keys(const std::string& keys) {
    ASSERT_EQ(std::system(("timeout 10 xdotool key --delay 60 " + keys).c_str()), 0) << keys;
}
void Type(const std::string& text) {
    ASSERT_EQ(std::system(("timeout 10 xdotool type --delay 40 '" + text + "'").c_str()), 0);
}

// Remembers what the window asked of the UI; file dialogs answered from a queue.
class RecordingUi : public FakeHostUi {
public:
    void SetFrame(wxFrame* frame) { m_frame = frame; }
    void Reset() {
        errors.clear();
        titles.clear();
        fileRequests.clear();
        fileAnswers.clear();
        previews.clear();
        aboutBoxes = 0;
        closeRequests = 0;
    }
    void SetTitle(const std::string& title) override {
        FakeHostUi::SetTitle(title);
        if (m_frame != nullptr) {
            m_frame->SetTitle(title);
        }
    }

private:
    wxFrame* m_frame = nullptr;
};

// Gives the window the keyboard focus through the window manager.
void ActivateWindow(const std::string& titlePattern) {
    const std::string command = "timeout 10 xdotool search --sync --onlyvisible --name '" +
                                titlePattern + "' windowactivate --sync %1 >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string pattern = (fs::temp_directory_path() / "praxora-gui-XXXXXX").string();
        s_root = mkdtemp(pattern.data());
        setenv("XDG_DATA_HOME", (s_root / "data").c_str(), 1);
        s_frame = new CMainFrame(s_ui, EngineOptions{});
        ASSERT_TRUE(s_frame->HasView());
        s_ui.SetFrame(s_frame);
        s_frame->View().SetDocumentCompleteListener([](const std::string&) { ++s_completed; });
        s_frame->SetSize(1000, 800);
        s_frame->Show();
        s_frame->View().OnInitialUpdate();
        ASSERT_TRUE(RunLoopUntil([] { return s_completed > 0; }, 15s));
    }
    static void TearDownTestSuite() {
        s_frame->Destroy();
        RunLoopFor(100ms);
        fs::remove_all(s_root);
    }

    void SetUp() override {
        s_ui.Reset();
        // The page's field gets the keyboard focus, as a user's click would give it.
        ActivateWindow("^Praxora");
        s_frame->View().Execute({Operation::NewRecord});
        FocusField("applicant.familyName");
        RunLoopFor(300ms);
    }

    CTolvView& View() { return s_frame->View(); }
    // A real click into the field, found where the page lays it out.
    void FocusField(const std::string& name) {
        const std::string locate =
            "{const field=document.querySelector('[name=\"" + name +
            "\"]');"
            "field.scrollIntoView({block:'center'});const box=field.getBoundingClientRect();"
            "document.getElementById('nativeBuffer').value="
            "Math.round(box.left+8)+' '+Math.round(box.top+box.height/2);}";
        // A page that is still settling after the last command may refuse the first try.
        if (!View().RunScript(locate)) {
            RunLoopFor(1s);
            ASSERT_TRUE(View().RunScript(locate));
        }
        std::string position;
        ASSERT_TRUE(View().GetNativeBuffer(position));
        int x = 0;
        int y = 0;
        ASSERT_EQ(std::sscanf(position.c_str(), "%d %d", &x, &y), 2) << position;
        const wxPoint origin = s_frame->ClientToScreen(wxPoint(0, 0));
        const std::string click = "timeout 10 xdotool mousemove " + std::to_string(origin.x + x) +
                                  " " + std::to_string(origin.y + y) + " click 1";
        ASSERT_EQ(std::system(click.c_str()), 0);
        RunLoopFor(300ms);
    }
    std::string Field(const std::string& name) { return ReadPageField(View(), name); }
    bool PageIs(const std::string& condition) {
        return View().RunScript("if(!(" + condition + "))throw 0;");
    }
    static void Settle() { RunLoopFor(400ms); }

    static inline fs::path s_root;
    static inline RecordingUi s_ui;
    static inline CMainFrame* s_frame = nullptr;
    static inline int s_completed = 0;
};

TEST_F(MainWindowTest, CtrlSInATextFieldSavesAndTypesNothing) {
    Type("Doe");
    Settle();
    ASSERT_EQ(Field("applicant.familyName"), "Doe");
    const fs::path file = s_root / "doe.tolv";
    s_ui.fileAnswers.push_back(FileDialogChoice{file.string(), 0});
    Keys("ctrl+s");
    Settle();
    ASSERT_EQ(s_ui.fileRequests.size(), 1u);
    EXPECT_EQ(s_ui.fileRequests[0].kind, FileDialogRequest::Kind::Save);
    EXPECT_NE(ReadBytes(file).find("\"Doe\""), std::string::npos);
    EXPECT_EQ(Field("applicant.familyName"), "Doe") << "the key reached the field";
    // Editing keys still belong to the page.
    Keys("ctrl+a ctrl+c End ctrl+v");
    Settle();
    EXPECT_EQ(Field("applicant.familyName"), "DoeDoe");
}

TEST_F(MainWindowTest, CtrlPInThePageRunsOurPrintCommand) {
    // The print dialog is the engine's; close it once it is up.
    // (A key chained to a search goes by XSendEvent, which GTK ignores: two commands.)
    ASSERT_EQ(std::system("(xdotool search --sync --onlyvisible --name '^Print$' windowactivate "
                          "--sync; sleep 1; xdotool key Escape) >/dev/null 2>&1 &"),
              0);
    Keys("ctrl+p");
    RunLoopFor(3s);
    EXPECT_TRUE(PageIs("document.body.classList.contains('has-packet')"))
        << "the packet was not prepared, so the print was not ours";
    // Escape takes the page back from its packet to the form.
    Keys("Escape");
    Settle();
    EXPECT_FALSE(PageIs("document.body.classList.contains('packet-mode')"));
}

struct MenuCase {
    const char* name;
    const char* keys;
};

class MenuItemTest : public MainWindowTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(MenuItemTest, ReachesItsOperation) {
    const std::string name = GetParam().name;
    const fs::path defaults = s_root / "data" / "Corvane" / "Praxora" / "clinic-defaults.json";
    if (name == "apply-defaults") {
        std::ofstream(defaults) << "\xEF\xBB\xBF"
                                << R"({"format":"praxora-tolv-fields","version":1,)"
                                << R"("fields":{"surgeon.familyName":"Ada"}})";
        ASSERT_TRUE(
            View().RunScript("document.querySelector('[name=\"surgeon.familyName\"]').value='x';"));
    } else if (name == "save-defaults") {
        ASSERT_TRUE(View().RunScript(
            "document.querySelector('[name=\"surgeon.familyName\"]').value='Bea';"));
    } else if (name == "new") {
        s_ui.titles.clear();
    }
    // The menu must be open, with its keyboard grab, before the item's keys come.
    const std::string keys = GetParam().keys;
    const size_t space = keys.find(' ');
    Keys(keys.substr(0, space));
    RunLoopFor(500ms);
    Keys(keys.substr(space + 1));
    Settle();

    if (name == "new") {
        EXPECT_EQ(s_ui.titles, std::vector<std::string>{"Praxora"});
    } else if (name == "open" || name == "save" || name == "save-as") {
        ASSERT_EQ(s_ui.fileRequests.size(), 1u);
        EXPECT_EQ(s_ui.fileRequests[0].kind,
                  name == "open" ? FileDialogRequest::Kind::Open : FileDialogRequest::Kind::Save);
    } else if (name == "preview") {
        EXPECT_EQ(s_ui.previews.size(), 1u);
    } else if (name == "apply-defaults") {
        EXPECT_EQ(Field("surgeon.familyName"), "Ada");
    } else if (name == "save-defaults") {
        EXPECT_NE(ReadBytes(defaults).find("Bea"), std::string::npos);
    } else if (name == "fill") {
        EXPECT_EQ(Field("applicant.familyName"), "TESTPATIENT");
    } else if (name == "about") {
        EXPECT_EQ(s_ui.aboutBoxes, 1);
    } else if (name == "exit") {
        EXPECT_EQ(s_ui.closeRequests, 1);
    }
    EXPECT_TRUE(s_ui.errors.empty());
}

// Through the menus by their mnemonics; Tools items have none and are reached by arrow.
INSTANTIATE_TEST_SUITE_P(
    Menus, MenuItemTest,
    ::testing::Values(MenuCase{"new", "alt+f n"}, MenuCase{"open", "alt+f o"},
                      MenuCase{"save", "alt+f s"}, MenuCase{"save-as", "alt+f a"},
                      MenuCase{"preview", "alt+f v"}, MenuCase{"apply-defaults", "alt+t Return"},
                      MenuCase{"save-defaults", "alt+t Down Return"},
                      MenuCase{"fill", "alt+t Down Down Return"}, MenuCase{"about", "alt+h Return"},
                      MenuCase{"exit", "alt+f x"}),
    [](const ::testing::TestParamInfo<MenuCase>& param) {
        std::string name = param.param.name;
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

}  // namespace
}  // namespace praxora::testing
