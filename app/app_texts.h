#pragma once

#include "host/host_texts.h"

// Texts of the application shell.
namespace praxora::texts {

inline constexpr const char* kSettingsVendor = "Corvane";
inline constexpr const char* kSettingsApplication = "Praxora";
inline constexpr int kRecentFileCount = 4;

inline constexpr const char* kEngineUnavailable =
    "Windows could not initialize the browser component required by Praxora.";

// %s receives the path as given on the command line.
inline constexpr const char* kCommandLineFileUnreadable =
    "Praxora could not open the file named on the command line:%n%n%s%n%nIt does not exist, "
    "is not a regular file, or cannot be read.";

// The About box. Each %s receives one text, the software version and then the edition.
inline constexpr const char* kAboutCaption = "About Praxora";
inline constexpr const char* kSoftwareVersion = "3.02";
inline constexpr const char* kFormEdition = "02/27/26";
inline constexpr const char* kAboutFormat =
    "Praxora%n"
    "Software Version %s%n"
    "USCIS Form Tolv Edition %s%n"
    "%n"
    "Corvane%n"
    "corvane.example%n"
    "(555) 010-0123%n"
    "%n"
    "Praxora is a native C++ desktop application built on wxWidgets with a WebKit HTML view.%n"
    "Patient data stays on this computer or a location selected by the user.";

}  // namespace praxora::texts
