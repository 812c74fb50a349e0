#pragma once

typedef struct _WebKitWebView WebKitWebView;

namespace praxora {

// Blocks every load of the view that is not file:, data: or tolv:, before the first
// page loads. False when the filter could not be made; the caller then must not
// show any page.
bool InstallLocalOnlyContentFilter(WebKitWebView* view);

}  // namespace praxora
