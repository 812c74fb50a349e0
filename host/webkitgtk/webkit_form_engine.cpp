// The form engine on WebKitGTK: wxWebView shows the page and reports navigations;
// the script bridge and printing use WebKitGTK's own API on the same web view.
#include <webkit2/webkit2.h>
#include <wx/webview.h>

#include <memory>
#include <string>

#include "host/form_engine_window.h"
#include "host/webkitgtk/webkit_buffer_channel.h"
#include "host/webkitgtk/webkit_content_filter.h"
#include "host/webkitgtk/webkit_engine_settings.h"
#include "host/webkitgtk/webkit_printing.h"
#include "host/webkitgtk/webkit_script_runner.h"

namespace praxora {

namespace {

void ConfigureContext(WebKitWebContext* context) {
    // The sandbox must be set before the context starts its first web process.
    if (!webkit_web_context_get_sandbox_enabled(context)) {
        webkit_web_context_set_sandbox_enabled(context, TRUE);
    }
    webkit_web_context_set_cache_model(context, WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);
    LoadBufferExtension(context);
}

void ConfigureSettings(WebKitWebView* view, const EngineOptions& options) {
    ConfigureEngineSettings(view, options.developerTools);
}

gboolean SuppressContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent*, WebKitHitTestResult*,
                             gpointer) {
    return TRUE;
}

class CWebKitFormEngine final : public CFormEngineWindow {
public:
    CWebKitFormEngine(wxWindow* parent, const EngineOptions& options) {
        ConfigureContext(webkit_web_context_get_default());
        m_webView = wxWebView::New(parent, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize,
                                   wxWebViewBackendWebKit);
        if (m_webView == nullptr) {
            return;
        }
        m_view = WEBKIT_WEB_VIEW(m_webView->GetNativeBackend());
        ConfigureContext(webkit_web_view_get_context(m_view));
        ConfigureSettings(m_view, options);
        if (!options.developerTools) {
            g_signal_connect(m_view, "context-menu", G_CALLBACK(SuppressContextMenu), nullptr);
        }
        if (!InstallLocalOnlyContentFilter(m_view)) {
            // Without the filter the page could reach the network: show nothing.
            m_webView->Destroy();
            m_webView = nullptr;
            m_view = nullptr;
            return;
        }
        m_webView->Bind(wxEVT_WEBVIEW_NAVIGATING, &CWebKitFormEngine::OnNavigating, this);
        m_webView->Bind(wxEVT_WEBVIEW_NAVIGATED, &CWebKitFormEngine::OnNavigated, this);
        m_webView->Bind(wxEVT_WEBVIEW_LOADED, &CWebKitFormEngine::OnLoaded, this);
        m_webView->Bind(wxEVT_WEBVIEW_NEWWINDOW, &CWebKitFormEngine::OnNewWindow, this);
    }

    ~CWebKitFormEngine() override {
        if (m_webView != nullptr) {
            m_webView->Unbind(wxEVT_WEBVIEW_NAVIGATING, &CWebKitFormEngine::OnNavigating, this);
            m_webView->Unbind(wxEVT_WEBVIEW_NAVIGATED, &CWebKitFormEngine::OnNavigated, this);
            m_webView->Unbind(wxEVT_WEBVIEW_LOADED, &CWebKitFormEngine::OnLoaded, this);
            m_webView->Unbind(wxEVT_WEBVIEW_NEWWINDOW, &CWebKitFormEngine::OnNewWindow, this);
        }
    }

    bool IsValid() const { return m_view != nullptr; }

    wxWindow* GetWindow() override { return m_webView; }

    void SetEventSink(IFormEngineEvents* sink) override { m_sink = sink; }

    void Navigate(const std::string& url) override {
        m_navigationRequested = true;
        m_webView->LoadURL(wxString::FromUTF8(url));
    }

    bool RunScript(const std::string& script) override {
        return m_hasDocument && Runner().RunScript(script);
    }

    ElementLookupStatus LookupBufferElement(BufferElementInfo& element) override {
        if (!m_hasDocument) {
            return ElementLookupStatus::NoDocument;
        }
        return Runner().LookupBufferElement(element);
    }

    BufferAccess WriteBuffer(const std::string& text) override {
        return m_hasDocument ? Runner().WriteBuffer(text) : BufferAccess::NoDocument;
    }

    BufferAccess ReadBuffer(std::string& text) override {
        return m_hasDocument ? Runner().ReadBuffer(text) : BufferAccess::NoDocument;
    }

    void PrintWithDialog() override { PrintWebViewWithDialog(m_view); }

    bool PrintToPdf(const std::string& path) override { return PrintWebViewToPdf(m_view, path); }

private:
    WebKitScriptRunner Runner() { return WebKitScriptRunner(m_view); }

    // A link that asks for a new window is judged like any navigation; no second
    // window is ever opened, so an ordinary address there goes nowhere.
    void OnNewWindow(wxWebViewEvent& event) {
        if (m_sink != nullptr) {
            m_sink->OnBeforeNavigate(event.GetURL().utf8_string());
        }
    }

    void OnNavigating(wxWebViewEvent& event) {
        if (m_sink != nullptr && m_sink->OnBeforeNavigate(event.GetURL().utf8_string())) {
            event.Veto();
        }
    }

    // The web view starts on a blank page of its own, which may still finish loading
    // after our first navigation has begun; it is no document of ours.
    bool IsOwnDocument(const wxWebViewEvent& event) const {
        return m_navigationRequested && (m_hasDocument || event.GetURL() != "about:blank");
    }

    // A document exists from the moment a navigation of ours commits.
    void OnNavigated(wxWebViewEvent& event) {
        if (IsOwnDocument(event)) {
            m_hasDocument = true;
        }
    }

    void OnLoaded(wxWebViewEvent& event) {
        if (!IsOwnDocument(event)) {
            return;
        }
        m_hasDocument = true;
        if (m_sink != nullptr) {
            m_sink->OnDocumentComplete(event.GetURL().utf8_string());
        }
    }

    wxWebView* m_webView = nullptr;
    WebKitWebView* m_view = nullptr;
    IFormEngineEvents* m_sink = nullptr;
    bool m_navigationRequested = false;
    bool m_hasDocument = false;
};

}  // namespace

std::unique_ptr<CFormEngineWindow> CreateFormEngineWindow(wxWindow* parent,
                                                          const EngineOptions& options) {
    auto engine = std::make_unique<CWebKitFormEngine>(parent, options);
    if (!engine->IsValid()) {
        return nullptr;
    }
    return engine;
}

}  // namespace praxora
