// Runs inside the engine's web process. Answers the host's "read" and "write"
// messages for the exchange buffer, so that its text crosses between the processes
// as plain bytes instead of a script's serialized result.
//
// The buffer is reached from an isolated script world of our own: that world has
// its own globals and prototypes, so nothing the page redefines in its main world
// (document.getElementById, the textarea's value property) is seen here.
#include <jsc/jsc.h>
#include <webkit2/webkit-web-extension.h>

#include <JavaScriptCore/JavaScript.h>

#include <cstdint>
#include <memory>

#include "host/webkitgtk/buffer_messages.h"
#include "host/webkitgtk/extension/utf16_to_utf8.h"

namespace {

using namespace praxora::buffer_messages;
using praxora::extension::MaxUtf8Size;
using praxora::extension::Utf16ToUtf8;

WebKitScriptWorld* g_world = nullptr;

// Both answer a status letter string, or the value itself for a read. The value is
// returned as it is, never concatenated, so the engine makes no copy of it.
constexpr const char* kFindBufferScript =
    "(function(){var e=document.getElementById('nativeBuffer');"
    "if(!e)return 'N';"
    "if(!(e instanceof HTMLTextAreaElement))return 'T';"
    "return e;})()";

constexpr const char* kAssignScript = "(function(e,t){e.value=t;})";

template <typename T>
struct Unref {
    void operator()(T* object) const { g_object_unref(object); }
};
template <typename T>
using Owned = std::unique_ptr<T, Unref<T>>;

// The main frame's context in our world; null when the page has no document.
Owned<JSCContext> BufferContext(WebKitWebPage* page) {
    // Deprecated with a view to frames in other processes, but still the only way to
    // the main frame this API offers; our page has a single process and frame tree.
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    WebKitFrame* frame = webkit_web_page_get_main_frame(page);
    G_GNUC_END_IGNORE_DEPRECATIONS
    if (frame == nullptr) {
        return nullptr;
    }
    return Owned<JSCContext>(webkit_frame_get_js_context_for_script_world(frame, g_world));
}

// Finds the textarea; on failure answers the status letter that says why.
Owned<JSCValue> FindBuffer(JSCContext* context, char& status) {
    Owned<JSCValue> found(jsc_context_evaluate(context, kFindBufferScript, -1));
    if (jsc_context_get_exception(context) != nullptr || !found) {
        jsc_context_clear_exception(context);
        status = kFailed;
        return nullptr;
    }
    if (jsc_value_is_string(found.get())) {
        std::unique_ptr<char, decltype(&g_free)> letter(jsc_value_to_string(found.get()), &g_free);
        status = letter && letter.get()[0] != '\0' ? letter.get()[0] : kFailed;
        return nullptr;
    }
    status = kDone;
    return found;
}

// Answers the value itself, or a number when there is none: 0 for no element, 1 for
// an element that is not a textarea. The value is never concatenated or wrapped,
// which would make the engine copy it.
constexpr const char* kReadScript =
    "(function(){var e=document.getElementById('nativeBuffer');"
    "if(!e)return 0;"
    "if(!(e instanceof HTMLTextAreaElement))return 1;"
    "return e.value;})()";

struct StringRelease {
    void operator()(OpaqueJSString* string) const { JSStringRelease(string); }
};
using JSString = std::unique_ptr<OpaqueJSString, StringRelease>;

// The read's status; on success bytes holds the value as UTF-8, up to its first NUL.
// It goes through the engine's C API for the value's characters: converting them
// ourselves is about twice as fast as the engine's own UTF-8 conversion.
char ReadBuffer(WebKitWebPage* page, GBytes*& bytes) {
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    WebKitFrame* frame = webkit_web_page_get_main_frame(page);
    JSGlobalContextRef context =
        frame != nullptr ? webkit_frame_get_javascript_context_for_script_world(frame, g_world)
                         : nullptr;
    G_GNUC_END_IGNORE_DEPRECATIONS
    if (context == nullptr) {
        return kNoDocument;
    }
    const JSString script(JSStringCreateWithUTF8CString(kReadScript));
    JSValueRef exception = nullptr;
    const JSValueRef found =
        JSEvaluateScript(context, script.get(), nullptr, nullptr, 1, &exception);
    if (exception != nullptr || found == nullptr) {
        return kFailed;
    }
    if (JSValueIsNumber(context, found)) {
        const double number = JSValueToNumber(context, found, nullptr);
        return number == 0 ? kNoElement : number == 1 ? kNotTextArea : kFailed;
    }
    if (!JSValueIsString(context, found)) {
        return kFailed;
    }
    const JSString value(JSValueToStringCopy(context, found, &exception));
    if (exception != nullptr || !value) {
        return kFailed;
    }
    const size_t count = JSStringGetLength(value.get());
    const auto* units =
        reinterpret_cast<const std::uint16_t*>(JSStringGetCharactersPtr(value.get()));
    auto* text = static_cast<char*>(g_malloc(MaxUtf8Size(count) + 1));
    const size_t size = count > 0 ? Utf16ToUtf8(units, count, text) : 0;
    bytes = g_bytes_new_take(g_realloc(text, size + 1), size);
    return kDone;
}

char WriteBuffer(WebKitWebPage* page, GVariant* parameters) {
    GBytes* text = BytesOf(parameters);
    if (text == nullptr) {
        return kFailed;
    }
    const Owned<JSCContext> context = BufferContext(page);
    char status = kNoDocument;
    if (context) {
        const Owned<JSCValue> element = FindBuffer(context.get(), status);
        if (element) {
            const Owned<JSCValue> assign(jsc_context_evaluate(context.get(), kAssignScript, -1));
            const Owned<JSCValue> value(jsc_value_new_string_from_bytes(context.get(), text));
            const Owned<JSCValue> result(jsc_value_function_call(assign.get(), JSC_TYPE_VALUE,
                                                                 element.get(), JSC_TYPE_VALUE,
                                                                 value.get(), G_TYPE_NONE));
            if (jsc_context_get_exception(context.get()) != nullptr) {
                jsc_context_clear_exception(context.get());
                status = kFailed;
            }
        }
    }
    g_bytes_unref(text);
    return status;
}

gboolean OnUserMessage(WebKitWebPage* page, WebKitUserMessage* message, gpointer) {
    const char* name = webkit_user_message_get_name(message);
    char status = kFailed;
    GVariant* reply = nullptr;
    if (g_strcmp0(name, kReadMessage) == 0) {
        GBytes* bytes = nullptr;
        status = ReadBuffer(page, bytes);
        if (bytes != nullptr) {
            // Wraps the engine's buffer without copying it.
            reply = g_variant_new_from_bytes(G_VARIANT_TYPE_BYTESTRING, bytes, TRUE);
            g_bytes_unref(bytes);
        }
    } else if (g_strcmp0(name, kWriteMessage) == 0) {
        status = WriteBuffer(page, webkit_user_message_get_parameters(message));
    } else {
        return FALSE;  // not ours: the sender learns that nobody handled it
    }
    const char replyName[] = {status, '\0'};
    // The reply takes the floating variant.
    webkit_user_message_send_reply(message, webkit_user_message_new(replyName, reply));
    return TRUE;
}

void OnPageCreated(WebKitWebExtension*, WebKitWebPage* page, gpointer) {
    g_signal_connect(page, "user-message-received", G_CALLBACK(OnUserMessage), nullptr);
}

}  // namespace

extern "C" G_MODULE_EXPORT void webkit_web_extension_initialize(WebKitWebExtension* extension) {
    g_world = webkit_script_world_new_with_name(kScriptWorldName);
    g_signal_connect(extension, "page-created", G_CALLBACK(OnPageCreated), nullptr);
}
