#pragma once

class wxMenuBar;

namespace praxora {

// The menu bar: File, Tools, Help, each item named by its command id; every item is
// always enabled. The accelerators Ctrl+N, Ctrl+O, Ctrl+S and Ctrl+P come from the
// item texts.
wxMenuBar* CreateMainMenuBar();

// wxWidgets takes item ids below 32767 only, and the standard command ids lie above it:
// each item gets an id of its own, which maps back to the command id it stands for.
int MenuItemIdFor(int commandId);
int CommandIdForMenuItem(int menuItemId);  // 0 when the item stands for none

}  // namespace praxora
