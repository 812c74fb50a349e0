#pragma once

#include <wx/dialog.h>

#include <functional>
#include <map>
#include <memory>

#include "app/preview/pdf_document.h"

class wxButton;
class wxScrolledWindow;
class wxStaticText;

namespace praxora {

// Shows the printed pages of the form: one page at a time, with page navigation
// (buttons, PgUp/PgDn, Home/End), zoom (fit width, fit page, + and -, Ctrl+wheel), a
// Print... button and Close / Esc. Pages are drawn when first shown and kept for the
// zoom in use.
class CPrintPreviewDialog : public wxDialog {
public:
    enum class Fit { Width, Page, Custom };

    CPrintPreviewDialog(wxWindow* parent, std::unique_ptr<IPdfDocument> document,
                        std::function<void()> print);

    int CurrentPage() const { return m_page; }
    int PageCount() const { return m_document->PageCount(); }
    double Scale() const;

    void ShowPage(int index);
    void SetFit(Fit fit);
    void Zoom(double factor);
    // Keys of the preview: the ones of the page area, wherever the focus is.
    bool HandleKey(int keyCode, bool control);

    // Told once, when the first page has been drawn on screen (the benchmark's probe).
    void SetFirstPageDrawnListener(std::function<void()> listener) {
        m_firstPageDrawn = std::move(listener);
    }

private:
    void UpdatePageArea();
    const wxBitmap& PageBitmap(int index);
    void OnPaintPage(wxPaintEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnMouseWheel(wxMouseEvent& event);
    void OnSize(wxSizeEvent& event);

    std::unique_ptr<IPdfDocument> m_document;
    std::function<void()> m_print;
    std::function<void()> m_firstPageDrawn;
    int m_page = 0;
    Fit m_fit = Fit::Page;
    double m_customScale = 1.0;
    // Bitmaps of the pages drawn so far, for the scale in m_cachedScale.
    std::map<int, wxBitmap> m_cache;
    double m_cachedScale = 0.0;

    wxScrolledWindow* m_pageArea = nullptr;
    wxStaticText* m_pageNumber = nullptr;
    wxButton* m_previous = nullptr;
    wxButton* m_next = nullptr;
};

}  // namespace praxora
