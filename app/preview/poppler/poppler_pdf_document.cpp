// PDF pages drawn with poppler-glib into cairo image surfaces.
#include <cairo.h>
#include <poppler.h>
#include <wx/image.h>

#include <cmath>

#include "app/preview/pdf_document.h"

namespace praxora {

namespace {

class CPopplerPdfDocument final : public IPdfDocument {
public:
    explicit CPopplerPdfDocument(PopplerDocument* document) : m_document(document) {}
    ~CPopplerPdfDocument() override { g_object_unref(m_document); }
    CPopplerPdfDocument(const CPopplerPdfDocument&) = delete;
    CPopplerPdfDocument& operator=(const CPopplerPdfDocument&) = delete;

    int PageCount() const override { return poppler_document_get_n_pages(m_document); }

    PdfPageSize PageSize(int index) const override {
        double width = 0;
        double height = 0;
        if (PopplerPage* page = poppler_document_get_page(m_document, index)) {
            poppler_page_get_size(page, &width, &height);
            g_object_unref(page);
        }
        return {width, height};
    }

    wxBitmap RenderPage(int index, double scale) const override {
        PopplerPage* page = poppler_document_get_page(m_document, index);
        if (page == nullptr) {
            return {};
        }
        double width = 0;
        double height = 0;
        poppler_page_get_size(page, &width, &height);
        const int pixelWidth = std::max(1, static_cast<int>(std::lround(width * scale)));
        const int pixelHeight = std::max(1, static_cast<int>(std::lround(height * scale)));
        cairo_surface_t* surface =
            cairo_image_surface_create(CAIRO_FORMAT_RGB24, pixelWidth, pixelHeight);
        cairo_t* cairo = cairo_create(surface);
        cairo_set_source_rgb(cairo, 1, 1, 1);
        cairo_paint(cairo);
        cairo_scale(cairo, scale, scale);
        poppler_page_render_for_printing(page, cairo);
        cairo_destroy(cairo);
        g_object_unref(page);
        cairo_surface_flush(surface);

        // RGB24 is one 32-bit word a pixel, native order: 0x00RRGGBB.
        wxImage image(pixelWidth, pixelHeight, false);
        unsigned char* out = image.GetData();
        const unsigned char* rows = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        for (int y = 0; y < pixelHeight; ++y) {
            const auto* row =
                reinterpret_cast<const uint32_t*>(rows + static_cast<ptrdiff_t>(y) * stride);
            for (int x = 0; x < pixelWidth; ++x) {
                const uint32_t pixel = row[x];
                *out++ = static_cast<unsigned char>(pixel >> 16);
                *out++ = static_cast<unsigned char>(pixel >> 8);
                *out++ = static_cast<unsigned char>(pixel);
            }
        }
        cairo_surface_destroy(surface);
        return wxBitmap(image);
    }

private:
    PopplerDocument* m_document;
};

}  // namespace

std::unique_ptr<IPdfDocument> OpenPdfDocument(const std::string& path) {
    gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
    if (uri == nullptr) {
        return nullptr;
    }
    PopplerDocument* document = poppler_document_new_from_file(uri, nullptr, nullptr);
    g_free(uri);
    if (document == nullptr) {
        return nullptr;
    }
    return std::make_unique<CPopplerPdfDocument>(document);
}

}  // namespace praxora
