// The script bridge against the real engine: exchange-buffer writes and reads of
// several sizes and a trivial script round trip, beside the same transfers made with
// wxWebView::RunScript, the baseline the bridge replaces.
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/webview.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench/bench_timing.h"
#include "host/form_engine_window.h"
#include "host/tolv_view.h"
#include "storage/paths.h"
#include "tests/engine/engine_wait.h"
#include "tests/fakes/fake_host_ui.h"

namespace {

using namespace std::chrono_literals;
using praxora::bench::MedianMilliseconds;

class BenchApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

std::string Filled(const std::string& unit, size_t bytes) {
    std::string text;
    text.reserve(bytes + unit.size());
    while (text.size() + unit.size() <= bytes) {
        text += unit;
    }
    return text;
}

// A JavaScript string literal for the baseline, which can only pass text inside a script.
// (wxWebView::RunScript fails any script with non-ASCII text in it; the table says so.)
std::string Literal(const std::string& text) {
    std::string literal = "\"";
    literal.reserve(text.size() + text.size() / 8 + 2);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"' || c == '\\') {
            literal += '\\';
            literal += c;
        } else if (c == '\n') {
            literal += "\\n";
        } else if (c == '\r') {
            literal += "\\r";
        } else if (text.compare(i, 3, "\xE2\x80\xA8") == 0 ||
                   text.compare(i, 3, "\xE2\x80\xA9") == 0) {
            literal += text[i + 2] == '\xA8' ? "\\u2028" : "\\u2029";
            i += 2;
        } else {
            literal += c;
        }
    }
    return literal + "\"";
}

// The baseline's time and how many times slower than ours it is, or "failed".
std::string BaselineColumns(bool carried, double baseline, double ours) {
    char columns[48];
    if (carried) {
        std::snprintf(columns, sizeof columns, "%10.2f %6.1fx", baseline, baseline / ours);
    } else {
        std::snprintf(columns, sizeof columns, "%10s %7s", "failed", "");
    }
    return columns;
}

struct Transfer {
    const char* label;
    std::string text;
    int runs;
};

}  // namespace

int main(int argc, char** argv) {
    wxApp::SetInstance(new BenchApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "bench_bridge needs a display (xvfb-run).\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    int status = 0;
    {
        auto* frame = new wxFrame(nullptr, wxID_ANY, "bridge benchmark");
        auto engine = praxora::CreateFormEngineWindow(frame, praxora::EngineOptions{});
        frame->Show();
        praxora::testing::FakeHostUi ui;
        praxora::CTolvView view(*engine, ui);
        bool loaded = false;
        view.SetDocumentCompleteListener([&](const std::string&) { loaded = true; });
        engine->Navigate(praxora::FileUrlFromPath(PRAXORA_BENCH_PAGE));
        if (!praxora::testing::RunLoopUntil([&] { return loaded; }, 30s)) {
            std::fprintf(stderr, "the benchmark page did not load\n");
            return 1;
        }
        auto* webView = static_cast<wxWebView*>(engine->GetWindow());

        const Transfer transfers[] = {
            {"20 KB ASCII", Filled("Patient record text ", 20 * 1024), 21},
            {"20 KB non-ASCII", Filled("Ärztin 张伟 😀 ", 20 * 1024), 21},
            {"1 MiB ASCII", Filled("Patient record text ", 1 << 20), 11},
            {"1 MiB non-ASCII", Filled("Ärztin 张伟 😀 ", 1 << 20), 11},
            {"16 MiB ASCII", Filled("Patient record text ", 16 << 20), 7},
            {"16 MiB non-ASCII", Filled("Ärztin 张伟 😀 ", 16 << 20), 7},
        };
        std::printf(
            "median ms; the baseline is wxWebView::RunScript, \"failed\" where it could not\n"
            "carry the text, with the ratio baseline / ours\n");
        std::printf("%-18s %10s %10s\n", "", "write", "read");
        for (const Transfer& t : transfers) {
            std::string back;
            const double write = MedianMilliseconds([&] { view.SetNativeBuffer(t.text); }, t.runs);
            const double read = MedianMilliseconds([&] { view.GetNativeBuffer(back); }, t.runs);
            if (back != t.text) {
                std::fprintf(stderr, "%s: the text did not come back whole\n", t.label);
                status = 1;
            }
            // The baseline: the text inside a script, and the value as a script's result.
            const std::string assignment =
                "document.getElementById('nativeBuffer').value=" + Literal(t.text) + ";";
            view.SetNativeBuffer("");  // so that a baseline write that did nothing shows
            bool baselineWrote = true;
            const double baseWrite = MedianMilliseconds(
                [&] { baselineWrote = webView->RunScript(assignment) && baselineWrote; }, t.runs);
            baselineWrote = baselineWrote && view.GetNativeBuffer(back) && back == t.text;

            view.SetNativeBuffer(t.text);
            wxString baseBack;
            const double baseRead = MedianMilliseconds(
                [&] {
                    webView->RunScript("document.getElementById('nativeBuffer').value", &baseBack);
                },
                t.runs);
            const bool baselineRead = baseBack.utf8_string() == t.text;

            std::printf("%-18s %10.2f %10.2f   base write %s   base read %s\n", t.label, write,
                        read, BaselineColumns(baselineWrote, baseWrite, write).c_str(),
                        BaselineColumns(baselineRead, baseRead, read).c_str());
        }

        const double trivial = MedianMilliseconds([&] { view.RunScript("void 0;"); }, 201);
        const double baseTrivial = MedianMilliseconds([&] { webView->RunScript("void 0;"); }, 201);
        std::printf("%-18s %10.3f %10s   base       %10.3f %6.1fx\n", "RunScript trivial", trivial,
                    "", baseTrivial, baseTrivial / trivial);
        frame->Destroy();
    }
    wxEntryCleanup();
    return status;
}
