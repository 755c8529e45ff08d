// The pane's scrolling, background and random decoration commands, and the
// picture export read back from the JPEG files.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <gdiplus.h>
#include <memory>
#include <string>
#include <vector>

#include "ViewWindowTest.h"
#include "app/DisplaySettings.h"
#include "framework/FileUtil.h"
#include "res/resource.h"
#include "tests/controls/GdiTestSurface.h"
#include "tests/support/Pixels.h"

namespace {

class CommandsTest : public ViewWindowTest {
protected:
    // The pane with an article of paragraphs x charsEach characters.
    void OpenArticle(int paragraphs, int charsEach)
    {
        CString path = WriteArticle(paragraphs, charsEach);
        CreateView();
        view->OpenArticle(folder.Path(), path);
        Pump();
        ASSERT_NE(nullptr, view->m_pRoot);
    }
    int ScrollY() { return view->GetScrollPosition().y; }
    void Wheel(short delta)
    {
        view->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)delta), MAKELPARAM(100, 100));
    }
    void VScroll(UINT code, UINT pos = 0) { view->SendMessage(WM_VSCROLL, MAKEWPARAM(code, pos), 0); }
    // A background folder of n pictures under control\IMG\背景.
    void MakeBackgrounds(int n)
    {
        ImageSet& set = DisplaySettings.BackgroundSet;
        set.strFolder = folder.Path() + L"control\\IMG\\背景\\纸";
        set.vecFiles.clear();
        for (int i = 0; i < n; ++i) {
            CString name;
            name.Format(L"%02d.bmp", i);
            set.vecFiles.push_back(name);
        }
        DisplaySettings.Count = n;
    }
};

UINT WheelLines()
{
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    return lines;
}

} // namespace

TEST_F(CommandsTest, WheelAndArrowsTakeTheirOwnStepsPlusOneTextLinePerLine)
{
    OpenArticle(40, 200);
    ASSERT_TRUE(view->GetStyle() & WS_VSCROLL);
    const int line = view->m_nTextSize + view->m_nRow;
    const int lines = (int)WheelLines();
    // One notch towards the user: 25 px of the pane, then the framework's lines.
    Wheel(-WHEEL_DELTA);
    EXPECT_EQ(25 + lines * line, ScrollY());
    EXPECT_EQ(1, view->m_nScrollDown);
    Wheel(WHEEL_DELTA);
    EXPECT_EQ(0, ScrollY());
    EXPECT_EQ(0, view->m_nScrollDown);
    // Half a notch down: (-60 / 120) x 25 is 0, the direction is down all the same.
    Wheel(-60);
    EXPECT_EQ(lines * line / 2, ScrollY());
    EXPECT_EQ(1, view->m_nScrollDown);
    Wheel(60);
    EXPECT_EQ(0, ScrollY());
    // Up at the top stays at the top.
    Wheel(WHEEL_DELTA);
    VScroll(SB_LINEUP);
    EXPECT_EQ(0, ScrollY());

    VScroll(SB_LINEDOWN);
    EXPECT_EQ(10 + line, ScrollY());
    EXPECT_EQ(1, view->m_nScrollDown);
    VScroll(SB_LINEUP);
    EXPECT_EQ(0, ScrollY());
    EXPECT_EQ(0, view->m_nScrollDown);
    // A page is the client height less one line, however long the article.
    VScroll(SB_PAGEDOWN);
    EXPECT_EQ(view->m_rcClient.Height() - line, ScrollY());
    VScroll(SB_THUMBTRACK, 2000);
    EXPECT_EQ(2000, ScrollY());
    EXPECT_EQ(1, view->m_nScrollDown);
    VScroll(SB_THUMBTRACK, 1500);
    EXPECT_EQ(0, view->m_nScrollDown);
    VScroll(SB_BOTTOM);
    const int bottom = ScrollY();
    ASSERT_GT(bottom, 1500);
    EXPECT_EQ(view->GetTotalSize().cy - view->m_rcClient.Height(), bottom);
    Wheel(-WHEEL_DELTA);
    EXPECT_EQ(bottom, ScrollY());
}

TEST_F(CommandsTest, BackgroundsStepAndWrapPerPane)
{
    OpenArticle(3, 50);
    MakeBackgrounds(5);
    DisplaySettings.Index0 = 4;
    Command(ID_NEXT_BACKGROUND);
    EXPECT_EQ(0, DisplaySettings.Index0);
    const CString first = DisplaySettings.BackgroundSet.strFolder + L"\\00.bmp";
    EXPECT_EQ(first, view->m_strBackgroundPicture);
    EXPECT_EQ(first, DisplaySettings.strBackgroundFile);
    Command(ID_PREV_BACKGROUND);
    EXPECT_EQ(4, DisplaySettings.Index0);
    EXPECT_EQ(DisplaySettings.BackgroundSet.strFolder + L"\\04.bmp", view->m_strBackgroundPicture);
    EXPECT_EQ(0, DisplaySettings.Index1);

    // A count from the preset file larger than the folder: the index wraps inside the list.
    DisplaySettings.Count = 7;
    Command(ID_NEXT_BACKGROUND);
    EXPECT_EQ(0, DisplaySettings.Index0);
    DisplaySettings.Index0 = 6;
    Command(ID_PREV_BACKGROUND);
    EXPECT_EQ(0, DisplaySettings.Index0);
    EXPECT_EQ(first, view->m_strBackgroundPicture);

    // Without pictures nothing changes.
    MakeBackgrounds(0);
    DisplaySettings.Index0 = 3;
    Command(ID_NEXT_BACKGROUND);
    EXPECT_EQ(3, DisplaySettings.Index0);
    EXPECT_EQ(first, view->m_strBackgroundPicture);

    // On a code line the two commands step the code character width.
    view->m_pCurLine->nCode = 1;
    Command(ID_NEXT_BACKGROUND);
    EXPECT_EQ(1, DisplaySettings.Increase);
    Command(ID_PREV_BACKGROUND);
    Command(ID_PREV_BACKGROUND);
    EXPECT_EQ(0, DisplaySettings.Increase);
    EXPECT_EQ(3, DisplaySettings.Index0);
}

TEST_F(CommandsTest, RandomBarsResetThePicksTheSelectionNames)
{
    OpenArticle(4, 100);
    ChunkNode* para = view->m_pRoot->pFirstChild;
    auto setPicks = [&] {
        for (ChunkNode* p = para; p; p = p->pNext)
            for (int& pick : p->nPick)
                pick = 1;
        DisplaySettings.nVerticalMode = DisplaySettings.nLineMode = DisplaySettings.nPramMode = 1;
        DisplaySettings.nWholeLR0 = DisplaySettings.nWholeTB0 = DisplaySettings.nWholeTB1 = 1;
    };
    setPicks();
    Command(ID_RANDOM_VERTICAL_BAR);
    EXPECT_EQ(-1, DisplaySettings.nVerticalMode);
    EXPECT_EQ(-1, DisplaySettings.nWholeLR0);
    for (ChunkNode* p = para; p; p = p->pNext) {
        EXPECT_EQ(-1, p->nPick[0]);
        EXPECT_EQ(1, p->nPick[1]);
    }

    DisplaySettings.nSelect = 0;
    DisplaySettings.nBiaozhu = 19;
    Command(ID_RANDOM_HORIZONTAL_BAR);
    EXPECT_EQ(21, DisplaySettings.nBiaozhu);

    setPicks();
    DisplaySettings.nSelect = 1;
    Command(ID_RANDOM_HORIZONTAL_BAR);
    EXPECT_EQ(-1, DisplaySettings.nLineMode);
    EXPECT_EQ(1, DisplaySettings.nPramMode);
    EXPECT_EQ(-1, para->nPick[1]);
    EXPECT_EQ(1, para->nPick[2]);

    setPicks();
    DisplaySettings.nSelect = 3;
    Command(ID_RANDOM_HORIZONTAL_BAR);
    EXPECT_EQ(-1, DisplaySettings.nLineMode);
    EXPECT_EQ(-1, DisplaySettings.nPramMode);
    EXPECT_EQ(-1, para->pNext->nPick[2]);

    setPicks();
    DisplaySettings.nSelect = 4;
    Command(ID_RANDOM_HORIZONTAL_BAR);
    EXPECT_EQ(-1, DisplaySettings.nWholeTB0);
    EXPECT_EQ(1, DisplaySettings.nWholeTB1);
    EXPECT_EQ(1, para->nPick[1]);
}

// ---------------------------------------------------------------- export

namespace {

// A JPEG read back through GDI+.
struct Picture {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[(size_t)y * width + x]; }
};

bool LoadPicture(const CString& path, Picture& out)
{
    Gdiplus::Bitmap bmp(path.GetString());
    if (bmp.GetLastStatus() != Gdiplus::Ok)
        return false;
    out.width = (int)bmp.GetWidth();
    out.height = (int)bmp.GetHeight();
    out.pixels.resize((size_t)out.width * out.height);
    Gdiplus::BitmapData data;
    Gdiplus::Rect all(0, 0, out.width, out.height);
    if (bmp.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppRGB, &data) != Gdiplus::Ok)
        return false;
    for (int y = 0; y < out.height; ++y) {
        const DWORD* row = (const DWORD*)((const BYTE*)data.Scan0 + y * data.Stride);
        for (int x = 0; x < out.width; ++x)
            out.pixels[(size_t)y * out.width + x] =
                RGB((row[x] >> 16) & 0xFF, (row[x] >> 8) & 0xFF, row[x] & 0xFF);
    }
    bmp.UnlockBits(&data);
    return true;
}

bool Close(COLORREF a, COLORREF b, int tolerance)
{
    return abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// Pixels of a row band that are far from the background colour.
int InkIn(const Picture& p, int x0, int x1, int y0, int y1, COLORREF bg)
{
    int n = 0;
    for (int y = std::max(0, y0); y < std::min(p.height, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(p.width, x1); ++x)
            n += Close(p.At(x, y), bg, 80) ? 0 : 1;
    return n;
}

} // namespace

TEST_F(CommandsTest, ShortArticleGivesOnePictureOfThePage)
{
    DisplaySettings.clrBg = RGB(240, 240, 200);
    DisplaySettings.clrText = RGB(0, 0, 0);
    OpenArticle(3, 60);
    const CSize total = view->GetTotalSize();
    ASSERT_LT(total.cy, 2000);
    // Scrolled or not, the picture starts at the article's top.
    VScroll(SB_BOTTOM);
    ASSERT_TRUE(view->ExportImages());
    // Fonts and pictures are kept for later paints; a second export holds no more.
    const int gdiBefore = (int)FwGdiObjectCount();
    EXPECT_GT(gdiBefore, 0);
    ASSERT_TRUE(view->ExportImages());
    EXPECT_EQ(gdiBefore, (int)FwGdiObjectCount());
    Picture pic;
    ASSERT_TRUE(LoadPicture(folder.Path() + L"BookImg\\article.jpg", pic));
    EXPECT_EQ(std::max((int)total.cx, view->m_rcClient.Width()), pic.width);
    EXPECT_EQ(total.cy, pic.height);
    ChunkNode* first = view->FirstLine(view->m_pRoot);
    EXPECT_GT(InkIn(pic, first->x, first->x + 300, first->y, first->bottom, DisplaySettings.clrBg), 200);
    EXPECT_EQ(0, InkIn(pic, 0, pic.width, 0, first->y - 2, DisplaySettings.clrBg));
    EXPECT_TRUE(Close(pic.At(pic.width - 3, pic.height - 3), DisplaySettings.clrBg, 12));
    EXPECT_TRUE(MessageRecorder::Texts().empty());
}

TEST_F(CommandsTest, ShortArticleKeepsItsLastLineClearOfTheBottomBar)
{
    DisplaySettingsBlock& ds = DisplaySettings;
    ds.clrBg = RGB(240, 240, 200);
    ds.clrText = RGB(0, 0, 0);
    const CString lines = folder.Path() + L"control\\IMG\\行线\\t";
    ASSERT_TRUE(CreateFolderTree(lines));
    ASSERT_TRUE(WriteBmp((lines + L"\\rule.bmp").GetString(), 100, 10,
                         [](int, int) { return RGB(200, 30, 30); }));
    ds.LineSet.strFolder = lines;
    ds.LineSet.vecFiles = {L"rule.bmp"};
    ds.bWholeTop = ds.bWholeBottom = 1;
    OpenArticle(3, 60);
    const CSize total = view->GetTotalSize();
    ASSERT_LT(total.cy, 2000);
    ASSERT_TRUE(view->ExportImages());
    Picture pic;
    ASSERT_TRUE(LoadPicture(folder.Path() + L"BookImg\\article.jpg", pic));
    // The bar goes below the text, not over its last line.
    EXPECT_EQ(total.cy, pic.height);
    ChunkNode* last = view->LastLine(view->m_pRoot);
    ASSERT_NE(nullptr, last);
    int text = 0;
    for (int y = last->y; y < last->bottom; ++y)
        for (int x = last->x; x < last->x + 300 && x < pic.width; ++x)
            text += Close(pic.At(x, y), RGB(0, 0, 0), 90) ? 1 : 0;
    EXPECT_GT(text, 100);
    EXPECT_TRUE(Close(pic.At(pic.width / 2, pic.height - view->m_nPageTop / 2), RGB(200, 30, 30), 40));
}

TEST_F(CommandsTest, TheLastLinesScrollAboveTheBottomBar)
{
    DisplaySettingsBlock& ds = DisplaySettings;
    ds.clrBg = RGB(240, 240, 200);
    ds.clrText = RGB(0, 0, 0);
    ds.bWholeBottom = 1;
    OpenArticle(30, 60);
    VScroll(SB_BOTTOM);
    Pump();
    view->UpdateWindow();
    ChunkNode* last = view->LastLine(view->m_pRoot);
    ASSERT_NE(nullptr, last);
    const int top = last->y - ScrollY();
    // Fully above the bar, which covers the pane's last page-top pixels.
    EXPECT_LE(top + (last->bottom - last->y), view->m_rcClient.Height() - view->m_nPageTop);
    const ClientCapture shot(view->m_hWnd);
    int text = 0;
    for (int y = top; y < top + (last->bottom - last->y); ++y)
        for (int x = last->x; x < last->x + 300; ++x)
            text += Close(shot.At(x, y), RGB(0, 0, 0), 90) ? 1 : 0;
    EXPECT_GT(text, 100);
}

TEST_F(CommandsTest, LongArticleGivesSlicesWithTheirOwnCodeBackgrounds)
{
    DisplaySettings.clrBg = RGB(255, 255, 255);
    DisplaySettings.clrCBg = RGB(20, 40, 120);
    DisplaySettings.clrLeft = RGB(200, 60, 60);
    OpenArticle(30, 120);
    // Every third paragraph becomes a code block.
    int n = 0;
    for (ChunkNode* p = view->m_pRoot->pFirstChild; p; p = p->pNext, ++n)
        if (n % 3 == 1)
            p->nCode = 2;
    view->Relayout(view->m_pRoot, 0);
    view->UpdateGeometry(view->m_pRoot, 0);
    const int H = view->GetTotalSize().cy;
    ASSERT_GE(H, 2000);
    const int slices = (H + 999) / 1000;
    VScroll(SB_THUMBTRACK, 700);
    ASSERT_TRUE(view->ExportImages());
    const int gdiBefore = (int)FwGdiObjectCount();
    ASSERT_TRUE(view->ExportImages());
    EXPECT_EQ(gdiBefore, (int)FwGdiObjectCount());
    const CString dir = folder.Path() + L"BookImg\\article\\";
    EXPECT_EQ((size_t)slices, testfiles::Listing(dir).size());
    for (int k = 1; k <= slices; ++k) {
        CString path;
        path.Format(L"%sarticle_%d.jpg", dir.GetString(), k);
        Picture pic;
        ASSERT_TRUE(LoadPicture(path, pic)) << k;
        EXPECT_EQ(2 * 50 + 1003, pic.height);
        EXPECT_EQ(std::max((int)view->GetTotalSize().cx, view->m_rcClient.Width()), pic.width);
    }
    // Slice 2: its first line is the first one ending below 1000 + page top,
    // drawn at the page top; the code lines keep their backgrounds there.
    ChunkNode* firstOf2 = nullptr;
    std::vector<ChunkNode*> codeIn2;
    int offset = 0;
    for (ChunkNode* l = view->FirstLine(view->m_pRoot); l; l = view->NextLeaf(l)) {
        if (l->bottom <= 1050 || l->bottom > 2050)
            continue;
        if (!firstOf2) {
            firstOf2 = l;
            offset = l->y - 50;
        }
        if (l->nCode)
            codeIn2.push_back(l);
    }
    ASSERT_NE(nullptr, firstOf2);
    ASSERT_FALSE(codeIn2.empty());
    Picture pic;
    ASSERT_TRUE(LoadPicture(dir + L"article_2.jpg", pic));
    const int y = firstOf2->y - offset;
    EXPECT_EQ(50, y);
    EXPECT_GT(InkIn(pic, firstOf2->x, firstOf2->x + 400, y, y + 28, DisplaySettings.clrBg), 100);
    EXPECT_EQ(0, InkIn(pic, firstOf2->x, firstOf2->x + 400, 0, 40, DisplaySettings.clrBg));
    for (ChunkNode* code : codeIn2) {
        const int mid = (code->y + code->bottom) / 2 - offset;
        EXPECT_TRUE(Close(pic.At(code->x / 2, mid), DisplaySettings.clrLeft, 24)) << mid;
        EXPECT_TRUE(Close(pic.At(pic.width - 4, mid), DisplaySettings.clrCBg, 24)) << mid;
    }
}

TEST_F(CommandsTest, FailedSaveIsReported)
{
    OpenArticle(2, 20);
    // A file where the picture folder should be.
    ASSERT_TRUE(testfiles::PutFile(folder.Path() + L"BookImg", "x"));
    EXPECT_FALSE(view->ExportImages());
    ASSERT_EQ(1u, MessageRecorder::Texts().size());
    EXPECT_NE(std::wstring::npos, MessageRecorder::Texts()[0].find(L"图片保存失败"));
}
