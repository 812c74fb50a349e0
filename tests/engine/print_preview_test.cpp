// The preview of the real page: the engine's PDF holds the packet as it prints, the
// preview window pages through it, and nothing of it is left afterwards.
#include <gtest/gtest.h>
#include <poppler.h>

#include <filesystem>
#include <string>

#include "app/preview/print_preview_dialog.h"
#include "tests/engine/form_window_fixture.h"

namespace praxora::testing {
namespace {

namespace fs = std::filesystem;
using PrintPreviewTest = FormWindowTest;

struct PdfFacts {
    int pages = 0;
    std::string text;
};

PdfFacts ReadPdf(const std::string& path) {
    PdfFacts facts;
    gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
    PopplerDocument* document = poppler_document_new_from_file(uri, nullptr, nullptr);
    g_free(uri);
    if (document == nullptr) {
        return facts;
    }
    facts.pages = poppler_document_get_n_pages(document);
    for (int i = 0; i < facts.pages; ++i) {
        PopplerPage* page = poppler_document_get_page(document, i);
        gchar* text = poppler_page_get_text(page);
        facts.text += text != nullptr ? text : "";
        g_free(text);
        g_object_unref(page);
    }
    g_object_unref(document);
    return facts;
}

void SendKey(wxWindow* window, int keyCode) {
    wxKeyEvent key(wxEVT_CHAR_HOOK);
    key.m_keyCode = keyCode;
    key.SetEventObject(window);
    window->ProcessWindowEvent(key);
}

TEST_F(PrintPreviewTest, PreviewShowsEverySheetOfThePacketAndLeavesNothing) {
    ASSERT_TRUE(View().RunScript("fillTestData();"));
    ASSERT_TRUE(
        View().RunScript("preparePrintPacket();"
                         "document.getElementById('nativeBuffer').value="
                         "String(document.querySelectorAll('#printPacket .sheet').length);"));
    std::string sheets;
    ASSERT_TRUE(View().GetNativeBuffer(sheets));
    ASSERT_GE(std::stoi(sheets), 2);

    std::string pdfPath;
    bool paged = false;
    ui.whilePreviewOpen = [&](const std::string& path, const std::function<void()>&) {
        pdfPath = path;
        const PdfFacts pdf = ReadPdf(path);
        EXPECT_EQ(pdf.pages, std::stoi(sheets));
        EXPECT_NE(pdf.text.find("Page 1 of " + sheets), std::string::npos);
        EXPECT_NE(pdf.text.find("TESTPATIENT"), std::string::npos);
        EXPECT_EQ(pdf.text.find("Save clinic defaults"), std::string::npos)
            << "the screen's toolbar printed";

        auto document = OpenPdfDocument(path);
        ASSERT_NE(document, nullptr);
        auto* dialog = new CPrintPreviewDialog(frame, std::move(document), {});
        dialog->Show();
        RunLoopFor(200ms);
        EXPECT_EQ(dialog->CurrentPage(), 0);
        EXPECT_EQ(dialog->PageCount(), std::stoi(sheets));
        SendKey(dialog, WXK_PAGEDOWN);
        EXPECT_EQ(dialog->CurrentPage(), 1);
        SendKey(dialog, WXK_END);
        EXPECT_EQ(dialog->CurrentPage(), dialog->PageCount() - 1);
        SendKey(dialog, WXK_HOME);
        EXPECT_EQ(dialog->CurrentPage(), 0);
        dialog->Destroy();
        paged = true;
    };
    View().PrintPreview();
    ASSERT_TRUE(paged);
    EXPECT_FALSE(fs::exists(pdfPath));
    EXPECT_FALSE(fs::exists(fs::path(pdfPath).parent_path()));
}

}  // namespace
}  // namespace praxora::testing
