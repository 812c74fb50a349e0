// Print and preview: the packet is prepared once before each command is given.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/unit/view_fixture.h"

namespace praxora::testing {
namespace {

namespace fs = std::filesystem;
using PrintingTest = ViewFixture;

TEST_F(PrintingTest, PrintPreparesThePacketThenGivesTheCommandEachTime) {
    view.Print();
    view.Print();
    EXPECT_EQ(engine.calls,
              (std::vector<std::string>{kPreparePrint, "print", kPreparePrint, "print"}));
}

TEST_F(PrintingTest, FailingPacketScriptStillPrintsWhatIsDisplayed) {
    engine.failingScripts.push_back(kPreparePrint);
    view.Print();
    view.PrintPreview();
    EXPECT_EQ(engine.calls,
              (std::vector<std::string>{kPreparePrint, "print", kPreparePrint, "pdf"}));
    EXPECT_EQ(ui.previews.size(), 1u);
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(PrintingTest, PreviewShowsAPrivatePdfThatIsGoneAfterwards) {
    bool checked = false;
    ui.whilePreviewOpen = [&](const std::string& pdfPath, const std::function<void()>& print) {
        const fs::path folder = fs::path(pdfPath).parent_path();
        struct stat info {};
        ASSERT_EQ(stat(folder.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
        WriteBytes(pdfPath, "%PDF-1.4");  // what the engine would have written
        // Print... from the preview prepares the packet again and opens the dialog.
        engine.calls.clear();
        print();
        EXPECT_EQ(engine.calls, (std::vector<std::string>{kPreparePrint, "print"}));
        checked = true;
    };
    view.PrintPreview();
    ASSERT_TRUE(checked);
    ASSERT_EQ(engine.pdfPaths.size(), 1u);
    EXPECT_EQ(ui.previews, engine.pdfPaths);
    EXPECT_FALSE(fs::exists(fs::path(engine.pdfPaths[0]).parent_path()));
}

TEST_F(PrintingTest, FailedPdfShowsNoPreviewAndLeavesNothing) {
    engine.pdfPrintFails = true;
    view.PrintPreview();
    EXPECT_TRUE(ui.previews.empty());
    ASSERT_EQ(engine.pdfPaths.size(), 1u);
    EXPECT_FALSE(fs::exists(fs::path(engine.pdfPaths[0]).parent_path()));
}

}  // namespace
}  // namespace praxora::testing
