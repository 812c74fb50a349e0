#pragma once

#include <string>

class wxWindow;

namespace praxora {

// The About text: ten lines, the fourth and eighth empty, no line break at the end.
std::string AboutText();

// The About box: caption "About Praxora", information icon, one OK button, owned by
// the main window when there is one.
void ShowAboutBox(wxWindow* owner);

}  // namespace praxora
