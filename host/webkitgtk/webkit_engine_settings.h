#pragma once

typedef struct _WebKitWebContext WebKitWebContext;
typedef struct _WebKitWebView WebKitWebView;

namespace praxora {

// The engine settings the form page runs under, shared by the program and the page's own
// test runner so that the suite cannot pass under looser settings than the program uses.
void ConfigureEngineSettings(WebKitWebView* view, bool developerTools);

// Sandbox and cache model of a web context; call before the context starts its first web
// process.
void ConfigureEngineContext(WebKitWebContext* context);

}  // namespace praxora
