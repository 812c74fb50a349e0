// Print preview on the real engine with the real page filled with test data: the time
// from the preview command to the first page drawn in the preview window, and the time
// to draw one page at fit-width zoom.
#include <wx/frame.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/preview/print_preview_dialog.h"
#include "bench/bench_timing.h"
#include "bench/form_page_bench.h"
#include "host/tolv_view.h"
#include "tests/engine/engine_wait.h"
#include "tests/fakes/fake_host_ui.h"

namespace {

using namespace std::chrono_literals;
using namespace praxora;
using praxora::bench::Clock;
using praxora::bench::Median;
using praxora::bench::Milliseconds;

// Shows the preview as the program does, but not modally: it closes once drawn.
class PreviewUi : public testing::FakeHostUi {
public:
    wxWindow* owner = nullptr;
    Clock::time_point commandStart;
    std::vector<double> firstPageMs;
    std::vector<double> pageDrawMs;
    int pages = 0;

    void ShowPrintPreview(const std::string& pdfPath, const std::function<void()>&) override {
        auto document = OpenPdfDocument(pdfPath);
        if (!document) {
            return;
        }
        bool drawn = false;
        auto* dialog = new CPrintPreviewDialog(owner, std::move(document), {});
        dialog->SetFirstPageDrawnListener([&] {
            firstPageMs.push_back(Milliseconds(Clock::now() - commandStart));
            drawn = true;
        });
        dialog->SetFit(CPrintPreviewDialog::Fit::Width);
        dialog->Show();
        testing::RunLoopUntil([&] { return drawn; }, 10s);
        pages = dialog->PageCount();
        const double scale = dialog->Scale();
        dialog->Destroy();

        // Drawing alone, every page at the scale fit width gives in that window.
        auto again = OpenPdfDocument(pdfPath);
        for (int page = 0; page < again->PageCount(); ++page) {
            const auto start = Clock::now();
            const wxBitmap bitmap = again->RenderPage(page, scale);
            pageDrawMs.push_back(Milliseconds(Clock::now() - start));
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    bench::FormPageBench session(argc, argv, "bench print");
    if (!session.Ok()) {
        return 1;
    }
    PreviewUi ui;
    ui.owner = session.Frame();
    CTolvView view(session.Engine(), ui);
    if (!session.LoadPage(view)) {
        return 1;
    }
    view.FillTestData();

    constexpr int kRuns = 7;
    for (int run = 0; run < kRuns; ++run) {
        ui.commandStart = Clock::now();
        view.PrintPreview();
        testing::RunLoopFor(300ms);  // the page goes back to the form between runs
    }
    std::printf("preview of the test data, %d pages, %zu runs\n", ui.pages, ui.firstPageMs.size());
    std::printf("| preview command to first page drawn | median %.1f ms |\n",
                Median(ui.firstPageMs));
    std::printf("| one page drawn at fit width         | median %.1f ms |\n",
                Median(ui.pageDrawMs));

    return ui.firstPageMs.size() == kRuns ? 0 : 1;
}
