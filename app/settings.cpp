#include "app/settings.h"

#include <wx/config.h>
#include <wx/filename.h>
#include <wx/stdpaths.h>

#include "app/app_texts.h"

#ifndef __WXMSW__
#include <wx/fileconf.h>
#endif

namespace praxora {

std::unique_ptr<wxConfigBase> CreateSettingsStore() {
#ifdef __WXMSW__
    return std::make_unique<wxConfig>(texts::kSettingsApplication, texts::kSettingsVendor);
#else
    // $XDG_CONFIG_HOME/Corvane/Praxora.conf; recent paths may name patients, so the
    // file is readable by its owner only.
    wxStandardPaths::Get().SetFileLayout(wxStandardPaths::FileLayout_XDG);
    wxFileName file(wxStandardPaths::Get().GetUserConfigDir(), "Praxora.conf");
    file.AppendDir(texts::kSettingsVendor);
    file.Mkdir(0700, wxPATH_MKDIR_FULL);
    auto config =
        std::make_unique<wxFileConfig>(texts::kSettingsApplication, texts::kSettingsVendor,
                                       file.GetFullPath(), wxString(), wxCONFIG_USE_LOCAL_FILE);
    config->SetUmask(0077);
    return config;
#endif
}

}  // namespace praxora
