// Records and clinic defaults against the real page: what is saved opens back as it
// was, and the defaults reach a new form and a reloaded page but never an opened record.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/engine/form_window_fixture.h"

namespace praxora::testing {
namespace {

namespace fs = std::filesystem;
using RecordsEngineTest = FormWindowTest;

TEST_F(RecordsEngineTest, SavedRecordOpensBackAndDefaultsFollowTheirRules) {
    ASSERT_TRUE(View().RunScript("fillTestData();"));
    SetField("applicant.familyName", "Zoë Ünal");
    SetField("surgeon.familyName", "Ada");
    View().SaveSurgeonDefaults();
    ASSERT_TRUE(ui.errors.empty());

    const fs::path first = root / "first.tolv";
    AnswerFile(first);
    View().SaveRecord(false);
    ASSERT_TRUE(fs::exists(first));
    EXPECT_EQ(ReadBytes(first).substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(ui.titles.back(), "Praxora - first.tolv");

    View().NewRecord();
    EXPECT_EQ(Field("applicant.familyName"), "");
    EXPECT_EQ(Field("surgeon.familyName"), "Ada") << "New applies the saved defaults";
    EXPECT_EQ(ui.titles.back(), "Praxora");

    // Other defaults now; opening must keep the record's own surgeon.
    SetField("surgeon.familyName", "Zed");
    View().SaveSurgeonDefaults();
    AnswerFile(first);
    View().OpenRecord();
    ASSERT_TRUE(ui.errors.empty());
    EXPECT_EQ(Field("applicant.familyName"), "Zoë Ünal");
    EXPECT_EQ(Field("surgeon.familyName"), "Ada") << "Open applied the defaults";

    const fs::path second = root / "second.tolv";
    AnswerFile(second);
    View().SaveRecord(true);
    EXPECT_EQ(ReadBytes(second), ReadBytes(first));
    EXPECT_EQ(View().CurrentPath(), second.string());

    // A reloaded page gets the defaults after it completes.
    ASSERT_TRUE(View().LoadFormPage());
    WaitForDocuments(2);
    EXPECT_EQ(Field("surgeon.familyName"), "Zed");
    EXPECT_EQ(Field("applicant.familyName"), "");
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(RecordsEngineTest, FileThePageCannotReadIsNotBound) {
    const fs::path notARecord = root / "notes.json";
    std::ofstream(notARecord) << "{\"hello\": 1}";
    AnswerFile(notARecord);
    View().OpenRecord();
    EXPECT_EQ(ui.errors, std::vector<std::string>{"Could not open the selected patient record."});
    EXPECT_EQ(View().CurrentPath(), "");
}

}  // namespace
}  // namespace praxora::testing
