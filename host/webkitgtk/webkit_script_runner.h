#pragma once

#include <string>

#include "host/form_engine.h"

typedef struct _WebKitWebView WebKitWebView;

namespace praxora {

// The script bridge on WebKitGTK's own API. Page functions run in the page's main
// world; the exchange buffer is looked up from an isolated world and read and written
// by our web-process extension, so a page that redefines its globals cannot break the
// host's reads and writes.
// Each call waits for the engine's answer in nested main-loop iterations (never
// busy), up to a generous bound after which it gives up and reports a failure.
class WebKitScriptRunner {
public:
    explicit WebKitScriptRunner(WebKitWebView* view) : m_view(view) {}

    bool RunScript(const std::string& script);
    ElementLookupStatus LookupBufferElement(BufferElementInfo& element);
    BufferAccess WriteBuffer(const std::string& text);
    BufferAccess ReadBuffer(std::string& text);

    static void SetTimeoutForTesting(unsigned milliseconds);

private:
    WebKitWebView* m_view;
};

}  // namespace praxora
