#pragma once

class wxMenuBar;

namespace praxora {

// The menu bar: File, Tools, Help, each item named by its command id; every item is
// always enabled. The accelerators Ctrl+N, Ctrl+O, Ctrl+S and Ctrl+P come from the
// item texts.
wxMenuBar* CreateMainMenuBar();

}  // namespace praxora
