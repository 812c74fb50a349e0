// The patient record commands of the view: New, Open, Save and Save As.
#include "host/host_texts.h"
#include "host/page_contract.h"
#include "host/tolv_view.h"
#include "host/window_title.h"
#include "storage/data_folders.h"
#include "storage/utf8_text_file.h"

namespace praxora {

std::optional<std::string> CTolvView::ChooseRecordFile(FileDialogRequest::Kind kind) {
    const bool opening = kind == FileDialogRequest::Kind::Open;
    FileDialogRequest request;
    request.kind = kind;
    // Every time in the Patients folder, also for Save As while a file is open.
    request.initialFolder = GetPatientsFolder();
    request.proposedName = opening ? "" : texts::kProposedRecordName;
    request.filters =
        ParseFileFilters(opening ? texts::kOpenRecordFilter : texts::kSaveRecordFilter);
    const auto choice = m_ui.ChooseFile(request);
    if (!choice || choice->path.empty()) {
        return std::nullopt;
    }
    if (opening || choice->filterIndex >= request.filters.size()) {
        return choice->path;
    }
    return WithFilterExtension(choice->path, request.filters[choice->filterIndex]);
}

void CTolvView::NewRecord() {
    page::NewRecord(*this);
    m_strCurrentPath.clear();
    ApplySurgeonDefaults(false);
    UpdateTitle();
}

void CTolvView::OpenRecord() {
    const auto path = ChooseRecordFile(FileDialogRequest::Kind::Open);
    if (!path) {
        return;
    }
    std::string text;
    if (!ReadUtf8TextFile(*path, text)) {
        m_ui.ShowError(texts::kOpenRecordFailed);
        return;
    }
    SetNativeBuffer(text);
    // A text the page refuses is not bound: a later Save would otherwise overwrite a
    // file that was picked by mistake.
    if (!page::LoadRecordFromBuffer(*this)) {
        m_ui.ShowError(texts::kOpenRecordFailed);
        return;
    }
    m_strCurrentPath = *path;
    UpdateTitle();
    page::ShowToast(*this, page::Toast::RecordOpened);
}

void CTolvView::SaveRecord(bool bSaveAs) {
    // When the collect script fails the buffer still holds whatever was last written
    // into it (the defaults, another patient's record): never save that.
    std::string text;
    if (!page::CollectRecordIntoBuffer(*this) || !GetNativeBuffer(text)) {
        m_ui.ShowError(texts::kCollectRecordFailed);
        return;
    }
    std::string target = m_strCurrentPath;
    if (bSaveAs || target.empty()) {
        const auto chosen = ChooseRecordFile(FileDialogRequest::Kind::Save);
        if (!chosen) {
            return;
        }
        target = *chosen;
    }
    if (!WriteUtf8TextFile(target, text)) {
        m_ui.ShowError(texts::kSaveRecordFailed);
        return;
    }
    m_strCurrentPath = target;
    UpdateTitle();
    page::ShowToast(*this, page::Toast::RecordSaved);
}

void CTolvView::UpdateTitle() {
    m_ui.SetTitle(RecordTitle(m_strCurrentPath));
}

}  // namespace praxora
