// Printing support: the print dialog through a replaced call (OK with a
// device context, cancel) and the system's own, which under Wine without a
// printer refuses; the print record's defaults; the metafile page sink's
// pages, paper frames, texts and failures.
#include "classlib/afxprint.h"

#include <cderr.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "tests/harness/harness.h"

namespace {

int g_dialogCalls = 0;
DWORD g_seenFlags = 0;
BOOL Cancel(PRINTDLGA* pd) {
    ++g_dialogCalls;
    g_seenFlags = pd->Flags;
    return FALSE;
}
BOOL ChooseMemoryDC(PRINTDLGA* pd) {
    ++g_dialogCalls;
    g_seenFlags = pd->Flags;
    pd->hDC = ::CreateCompatibleDC(nullptr);
    return TRUE;
}

TEST(PrintDialog, ReplacedCall) {
    struct Case {
        const char* name;
        AFX_PRINTDLG_FN fn;
        INT_PTR result;
        bool dc;
    };
    const Case cases[] = {{"cancel", Cancel, IDCANCEL, false}, {"ok", ChooseMemoryDC, IDOK, true}};
    for (const Case& k : cases) {
        EXPECT_EQ(nullptr, AfxSetPrintDlgFunction(k.fn)) << k.name;
        g_dialogCalls = 0;
        CPrintDialog dlg(FALSE);
        EXPECT_EQ(k.result, dlg.DoModal()) << k.name;
        EXPECT_EQ(1, g_dialogCalls) << k.name;
        // A device context, copies from the device mode, no page numbers
        // and no selection; not the setup dialog.
        EXPECT_EQ(DWORD(PD_RETURNDC | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_NOSELECTION),
                  g_seenFlags & (PD_RETURNDC | PD_USEDEVMODECOPIES | PD_NOPAGENUMS |
                                 PD_NOSELECTION | PD_PRINTSETUP))
            << k.name;
        EXPECT_EQ(k.dc, dlg.GetPrinterDC() != nullptr) << k.name;
        if (dlg.GetPrinterDC()) ::DeleteDC(dlg.GetPrinterDC());
        EXPECT_EQ(k.fn, AfxSetPrintDlgFunction(nullptr)) << k.name;
    }
}

// Answers the windows the system's print dialog puts up on another thread:
// each message box with OK (its text recorded), then the dialog with
// Cancel. Stops after `seconds`.
struct DialogAnswerer {
    DWORD thread = 0;
    std::vector<std::string> boxTexts;
    int dialogs = 0;
    volatile bool stop = false;

    static BOOL CALLBACK Visit(HWND hwnd, LPARAM lp) {
        auto* self = reinterpret_cast<DialogAnswerer*>(lp);
        char cls[32] = {};
        ::GetClassNameA(hwnd, cls, sizeof(cls));
        if (!::IsWindowVisible(hwnd) || std::strcmp(cls, "#32770") != 0) return TRUE;
        // A message box holds the static text with the message (id 0xFFFF).
        char text[512] = {};
        if (HWND msg = ::GetDlgItem(hwnd, 0xFFFF)) ::GetWindowTextA(msg, text, sizeof(text));
        if (text[0]) {
            self->boxTexts.push_back(text);
            ::PostMessageA(hwnd, WM_COMMAND, IDOK, 0);
        } else {
            ++self->dialogs;
            ::PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
        }
        return TRUE;
    }
    void Run(int seconds) {
        for (int i = 0; i < seconds * 20 && !stop; ++i) {
            ::EnumThreadWindows(thread, Visit, reinterpret_cast<LPARAM>(this));
            ::Sleep(50);
        }
    }
};

// Wine has no printer: the system's dialog says so in a message box, and
// its dialog, cancelled, gives no device context, so nothing can print.
TEST(PrintDialog, SystemDialogWithoutPrinter) {
    DialogAnswerer answerer;
    answerer.thread = ::GetCurrentThreadId();
    std::thread helper([&] { answerer.Run(20); });
    CPrintDialog dlg(FALSE);
    const INT_PTR result = dlg.DoModal();
    answerer.stop = true;
    helper.join();
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(nullptr, dlg.GetPrinterDC());
    // One box telling that a printer must be installed first (in the
    // session's language); the dialog itself may end with it or stand
    // until cancelled.
    EXPECT_EQ(1u, answerer.boxTexts.size());
    EXPECT_LE(answerer.dialogs, 1);
}

TEST(PrintInfo, Defaults) {
    CPrintInfo info;
    EXPECT_EQ(1u, info.m_nCurPage);
    EXPECT_TRUE(info.m_bContinuePrinting);
    EXPECT_EQ(1u, info.GetMinPage());
    info.SetMaxPage(3);
    EXPECT_EQ(3u, info.GetMaxPage());
}

// Draws "Page n" on each page and a second text on the first.
void DrawPages(CMetafilePageSink& sink, int pages, std::vector<int>* endResults) {
    ASSERT_GT(sink.StartDoc("Doc"), 0);
    for (int p = 1; p <= pages; ++p) {
        CDC* dc = sink.StartPage();
        ASSERT_NE(nullptr, dc);
        const std::string t = "Page " + std::to_string(p);
        dc->TextOut(10, 10, t.c_str(), static_cast<int>(t.size()));
        if (p == 1) dc->TextOut(10, 40, "한글 first", static_cast<int>(strlen("한글 first")));
        const int r = sink.EndPage();
        endResults->push_back(r);
        if (r <= 0) {
            sink.AbortDoc();
            return;
        }
    }
    sink.EndDoc();
}

TEST(MetafilePageSink, PagesTextsAndFailures) {
    struct Case {
        const char* name;
        CSize paper;
        int dpi;
        int pages, failPage;
        int recorded;
        CMetafilePageSink::State state;
    };
    const Case cases[] = {
        {"three pages", CSize(2480, 3508), 300, 3, 0, 3, CMetafilePageSink::ended},
        {"landscape at 600 dpi", CSize(7016, 4960), 600, 1, 0, 1, CMetafilePageSink::ended},
        {"second page fails", CSize(2480, 3508), 300, 3, 2, 2, CMetafilePageSink::aborted},
    };
    for (const Case& k : cases) {
        CMetafilePageSink sink(k.paper, k.dpi);
        if (k.failPage) sink.FailEndPage(k.failPage);
        EXPECT_EQ(k.paper, sink.GetPaperSize()) << k.name;
        std::vector<int> results;
        DrawPages(sink, k.pages, &results);
        EXPECT_EQ(k.state, sink.GetState()) << k.name;
        EXPECT_STREQ("Doc", sink.GetDocName()) << k.name;
        ASSERT_EQ(k.recorded, sink.GetPageCount()) << k.name;
        for (int p = 0; p < sink.GetPageCount(); ++p) {
            const std::vector<CString> texts = sink.GetPageTexts(p);
            ASSERT_FALSE(texts.empty()) << k.name;
            EXPECT_EQ("Page " + std::to_string(p + 1), std::string(texts[0])) << k.name;
            if (p == 0) {
                ASSERT_EQ(2u, texts.size()) << k.name;
                EXPECT_STREQ("한글 first", texts[1]) << k.name;
            }
            // The frame is the paper in hundredths of millimetres.
            const CRect f = sink.GetPageFrame(p);
            EXPECT_NEAR(::MulDiv(k.paper.cx, 2540, k.dpi), f.Width(), 2) << k.name;
            EXPECT_NEAR(::MulDiv(k.paper.cy, 2540, k.dpi), f.Height(), 2) << k.name;
        }
        if (k.failPage) {
            EXPECT_GE(0, results.back()) << k.name;
        }
    }
}

TEST(MetafilePageSink, PageOutsideADocument) {
    CMetafilePageSink sink(CSize(100, 100));
    EXPECT_EQ(nullptr, sink.StartPage()) << "no document started";
    EXPECT_GE(0, sink.EndPage());
    ASSERT_GT(sink.StartDoc("x"), 0);
    ASSERT_NE(nullptr, sink.StartPage());
    EXPECT_EQ(nullptr, sink.StartPage()) << "a page is open";
    EXPECT_GT(sink.EndPage(), 0);
    EXPECT_GT(sink.EndDoc(), 0);
    EXPECT_TRUE(sink.GetPageTexts(5).empty());
}

}  // namespace
