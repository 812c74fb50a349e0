// Runs inside the engine's web process. Answers the host's "read" and "write"
// messages for the exchange buffer, so that its text crosses between the processes
// as plain bytes instead of a script's serialized result.
//
// The buffer is reached from an isolated script world of our own: that world has
// its own globals and prototypes, so nothing the page redefines in its main world
// (document.getElementById, the textarea's value property) is seen here.
#include <JavaScriptCore/JavaScript.h>
#include <jsc/jsc.h>
#include <webkit2/webkit-web-extension.h>

#include <cstdint>
#include <memory>
#include <new>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "host/webkitgtk/buffer_messages.h"
#include "host/webkitgtk/extension/utf16_to_utf8.h"
#include "host/webkitgtk/extension/utf8_to_utf16.h"

namespace {

using namespace praxora::buffer_messages;
using praxora::extension::MaxUtf8Size;
using praxora::extension::Utf16ToUtf8;
using praxora::extension::Utf8ToUtf16;

WebKitScriptWorld* g_world = nullptr;

// The main frame's context in our world; null when the page has no document.
JSGlobalContextRef BufferContext(WebKitWebPage* page) {
    // Deprecated with a view to frames in other processes, but still the only way to
    // the main frame and its C API context; our page has a single process.
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    WebKitFrame* frame = webkit_web_page_get_main_frame(page);
    return frame != nullptr ? webkit_frame_get_javascript_context_for_script_world(frame, g_world)
                            : nullptr;
    G_GNUC_END_IGNORE_DEPRECATIONS
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
// ourselves takes about a third of the time of the engine's own UTF-8 conversion.
char ReadBuffer(WebKitWebPage* page, GBytes*& bytes) {
    const JSGlobalContextRef context = BufferContext(page);
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

// Assigns its argument to the buffer; answers 2 when done, else as kReadScript.
constexpr const char* kWriteScript =
    "(function(t){var e=document.getElementById('nativeBuffer');"
    "if(!e)return 0;"
    "if(!(e instanceof HTMLTextAreaElement))return 1;"
    "e.value=t;return 2;})";

bool IsAscii(const char* data, std::size_t size) {
    std::size_t i = 0;
#ifdef __SSE2__
    for (; i + 16 <= size; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        if (_mm_movemask_epi8(block) != 0) {
            return false;
        }
    }
#endif
    for (; i < size; ++i) {
        if (static_cast<unsigned char>(data[i]) >= 0x80) {
            return false;
        }
    }
    return true;
}

char StatusOfWrite(double answer) {
    return answer == 2 ? kDone : answer == 0 ? kNoElement : answer == 1 ? kNotTextArea : kFailed;
}

template <typename T>
struct Unref {
    void operator()(T* object) const { g_object_unref(object); }
};
template <typename T>
using Owned = std::unique_ptr<T, Unref<T>>;

// ASCII through the engine's own decoder, which keeps it at one byte a character
// and is fast for it.
char WriteAscii(WebKitWebPage* page, GBytes* text) {
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    WebKitFrame* frame = webkit_web_page_get_main_frame(page);
    G_GNUC_END_IGNORE_DEPRECATIONS
    if (frame == nullptr) {
        return kNoDocument;
    }
    const Owned<JSCContext> context(webkit_frame_get_js_context_for_script_world(frame, g_world));
    const Owned<JSCValue> write(jsc_context_evaluate(context.get(), kWriteScript, -1));
    const Owned<JSCValue> value(jsc_value_new_string_from_bytes(context.get(), text));
    const Owned<JSCValue> answer(
        jsc_value_function_call(write.get(), JSC_TYPE_VALUE, value.get(), G_TYPE_NONE));
    if (jsc_context_get_exception(context.get()) != nullptr || !answer ||
        !jsc_value_is_number(answer.get())) {
        jsc_context_clear_exception(context.get());
        return kFailed;
    }
    return StatusOfWrite(jsc_value_to_double(answer.get()));
}

// Other text decoded by us, in about half the time the engine's decoder takes, and
// handed over as UTF-16.
char WriteDecoded(WebKitWebPage* page, const char* data, std::size_t size) {
    const JSGlobalContextRef context = BufferContext(page);
    if (context == nullptr) {
        return kNoDocument;
    }
    std::unique_ptr<std::uint16_t[]> units(new (std::nothrow) std::uint16_t[size]);
    if (!units) {
        return kFailed;
    }
    const size_t count = Utf8ToUtf16(data, size, units.get());
    const JSString value(
        JSStringCreateWithCharacters(reinterpret_cast<const JSChar*>(units.get()), count));
    units.reset();
    const JSString script(JSStringCreateWithUTF8CString(kWriteScript));
    JSValueRef exception = nullptr;
    const JSValueRef write =
        JSEvaluateScript(context, script.get(), nullptr, nullptr, 1, &exception);
    const JSObjectRef callable = exception == nullptr && write != nullptr
                                     ? JSValueToObject(context, write, &exception)
                                     : nullptr;
    if (!value || callable == nullptr || exception != nullptr) {
        return kFailed;
    }
    const JSValueRef argument = JSValueMakeString(context, value.get());
    const JSValueRef answer =
        JSObjectCallAsFunction(context, callable, nullptr, 1, &argument, &exception);
    if (exception != nullptr || answer == nullptr || !JSValueIsNumber(context, answer)) {
        return kFailed;
    }
    return StatusOfWrite(JSValueToNumber(context, answer, nullptr));
}

// The host sends well-formed UTF-8 without NULs.
char WriteBuffer(WebKitWebPage* page, GVariant* parameters) {
    GBytes* text = BytesOf(parameters);
    if (text == nullptr) {
        return kFailed;
    }
    gsize size = 0;
    const auto* data = static_cast<const char*>(g_bytes_get_data(text, &size));
    const char status =
        size == 0 || IsAscii(data, size) ? WriteAscii(page, text) : WriteDecoded(page, data, size);
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
            // Wraps the converted text without copying it.
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
