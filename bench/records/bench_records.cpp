// Save and Open of a patient record on the real engine with the real page, dialogs
// answered at once: the host's time of each command, split into page scripts, buffer
// transfer and the rest (the file). A typical filled record (the page's test data, about
// 30 KB) and one of 16 MiB, whose bulk is a member the page keeps without showing it, so
// the figure is the host's and not the layout of a huge field.
// (64 KiB below the reading limit: the page writes its record back a little larger.)

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
#include "bench/form_page_bench.h"
#include "bench/timing_engine.h"
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
    bench::FormPageBench session(argc, argv, "bench records");
    if (!session.Ok()) {
        return 1;
    }
    bench::TimingEngine timing(session.Engine());
    testing::FakeHostUi ui;
    CTolvView view(timing, ui);
    if (!session.LoadPage(view)) {
        return 1;
    }
    const fs::path& root = session.Root();

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

    return 0;
}
