#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <wx/frame.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "host/tolv_view_window.h"
#include "tests/engine/engine_wait.h"
#include "tests/engine/page_fields.h"
#include "tests/fakes/fake_host_ui.h"

namespace praxora::testing {

using namespace std::chrono_literals;

// The real form page from the build tree in a real engine, with dialogs answered by
// the fake UI and a data folder of its own for each test.
class FormWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "praxora-engine-XXXXXX").string();
        root = mkdtemp(pattern.data());
        setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
        frame = new wxFrame(nullptr, wxID_ANY, "form window test");
        window = new CTolvViewWindow(frame, ui, EngineOptions{},
                                     CTolvView::Options{std::string(PRAXORA_BIN_DIR) + "/praxora"});
        ASSERT_TRUE(window->IsReady());
        View().SetDocumentCompleteListener([this](const std::string&) { ++completed; });
        frame->Show();
        View().OnInitialUpdate();
        WaitForDocuments(1);
    }
    void TearDown() override {
        frame->Destroy();
        RunLoopFor(50ms);
        unsetenv("XDG_DATA_HOME");
        std::filesystem::remove_all(root);
    }

    CTolvView& View() { return window->View(); }
    void WaitForDocuments(int count) {
        ASSERT_TRUE(RunLoopUntil([&] { return completed >= count; }, 15s));
    }
    // The page's value of a field, read back through the buffer.
    std::string Field(const std::string& name) { return ReadPageField(View(), name); }
    void SetField(const std::string& name, const std::string& value) {
        ASSERT_TRUE(View().RunScript("document.querySelector('[name=\"" + name + "\"]').value='" +
                                     value + "';"));
    }
    void AnswerFile(const std::filesystem::path& path) {
        ui.fileAnswers.push_back(FileDialogChoice{path.string(), 0});
    }
    static std::string ReadBytes(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::filesystem::path root;
    FakeHostUi ui;
    wxFrame* frame = nullptr;
    CTolvViewWindow* window = nullptr;
    int completed = 0;
};

}  // namespace praxora::testing
