#pragma once

#include <string>

#include "host/form_engine.h"

typedef struct _WebKitWebView WebKitWebView;

namespace praxora::bench {

// The exchange buffer reached with scripts in an isolated world, the way the host
// did it before its web-process extension: the value comes back as the script's
// serialized result, and goes in as a GVariant string argument of a function call.
// Kept here as a baseline to measure the extension against.
BufferAccess ScriptReadBuffer(WebKitWebView* view, std::string& text);
BufferAccess ScriptWriteBuffer(WebKitWebView* view, const std::string& text);

}  // namespace praxora::bench
