#pragma once

#include <memory>

class wxConfigBase;

namespace praxora {

// The per-user settings store, vendor "Corvane", application "Praxora": the
// registry key on Windows, a private file in the user's config folder elsewhere.
// It holds only the recent-file list.
std::unique_ptr<wxConfigBase> CreateSettingsStore();

}  // namespace praxora
