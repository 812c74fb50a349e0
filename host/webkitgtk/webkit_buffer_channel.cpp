#include "host/webkitgtk/webkit_buffer_channel.h"

#include <webkit2/webkit2.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "host/webkitgtk/buffer_messages.h"
#include "host/webkitgtk/main_loop_wait.h"
#include "storage/paths.h"
#include "storage/utf8_codec.h"

namespace praxora {

namespace {

using namespace buffer_messages;

constexpr const char* kExtensionFolder = "web-extensions";
constexpr const char* kConfiguredKey = "praxora-buffer-extension";

// One answer from the extension. It lives on the heap because a call that timed out
// returns before the engine's callback comes; the callback then frees it.
struct PendingMessage {
    bool finished = false;
    bool abandoned = false;
    char status = buffer_messages::kFailed;  // from the reply's name
    GVariant* reply = nullptr;               // the reply's parameters, if any
    GCancellable* cancellable = g_cancellable_new();
    ~PendingMessage() {
        if (reply != nullptr) {
            g_variant_unref(reply);
        }
        g_object_unref(cancellable);
    }
};

void OnReplied(GObject* source, GAsyncResult* result, gpointer data) {
    auto* pending = static_cast<PendingMessage*>(data);
    GError* error = nullptr;
    WebKitUserMessage* reply =
        webkit_web_view_send_message_to_page_finish(WEBKIT_WEB_VIEW(source), result, &error);
    if (pending->abandoned) {
        delete pending;
    } else {
        pending->finished = true;
        pending->status =
            StatusOfReplyName(reply != nullptr ? webkit_user_message_get_name(reply) : nullptr);
        GVariant* parameters =
            reply != nullptr ? webkit_user_message_get_parameters(reply) : nullptr;
        pending->reply = parameters != nullptr ? g_variant_ref(parameters) : nullptr;
    }
    if (reply != nullptr) {
        g_object_unref(reply);
    }
    if (error != nullptr) {
        g_error_free(error);
    }
}

// Sends the message (taking its floating parameters) and waits for the reply; null
// when it did not come in time. A missing extension replies with an error: kFailed.
std::unique_ptr<PendingMessage> Exchange(WebKitWebView* view, const char* name,
                                         GVariant* parameters, unsigned timeoutMilliseconds) {
    auto* pending = new PendingMessage;
    webkit_web_view_send_message_to_page(view, webkit_user_message_new(name, parameters),
                                         pending->cancellable, OnReplied, pending);
    IterateMainLoopUntil(pending->finished, timeoutMilliseconds);
    if (!pending->finished) {
        pending->abandoned = true;
        g_cancellable_cancel(pending->cancellable);
        return nullptr;
    }
    return std::unique_ptr<PendingMessage>(pending);
}

BufferAccess AccessFromStatus(char status) {
    switch (status) {
        case kDone:
            return BufferAccess::Done;
        case kNoDocument:
            return BufferAccess::NoDocument;
        case kNoElement:
            return BufferAccess::NoElement;
        case kNotTextArea:
            return BufferAccess::NotTextArea;
        default:
            return BufferAccess::Failed;
    }
}

// The text's bytes up to its first NUL, malformed UTF-8 replaced by U+FFFD: the page
// receives exactly what a script string argument would have carried.
GBytes* TextBytes(const std::string& text) {
    const size_t size = std::min(text.find('\0'), text.size());
    if (utf8::ValidPrefixLength(text.data(), size) == size) {
        return g_bytes_new(text.data(), size);
    }
    auto* repaired = new std::string;
    utf8::AppendWithReplacement(text.data(), size, *repaired);
    return g_bytes_new_with_free_func(
        repaired->data(), repaired->size(),
        [](gpointer owner) { delete static_cast<std::string*>(owner); }, repaired);
}

}  // namespace

std::string ExtensionFolderForExecutable(const std::string& executablePath) {
    const std::string programFolder = RemoveLastComponent(executablePath);
    return programFolder.empty() ? std::string() : JoinPath(programFolder, kExtensionFolder);
}

void LoadBufferExtension(WebKitWebContext* context) {
    if (g_object_get_data(G_OBJECT(context), kConfiguredKey) != nullptr) {
        return;
    }
    g_object_set_data(G_OBJECT(context), kConfiguredKey, GINT_TO_POINTER(1));
    const std::string folder = ExtensionFolderForExecutable(GetExecutablePath());
    if (!folder.empty()) {
        webkit_web_context_set_web_extensions_directory(context, folder.c_str());
    }
}

BufferAccess ReadBufferThroughExtension(WebKitWebView* view, std::string& text,
                                        unsigned timeoutMilliseconds) {
    const auto answer = Exchange(view, kReadMessage, nullptr, timeoutMilliseconds);
    if (!answer) {
        return BufferAccess::Failed;
    }
    GBytes* bytes = answer->status == kDone ? BytesOf(answer->reply) : nullptr;
    if (bytes == nullptr) {
        return answer->status == kDone ? BufferAccess::Failed : AccessFromStatus(answer->status);
    }
    gsize size = 0;
    const auto* data = static_cast<const char*>(g_bytes_get_data(bytes, &size));
    // The value may hold NULs; the buffer's text ends at the first of them.
    const void* nul = size > 0 ? std::memchr(data, '\0', size) : nullptr;
    if (nul != nullptr) {
        size = static_cast<gsize>(static_cast<const char*>(nul) - data);
    }
    text.assign(data != nullptr ? data : "", size);
    g_bytes_unref(bytes);
    return BufferAccess::Done;
}

BufferAccess WriteBufferThroughExtension(WebKitWebView* view, const std::string& text,
                                         unsigned timeoutMilliseconds) {
    GBytes* bytes = TextBytes(text);
    GVariant* parameters = g_variant_new_from_bytes(G_VARIANT_TYPE_BYTESTRING, bytes, TRUE);
    g_bytes_unref(bytes);
    const auto answer = Exchange(view, kWriteMessage, parameters, timeoutMilliseconds);
    if (!answer) {
        return BufferAccess::Failed;
    }
    return AccessFromStatus(answer->status);
}

}  // namespace praxora
