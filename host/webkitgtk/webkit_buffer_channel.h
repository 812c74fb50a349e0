#pragma once

#include <string>

#include "host/form_engine.h"

typedef struct _WebKitWebContext WebKitWebContext;
typedef struct _WebKitWebView WebKitWebView;

namespace praxora {

// The folder of the engine's web-process extension, beside the executable like the
// page; empty when the executable's path has no folder part.
std::string ExtensionFolderForExecutable(const std::string& executablePath);

// Makes the context load our extension into its web processes. Must come before the
// context starts its first one; a second call for the same context changes nothing.
void LoadBufferExtension(WebKitWebContext* context);

// Reads and writes the exchange buffer through the extension, waiting for its answer
// up to the bound. Without the extension (or without an answer) they fail.
BufferAccess ReadBufferThroughExtension(WebKitWebView* view, std::string& text,
                                        unsigned timeoutMilliseconds);
BufferAccess WriteBufferThroughExtension(WebKitWebView* view, const std::string& text,
                                         unsigned timeoutMilliseconds);

}  // namespace praxora
