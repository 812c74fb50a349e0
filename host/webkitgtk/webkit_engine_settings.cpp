#include "host/webkitgtk/webkit_engine_settings.h"

#include <webkit2/webkit2.h>

namespace praxora {

void ConfigureEngineSettings(WebKitWebView* view, bool developerTools) {
    WebKitSettings* settings = webkit_web_view_get_settings(view);
    webkit_settings_set_enable_developer_extras(settings, developerTools ? TRUE : FALSE);
    // Console messages may hold patient text: never echo them.
    webkit_settings_set_enable_write_console_messages_to_stdout(settings, FALSE);
    webkit_settings_set_enable_html5_local_storage(settings, FALSE);
    webkit_settings_set_enable_page_cache(settings, FALSE);
    webkit_settings_set_allow_file_access_from_file_urls(settings, FALSE);
    webkit_settings_set_allow_universal_access_from_file_urls(settings, FALSE);
    webkit_settings_set_javascript_can_open_windows_automatically(settings, FALSE);
}

void ConfigureEngineContext(WebKitWebContext* context) {
    // The sandbox must be set before the context starts its first web process.
    if (!webkit_web_context_get_sandbox_enabled(context)) {
        webkit_web_context_set_sandbox_enabled(context, TRUE);
    }
    webkit_web_context_set_cache_model(context, WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);
}

}  // namespace praxora
