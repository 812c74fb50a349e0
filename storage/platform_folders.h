#pragma once

#include <string>

// What the data folder functions need from the operating system. Implemented once per OS.
namespace praxora::platform {

// The per-user base folder for application data, absolute; empty when there is none.
std::string PerUserDataBase();

// Creates the folder and every missing parent, readable by the user only (they hold
// patient data). Failures are silent: the file operation that uses the path reports them.
void CreateFolderTree(const std::string& path);

}  // namespace praxora::platform
