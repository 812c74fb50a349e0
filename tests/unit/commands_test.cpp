// One table of commands: command links, menu ids and their operations.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/about_box.h"
#include "host/command_link.h"
#include "host/commands.h"
#include "tests/unit/view_fixture.h"

namespace praxora::testing {
namespace {

namespace fs = std::filesystem;
const std::string kBom = "\xEF\xBB\xBF";

// A view bound to a record, with saved defaults, so every operation shows itself.
class CommandsTest : public ViewFixture {
protected:
    void SetUp() override {
        ViewFixture::SetUp();
        WriteDefaults(kBom + pageDefaults);
        WriteBytes(root / "bound.tolv", kBom + "{}");
        AnswerFile(root / "bound.tolv");
        view.OpenRecord();
        ASSERT_EQ(view.CurrentPath(), (root / "bound.tolv").string());
        ui = FakeHostUi{};
        engine.calls.clear();
        engine.scripts.clear();
    }

    // What the operation that ran did, in one word; empty when nothing ran.
    std::string Effect() const {
        std::vector<std::string> seen;
        auto ran = [&](const std::string& call) {
            return std::find(engine.calls.begin(), engine.calls.end(), call) != engine.calls.end();
        };
        if (ran("newRecord();"))
            seen.push_back("new");
        if (!ui.fileRequests.empty()) {
            seen.push_back(ui.fileRequests[0].kind == FileDialogRequest::Kind::Open ? "open"
                                                                                    : "save-as");
        } else if (ran(kCollectRecord)) {
            seen.push_back("save");
        }
        if (ran("pdf"))
            seen.push_back("preview");
        if (ran("print"))
            seen.push_back("print");
        if (ran(kCollectDefaults))
            seen.push_back("defaults-save");
        if (ran("showToast('Civil surgeon defaults applied.');"))
            seen.push_back("defaults-apply");
        if (ran("fillTestData();"))
            seen.push_back("fake");
        if (ui.aboutBoxes > 0)
            seen.push_back("about");
        if (ui.closeRequests > 0)
            seen.push_back("exit");
        std::string effect;
        for (const auto& word : seen) {
            effect += (effect.empty() ? "" : "+") + word;
        }
        return effect;
    }
};

struct LinkCase {
    const char* url;
    bool cancelled;
    const char* effect;
};

void PrintTo(const LinkCase& c, std::ostream* os) {
    *os << '"' << c.url << '"';
}

class CommandLinkDispatchTest : public CommandsTest,
                                public ::testing::WithParamInterface<LinkCase> {};

TEST_P(CommandLinkDispatchTest, RunsTheNamedOperationOrNothing) {
    EXPECT_EQ(engine.sink->OnBeforeNavigate(GetParam().url), GetParam().cancelled);
    EXPECT_EQ(Effect(), GetParam().effect);
}

INSTANTIATE_TEST_SUITE_P(
    Urls, CommandLinkDispatchTest,
    ::testing::Values(
        LinkCase{"tolv:new", true, "new"}, LinkCase{"tolv:open", true, "open"},
        LinkCase{"tolv:save", true, "save"}, LinkCase{"tolv:save-as", true, "save-as"},
        LinkCase{"tolv:preview", true, "preview"}, LinkCase{"tolv:print", true, "print"},
        LinkCase{"tolv:defaults-save", true, "defaults-save"},
        LinkCase{"tolv:defaults-apply", true, "defaults-apply"},
        LinkCase{"tolv:fake", true, "fake"}, LinkCase{"tolv:about", true, "about"},
        LinkCase{"tolv:exit", true, "exit"}, LinkCase{"TOLV:SAVE-AS", true, "save-as"},
        LinkCase{"Tolv:Open", true, "open"}, LinkCase{"tolv:", true, ""},
        LinkCase{"tolv:save?x=1", true, ""}, LinkCase{"tolv:save/", true, ""},
        LinkCase{"tolv:%20save", true, ""}, LinkCase{"tolv://save", true, ""},
        LinkCase{"tolv:save ", true, ""}, LinkCase{"tolv:sav", true, ""},
        LinkCase{"tolvx:save", false, ""}, LinkCase{" tolv:save", false, ""},
        LinkCase{"tolv", false, ""}, LinkCase{"http://example.org/tolv:save", false, ""},
        LinkCase{"file:///opt/praxora/html/tolv.html", false, ""}));

struct MenuCase {
    int id;
    const char* effect;
};

class MenuDispatchTest : public CommandsTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(MenuDispatchTest, EachIdRunsItsOperationOnce) {
    const auto command = CommandForMenuId(GetParam().id);
    ASSERT_TRUE(command.has_value());
    view.Execute(*command);
    EXPECT_EQ(Effect(), GetParam().effect);
    EXPECT_LE(ui.fileRequests.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Ids, MenuDispatchTest,
                         ::testing::Values(MenuCase{57600, "new"}, MenuCase{57601, "open"},
                                           MenuCase{57603, "save"}, MenuCase{32774, "save-as"},
                                           MenuCase{57609, "preview"}, MenuCase{57607, "print"},
                                           MenuCase{32775, "defaults-save"},
                                           MenuCase{32776, "defaults-apply"},
                                           MenuCase{32777, "fake"}, MenuCase{32773, "about"},
                                           MenuCase{57665, "exit"}));

TEST(CommandTableTest, WordsAndIdsAreUnique) {
    for (size_t i = 0; i < kCommandTable.size(); ++i) {
        for (size_t j = i + 1; j < kCommandTable.size(); ++j) {
            EXPECT_STRNE(kCommandTable[i].word, kCommandTable[j].word);
            EXPECT_NE(kCommandTable[i].menuId, kCommandTable[j].menuId);
        }
    }
    EXPECT_FALSE(CommandForMenuId(57604).has_value()) << "the platform's own Save As";
}

TEST(CommandTableTest, EveryLinkOfThePageIsAWordOfTheTable) {
    std::ifstream page(std::string(PRAXORA_SOURCE_DIR) + "/html/tolv.html");
    ASSERT_TRUE(page.good());
    std::stringstream text;
    text << page.rdbuf();
    const std::string html = text.str();
    // Every quoted address that starts with the scheme, in any case.
    const std::string lowered = LowerAscii(html);
    int links = 0;
    for (size_t at = lowered.find("tolv:"); at != std::string::npos;
         at = lowered.find("tolv:", at + 1)) {
        if (at == 0 || (html[at - 1] != '"' && html[at - 1] != '\'')) {
            continue;
        }
        const size_t end = html.find(html[at - 1], at);
        ASSERT_NE(end, std::string::npos);
        ++links;
        const std::string word = html.substr(at + 5, end - at - 5);
        EXPECT_TRUE(CommandForWord(word).has_value()) << "tolv:" << word;
    }
    EXPECT_GT(links, 0);
}

TEST(AboutTextTest, TenLinesWithTheVersionAndTheEdition) {
    const std::string text = AboutText();
    std::vector<std::string> lines;
    std::stringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_NE(text.back(), '\n');
    EXPECT_EQ(lines[0], "Praxora");
    EXPECT_EQ(lines[1], "Software Version 3.02");
    EXPECT_EQ(lines[2], "USCIS Form Tolv Edition 02/27/26");
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], "Corvane");
    // "(555) 010-0123": area code in parentheses, a space, three digits, hyphen, four.
    ASSERT_EQ(lines[6].size(), 14u);
    for (size_t i = 0; i < lines[6].size(); ++i) {
        const char expected = "(999) 999-9999"[i];
        if (expected == '9') {
            EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(lines[6][i]))) << lines[6];
        } else {
            EXPECT_EQ(lines[6][i], expected) << lines[6];
        }
    }
    EXPECT_EQ(lines[7], "");
    EXPECT_EQ(lines[9], "Patient data stays on this computer or a location selected by the user.");
}

}  // namespace
}  // namespace praxora::testing
