#include "host/webkitgtk/webkit_script_runner.h"

#include <jsc/jsc.h>
#include <webkit2/webkit2.h>

#include <memory>

#include "host/webkitgtk/buffer_messages.h"
#include "host/webkitgtk/main_loop_wait.h"
#include "host/webkitgtk/webkit_buffer_channel.h"

namespace praxora {

namespace {

using buffer_messages::kDone;
using buffer_messages::kNoElement;

constexpr const char* kHostWorld = buffer_messages::kScriptWorldName;
unsigned g_timeoutMilliseconds = 30000;

// Answers the status letters of the buffer's messages.
constexpr const char* kLookupScript =
    "(function(){var e=document.getElementById('nativeBuffer');"
    "if(!e)return 'N';"
    "return (e instanceof HTMLTextAreaElement)?'D':'T';})()";

// One answer from the engine. It lives on the heap because a call that timed out
// returns before the engine's callback comes; the callback then frees it.
struct PendingCall {
    bool finished = false;
    bool abandoned = false;
    bool succeeded = false;
    bool answeredText = false;
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
    return WriteBufferThroughExtension(m_view, text, g_timeoutMilliseconds);
}

BufferAccess WebKitScriptRunner::ReadBuffer(std::string& text) {
    return ReadBufferThroughExtension(m_view, text, g_timeoutMilliseconds);
}

}  // namespace praxora
