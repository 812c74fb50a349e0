#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "host/page_location.h"
#include "host/tolv_view.h"
#include "tests/fakes/fake_form_engine.h"
#include "tests/fakes/fake_host_ui.h"

namespace praxora {
namespace {

namespace fs = std::filesystem;
using testing::FakeFormEngine;
using testing::FakeHostUi;

TEST(PageLocationTest, PageSitsInTheHtmlFolderBesideTheExecutable) {
    EXPECT_EQ(PagePathForExecutable("/opt/praxora/praxora"), "/opt/praxora/html/tolv.html");
    EXPECT_EQ(PagePathForExecutable("/praxora"), "/html/tolv.html");
    EXPECT_EQ(PagePathForExecutable("praxora"), "");
    EXPECT_EQ(PagePathForExecutable(""), "");
}

// A program folder in a fresh temporary directory, optionally with a page in it.
class ProgramFolder {
public:
    explicit ProgramFolder(const std::string& name) {
        std::string pattern = (fs::temp_directory_path() / "praxora-view-XXXXXX").string();
        m_root = mkdtemp(pattern.data());
        m_folder = m_root / name;
        fs::create_directories(m_folder / "html");
    }
    ~ProgramFolder() { fs::remove_all(m_root); }

    void AddPageFile() { std::ofstream(m_folder / "html" / "tolv.html") << "<!DOCTYPE html>"; }
    void AddPageFolder() { fs::create_directory(m_folder / "html" / "tolv.html"); }
    std::string Executable() const { return (m_folder / "praxora").string(); }
    std::string PagePath() const { return (m_folder / "html" / "tolv.html").string(); }

private:
    fs::path m_root;
    fs::path m_folder;
};

struct LoadCase {
    const char* folderName;
    enum { File, Folder, Missing } page;
    bool navigates;
    const char* urlTail;  // the end of the URL the view navigates to
};

void PrintTo(const LoadCase& c, std::ostream* os) {
    *os << c.folderName << " page=" << c.page;
}

class LoadFormPageTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadFormPageTest, NavigatesToAnExistingPageOrSaysWhereItWasExpected) {
    const LoadCase& c = GetParam();
    ProgramFolder folder(c.folderName);
    if (c.page == LoadCase::File) {
        folder.AddPageFile();
    } else if (c.page == LoadCase::Folder) {
        folder.AddPageFolder();
    }
    FakeFormEngine engine;
    FakeHostUi ui;
    CTolvView view(engine, ui, CTolvView::Options{folder.Executable()});

    EXPECT_EQ(view.LoadFormPage(), c.navigates);

    if (c.navigates) {
        ASSERT_EQ(engine.navigations.size(), 1u);
        EXPECT_EQ(engine.navigations[0].rfind("file:///", 0), 0u) << engine.navigations[0];
        const std::string tail = c.urlTail;
        const std::string& url = engine.navigations[0];
        EXPECT_EQ(url.substr(url.size() - tail.size()), tail);
        EXPECT_TRUE(ui.errors.empty());
    } else {
        EXPECT_TRUE(engine.navigations.empty());
        ASSERT_EQ(ui.errors.size(), 1u);
        EXPECT_EQ(ui.errors[0], "The Tolv HTML interface could not be found:\n\n" +
                                    folder.PagePath() +
                                    "\n\nRebuild the project so the html folder is copied beside "
                                    "Praxora.exe.");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pages, LoadFormPageTest,
    ::testing::Values(LoadCase{"bin", LoadCase::File, true, "/bin/html/tolv.html"},
                      LoadCase{"bin", LoadCase::Folder, true, "/bin/html/tolv.html"},
                      LoadCase{"bin", LoadCase::Missing, false, ""},
                      LoadCase{"Präxora Clinic #1", LoadCase::File, true,
                               "/Pr%C3%A4xora%20Clinic%20%231/html/tolv.html"}));

TEST(LoadFormPageTest, ExecutableWithoutFolderLoadsNothingAndSaysNothing) {
    FakeFormEngine engine;
    FakeHostUi ui;
    CTolvView view(engine, ui, CTolvView::Options{std::string("praxora")});
    EXPECT_FALSE(view.LoadFormPage());
    EXPECT_TRUE(engine.navigations.empty());
    EXPECT_TRUE(ui.errors.empty());
}

class ViewTest : public ::testing::Test {
protected:
    FakeFormEngine engine;
    FakeHostUi ui;
    CTolvView view{engine, ui, CTolvView::Options{std::string("/opt/praxora/praxora")}};
};

TEST_F(ViewTest, GetNativeBufferEmptiesTheTextWhenItFails) {
    engine.buffer = "kept in the page";
    std::string text = "held before";
    engine.bufferIsTextArea = false;
    EXPECT_FALSE(view.GetNativeBuffer(text));
    EXPECT_EQ(text, "");

    engine.bufferIsTextArea = true;
    EXPECT_TRUE(view.GetNativeBuffer(text));
    EXPECT_EQ(text, "kept in the page");
}

TEST_F(ViewTest, ElementLookupKeepsItsDistinctions) {
    BufferElementInfo element;
    EXPECT_EQ(view.GetNativeBufferElement(nullptr), ElementLookupStatus::NoPlace);
    EXPECT_EQ(view.GetNativeBufferElement(&element), ElementLookupStatus::Found);
    EXPECT_TRUE(element.isTextArea);
    engine.hasBufferElement = false;
    EXPECT_EQ(view.GetNativeBufferElement(&element), ElementLookupStatus::NotFound);
    engine.hasDocument = false;
    EXPECT_EQ(view.GetNativeBufferElement(&element), ElementLookupStatus::NoDocument);
    EXPECT_FALSE(view.SetNativeBuffer("x"));
    EXPECT_FALSE(view.RunScript("newRecord();"));
}

struct LinkCase {
    const char* url;
    bool cancelled;
    bool runsFillTestData;
};

void PrintTo(const LinkCase& c, std::ostream* os) {
    *os << '"' << c.url << '"';
}

class CommandLinkTest : public ViewTest, public ::testing::WithParamInterface<LinkCase> {};

TEST_P(CommandLinkTest, CancelsCommandLinksAndRunsOnlyExactWords) {
    const LinkCase& c = GetParam();
    EXPECT_EQ(engine.sink->OnBeforeNavigate(c.url), c.cancelled);
    const bool ran = !engine.scripts.empty() && engine.scripts[0] == "fillTestData();";
    EXPECT_EQ(ran, c.runsFillTestData);
    EXPECT_LE(engine.scripts.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Links, CommandLinkTest,
    ::testing::Values(LinkCase{"tolv:fake", true, true}, LinkCase{"TOLV:FAKE", true, true},
                      LinkCase{"Tolv:Fake", true, true}, LinkCase{"tolv:", true, false},
                      LinkCase{"tolv:fake?x=1", true, false}, LinkCase{"tolv:fake/", true, false},
                      LinkCase{"tolv:%66ake", true, false}, LinkCase{"tolv://fake", true, false},
                      LinkCase{"tolv:fake ", true, false}, LinkCase{"tolvx:fake", false, false},
                      LinkCase{" tolv:fake", false, false}, LinkCase{"tolv", false, false},
                      LinkCase{"file:///opt/praxora/html/tolv.html", false, false}));

TEST_F(ViewTest, CommandLinkDuringAnOperationRunsAfterIt) {
    // The engine's nested main loop delivers a command link while a script runs.
    bool delivered = false;
    engine.whileScriptRuns = [&](const std::string&) {
        if (!delivered) {
            delivered = true;
            EXPECT_TRUE(engine.sink->OnBeforeNavigate("tolv:fake"));
            EXPECT_EQ(engine.scripts.size(), 1u) << "the command ran inside the operation";
        }
    };
    view.ExecuteCommand([&] {
        view.RunScript("newRecord();");
        view.RunScript("showToast('x');");
    });
    EXPECT_EQ(engine.scripts,
              (std::vector<std::string>{"newRecord();", "showToast('x');", "fillTestData();"}));
}

TEST_F(ViewTest, ExitLinkAsksTheWindowToCloseAfterwards) {
    EXPECT_TRUE(engine.sink->OnBeforeNavigate("tolv:EXIT"));
    EXPECT_EQ(ui.closeRequests, 1);
    EXPECT_TRUE(engine.scripts.empty());
}

}  // namespace
}  // namespace praxora
