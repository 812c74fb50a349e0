#include "app/main_menu.h"

#include <wx/menu.h>

#include "host/commands.h"

namespace praxora {

namespace {
constexpr int kFirstMenuItemId = wxID_HIGHEST + 1;
}  // namespace

int MenuItemIdFor(int commandId) {
    for (size_t row = 0; row < kCommandTable.size(); ++row) {
        if (kCommandTable[row].menuId == commandId) {
            return kFirstMenuItemId + static_cast<int>(row);
        }
    }
    return wxID_ANY;
}

int CommandIdForMenuItem(int menuItemId) {
    const int row = menuItemId - kFirstMenuItemId;
    if (row < 0 || row >= static_cast<int>(kCommandTable.size())) {
        return 0;
    }
    return kCommandTable[static_cast<size_t>(row)].menuId;
}

wxMenuBar* CreateMainMenuBar() {
    namespace ids = command_ids;
    auto* file = new wxMenu;
    file->Append(MenuItemIdFor(ids::kFileNew), "&New Patient\tCtrl+N");
    file->Append(MenuItemIdFor(ids::kFileOpen), "&Open Patient...\tCtrl+O");
    file->Append(MenuItemIdFor(ids::kFileSave), "&Save\tCtrl+S");
    file->Append(MenuItemIdFor(ids::kFileSaveAsRecord), "Save &As...");
    file->AppendSeparator();
    file->Append(MenuItemIdFor(ids::kFilePrintPreview), "Print Pre&view");
    file->Append(MenuItemIdFor(ids::kFilePrint), "&Print...\tCtrl+P");
    file->AppendSeparator();
    file->Append(MenuItemIdFor(ids::kAppExit), "E&xit");

    auto* tools = new wxMenu;
    tools->Append(MenuItemIdFor(ids::kToolsApplyDefaults), "Apply Civil Surgeon Defaults");
    tools->Append(MenuItemIdFor(ids::kToolsSaveDefaults), "Save Civil Surgeon Defaults");
    tools->Append(MenuItemIdFor(ids::kToolsFillTestData), "Fill Test Data");

    auto* help = new wxMenu;
    help->Append(MenuItemIdFor(ids::kAppAboutBox), "About Praxora");

    auto* bar = new wxMenuBar;
    bar->Append(file, "&File");
    bar->Append(tools, "&Tools");
    bar->Append(help, "&Help");
    return bar;
}

}  // namespace praxora
