// Runs the form page's own test suite in the real engine (WebKitGTK), under the engine settings,
// sandbox and content filter of the program itself, and reports the result.
//
//   webkitgtk_page_runner [SUITE]            run the suite (default: the build's suite page)
//   webkitgtk_page_runner --snapshot PAGE SCRIPT OUT.png
//   webkitgtk_page_runner --pdf PAGE SCRIPT OUT.pdf
//
// PRAXORA_PAGE_TIMEOUT (seconds), PRAXORA_PAGE_ZOOM (zoom level) and PRAXORA_PAGE_WIDTH (window
// width in pixels, for the other two modes) adjust a run.
//
// The suite reports through its global function pageTestReport(): an empty text while it
// runs, then one "FAIL name: message" line per failing test and a last line "N passed, M
// failed". The suite runs twice: once in a 1200 px wide window, then as its narrow pass
// (SUITE?pass=narrow) in a 320 px wide one. The other two modes load a page, run a script in it and
// save a picture or a printed PDF of the result, for looking at the page by eye.
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/webkitgtk/webkit_content_filter.h"
#include "host/webkitgtk/webkit_engine_settings.h"
#include "host/webkitgtk/webkit_printing.h"

#ifndef PRAXORA_PAGE_SUITE
#define PRAXORA_PAGE_SUITE ""
#endif

namespace {

constexpr guint kPollMilliseconds = 100;
constexpr gint64 kDefaultTimeoutSeconds = 180;
constexpr gint kWideWidth = 1200;
constexpr gint kNarrowWidth = 320;
constexpr gint kWindowHeight = 900;

struct Run {
    GMainLoop* loop = nullptr;
    GtkWidget* window = nullptr;
    WebKitWebView* view = nullptr;
    bool loaded = false;
    bool loadFailed = false;
    bool scriptDone = false;
    bool scriptFailed = false;
    std::string scriptResult;
    bool timedOut = false;
};

std::string ToUri(const char* pathOrUri) {
    if (std::strstr(pathOrUri, "://") != nullptr) {
        return pathOrUri;
    }
    GFile* file = g_file_new_for_commandline_arg(pathOrUri);
    char* uri = g_file_get_uri(file);
    std::string result = uri;
    g_free(uri);
    g_object_unref(file);
    return result;
}

void OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer data) {
    auto* run = static_cast<Run*>(data);
    if (event == WEBKIT_LOAD_FINISHED) {
        run->loaded = true;
        g_main_loop_quit(run->loop);
    }
}

gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error, gpointer data) {
    auto* run = static_cast<Run*>(data);
    std::fprintf(stderr, "cannot load %s: %s\n", uri, error->message);
    run->loadFailed = true;
    return FALSE;
}

gboolean OnTimeout(gpointer data) {
    auto* run = static_cast<Run*>(data);
    run->timedOut = true;
    g_main_loop_quit(run->loop);
    return G_SOURCE_REMOVE;
}

gboolean OnQuitSoon(gpointer data) {
    g_main_loop_quit(static_cast<GMainLoop*>(data));
    return G_SOURCE_REMOVE;
}

void OnScriptFinished(GObject* source, GAsyncResult* result, gpointer data) {
    auto* run = static_cast<Run*>(data);
    GError* error = nullptr;
    JSCValue* value =
        webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &error);
    run->scriptDone = true;
    if (value == nullptr) {
        run->scriptFailed = true;
        run->scriptResult = error != nullptr ? error->message : "unknown error";
        g_clear_error(&error);
    } else {
        if (jsc_value_is_string(value)) {
            char* text = jsc_value_to_string(value);
            run->scriptResult = text;
            g_free(text);
        } else {
            run->scriptResult.clear();
        }
        g_object_unref(value);
    }
    g_main_loop_quit(run->loop);
}

// Runs one script in the page's main world and waits for its answer.
bool Evaluate(Run& run, const char* script, std::string& out) {
    run.scriptDone = false;
    run.scriptFailed = false;
    webkit_web_view_evaluate_javascript(run.view, script, -1, nullptr, nullptr, nullptr,
                                        OnScriptFinished, &run);
    while (!run.scriptDone && !run.timedOut) {
        g_main_loop_run(run.loop);
    }
    out = run.scriptResult;
    return run.scriptDone && !run.scriptFailed;
}

void Pause(Run& run, guint milliseconds) {
    g_timeout_add(milliseconds, OnQuitSoon, run.loop);
    g_main_loop_run(run.loop);
}

bool Load(Run& run, const std::string& pathOrUri) {
    const std::string uri = ToUri(pathOrUri.c_str());
    run.loaded = false;
    run.loadFailed = false;
    webkit_web_view_load_uri(run.view, uri.c_str());
    while (!run.loaded && !run.timedOut) {
        g_main_loop_run(run.loop);
    }
    return run.loaded && !run.loadFailed;
}

void SetWidth(Run& run, gint width) {
    gtk_window_resize(GTK_WINDOW(run.window), width, kWindowHeight);
    // Let the resize reach the view before the page lays out.
    Pause(run, 300);
}

// One pass of the suite; its report goes to standard output. True when every test passed.
bool RunPass(Run& run, const std::string& page) {
    if (!Load(run, page)) {
        std::printf("0 passed, 1 failed\n");
        return false;
    }
    std::string report;
    while (!run.timedOut) {
        if (!Evaluate(run, "typeof pageTestReport === 'function' ? pageTestReport() : ''",
                      report)) {
            std::fprintf(stderr, "cannot read the results: %s\n", report.c_str());
            return false;
        }
        if (!report.empty()) {
            break;
        }
        Pause(run, kPollMilliseconds);
    }
    if (run.timedOut) {
        std::fprintf(stderr, "the suite did not finish in time\n");
        std::printf("0 passed, 1 failed\n");
        return false;
    }
    while (!report.empty() && report.back() == '\n') {
        report.pop_back();
    }
    std::printf("%s\n", report.c_str());
    const std::size_t lastLine = report.rfind('\n');
    const std::string summary =
        lastLine == std::string::npos ? report : report.substr(lastLine + 1);
    long passed = -1;
    long failed = -1;
    if (std::sscanf(summary.c_str(), "%ld passed, %ld failed", &passed, &failed) != 2) {
        std::fprintf(stderr, "unreadable summary line\n");
        return false;
    }
    return failed == 0 && passed > 0;
}

int RunSuite(Run& run, const char* suite) {
    const std::string page = ToUri(suite);
    std::printf("default pass, %d px wide:\n", kWideWidth);
    const bool wide = RunPass(run, page);
    SetWidth(run, kNarrowWidth);
    std::printf("narrow pass, %d px wide:\n", kNarrowWidth);
    const bool narrow =
        RunPass(run, page + (page.find('?') == std::string::npos ? "?" : "&") + "pass=narrow");
    return wide && narrow ? 0 : 1;
}

struct Snapshot {
    Run* run;
    cairo_surface_t* surface = nullptr;
    bool done = false;
};

void OnSnapshot(GObject* source, GAsyncResult* result, gpointer data) {
    auto* shot = static_cast<Snapshot*>(data);
    GError* error = nullptr;
    shot->surface = webkit_web_view_get_snapshot_finish(WEBKIT_WEB_VIEW(source), result, &error);
    if (error != nullptr) {
        std::fprintf(stderr, "snapshot failed: %s\n", error->message);
        g_clear_error(&error);
    }
    shot->done = true;
    g_main_loop_quit(shot->run->loop);
}

int SaveSnapshot(Run& run, const char* page, const char* script, const char* out) {
    std::string result;
    if (!Load(run, std::string(page)) || !Evaluate(run, script, result)) {
        std::fprintf(stderr, "cannot prepare the page: %s\n", result.c_str());
        return 1;
    }
    Pause(run, 500);
    Snapshot shot{&run};
    webkit_web_view_get_snapshot(run.view, WEBKIT_SNAPSHOT_REGION_FULL_DOCUMENT,
                                 WEBKIT_SNAPSHOT_OPTIONS_NONE, nullptr, OnSnapshot, &shot);
    while (!shot.done && !run.timedOut) {
        g_main_loop_run(run.loop);
    }
    if (shot.surface == nullptr) {
        return 1;
    }
    const cairo_status_t status = cairo_surface_write_to_png(shot.surface, out);
    cairo_surface_destroy(shot.surface);
    std::printf("%s\n", result.c_str());
    return status == CAIRO_STATUS_SUCCESS ? 0 : 1;
}

int SavePdf(Run& run, const char* page, const char* script, const char* out) {
    std::string result;
    if (!Load(run, std::string(page)) || !Evaluate(run, script, result)) {
        std::fprintf(stderr, "cannot prepare the page: %s\n", result.c_str());
        return 1;
    }
    // The program's own way of printing a page to PDF, as its preview does.
    GFile* file = g_file_new_for_commandline_arg(out);
    char* outPath = g_file_get_path(file);
    g_object_unref(file);
    const bool printed = outPath != nullptr && praxora::PrintWebViewToPdf(run.view, outPath);
    g_free(outPath);
    if (!printed) {
        std::fprintf(stderr, "printing failed\n");
    }
    // The page returns to its editing view on the engine's afterprint event, a moment later.
    Pause(run, 300);
    std::string after;
    Evaluate(run, "String(document.body.className)", after);
    std::printf("%s\nbody class after printing: %s\n", result.c_str(), after.c_str());
    return printed ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    gtk_init(&argc, &argv);
    Run run;
    run.loop = g_main_loop_new(nullptr, FALSE);

    const char* timeoutText = std::getenv("PRAXORA_PAGE_TIMEOUT");
    const gint64 timeoutSeconds =
        timeoutText != nullptr ? std::atoll(timeoutText) : kDefaultTimeoutSeconds;
    g_timeout_add_seconds(static_cast<guint>(timeoutSeconds), OnTimeout, &run);

    const char* widthText = std::getenv("PRAXORA_PAGE_WIDTH");
    const gint width = widthText != nullptr ? std::atoi(widthText) : kWideWidth;
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    run.window = window;
    gtk_window_set_default_size(GTK_WINDOW(window), width, kWindowHeight);
    praxora::ConfigureEngineContext(webkit_web_context_get_default());
    run.view = WEBKIT_WEB_VIEW(webkit_web_view_new());
    praxora::ConfigureEngineSettings(run.view, false);
    if (!praxora::InstallLocalOnlyContentFilter(run.view)) {
        std::fprintf(stderr, "cannot install the content filter\n");
        return 1;
    }
    // PRAXORA_PAGE_ZOOM=2 shows the page as a user with 200% zoom sees it.
    if (const char* zoom = std::getenv("PRAXORA_PAGE_ZOOM")) {
        webkit_web_view_set_zoom_level(run.view, std::atof(zoom));
    }
    g_signal_connect(run.view, "load-changed", G_CALLBACK(OnLoadChanged), &run);
    g_signal_connect(run.view, "load-failed", G_CALLBACK(OnLoadFailed), &run);
    gtk_container_add(GTK_CONTAINER(window), GTK_WIDGET(run.view));
    gtk_widget_show_all(window);

    int status = 2;
    if (argc == 5 && std::strcmp(argv[1], "--snapshot") == 0) {
        status = SaveSnapshot(run, argv[2], argv[3], argv[4]);
    } else if (argc == 5 && std::strcmp(argv[1], "--pdf") == 0) {
        status = SavePdf(run, argv[2], argv[3], argv[4]);
    } else if (argc <= 2) {
        const char* suite = argc == 2 ? argv[1] : PRAXORA_PAGE_SUITE;
        if (*suite == '\0') {
            std::fprintf(stderr, "usage: %s [SUITE]\n", argv[0]);
        } else {
            status = RunSuite(run, suite);
        }
    } else {
        std::fprintf(stderr, "usage: %s [SUITE] | --snapshot|--pdf PAGE SCRIPT OUT\n", argv[0]);
    }
    if (run.timedOut) {
        std::fprintf(stderr, "timed out after %lld s\n", static_cast<long long>(timeoutSeconds));
        status = 1;
    }
    gtk_widget_destroy(window);
    g_main_loop_unref(run.loop);
    return status;
}
