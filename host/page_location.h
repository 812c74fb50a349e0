#pragma once

#include <string>

namespace praxora {

// The form page's path for a given executable: its folder, then "html/tolv.html".
// Empty when the executable's path has no folder part.
std::string PagePathForExecutable(const std::string& executablePath);

// The message shown when the page is missing, naming the path that was tested.
std::string MissingPageMessage(const std::string& pagePath);

}  // namespace praxora
