#pragma once

#include <webkit2/webkit2.h>

#include <string>

namespace praxora {

// The engine's print dialog, owned by the web view's top-level window; the document
// starts on Letter paper, as the form is laid out for it.
void PrintWebViewWithDialog(WebKitWebView* view);

// The displayed document printed to a PDF file without any dialog, Letter paper, print
// styles applied. True once the file is complete; false when printing failed or did not
// finish within the bound.
bool PrintWebViewToPdf(WebKitWebView* view, const std::string& path);

}  // namespace praxora
