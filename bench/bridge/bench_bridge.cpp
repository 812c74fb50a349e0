// The script bridge against the real engine: exchange-buffer writes and reads of
// several sizes and a trivial script round trip, measured in one run for three paths:
// ours (the web-process extension), the isolated-world scripts the host used before
// it, and wxWebView::RunScript. Then where the time of a 16 MiB transfer goes.
#include <webkit2/webkit2.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/webview.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
#include "bench/bridge/isolated_world_buffer.h"
#include "host/form_engine_window.h"
#include "host/tolv_view.h"
#include "host/webkitgtk/extension/utf16_to_utf8.h"
#include "host/webkitgtk/extension/utf8_to_utf16.h"
#include "storage/paths.h"
#include "storage/utf8_codec.h"
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

// A baseline's time and how many times slower than ours it is, or "failed".
std::string BaselineColumn(bool carried, double baseline, double ours) {
    char column[48];
    if (carried) {
        std::snprintf(column, sizeof column, "%8.2f %5.1fx", baseline, baseline / ours);
    } else {
        std::snprintf(column, sizeof column, "%8s %6s", "failed", "");
    }
    return column;
}

struct Transfer {
    const char* label;
    std::string text;
    int runs;
};

struct Row {
    double write = 0;
    double read = 0;
    bool wrote = true;
    bool readBack = true;
};

// Runs a script in the page's main world that leaves its answer in the buffer, and
// reads that answer back.
std::string PageAnswer(praxora::CTolvView& view, const std::string& script) {
    std::string answer;
    if (!view.RunScript(script) || !view.GetNativeBuffer(answer)) {
        return "?";
    }
    return answer;
}

// Milliseconds the page's own work takes on the buffer's value, median of 5 inside the
// page: the value getter and setter, and the engine's UTF-16 to UTF-8 and back
// (TextEncoder and TextDecoder stand in for its conversions).
constexpr const char* kPageCostScript =
    "(function(){var e=document.getElementById('nativeBuffer');"
    "function med(f){var t=[];for(var i=0;i<5;i++){var s=performance.now();f(i);"
    "t.push(performance.now()-s);}t.sort(function(a,b){return a-b;});return t[2];}"
    "var v=e.value;var w=v.slice(1)+v[0];w.charCodeAt(0);"
    "var get=med(function(){v=e.value;v.length;});"
    "var bytes;var enc=med(function(){bytes=new TextEncoder().encode(v);});"
    "var dec=med(function(){new TextDecoder().decode(bytes).length;});"
    "var set=med(function(i){e.value=(i%2)?v:w;});"
    "e.value=[get,set,enc,dec].map(function(x){return x.toFixed(1);}).join(' ');})();";

// Where the time of a 16 MiB transfer goes, on the way out (read) and in (write).
void PrintBreakdown(praxora::CTolvView& view, const Transfer& t, const Row& ours) {
    using praxora::bench::MedianMilliseconds;
    view.SetNativeBuffer("");
    std::string back;
    const double emptyRead = MedianMilliseconds([&] { view.GetNativeBuffer(back); }, 21);
    const double emptyWrite = MedianMilliseconds([&] { view.SetNativeBuffer(""); }, 21);

    // Ours in the host: the reply's bytes into the caller's text (read); the check,
    // the NUL search and the copy into the message (write).
    std::string copy;
    const double hostRead = MedianMilliseconds(
        [&] { copy.assign(t.text.data(), std::min(t.text.find('\0'), t.text.size())); }, t.runs);
    const double hostWrite = MedianMilliseconds(
        [&] {
            const size_t size = std::min(t.text.find('\0'), t.text.size());
            if (praxora::utf8::ValidPrefixLength(t.text.data(), size) == size) {
                GBytes* bytes = g_bytes_new(t.text.data(), size);
                g_bytes_unref(bytes);
            }
        },
        t.runs);

    // The extension's own conversions, here on the same text, each into fresh memory
    // as there.
    glong unitCount = 0;
    std::unique_ptr<gunichar2, decltype(&g_free)> units(
        g_utf8_to_utf16(t.text.data(), static_cast<glong>(t.text.size()), nullptr, &unitCount,
                        nullptr),
        &g_free);
    const size_t count = static_cast<size_t>(unitCount);
    const double toUtf8 = MedianMilliseconds(
        [&] {
            std::unique_ptr<char[]> out(new char[praxora::extension::MaxUtf8Size(count) + 1]);
            praxora::extension::Utf16ToUtf8(reinterpret_cast<const std::uint16_t*>(units.get()),
                                            count, out.get());
        },
        t.runs);
    const double toUtf16 = MedianMilliseconds(
        [&] {
            std::unique_ptr<std::uint16_t[]> out(new std::uint16_t[t.text.size()]);
            praxora::extension::Utf8ToUtf16(t.text.data(), t.text.size(), out.get());
        },
        t.runs);
    const bool ascii = count == t.text.size();

    view.SetNativeBuffer(t.text);
    const std::string page = PageAnswer(view, kPageCostScript);
    double get = 0, set = 0, encode = 0, decode = 0;
    if (std::sscanf(page.c_str(), "%lf %lf %lf %lf", &get, &set, &encode, &decode) != 4) {
        std::printf("%s: the page did not report its costs\n", t.label);
        return;
    }
    std::printf("%s (%zu UTF-16 units in the page)\n", t.label, count);
    std::printf(
        "  read  %6.1f = round trip %.2f + value getter %.1f + our UTF-16 to UTF-8 %.1f"
        " + ours in the host %.1f + IPC copies and the rest %.1f\n"
        "        (the engine's own UTF-8 conversion, which the extension avoids: ~%.1f)\n",
        ours.read, emptyRead, get, toUtf8, hostRead,
        ours.read - emptyRead - get - toUtf8 - hostRead, encode);
    if (ascii) {
        std::printf(
            "        (the rest includes the engine widening its one-byte string to UTF-16"
            " for us)\n");
    }
    const double decoding = ascii ? decode : toUtf16;
    std::printf(
        "  write %6.1f = round trip %.2f + ours in the host %.1f + %s UTF-8 to UTF-16 %.1f"
        " + value setter %.1f + IPC copies and the rest %.1f\n",
        ours.write, emptyWrite, hostWrite, ascii ? "the engine's" : "our", decoding, set,
        ours.write - emptyWrite - hostWrite - decoding - set);
}

}  // namespace

int main(int argc, char** argv) {
    using praxora::BufferAccess;
    using praxora::bench::MedianMilliseconds;
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
        auto* nativeView = WEBKIT_WEB_VIEW(webView->GetNativeBackend());

        const Transfer transfers[] = {
            {"30 KB ASCII", Filled("Patient record text ", size_t{30} * 1000), 41},
            {"30 KB non-ASCII", Filled("Ärztin 张伟 😀 ", size_t{30} * 1000), 41},
            {"1 MiB ASCII", Filled("Patient record text ", 1 << 20), 11},
            {"1 MiB non-ASCII", Filled("Ärztin 张伟 😀 ", 1 << 20), 11},
            {"16 MiB ASCII", Filled("Patient record text ", 16 << 20), 9},
            {"16 MiB non-ASCII", Filled("Ärztin 张伟 😀 ", 16 << 20), 9},
        };
        std::printf(
            "median ms. ours: the web-process extension; script: the isolated-world scripts\n"
            "used before it; RunScript: wxWebView::RunScript (\"failed\" where it could not\n"
            "carry the text). Beside each baseline: how many times slower than ours.\n");
        std::printf("%-18s %8s %8s   %-15s %-15s   %-15s %-15s\n", "", "write", "read",
                    "script write", "script read", "RunScript write", "RunScript read");
        Row sixteen[2];
        for (const Transfer& t : transfers) {
            // The three paths take turns in every round, so that a change in the
            // machine's load falls on all of them alike.
            const std::string assignment =
                "document.getElementById('nativeBuffer').value=" + Literal(t.text) + ";";
            std::vector<double> times[6];
            Row ours, script, base;
            std::string back;
            wxString baseBack;
            const auto timed = [&](int column, const std::function<void()>& run) {
                const auto start = praxora::bench::Clock::now();
                run();
                times[column].push_back(
                    praxora::bench::Milliseconds(praxora::bench::Clock::now() - start));
            };
            for (int round = 0; round < t.runs; ++round) {
                view.SetNativeBuffer("");  // so that a write that did nothing shows
                timed(0, [&] { ours.wrote = view.SetNativeBuffer(t.text) && ours.wrote; });
                timed(1, [&] { ours.readBack = view.GetNativeBuffer(back) && ours.readBack; });
                ours.readBack = ours.readBack && back == t.text;

                view.SetNativeBuffer("");
                timed(2, [&] {
                    script.wrote = praxora::bench::ScriptWriteBuffer(nativeView, t.text) ==
                                       BufferAccess::Done &&
                                   script.wrote;
                });
                timed(3, [&] { praxora::bench::ScriptReadBuffer(nativeView, back); });
                script.readBack = script.readBack && back == t.text;

                // The baseline: the text inside a script, the value as a script's result.
                view.SetNativeBuffer("");
                timed(4, [&] { base.wrote = webView->RunScript(assignment) && base.wrote; });
                base.wrote = base.wrote && view.GetNativeBuffer(back) && back == t.text;
                view.SetNativeBuffer(t.text);
                timed(5, [&] {
                    webView->RunScript("document.getElementById('nativeBuffer').value", &baseBack);
                });
                base.readBack = base.readBack && baseBack.utf8_string() == t.text;
            }
            if (!ours.wrote || !ours.readBack) {
                std::fprintf(stderr, "%s: the text did not come back whole\n", t.label);
                status = 1;
            }
            Row* rows[] = {&ours, &script, &base};
            for (size_t path = 0; path < 3; ++path) {
                rows[path]->write = praxora::bench::Median(times[2 * path]);
                rows[path]->read = praxora::bench::Median(times[2 * path + 1]);
            }
            std::printf("%-18s %8.2f %8.2f   %s %s   %s %s\n", t.label, ours.write, ours.read,
                        BaselineColumn(script.wrote, script.write, ours.write).c_str(),
                        BaselineColumn(script.readBack, script.read, ours.read).c_str(),
                        BaselineColumn(base.wrote, base.write, ours.write).c_str(),
                        BaselineColumn(base.readBack, base.read, ours.read).c_str());
            if (&t == &transfers[4] || &t == &transfers[5]) {
                sixteen[&t == &transfers[4] ? 0 : 1] = ours;
            }
        }

        const double trivial = MedianMilliseconds([&] { view.RunScript("void 0;"); }, 201);
        const double baseTrivial = MedianMilliseconds([&] { webView->RunScript("void 0;"); }, 201);
        std::printf("%-18s %8.3f %8s   %15s %15s   %s\n", "RunScript trivial", trivial, "", "", "",
                    BaselineColumn(true, baseTrivial, trivial).c_str());

        std::printf(
            "\nwhere ours goes at 16 MiB, ms: the page's parts measured inside it, the\n"
            "conversions here on the same text, the rest by difference\n");
        PrintBreakdown(view, transfers[4], sixteen[0]);
        PrintBreakdown(view, transfers[5], sixteen[1]);
        frame->Destroy();
    }
    wxEntryCleanup();
    return status;
}
