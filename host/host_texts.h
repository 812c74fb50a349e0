#pragma once

// Texts of the form host that the user sees or that the page receives.
namespace praxora::texts {

#ifdef _WIN32
inline constexpr const char* kLineBreak = "\r\n";
#else
inline constexpr const char* kLineBreak = "\n";
#endif

inline constexpr const char* kAppTitle = "Praxora";
inline constexpr const char* kFrameTitle = "Tolv Patient Files";
inline constexpr const char* kTitleSeparator = " - ";

inline constexpr const char* kPageRelativePath = "html/tolv.html";

// %s receives the full path that was tested.
inline constexpr const char* kMissingPageFormat =
    "The Tolv HTML interface could not be found:%n%n%s%n%nRebuild the project so the html folder "
    "is copied beside Praxora.exe.";

inline constexpr const char* kCommandLinkScheme = "tolv:";

// Record commands.
inline constexpr const char* kOpenRecordFailed = "Could not open the selected patient record.";
inline constexpr const char* kCollectRecordFailed =
    "Could not collect the patient information from the form.";
inline constexpr const char* kSaveRecordFailed = "Could not save the patient record.";
inline constexpr const char* kSaveDefaultsFailed = "Could not save the Civil Surgeon defaults.";

// File dialogs: description and pattern pairs, each part ended by "|", the whole by "||".
inline constexpr const char* kOpenRecordFilter =
    "Tolv Patient Record (*.tolv;*.json)|*.tolv;*.json|All Files (*.*)|*.*||";
inline constexpr const char* kSaveRecordFilter =
    "Tolv Patient Record (*.tolv)|*.tolv|JSON Files (*.json)|*.json||";
inline constexpr const char* kRecordExtension = "tolv";
inline constexpr const char* kProposedRecordName = "Tolv-Patient.tolv";

}  // namespace praxora::texts
