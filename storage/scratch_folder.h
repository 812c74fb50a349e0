#pragma once

#include <string>

namespace praxora {

// A private folder (mode 0700) for files that one operation needs and nobody may keep,
// such as the PDF a print preview shows. It sits in the user's runtime folder when the
// system has one, else in the temporary folder, and is removed with its files when the
// object goes. Path() is empty when the folder could not be made.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return m_strPath; }

private:
    std::string m_strPath;
};

// Removes scratch folders of this user that a process which no longer runs left behind
// (a crash, a kill). Called once at start.
void RemoveLeftoverScratchFolders();

}  // namespace praxora
