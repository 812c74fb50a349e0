#include "bench/bridge/isolated_world_buffer.h"

#include <jsc/jsc.h>
#include <webkit2/webkit2.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

#include "host/webkitgtk/main_loop_wait.h"
#include "storage/utf8_codec.h"

namespace praxora::bench {

namespace {

constexpr const char* kWorld = "praxora-bench";
constexpr unsigned kTimeoutMilliseconds = 30000;

// Answers the value itself, a string, or a number when there is none: 0 for no
// element, 1 for an element that is not a textarea.
constexpr const char* kReadScript =
    "(function(){var e=document.getElementById('nativeBuffer');"
    "if(!e)return 0;"
    "if(!(e instanceof HTMLTextAreaElement))return 1;"
    "return e.value;})()";

// The text arrives as the argument `text`, never inside the script's source.
constexpr const char* kWriteBody =
    "var e=document.getElementById('nativeBuffer');"
    "if(!e)return 'N';"
    "if(!(e instanceof HTMLTextAreaElement))return 'T';"
    "e.value=text;return 'D';";

struct Answer {
    bool finished = false;
    bool succeeded = false;
    bool isText = false;
    double number = -1;
    std::string text;
};

void Store(Answer* answer, JSCValue* value, GError* error) {
    answer->finished = true;
    answer->succeeded = value != nullptr && error == nullptr;
    if (answer->succeeded && jsc_value_is_string(value)) {
        std::unique_ptr<char, decltype(&g_free)> text(jsc_value_to_string(value), &g_free);
        answer->text.assign(text.get());
        answer->isText = true;
    } else if (answer->succeeded && jsc_value_is_number(value)) {
        answer->number = jsc_value_to_double(value);
    }
    if (value != nullptr) {
        g_object_unref(value);
    }
    if (error != nullptr) {
        g_error_free(error);
    }
}

// The text as a string argument: up to its first NUL, malformed UTF-8 replaced.
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

// A benchmark never abandons a call: a timeout here is a broken run, not a stall to
// survive, so it stops the run and the answer may stay on the stack.
void WaitOrStop(const bool& finished) {
    if (!IterateMainLoopUntil(finished, kTimeoutMilliseconds)) {
        std::fprintf(stderr, "the engine did not answer the baseline script\n");
        std::abort();
    }
}

}  // namespace

BufferAccess ScriptReadBuffer(WebKitWebView* view, std::string& text) {
    Answer answer;
    webkit_web_view_evaluate_javascript(
        view, kReadScript, -1, kWorld, nullptr, nullptr,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            GError* error = nullptr;
            JSCValue* value =
                webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &error);
            Store(static_cast<Answer*>(data), value, error);
        },
        &answer);
    WaitOrStop(answer.finished);
    if (!answer.succeeded) {
        return BufferAccess::Failed;
    }
    if (answer.isText) {
        text = std::move(answer.text);
        return BufferAccess::Done;
    }
    if (answer.number == 0) {
        return BufferAccess::NoElement;
    }
    return answer.number == 1 ? BufferAccess::NotTextArea : BufferAccess::Failed;
}

BufferAccess ScriptWriteBuffer(WebKitWebView* view, const std::string& text) {
    GVariantDict arguments;
    g_variant_dict_init(&arguments, nullptr);
    g_variant_dict_insert_value(&arguments, "text", NewTextArgument(text));
    Answer answer;
    webkit_web_view_call_async_javascript_function(
        view, kWriteBody, -1, g_variant_dict_end(&arguments), kWorld, nullptr, nullptr,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            GError* error = nullptr;
            JSCValue* value = webkit_web_view_call_async_javascript_function_finish(
                WEBKIT_WEB_VIEW(source), result, &error);
            Store(static_cast<Answer*>(data), value, error);
        },
        &answer);
    WaitOrStop(answer.finished);
    if (!answer.succeeded) {
        return BufferAccess::Failed;
    }
    if (answer.isText && answer.text == "D") {
        return BufferAccess::Done;
    }
    return answer.isText && answer.text == "N"   ? BufferAccess::NoElement
           : answer.isText && answer.text == "T" ? BufferAccess::NotTextArea
                                                 : BufferAccess::Failed;
}

}  // namespace praxora::bench
