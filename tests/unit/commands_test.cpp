// One table of commands: command links, menu ids and their operations.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/about_box.h"
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
    const std::regex link("[\"']tolv:([^\"']*)[\"']", std::regex::icase);
    int links = 0;
    for (std::sregex_iterator it(html.begin(), html.end(), link), end; it != end; ++it) {
        ++links;
        EXPECT_TRUE(CommandForWord((*it)[1].str()).has_value()) << (*it)[0].str();
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
    EXPECT_TRUE(std::regex_match(lines[6], std::regex(R"(\(\d{3}\) \d{3}-\d{4})")));
    EXPECT_EQ(lines[7], "");
    EXPECT_EQ(lines[9], "Patient data stays on this computer or a location selected by the user.");
}

}  // namespace
}  // namespace praxora::testing
