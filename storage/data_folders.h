#pragma once

#include <string>

// Where the program keeps what it stores. Every call looks the folders up again and
// creates the ones it names, so a folder deleted while the program runs comes back at
// its next use. None of them fails: each returns a path in every case.
namespace praxora {

// The per-user data folder, "<base>/Corvane/Praxora", created with its missing parents.
// "." when the system names no per-user base; nothing is created then.
std::string GetAppDataFolder();

// "<data folder>/Patients", created (also below "." in the fallback case): the place the
// record file dialogs start in.
std::string GetPatientsFolder();

// "<data folder>/clinic-defaults.json". Creates the data folder, never the file.
std::string GetDefaultsFilePath();

}  // namespace praxora
