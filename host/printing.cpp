// Printing and its preview: the page makes its print packet, the engine prints it.
#include "host/page_contract.h"
#include "host/tolv_view.h"
#include "storage/paths.h"
#include "storage/scratch_folder.h"

namespace praxora {

void CTolvView::PreparePrint() {
    // A page without a packet still prints what it displays.
    page::PreparePrintPacket(*this);
}

void CTolvView::Print() {
    PreparePrint();
    m_engine.PrintWithDialog();
}

void CTolvView::PrintPreview() {
    PreparePrint();
    // The PDF holds patient data: it lives in a private folder for as long as the
    // preview is open and goes with it.
    const ScratchFolder folder;
    if (folder.Path().empty()) {
        return;
    }
    const std::string pdfPath = JoinPath(folder.Path(), "preview.pdf");
    if (!m_engine.PrintToPdf(pdfPath)) {
        return;
    }
    m_ui.ShowPrintPreview(pdfPath, [this] { Print(); });
}

}  // namespace praxora
