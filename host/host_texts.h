#pragma once

// Texts of the form host that the user sees or that the page receives.
namespace praxora::texts {

#ifdef _WIN32
inline constexpr const char* kLineBreak = "\r\n";
#else
inline constexpr const char* kLineBreak = "\n";
#endif

inline constexpr const char* kPageRelativePath = "html/tolv.html";

// %s receives the full path that was tested.
inline constexpr const char* kMissingPageFormat =
    "The Tolv HTML interface could not be found:%n%n%s%n%nRebuild the project so the html folder "
    "is copied beside Praxora.exe.";

inline constexpr const char* kCommandLinkScheme = "tolv:";

}  // namespace praxora::texts
