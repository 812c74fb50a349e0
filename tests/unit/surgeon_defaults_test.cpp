// Clinic defaults: saved from the page's surgeon fields, applied from the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/unit/view_fixture.h"

namespace praxora::testing {
namespace {

namespace fs = std::filesystem;
const std::string kBom = "\xEF\xBB\xBF";
const char* const kDefaultsApplied = "showToast('Civil surgeon defaults applied.');";
const char* const kDefaultsSaved = "showToast('Civil surgeon defaults saved.');";
const char* const kSaveFailed = "Could not save the Civil Surgeon defaults.";

using SurgeonDefaultsTest = ViewFixture;

struct ApplyCase {
    const char* name;
    enum { Absent, Folder, Oversized, Empty, MarkOnly, Present } file;
    bool announce;
    std::vector<std::string> calls;  // what reaches the page
};

void PrintTo(const ApplyCase& c, std::ostream* os) {
    *os << c.name;
}

class ApplyDefaultsTest : public SurgeonDefaultsTest,
                          public ::testing::WithParamInterface<ApplyCase> {};

TEST_P(ApplyDefaultsTest, AppliesWhatCanBeReadAndIsSilentOtherwise) {
    const ApplyCase& c = GetParam();
    switch (c.file) {
        case ApplyCase::Absent:
            break;
        case ApplyCase::Folder:
            fs::create_directories(DefaultsFile());
            break;
        case ApplyCase::Oversized:
            WriteDefaults(std::string(16 * 1024 * 1024 + 1, ' '));
            break;
        case ApplyCase::Empty:
            WriteDefaults("");
            break;
        case ApplyCase::MarkOnly:
            WriteDefaults(kBom);
            break;
        case ApplyCase::Present:
            WriteDefaults(kBom + "{\"surgeon.name\":\"Dr. Ada\"}");
            break;
    }
    view.ApplySurgeonDefaults(c.announce);
    EXPECT_EQ(engine.calls, c.calls);
    EXPECT_TRUE(ui.errors.empty());
}

const std::string kApply = kApplyDefaults;
INSTANTIATE_TEST_SUITE_P(
    Files, ApplyDefaultsTest,
    ::testing::Values(
        ApplyCase{"AbsentAnnounced", ApplyCase::Absent, true, {}},
        ApplyCase{"FolderAnnounced", ApplyCase::Folder, true, {}},
        ApplyCase{"OversizedAnnounced", ApplyCase::Oversized, true, {}},
        ApplyCase{"EmptySilent", ApplyCase::Empty, false, {"write:", kApply}},
        ApplyCase{
            "MarkOnlyAnnounced", ApplyCase::MarkOnly, true, {"write:", kApply, kDefaultsApplied}},
        ApplyCase{"PresentSilent",
                  ApplyCase::Present,
                  false,
                  {"write:{\"surgeon.name\":\"Dr. Ada\"}", kApply}},
        ApplyCase{"PresentAnnounced",
                  ApplyCase::Present,
                  true,
                  {"write:{\"surgeon.name\":\"Dr. Ada\"}", kApply, kDefaultsApplied}}),
    NamedCase());

TEST_F(SurgeonDefaultsTest, SaveCreatesTheDataFolderAndReplacesTheFileWhole) {
    ASSERT_FALSE(fs::exists(DataFolder()));
    view.SaveSurgeonDefaults();
    EXPECT_EQ(ReadBytes(DefaultsFile()), kBom + pageDefaults);
    pageDefaults = "{}";
    view.SaveSurgeonDefaults();
    EXPECT_EQ(ReadBytes(DefaultsFile()), kBom + "{}");
    EXPECT_EQ(engine.scripts.back(), kDefaultsSaved);
    EXPECT_TRUE(ui.errors.empty());
}

struct SaveFault {
    const char* name;
    enum { CollectFails, BufferUnreadable, WriteFails } fault;
};

class SaveDefaultsFailureTest : public SurgeonDefaultsTest,
                                public ::testing::WithParamInterface<SaveFault> {};

TEST_P(SaveDefaultsFailureTest, ShowsTheMessageAndKeepsTheEarlierDefaults) {
    WriteDefaults(kBom + "earlier");
    // The buffer still holds a patient's record from an earlier Save.
    engine.buffer = pageRecord;
    switch (GetParam().fault) {
        case SaveFault::CollectFails:
            engine.failingScripts.push_back(kCollectDefaults);
            break;
        case SaveFault::BufferUnreadable:
            engine.hasBufferElement = false;
            break;
        case SaveFault::WriteFails:
            fs::remove(DefaultsFile());
            fs::create_directory(DefaultsFile());
            break;
    }
    view.SaveSurgeonDefaults();
    EXPECT_EQ(ui.errors, std::vector<std::string>{kSaveFailed});
    EXPECT_EQ(std::count(engine.scripts.begin(), engine.scripts.end(), kDefaultsSaved), 0);
    if (GetParam().fault != SaveFault::WriteFails) {
        EXPECT_EQ(ReadBytes(DefaultsFile()), kBom + "earlier");
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, SaveDefaultsFailureTest,
                         ::testing::Values(SaveFault{"CollectFails", SaveFault::CollectFails},
                                           SaveFault{"BufferUnreadable",
                                                     SaveFault::BufferUnreadable},
                                           SaveFault{"WriteFails", SaveFault::WriteFails}),
                         NamedCase());

TEST_F(SurgeonDefaultsTest, EveryCompletedDocumentAppliesThemSilentlyBeforeTheListener) {
    WriteDefaults(kBom + pageDefaults);
    std::vector<std::string> seenByListener;
    view.SetDocumentCompleteListener([&](const std::string& url) {
        seenByListener.push_back(url);
        EXPECT_EQ(engine.calls.back(), kApplyDefaults) << "listener ran before the defaults";
    });
    engine.sink->OnDocumentComplete("file:///opt/praxora/html/tolv.html");
    engine.sink->OnDocumentComplete("file:///opt/praxora/html/frame.html");
    EXPECT_EQ(std::count(engine.scripts.begin(), engine.scripts.end(), kApplyDefaults), 2);
    EXPECT_EQ(std::count(engine.scripts.begin(), engine.scripts.end(), kDefaultsApplied), 0);
    EXPECT_EQ(seenByListener.size(), 2u);
}

}  // namespace
}  // namespace praxora::testing
