#pragma once

#include <wx/bitmap.h>

#include <memory>
#include <string>

namespace praxora {

// A page's size in points (1/72 inch).
struct PdfPageSize {
    double width = 0;
    double height = 0;
};

// A PDF file's pages, drawn to bitmaps. One implementation per platform's renderer.
class IPdfDocument {
public:
    virtual ~IPdfDocument() = default;
    virtual int PageCount() const = 0;
    virtual PdfPageSize PageSize(int index) const = 0;
    // The page drawn on white at the given scale (pixels per point).
    virtual wxBitmap RenderPage(int index, double scale) const = 0;
};

// Opens a PDF file; null when it cannot be read.
std::unique_ptr<IPdfDocument> OpenPdfDocument(const std::string& path);

}  // namespace praxora
