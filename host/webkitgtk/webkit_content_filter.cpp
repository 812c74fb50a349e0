#include "host/webkitgtk/webkit_content_filter.h"

#include <glib/gstdio.h>
#include <webkit2/webkit2.h>

#include <memory>
#include <string>

#include "host/webkitgtk/main_loop_wait.h"

namespace praxora {

namespace {

// The rule syntax has no alternation, so every allowed scheme lifts the block
// with a rule of its own.
constexpr const char kLocalOnlyRules[] = R"([
  {"trigger": {"url-filter": ".*"}, "action": {"type": "block"}},
  {"trigger": {"url-filter": "^file:"}, "action": {"type": "ignore-previous-rules"}},
  {"trigger": {"url-filter": "^data:"}, "action": {"type": "ignore-previous-rules"}},
  {"trigger": {"url-filter": "^tolv:"}, "action": {"type": "ignore-previous-rules"}}
])";

constexpr guint kCompileTimeoutMilliseconds = 20000;

// Lives on the heap: when the wait gives up, the engine's late answer frees it.
struct Compilation {
    bool finished = false;
    bool abandoned = false;
    WebKitUserContentFilter* filter = nullptr;
};

void RemoveFolder(const char* path) {
    std::unique_ptr<GDir, decltype(&g_dir_close)> dir(g_dir_open(path, 0, nullptr), &g_dir_close);
    if (dir) {
        while (const char* name = g_dir_read_name(dir.get())) {
            std::unique_ptr<char, decltype(&g_free)> child(g_build_filename(path, name, nullptr),
                                                           &g_free);
            g_remove(child.get());
        }
    }
    g_rmdir(path);
}

}  // namespace

bool InstallLocalOnlyContentFilter(WebKitWebView* view) {
    // The store wants a folder; a private one that is gone again once the filter is
    // loaded (the engine keeps the compiled rules mapped).
    std::unique_ptr<char, decltype(&g_free)> folder(g_dir_make_tmp("praxora-rules-XXXXXX", nullptr),
                                                    &g_free);
    if (!folder) {
        return false;
    }
    WebKitUserContentFilterStore* store = webkit_user_content_filter_store_new(folder.get());
    GBytes* rules = g_bytes_new_static(kLocalOnlyRules, sizeof kLocalOnlyRules - 1);

    auto* compilation = new Compilation;
    webkit_user_content_filter_store_save(
        store, "local-only", rules, nullptr,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            auto* state = static_cast<Compilation*>(data);
            WebKitUserContentFilter* filter = webkit_user_content_filter_store_save_finish(
                WEBKIT_USER_CONTENT_FILTER_STORE(source), result, nullptr);
            if (state->abandoned) {
                if (filter != nullptr) {
                    webkit_user_content_filter_unref(filter);
                }
                delete state;
                return;
            }
            state->filter = filter;
            state->finished = true;
        },
        compilation);

    IterateMainLoopUntil(compilation->finished, kCompileTimeoutMilliseconds);

    bool installed = false;
    if (!compilation->finished) {
        compilation->abandoned = true;
    } else {
        if (compilation->filter != nullptr) {
            webkit_user_content_manager_add_filter(webkit_web_view_get_user_content_manager(view),
                                                   compilation->filter);
            webkit_user_content_filter_unref(compilation->filter);
            installed = true;
        }
        delete compilation;
    }
    g_bytes_unref(rules);
    g_object_unref(store);
    RemoveFolder(folder.get());
    return installed;
}

}  // namespace praxora
