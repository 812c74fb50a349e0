#include "app/main_menu.h"

#include <wx/menu.h>

#include "host/commands.h"

namespace praxora {

wxMenuBar* CreateMainMenuBar() {
    namespace ids = command_ids;
    auto* file = new wxMenu;
    file->Append(ids::kFileNew, "&New Patient\tCtrl+N");
    file->Append(ids::kFileOpen, "&Open Patient...\tCtrl+O");
    file->Append(ids::kFileSave, "&Save\tCtrl+S");
    file->Append(ids::kFileSaveAsRecord, "Save &As...");
    file->AppendSeparator();
    file->Append(ids::kFilePrintPreview, "Print Pre&view");
    file->Append(ids::kFilePrint, "&Print...\tCtrl+P");
    file->AppendSeparator();
    file->Append(ids::kAppExit, "E&xit");

    auto* tools = new wxMenu;
    tools->Append(ids::kToolsApplyDefaults, "Apply Civil Surgeon Defaults");
    tools->Append(ids::kToolsSaveDefaults, "Save Civil Surgeon Defaults");
    tools->Append(ids::kToolsFillTestData, "Fill Test Data");

    auto* help = new wxMenu;
    help->Append(ids::kAppAboutBox, "About Praxora");

    auto* bar = new wxMenuBar;
    bar->Append(file, "&File");
    bar->Append(tools, "&Tools");
    bar->Append(help, "&Help");
    return bar;
}

}  // namespace praxora
