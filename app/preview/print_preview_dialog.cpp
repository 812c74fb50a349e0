#include "app/preview/print_preview_dialog.h"

#include <wx/button.h>
#include <wx/dcbuffer.h>
#include <wx/scrolwin.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include <algorithm>
#include <cmath>

namespace praxora {

namespace {

// Sizer flags mix wxWidgets' alignment and border enums by design.
constexpr int kBarItem = static_cast<int>(wxALIGN_CENTER_VERTICAL) | static_cast<int>(wxRIGHT);
constexpr int kPageNumber = static_cast<int>(wxALIGN_CENTER_VERTICAL) | static_cast<int>(wxLEFT) |
                            static_cast<int>(wxRIGHT);
constexpr int kBar = static_cast<int>(wxEXPAND) | static_cast<int>(wxALL);

constexpr int kMargin = 16;  // grey around the page, in pixels
constexpr double kZoomStep = 1.25;
constexpr double kMinScale = 0.1;
constexpr double kMaxScale = 8.0;

}  // namespace

CPrintPreviewDialog::CPrintPreviewDialog(wxWindow* parent, std::unique_ptr<IPdfDocument> document,
                                         std::function<void()> print)
    : wxDialog(parent, wxID_ANY, "Print Preview", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER | wxMAXIMIZE_BOX),
      m_document(std::move(document)),
      m_print(std::move(print)) {
    auto* bar = new wxBoxSizer(wxHORIZONTAL);
    auto addButton = [&](const wxString& label, const wxString& tip, auto handler) {
        auto* button =
            new wxButton(this, wxID_ANY, label, wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
        button->SetToolTip(tip);
        button->Bind(wxEVT_BUTTON, handler);
        bar->Add(button, 0, kBarItem, 4);
        return button;
    };
    m_previous = addButton("< Previous", "Previous page (Page Up)",
                           [this](wxCommandEvent&) { ShowPage(m_page - 1); });
    m_next = addButton("Next >", "Next page (Page Down)",
                       [this](wxCommandEvent&) { ShowPage(m_page + 1); });
    m_pageNumber = new wxStaticText(this, wxID_ANY, wxString());
    bar->Add(m_pageNumber, 0, kPageNumber, 8);
    bar->AddSpacer(12);
    addButton("Fit Width", "Page width fills the window",
              [this](wxCommandEvent&) { SetFit(Fit::Width); });
    addButton("Fit Page", "Whole page in the window",
              [this](wxCommandEvent&) { SetFit(Fit::Page); });
    addButton(wxString::FromUTF8("\xe2\x88\x92"), "Zoom out (Ctrl+wheel)",
              [this](wxCommandEvent&) { Zoom(1 / kZoomStep); });
    addButton("+", "Zoom in (Ctrl+wheel)", [this](wxCommandEvent&) { Zoom(kZoomStep); });
    bar->AddStretchSpacer();
    addButton("&Print...", "Open the print dialog for these pages", [this](wxCommandEvent&) {
        if (m_print) {
            m_print();
        }
    });
    auto* close = new wxButton(this, wxID_CANCEL, "&Close");
    bar->Add(close, 0, wxALIGN_CENTER_VERTICAL);
    SetEscapeId(wxID_CANCEL);

    m_pageArea = new wxScrolledWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                      wxVSCROLL | wxHSCROLL | wxWANTS_CHARS);
    m_pageArea->SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_pageArea->SetScrollRate(20, 20);
    m_pageArea->Bind(wxEVT_PAINT, &CPrintPreviewDialog::OnPaintPage, this);
    m_pageArea->Bind(wxEVT_MOUSEWHEEL, &CPrintPreviewDialog::OnMouseWheel, this);
    m_pageArea->Bind(wxEVT_SIZE, &CPrintPreviewDialog::OnSize, this);
    Bind(wxEVT_CHAR_HOOK, &CPrintPreviewDialog::OnCharHook, this);

    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(bar, 0, kBar, 6);
    sizer->Add(m_pageArea, 1, wxEXPAND);
    SetSizer(sizer);

    // Most of the main window, so a whole Letter page is readable at fit page.
    wxSize size(900, 1000);
    if (parent != nullptr) {
        const wxSize owner = parent->GetSize();
        size =
            wxSize(std::max(640, owner.GetWidth() * 3 / 4), std::max(480, owner.GetHeight() - 60));
    }
    SetSize(size);
    CentreOnParent();
    ShowPage(0);
    m_pageArea->SetFocus();
}

double CPrintPreviewDialog::Scale() const {
    if (m_fit == Fit::Custom || PageCount() == 0) {
        return m_customScale;
    }
    const PdfPageSize page = m_document->PageSize(m_page);
    const wxSize area = m_pageArea->GetClientSize();
    if (page.width <= 0 || page.height <= 0 || area.GetWidth() <= 2 * kMargin) {
        return m_customScale;
    }
    const double widthScale = (area.GetWidth() - 2 * kMargin) / page.width;
    const double pageScale = std::min(widthScale, (area.GetHeight() - 2 * kMargin) / page.height);
    return std::clamp(m_fit == Fit::Width ? widthScale : pageScale, kMinScale, kMaxScale);
}

void CPrintPreviewDialog::ShowPage(int index) {
    const int count = PageCount();
    m_page = count == 0 ? 0 : std::clamp(index, 0, count - 1);
    m_previous->Enable(m_page > 0);
    m_next->Enable(m_page + 1 < count);
    m_pageNumber->SetLabel(count == 0 ? wxString("No pages")
                                      : wxString::Format("%d of %d", m_page + 1, count));
    Layout();
    m_pageArea->Scroll(0, 0);
    UpdatePageArea();
}

void CPrintPreviewDialog::SetFit(Fit fit) {
    m_fit = fit;
    UpdatePageArea();
}

void CPrintPreviewDialog::Zoom(double factor) {
    m_customScale = std::clamp(Scale() * factor, kMinScale, kMaxScale);
    m_fit = Fit::Custom;
    UpdatePageArea();
}

bool CPrintPreviewDialog::HandleKey(int keyCode, bool control) {
    switch (keyCode) {
        case WXK_PAGEDOWN:
        case WXK_NUMPAD_PAGEDOWN:
            ShowPage(m_page + 1);
            return true;
        case WXK_PAGEUP:
        case WXK_NUMPAD_PAGEUP:
            ShowPage(m_page - 1);
            return true;
        case WXK_HOME:
        case WXK_NUMPAD_HOME:
            ShowPage(0);
            return true;
        case WXK_END:
        case WXK_NUMPAD_END:
            ShowPage(PageCount() - 1);
            return true;
        case '+':
        case '=':
        case WXK_NUMPAD_ADD:
            if (control || keyCode == WXK_NUMPAD_ADD) {
                Zoom(kZoomStep);
                return true;
            }
            return false;
        case '-':
        case WXK_NUMPAD_SUBTRACT:
            if (control || keyCode == WXK_NUMPAD_SUBTRACT) {
                Zoom(1 / kZoomStep);
                return true;
            }
            return false;
        default:
            return false;
    }
}

void CPrintPreviewDialog::UpdatePageArea() {
    const double scale = Scale();
    if (scale != m_cachedScale) {
        m_cache.clear();
        m_cachedScale = scale;
    }
    wxSize virtualSize(1, 1);
    if (PageCount() > 0) {
        const PdfPageSize page = m_document->PageSize(m_page);
        virtualSize = wxSize(static_cast<int>(std::lround(page.width * scale)) + 2 * kMargin,
                             static_cast<int>(std::lround(page.height * scale)) + 2 * kMargin);
    }
    m_pageArea->SetVirtualSize(virtualSize);
    m_pageArea->Refresh(false);
}

const wxBitmap& CPrintPreviewDialog::PageBitmap(int index) {
    auto cached = m_cache.find(index);
    if (cached == m_cache.end()) {
        cached = m_cache.emplace(index, m_document->RenderPage(index, m_cachedScale)).first;
    }
    return cached->second;
}

void CPrintPreviewDialog::OnPaintPage(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(m_pageArea);
    m_pageArea->DoPrepareDC(dc);
    dc.SetBackground(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_APPWORKSPACE)));
    dc.Clear();
    if (PageCount() == 0) {
        return;
    }
    const wxBitmap& bitmap = PageBitmap(m_page);
    if (!bitmap.IsOk()) {
        return;
    }
    // Centred when the page is narrower than the window.
    const wxSize area = m_pageArea->GetClientSize();
    const int x = std::max(kMargin, (area.GetWidth() - bitmap.GetWidth()) / 2);
    dc.SetPen(wxPen(wxColour(120, 120, 120)));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRectangle(x - 1, kMargin - 1, bitmap.GetWidth() + 2, bitmap.GetHeight() + 2);
    dc.DrawBitmap(bitmap, x, kMargin);
    if (m_firstPageDrawn) {
        auto listener = std::move(m_firstPageDrawn);
        m_firstPageDrawn = nullptr;
        listener();
    }
}

void CPrintPreviewDialog::OnCharHook(wxKeyEvent& event) {
    if (!HandleKey(event.GetKeyCode(), event.ControlDown())) {
        event.Skip();
    }
}

void CPrintPreviewDialog::OnMouseWheel(wxMouseEvent& event) {
    if (event.ControlDown() && event.GetWheelRotation() != 0) {
        Zoom(event.GetWheelRotation() > 0 ? kZoomStep : 1 / kZoomStep);
        return;
    }
    event.Skip();
}

void CPrintPreviewDialog::OnSize(wxSizeEvent& event) {
    event.Skip();
    if (m_fit != Fit::Custom) {
        UpdatePageArea();
    }
}

}  // namespace praxora
