#pragma once

#include <string>

namespace praxora {

// The title at start: the document's name ("Praxora", or the display name of a file
// named on the command line), then " - Tolv Patient Files".
std::string StartupTitle(const std::string& commandLineFilePath);

// The title after a record command: "Praxora", and " - " with the record file's name
// when the form is bound to one.
std::string RecordTitle(const std::string& currentRecordPath);

}  // namespace praxora
