#pragma once

#include <stdlib.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "host/form_engine_window.h"
#include "host/tolv_view.h"
#include "tests/engine/engine_wait.h"

namespace praxora::bench {

// What a benchmark on the real form page needs: the toolkit, a data folder of its own
// (no user's defaults are read or written), and a shown frame with the engine in it.
class FormPageBench {
public:
    FormPageBench(int argc, char** argv, const char* title) {
        wxApp::SetInstance(new App);
        if (!wxEntryStart(argc, argv)) {
            std::fprintf(stderr, "needs a display (xvfb-run)\n");
            return;
        }
        m_started = true;
        wxTheApp->CallOnInit();
        std::string pattern =
            (std::filesystem::temp_directory_path() / "praxora-bench-XXXXXX").string();
        m_root = mkdtemp(pattern.data());
        setenv("XDG_DATA_HOME", (m_root / "data").c_str(), 1);
        m_frame = new wxFrame(nullptr, wxID_ANY, title, wxDefaultPosition, wxSize(1280, 1000));
        m_engine = CreateFormEngineWindow(m_frame, EngineOptions{});
        if (!m_engine) {
            std::fprintf(stderr, "no engine\n");
        }
    }
    ~FormPageBench() {
        if (m_frame != nullptr) {
            m_frame->Destroy();
        }
        m_engine.reset();
        if (m_started) {
            testing::RunLoopFor(std::chrono::milliseconds(100));
            std::filesystem::remove_all(m_root);
            wxEntryCleanup();
        }
    }
    FormPageBench(const FormPageBench&) = delete;
    FormPageBench& operator=(const FormPageBench&) = delete;

    bool Ok() const { return m_engine != nullptr; }
    IFormEngine& Engine() { return *m_engine; }
    wxFrame* Frame() { return m_frame; }
    const std::filesystem::path& Root() const { return m_root; }

    // Shows the frame, loads the form page into the view and waits until it completed.
    bool LoadPage(CTolvView& view) {
        int completed = 0;
        view.SetDocumentCompleteListener([&](const std::string&) { ++completed; });
        m_frame->Show();
        view.OnInitialUpdate();
        const bool loaded =
            testing::RunLoopUntil([&] { return completed > 0; }, std::chrono::seconds(30));
        view.SetDocumentCompleteListener(nullptr);
        if (!loaded) {
            std::fprintf(stderr, "the page did not load\n");
        }
        return loaded;
    }

private:
    class App : public wxApp {
    public:
        bool OnInit() override { return true; }
    };

    bool m_started = false;
    std::filesystem::path m_root;
    wxFrame* m_frame = nullptr;
    std::unique_ptr<CFormEngineWindow> m_engine;
};

}  // namespace praxora::bench
