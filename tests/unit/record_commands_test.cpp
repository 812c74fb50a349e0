// New, Open, Save and Save As with a fake page and fake dialogs: what reaches the
// page, the disk, the user and the title in each state.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/unit/view_fixture.h"

namespace praxora::testing {
namespace {

namespace fs = std::filesystem;
const std::string kBom = "\xEF\xBB\xBF";

using RecordCommandsTest = ViewFixture;

// --- Save and Save As --------------------------------------------------------------

struct SaveCase {
    const char* name;
    bool bound;  // the form is bound to visit-0412.tolv before the command
    bool saveAs;
    enum { Confirm, Cancel, NoDialog } dialog;
    enum { Fine, CollectFails, BufferUnreadable, WriteFails } fault;
    // Expected.
    bool dialogShown;
    const char* error;       // empty: none
    const char* boundAfter;  // file name the form is bound to afterwards, empty: none
};

void PrintTo(const SaveCase& c, std::ostream* os) {
    *os << c.name;
}

class SaveRecordTest : public RecordCommandsTest, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(SaveRecordTest, FollowsTheStateTable) {
    const SaveCase& c = GetParam();
    const fs::path bound = root / "visit-0412.tolv";
    const fs::path chosen = root / "chosen.tolv";
    WriteBytes(bound, kBom + "earlier");
    if (c.bound) {
        AnswerFile(bound);
        view.OpenRecord();
        ASSERT_EQ(view.CurrentPath(), bound.string());
        ui = FakeHostUi{};
        engine.calls.clear();
    }
    if (c.dialog == SaveCase::Confirm) {
        AnswerFile(chosen);
    }
    engine.buffer = "stale text from an earlier operation";
    if (c.fault == SaveCase::CollectFails) {
        engine.failingScripts.push_back(kCollectRecord);
    } else if (c.fault == SaveCase::BufferUnreadable) {
        engine.bufferIsTextArea = false;
    } else if (c.fault == SaveCase::WriteFails) {
        fs::create_directory(chosen);  // a folder cannot be replaced by a record
        if (c.bound) {
            fs::remove(bound);
            fs::create_directory(bound);
        }
    }
    const std::string pathBefore = view.CurrentPath();

    view.SaveRecord(c.saveAs);

    EXPECT_EQ(ui.fileRequests.size(), c.dialogShown ? 1u : 0u);
    if (std::string(c.error).empty()) {
        EXPECT_TRUE(ui.errors.empty());
    } else {
        EXPECT_EQ(ui.errors, std::vector<std::string>{c.error});
    }
    const std::string boundAfter = c.boundAfter;
    if (boundAfter.empty()) {
        EXPECT_EQ(view.CurrentPath(), pathBefore);
        EXPECT_TRUE(ui.titles.empty()) << "the title changed";
        EXPECT_EQ(std::count(engine.scripts.begin(), engine.scripts.end(), kRecordSavedToast), 0);
        if (c.fault != SaveCase::WriteFails) {
            EXPECT_EQ(ReadBytes(bound), kBom + "earlier");
            EXPECT_FALSE(fs::exists(chosen));
        }
    } else {
        const fs::path target = root / boundAfter;
        EXPECT_EQ(view.CurrentPath(), target.string());
        EXPECT_EQ(ReadBytes(target), kBom + pageRecord);
        EXPECT_EQ(ui.titles, std::vector<std::string>{"Praxora - " + boundAfter});
        EXPECT_EQ(engine.scripts.back(), kRecordSavedToast);
        if (target != bound) {
            EXPECT_EQ(ReadBytes(bound), kBom + "earlier") << "Save As changed the earlier file";
        }
    }
}

const char* const kCollectFailed = "Could not collect the patient information from the form.";
const char* const kSaveFailed = "Could not save the patient record.";

INSTANTIATE_TEST_SUITE_P(
    States, SaveRecordTest,
    ::testing::Values(SaveCase{"NewRecordAsksAndBinds", false, false, SaveCase::Confirm,
                               SaveCase::Fine, true, "", "chosen.tolv"},
                      SaveCase{"BoundRecordIsWrittenAgainWithoutDialog", true, false,
                               SaveCase::NoDialog, SaveCase::Fine, false, "", "visit-0412.tolv"},
                      SaveCase{"SaveAsWhileBoundAsksAndRebinds", true, true, SaveCase::Confirm,
                               SaveCase::Fine, true, "", "chosen.tolv"},
                      SaveCase{"CancelChangesNothing", false, false, SaveCase::Cancel,
                               SaveCase::Fine, true, "", ""},
                      SaveCase{"SaveAsCancelWhileBoundChangesNothing", true, true, SaveCase::Cancel,
                               SaveCase::Fine, true, "", ""},
                      SaveCase{"FailedCollectScriptNeverSavesTheStaleBuffer", true, false,
                               SaveCase::NoDialog, SaveCase::CollectFails, false, kCollectFailed,
                               ""},
                      SaveCase{"UnreadableBufferShowsNoDialog", false, false, SaveCase::NoDialog,
                               SaveCase::BufferUnreadable, false, kCollectFailed, ""},
                      SaveCase{"FailedWriteOfNewFileKeepsNoBinding", false, false,
                               SaveCase::Confirm, SaveCase::WriteFails, true, kSaveFailed, ""},
                      SaveCase{"FailedWriteWhileBoundKeepsTheBinding", true, false,
                               SaveCase::NoDialog, SaveCase::WriteFails, false, kSaveFailed, ""}),
    NamedCase());

TEST_F(RecordCommandsTest, EmptyBufferSavesTheMarkAlone) {
    pageRecord.clear();
    AnswerFile(root / "empty.tolv");
    view.SaveRecord(false);
    EXPECT_EQ(ReadBytes(root / "empty.tolv"), kBom);
    EXPECT_EQ(engine.scripts.back(), kRecordSavedToast);
}

TEST_F(RecordCommandsTest, SaveDialogProposesTheNameInThePatientsFolderEveryTime) {
    AnswerFile(root / "first.tolv");
    view.SaveRecord(false);
    AnswerFile(root / "second.tolv");
    view.SaveRecord(true);
    ASSERT_EQ(ui.fileRequests.size(), 2u);
    for (const FileDialogRequest& request : ui.fileRequests) {
        EXPECT_EQ(request.kind, FileDialogRequest::Kind::Save);
        EXPECT_EQ(request.initialFolder, PatientsFolder().string());
        EXPECT_EQ(request.proposedName, "Tolv-Patient.tolv");
        ASSERT_EQ(request.filters.size(), 2u);
        EXPECT_EQ(request.filters[0].description, "Tolv Patient Record (*.tolv)");
        EXPECT_EQ(request.filters[0].patterns, "*.tolv");
        EXPECT_EQ(request.filters[1].description, "JSON Files (*.json)");
        EXPECT_EQ(request.filters[1].patterns, "*.json");
    }
    EXPECT_TRUE(fs::is_directory(PatientsFolder()));
}

struct ExtensionCase {
    const char* typed;
    size_t filterIndex;
    const char* saved;
};

class SavedNameTest : public RecordCommandsTest,
                      public ::testing::WithParamInterface<ExtensionCase> {};

TEST_P(SavedNameTest, TypedNameWithoutExtensionGetsTheSelectedFiltersOne) {
    AnswerFile(root / GetParam().typed, GetParam().filterIndex);
    view.SaveRecord(false);
    EXPECT_EQ(view.CurrentPath(), (root / GetParam().saved).string());
    EXPECT_TRUE(fs::exists(root / GetParam().saved));
}

INSTANTIATE_TEST_SUITE_P(Names, SavedNameTest,
                         ::testing::Values(ExtensionCase{"visit", 0, "visit.tolv"},
                                           ExtensionCase{"visit", 1, "visit.json"},
                                           ExtensionCase{"visit.json", 0, "visit.json"},
                                           ExtensionCase{"visit.txt", 1, "visit.txt"}));

// --- Open --------------------------------------------------------------------------

struct OpenCase {
    const char* name;
    enum { Cancel, Missing, Folder, Oversized, PageRefuses, Record, JsonRecord } file;
    bool opens;
};

void PrintTo(const OpenCase& c, std::ostream* os) {
    *os << c.name;
}

class OpenRecordTest : public RecordCommandsTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(OpenRecordTest, BindsOnlyWhatWasReadAndLoaded) {
    const OpenCase& c = GetParam();
    WriteDefaults(kBom + pageDefaults);
    const fs::path earlier = root / "earlier.tolv";
    WriteBytes(earlier, kBom + "earlier");
    AnswerFile(earlier);
    view.OpenRecord();
    ui = FakeHostUi{};
    engine.calls.clear();
    engine.scripts.clear();

    fs::path file = root / (c.file == OpenCase::JsonRecord ? "visit.json" : "visit-0412.tolv");
    switch (c.file) {
        case OpenCase::Cancel:
        case OpenCase::Missing:
            break;
        case OpenCase::Folder:
            fs::create_directory(file);
            break;
        case OpenCase::Oversized:
            WriteBytes(file, std::string(16 * 1024 * 1024 + 1, 'x'));
            break;
        case OpenCase::PageRefuses:
            WriteBytes(file, kBom + "not a record");
            engine.failingScripts.push_back(kLoadRecord);
            break;
        case OpenCase::Record:
        case OpenCase::JsonRecord:
            WriteBytes(file, kBom + "{\"name\":\"Zoë\"}");
            break;
    }
    if (c.file != OpenCase::Cancel) {
        AnswerFile(file);
    }

    view.OpenRecord();

    ASSERT_EQ(ui.fileRequests.size(), 1u);
    const FileDialogRequest& request = ui.fileRequests[0];
    EXPECT_EQ(request.kind, FileDialogRequest::Kind::Open);
    EXPECT_EQ(request.initialFolder, PatientsFolder().string());
    EXPECT_EQ(request.proposedName, "");
    ASSERT_EQ(request.filters.size(), 2u);
    EXPECT_EQ(request.filters[0].patterns, "*.tolv;*.json");
    EXPECT_EQ(request.filters[1].description, "All Files (*.*)");
    // Opening never applies the defaults.
    EXPECT_EQ(std::count(engine.scripts.begin(), engine.scripts.end(), kApplyDefaults), 0);

    if (c.opens) {
        EXPECT_TRUE(ui.errors.empty());
        EXPECT_EQ(view.CurrentPath(), file.string());
        EXPECT_EQ(ui.titles, std::vector<std::string>{"Praxora - " + file.filename().string()});
        EXPECT_EQ(engine.calls, (std::vector<std::string>{"write:{\"name\":\"Zoë\"}", kLoadRecord,
                                                          kRecordOpenedToast}));
    } else {
        EXPECT_EQ(view.CurrentPath(), earlier.string());
        EXPECT_TRUE(ui.titles.empty());
        EXPECT_EQ(std::count(engine.scripts.begin(), engine.scripts.end(), kRecordOpenedToast), 0);
        const bool refusedByPage = c.file == OpenCase::PageRefuses;
        EXPECT_EQ(ui.errors.size(), c.file == OpenCase::Cancel ? 0u : 1u);
        if (!ui.errors.empty()) {
            EXPECT_EQ(ui.errors[0], "Could not open the selected patient record.");
        }
        // The form is touched only when the file could be read.
        EXPECT_EQ(!engine.calls.empty(), refusedByPage);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, OpenRecordTest,
                         ::testing::Values(OpenCase{"Cancel", OpenCase::Cancel, false},
                                           OpenCase{"Missing", OpenCase::Missing, false},
                                           OpenCase{"Folder", OpenCase::Folder, false},
                                           OpenCase{"Oversized", OpenCase::Oversized, false},
                                           OpenCase{"PageRefusesTheText", OpenCase::PageRefuses,
                                                    false},
                                           OpenCase{"Record", OpenCase::Record, true},
                                           OpenCase{"JsonRecord", OpenCase::JsonRecord, true}),
                         NamedCase());

TEST_F(RecordCommandsTest, JsonRecordOpenedIsSavedBackToTheSamePath) {
    const fs::path file = root / "visit.json";
    WriteBytes(file, "{}");  // without the mark, as another program may write it
    AnswerFile(file);
    view.OpenRecord();
    view.SaveRecord(false);
    EXPECT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ReadBytes(file), kBom + pageRecord);
}

// --- New ---------------------------------------------------------------------------

TEST_F(RecordCommandsTest, NewUnbindsAppliesTheDefaultsSilentlyAndAsksNothing) {
    const fs::path file = root / "visit-0412.tolv";
    WriteBytes(file, kBom + "{}");
    AnswerFile(file);
    view.OpenRecord();
    WriteDefaults(kBom + pageDefaults);
    ui = FakeHostUi{};
    engine.calls.clear();

    view.NewRecord();

    EXPECT_EQ(engine.calls,
              (std::vector<std::string>{"newRecord();", "write:" + pageDefaults, kApplyDefaults}));
    EXPECT_EQ(view.CurrentPath(), "");
    EXPECT_EQ(ui.titles, std::vector<std::string>{"Praxora"});
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_TRUE(ui.fileRequests.empty());
}

}  // namespace
}  // namespace praxora::testing
