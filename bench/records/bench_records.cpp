// Save and Open of a patient record on the real engine with the real page, dialogs
// answered at once: the host's time of each command, split into page scripts, buffer
// transfer and the rest (the file). A typical filled record (the page's test data, about
// 30 KB) and one of 16 MiB, whose bulk is a member the page keeps without showing it, so
// the figure is the host's and not the layout of a huge field.
// (64 KiB below the reading limit: the page writes its record back a little larger.)
#include <stdlib.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
#include "bench/timing_engine.h"
#include "host/form_engine_window.h"
#include "host/tolv_view.h"
#include "storage/utf8_text_file.h"
#include "tests/engine/engine_wait.h"
#include "tests/fakes/fake_host_ui.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace praxora;
using praxora::bench::Clock;
using praxora::bench::Median;
using praxora::bench::Milliseconds;

class BenchApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

struct Split {
    std::vector<double> total, script, buffer, rest;
    void Add(double totalMs, const bench::TimingEngine& timing) {
        total.push_back(totalMs);
        script.push_back(timing.scriptMs);
        buffer.push_back(timing.bufferMs);
        rest.push_back(totalMs - timing.scriptMs - timing.bufferMs);
    }
    void Print(const char* command, const std::string& size) const {
        std::printf("| %-7s | %-8s | %8.2f | %8.2f | %8.2f | %8.2f |\n", command, size.c_str(),
                    Median(total), Median(script), Median(buffer), Median(rest));
    }
};

// The page's own record with an extra member of the given size after its first brace.
std::string RecordOfSize(const std::string& record, size_t bytes) {
    if (record.size() >= bytes) {
        return record;
    }
    const std::string head = "{\"benchBulk\":\"";
    std::string bulk(bytes - record.size() - head.size() - 2, 'x');
    return head + bulk + "\"," + record.substr(1);
}

}  // namespace

int main(int argc, char** argv) {
    wxApp::SetInstance(new BenchApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "needs a display (xvfb-run)\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    std::string pattern = (fs::temp_directory_path() / "praxora-bench-XXXXXX").string();
    const fs::path root = mkdtemp(pattern.data());
    setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);

    auto* frame =
        new wxFrame(nullptr, wxID_ANY, "bench records", wxDefaultPosition, wxSize(1200, 900));
    std::unique_ptr<CFormEngineWindow> engine = CreateFormEngineWindow(frame, EngineOptions{});
    if (!engine) {
        std::fprintf(stderr, "no engine\n");
        return 1;
    }
    bench::TimingEngine timing(*engine);
    testing::FakeHostUi ui;
    CTolvView view(timing, ui);
    int completed = 0;
    view.SetDocumentCompleteListener([&](const std::string&) { ++completed; });
    frame->Show();
    view.OnInitialUpdate();
    if (!testing::RunLoopUntil([&] { return completed > 0; }, 30s)) {
        std::fprintf(stderr, "the page did not load\n");
        return 1;
    }

    view.FillTestData();
    std::string record;
    view.RunScript("document.getElementById('nativeBuffer').value=collectRecord();");
    view.GetNativeBuffer(record);

    std::printf("Save (bound file, no dialog) and Open (answered dialog), median ms\n\n");
    std::printf("| command | record   | total    | scripts  | buffer   | file+rest|\n");
    std::printf("|---------|----------|----------|----------|----------|----------|\n");
    struct Size {
        std::string name;
        size_t bytes;
        int runs;
    };
    const std::vector<Size> sizes = {{"30 KB", 30 * 1024, 21},
                                     {"1 MiB", 1024 * 1024, 11},
                                     {"16 MiB", kMaxUtf8TextFileSize - 65536, 7}};
    for (const Size& size : sizes) {
        const fs::path file = root / ("record-" + std::to_string(size.bytes) + ".tolv");
        WriteUtf8TextFile(file.string(), RecordOfSize(record, size.bytes));
        Split open;
        Split save;
        for (int run = 0; run < size.runs; ++run) {
            ui.fileAnswers.push_back(FileDialogChoice{file.string(), 0});
            timing.Reset();
            auto start = Clock::now();
            view.OpenRecord();
            open.Add(Milliseconds(Clock::now() - start), timing);

            timing.Reset();
            start = Clock::now();
            view.SaveRecord(false);
            save.Add(Milliseconds(Clock::now() - start), timing);
        }
        if (!ui.errors.empty()) {
            std::fprintf(stderr, "a command failed: %s\n", ui.errors.front().c_str());
            return 1;
        }
        std::printf("| %-7s | %-8s | bytes on disk: %ju\n", "", size.name.c_str(),
                    static_cast<uintmax_t>(fs::file_size(file)));
        save.Print("Save", size.name);
        open.Print("Open", size.name);
    }

    frame->Destroy();
    engine.reset();
    testing::RunLoopFor(100ms);
    fs::remove_all(root);
    wxEntryCleanup();
    return 0;
}
