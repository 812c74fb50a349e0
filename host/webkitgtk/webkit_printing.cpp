#include "host/webkitgtk/webkit_printing.h"

#include <gtk/gtk.h>

#include "host/webkitgtk/main_loop_wait.h"

namespace praxora {

namespace {

constexpr unsigned kPdfTimeoutMilliseconds = 60'000;

GtkPageSetup* NewLetterPageSetup() {
    GtkPageSetup* setup = gtk_page_setup_new();
    GtkPaperSize* letter = gtk_paper_size_new(GTK_PAPER_NAME_LETTER);
    gtk_page_setup_set_paper_size_and_default_margins(setup, letter);
    gtk_paper_size_free(letter);
    return setup;
}

struct PdfPrinting {
    bool ended = false;
    bool failed = false;
};

void OnPdfFinished(WebKitPrintOperation*, gpointer data) {
    static_cast<PdfPrinting*>(data)->ended = true;
}

void OnPdfFailed(WebKitPrintOperation*, GError*, gpointer data) {
    auto* printing = static_cast<PdfPrinting*>(data);
    printing->failed = true;
}

}  // namespace

void PrintWebViewWithDialog(WebKitWebView* view) {
    GtkWidget* toplevel = gtk_widget_get_toplevel(GTK_WIDGET(view));
    GtkWindow* owner = gtk_widget_is_toplevel(toplevel) ? GTK_WINDOW(toplevel) : nullptr;
    WebKitPrintOperation* operation = webkit_print_operation_new(view);
    GtkPageSetup* setup = NewLetterPageSetup();
    webkit_print_operation_set_page_setup(operation, setup);
    // Modal: returns when the dialog closes; the engine prints on from there.
    webkit_print_operation_run_dialog(operation, owner);
    g_object_unref(setup);
    g_object_unref(operation);
}

bool PrintWebViewToPdf(WebKitWebView* view, const std::string& path) {
    gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
    if (uri == nullptr) {
        return false;
    }
    GtkPrintSettings* settings = gtk_print_settings_new();
    gtk_print_settings_set_printer(settings, "Print to File");
    gtk_print_settings_set(settings, GTK_PRINT_SETTINGS_OUTPUT_FILE_FORMAT, "pdf");
    gtk_print_settings_set(settings, GTK_PRINT_SETTINGS_OUTPUT_URI, uri);
    g_free(uri);
    GtkPageSetup* setup = NewLetterPageSetup();

    WebKitPrintOperation* operation = webkit_print_operation_new(view);
    webkit_print_operation_set_print_settings(operation, settings);
    webkit_print_operation_set_page_setup(operation, setup);
    // "finished" follows "failed" too; the flags outlive the wait only through the
    // handlers, which are disconnected before they go.
    PdfPrinting printing;
    const gulong finished =
        g_signal_connect(operation, "finished", G_CALLBACK(OnPdfFinished), &printing);
    const gulong failed = g_signal_connect(operation, "failed", G_CALLBACK(OnPdfFailed), &printing);
    webkit_print_operation_print(operation);
    const bool ended = IterateMainLoopUntil(printing.ended, kPdfTimeoutMilliseconds);
    g_signal_handler_disconnect(operation, finished);
    g_signal_handler_disconnect(operation, failed);
    g_object_unref(operation);
    g_object_unref(setup);
    g_object_unref(settings);
    return ended && !printing.failed;
}

}  // namespace praxora
