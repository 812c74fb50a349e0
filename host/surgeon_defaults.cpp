// The civil surgeon's clinic defaults: saved from the form, applied to it.
#include "host/host_texts.h"
#include "host/page_contract.h"
#include "host/tolv_view.h"
#include "storage/data_folders.h"
#include "storage/paths.h"
#include "storage/utf8_text_file.h"

namespace praxora {

void CTolvView::SaveSurgeonDefaults() {
    // A failed collect leaves an older text in the buffer, maybe a whole patient
    // record; it must not become the defaults of every later patient.
    std::string text;
    if (page::CollectSurgeonDefaultsIntoBuffer(*this) && GetNativeBuffer(text) &&
        WriteUtf8TextFile(GetDefaultsFilePath(), text)) {
        page::ShowToast(*this, page::Toast::DefaultsSaved);
        return;
    }
    m_ui.ShowError(texts::kSaveDefaultsFailed);
}

void CTolvView::ApplySurgeonDefaults(bool bAnnounce) {
    // No defaults yet, or a file that cannot be read: nothing at all, also when asked.
    const std::string path = GetDefaultsFilePath();
    if (!PathExists(path)) {
        return;
    }
    std::string text;
    if (!ReadUtf8TextFile(path, text)) {
        return;
    }
    SetNativeBuffer(text);
    page::ApplyPartialFromBuffer(*this);
    if (bAnnounce) {
        page::ShowToast(*this, page::Toast::DefaultsApplied);
    }
}

}  // namespace praxora
