#include "host/webkitgtk/webkit_script_runner.h"

#include <jsc/jsc.h>
#include <webkit2/webkit2.h>

#include <cstring>
#include <memory>
#include <utility>

#include "host/webkitgtk/main_loop_wait.h"
#include "storage/utf8_codec.h"

namespace praxora {

namespace {

constexpr const char* kHostWorld = "praxora";
unsigned g_timeoutMilliseconds = 30000;

// Status letters the isolated-world scripts answer with.
constexpr char kNoElement = 'N';
constexpr char kNotTextArea = 'T';
constexpr char kDone = 'D';

// Answers the value itself, a string, or a number when there is none: 0 for no
// element, 1 for an element that is not a textarea. The value is never concatenated,
// which would copy a large text once more inside the engine.
constexpr const char* kReadBufferScript =
    "(function(){var e=document.getElementById('nativeBuffer');"
    "if(!e)return 0;"
    "if(!(e instanceof HTMLTextAreaElement))return 1;"
    "return e.value;})()";

constexpr const char* kLookupScript =
    "(function(){var e=document.getElementById('nativeBuffer');"
    "if(!e)return 'N';"
    "return (e instanceof HTMLTextAreaElement)?'D':'T';})()";

// The text arrives as the argument `text`, never inside the script's source.
constexpr const char* kWriteBufferBody =
    "var e=document.getElementById('nativeBuffer');"
    "if(!e)return 'N';"
    "if(!(e instanceof HTMLTextAreaElement))return 'T';"
    "e.value=text;return 'D';";

// One answer from the engine. It lives on the heap because a call that timed out
// returns before the engine's callback comes; the callback then frees it.
struct PendingCall {
    bool finished = false;
    bool abandoned = false;
    bool succeeded = false;
    bool answeredText = false;
    double answeredNumber = -1;
    std::string answer;
    GCancellable* cancellable = g_cancellable_new();
    ~PendingCall() { g_object_unref(cancellable); }
};

void StoreAnswer(PendingCall* call, JSCValue* value, GError* error) {
    if (call->abandoned) {
        delete call;
    } else {
        call->finished = true;
        call->succeeded = value != nullptr && error == nullptr;
        if (call->succeeded && jsc_value_is_string(value)) {
            std::unique_ptr<char, decltype(&g_free)> text(jsc_value_to_string(value), &g_free);
            call->answer.assign(text.get());
            call->answeredText = true;
        } else if (call->succeeded && jsc_value_is_number(value)) {
            call->answeredNumber = jsc_value_to_double(value);
        }
    }
    if (value != nullptr) {
        g_object_unref(value);
    }
    if (error != nullptr) {
        g_error_free(error);
    }
}

void OnEvaluated(GObject* source, GAsyncResult* result, gpointer data) {
    GError* error = nullptr;
    JSCValue* value =
        webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &error);
    StoreAnswer(static_cast<PendingCall*>(data), value, error);
}

void OnFunctionCalled(GObject* source, GAsyncResult* result, gpointer data) {
    GError* error = nullptr;
    JSCValue* value = webkit_web_view_call_async_javascript_function_finish(WEBKIT_WEB_VIEW(source),
                                                                            result, &error);
    StoreAnswer(static_cast<PendingCall*>(data), value, error);
}

// Waits for the call's answer. Returns the finished call, or null when it timed out
// (the call is then abandoned and frees itself when the late answer comes).
std::unique_ptr<PendingCall> WaitFor(PendingCall* call) {
    IterateMainLoopUntil(call->finished, g_timeoutMilliseconds);
    if (!call->finished) {
        call->abandoned = true;
        g_cancellable_cancel(call->cancellable);
        return nullptr;
    }
    return std::unique_ptr<PendingCall>(call);
}

std::unique_ptr<PendingCall> Evaluate(WebKitWebView* view, const char* script, gssize length,
                                      const char* world) {
    auto* call = new PendingCall;
    webkit_web_view_evaluate_javascript(view, script, length, world, nullptr, call->cancellable,
                                        OnEvaluated, call);
    return WaitFor(call);
}

// The text as a string argument: up to its first NUL, malformed UTF-8 replaced by
// U+FFFD. Checked once here, so the variant is made from trusted data and not
// validated again.
GVariant* NewTextArgument(const std::string& text) {
    const char* data = text.c_str();
    size_t size = std::strlen(data);
    std::string repaired;
    if (utf8::ValidPrefixLength(data, size) != size) {
        utf8::AppendWithReplacement(data, size, repaired);
        data = repaired.c_str();
        size = repaired.size();
    }
    auto* copy = static_cast<char*>(g_malloc(size + 1));
    std::memcpy(copy, data, size + 1);
    return g_variant_new_from_data(G_VARIANT_TYPE_STRING, copy, size + 1, TRUE, g_free, copy);
}

BufferAccess AccessFromStatus(char status) {
    switch (status) {
        case kDone:
            return BufferAccess::Done;
        case kNoElement:
            return BufferAccess::NoElement;
        case kNotTextArea:
            return BufferAccess::NotTextArea;
        default:
            return BufferAccess::Failed;
    }
}

}  // namespace

void WebKitScriptRunner::SetTimeoutForTesting(unsigned milliseconds) {
    g_timeoutMilliseconds = milliseconds;
}

bool WebKitScriptRunner::RunScript(const std::string& script) {
    // The script's completion value is never used, so it is replaced by undefined:
    // otherwise an assignment of a large text would also be copied back to the host.
    // The line break ends a trailing line comment of the script.
    const std::string wrapped = script + "\n;void 0;";
    const auto call =
        Evaluate(m_view, wrapped.data(), static_cast<gssize>(wrapped.size()), nullptr);
    return call && call->succeeded;
}

ElementLookupStatus WebKitScriptRunner::LookupBufferElement(BufferElementInfo& element) {
    const auto call = Evaluate(m_view, kLookupScript, -1, kHostWorld);
    if (!call || !call->succeeded || call->answer.empty()) {
        return ElementLookupStatus::LookupFailed;
    }
    if (call->answer[0] == kNoElement) {
        return ElementLookupStatus::NotFound;
    }
    element.isTextArea = call->answer[0] == kDone;
    return ElementLookupStatus::Found;
}

BufferAccess WebKitScriptRunner::WriteBuffer(const std::string& text) {
    GVariantDict arguments;
    g_variant_dict_init(&arguments, nullptr);
    g_variant_dict_insert_value(&arguments, "text", NewTextArgument(text));
    auto* call = new PendingCall;
    webkit_web_view_call_async_javascript_function(
        m_view, kWriteBufferBody, -1, g_variant_dict_end(&arguments), kHostWorld, nullptr,
        call->cancellable, OnFunctionCalled, call);
    const auto finished = WaitFor(call);
    if (!finished || !finished->succeeded || finished->answer.empty()) {
        return BufferAccess::Failed;
    }
    return AccessFromStatus(finished->answer[0]);
}

BufferAccess WebKitScriptRunner::ReadBuffer(std::string& text) {
    const auto call = Evaluate(m_view, kReadBufferScript, -1, kHostWorld);
    if (!call || !call->succeeded) {
        return BufferAccess::Failed;
    }
    if (call->answeredText) {
        text = std::move(call->answer);
        return BufferAccess::Done;
    }
    if (call->answeredNumber == 0) {
        return BufferAccess::NoElement;
    }
    return call->answeredNumber == 1 ? BufferAccess::NotTextArea : BufferAccess::Failed;
}

}  // namespace praxora
