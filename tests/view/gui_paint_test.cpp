// Painting of the article pane in a real window: background, characters,
// code colouring, marks and the picture decorations, read back as pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "LayoutTestUtil.h"
#include "ViewTestUtil.h"
#include "app/DisplaySettings.h"
#include "framework/Doc.h"
#include "framework/FileUtil.h"
#include "framework/Frame.h"
#include "framework/Controls.h"
#include "framework/Ids.h"
#include "GlyphShapeTestUtil.h"
#include "tests/controls/GdiTestSurface.h"
#include "tests/support/Pixels.h"
#include "view/ImportView.h"
#include "view/Painter.h"
#include "settings/FontList.h"

namespace {

const int kWidth = 800;
const int kHeight = 600;

const COLORREF kBg = RGB(250, 200, 150);
const COLORREF kText = RGB(0, 0, 90);
const COLORREF kBottom = RGB(255, 255, 165);    // 0xFFFFFF - kText
const COLORREF kCodeBg = RGB(20, 20, 50);
const COLORREF kRed = RGB(160, 0, 0);
const COLORREF kBlue = RGB(0, 0, 170);

bool Near(COLORREF a, COLORREF b, int tolerance = 12) { return ChannelDiff(a, b) <= tolerance; }

// The gradient's colour at row y of the pane.
COLORREF GradientAt(int y)
{
    auto mix = [y](int a, int b) { return a + (b - a) * (y + 1) / (kHeight + 1); };
    return RGB(mix(GetRValue(kBg), GetRValue(kBottom)), mix(GetGValue(kBg), GetGValue(kBottom)),
               mix(GetBValue(kBg), GetBValue(kBottom)));
}

// Enough text for a paragraph of five lines or more at any page width used here.
std::wstring LongText()
{
    std::wstring text;
    for (int i = 0; i < 120; ++i)
        text += (wchar_t)(0x4E00 + i % 40);
    return text;
}

class PaintTest : public testing::Test {
protected:
    void SetUp() override
    {
        DisplaySettings = DisplaySettingsBlock();
        DisplaySettings.clrBg = kBg;
        DisplaySettings.clrText = kText;
        DisplaySettings.clrCBg = kCodeBg;
        g_bPagePainting = 0;
        ASSERT_TRUE(m_frame.CreateEx(0, AfxDefaultWndClass(), L"paint", WS_POPUP | WS_VISIBLE, 0,
                                     0, kWidth, kHeight, NULL, NULL));
        CCreateContext context;
        context.m_pCurrentDoc = &m_doc;
        m_view = new CImportView;
        if (!m_view->Create(NULL, L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, kWidth, kHeight),
                            &m_frame, AFX_IDW_PANE_FIRST, &context)) {
            delete m_view;
            m_view = nullptr;
            FAIL() << "the pane was not created";
        }
        m_view->OnInitialUpdate();
        m_view->m_strLogPath = m_folder.Path() + L"error.log";
    }

    void TearDown() override
    {
        if (m_view && m_view->m_hWnd)
            m_view->DestroyWindow();
        m_frame.DestroyWindow();
    }

    // Builds an article with a plain model, saves it and opens it in the pane.
    void Open(const std::function<void(CArticleModel&, ChunkNode*)>& build)
    {
        CArticleModel model;
        model.NewArticle();
        build(model, model.m_pCurLine);
        CString path = m_folder.Path() + L"article.txt";
        ASSERT_TRUE(model.SaveArticle(m_folder.Path(), path));
        m_view->OpenArticle(m_folder.Path(), path);
        ASSERT_NE(nullptr, m_view->m_pRoot);
    }

    // A new paragraph below the current one, holding one line with text.
    static ChunkNode* AddParagraph(CArticleModel& m, const std::wstring& text, int code = 0)
    {
        ChunkNode* para = m.NewContainerAfterCurrent();
        ChunkNode* line = m.NewLineAfter(para, nullptr);
        line->nCode = code;
        AppendText(m, line, text);
        return line;
    }

    static ChunkNode* AddLine(CArticleModel& m, ChunkNode* after, const std::wstring& text)
    {
        ChunkNode* line = m.NewLineAfter(after->pParent, after);
        line->nCode = after->nCode;
        AppendText(m, line, text);
        return line;
    }

    ChunkNode* Paragraph(int n)
    {
        ChunkNode* p = m_view->m_pRoot->pFirstChild;
        while (p && n-- > 0)
            p = p->pNext;
        return p;
    }
    ChunkNode* LineOf(int para, int line = 0)
    {
        ChunkNode* l = m_view->FirstLine(Paragraph(para));
        while (l && line-- > 0)
            l = l->pNext;
        return l;
    }
    static CharItem* ItemOf(ChunkNode* line, int n)
    {
        CharItem* it = line->pFirstItem;
        while (it && n-- > 0)
            it = it->pNext;
        return it;
    }

    void Paint()
    {
        RedrawWindow(m_view->m_hWnd, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
        GdiFlush();
    }

    // The character's box on screen, less a pixel all round.
    RECT BoxOf(const CharItem* it)
    {
        int dy = m_view->GetScrollPosition().y;
        RECT r = {(int)it->left + 1, (int)it->top + 1 - dy, (int)it->right - 1,
                  (int)it->bottom - 1 - dy};
        return r;
    }

    static int Count(const ClientCapture& cap, const RECT& r,
                     const std::function<bool(COLORREF)>& pred)
    {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (pred(cap.At(x, y)))
                    ++n;
        return n;
    }

    // Positions whose pixel is (close to) the colour, as a string of 0 and 1.
    static std::string Mask(const ClientCapture& cap, const RECT& r, COLORREF c)
    {
        std::string mask;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                mask += Near(cap.At(x, y), c, 60) ? '1' : '0';
        return mask;
    }

    // A folder under control\IMG\<parent>\ holding the pictures written by the caller.
    CString PictureFolder(const wchar_t* parent, const wchar_t* name)
    {
        CString folder = m_folder.Path() + L"control\\IMG\\" + parent + L"\\" + name;
        CreateFolderTree(folder);
        return folder;
    }

    SettingsGuard m_settings;
    TempProgramFolder m_folder;
    MessageRecorder m_messages;
    CWnd m_frame;
    CDocument m_doc;
    CImportView* m_view = nullptr;
};

TEST_F(PaintTest, GradientTextAndSelection)
{
    Open([](CArticleModel& m, ChunkNode* first) {
        AppendText(m, first, L"中国人");
        AddParagraph(m, L"中国");
    });
    ChunkNode* second = LineOf(1);
    ASSERT_NE(nullptr, second);
    ItemOf(second, 1)->bSelected = 1;
    Paint();
    ClientCapture cap(m_view->m_hWnd);
    ASSERT_EQ(kWidth, cap.Width());

    // Gradient from clrBg at the top to the inverse text colour at the bottom.
    EXPECT_TRUE(Near(cap.At(kWidth - 5, 0), kBg, 6)) << std::hex << cap.At(kWidth - 5, 0);
    EXPECT_TRUE(Near(cap.At(kWidth - 5, kHeight - 1), kBottom, 6))
        << std::hex << cap.At(kWidth - 5, kHeight - 1);
    EXPECT_TRUE(Near(cap.At(kWidth - 5, 300), GradientAt(300), 6));

    // Chinese glyphs in the text colour, each its own shape (not a box).
    ChunkNode* first = LineOf(0);
    std::string zhong = Mask(cap, BoxOf(ItemOf(first, 0)), kText);
    std::string guo = Mask(cap, BoxOf(ItemOf(first, 1)), kText);
    int inked = 0, differ = 0;
    for (size_t i = 0; i < zhong.size() && i < guo.size(); ++i) {
        inked += zhong[i] == '1';
        differ += zhong[i] != guo[i];
    }
    EXPECT_GT(inked, 20);
    EXPECT_GT(differ, 20);
    // The same glyph on the next line draws the same shape.
    EXPECT_EQ(zhong, Mask(cap, BoxOf(ItemOf(second, 0)), kText));

    // The selected character: white on black.
    RECT sel = BoxOf(ItemOf(second, 1));
    int black = Count(cap, sel, [](COLORREF c) { return Near(c, RGB(0, 0, 0), 30); });
    int white = Count(cap, sel, [](COLORREF c) { return Near(c, RGB(255, 255, 255), 30); });
    int area = (sel.right - sel.left) * (sel.bottom - sel.top);
    EXPECT_GT(black, area / 3);
    EXPECT_GT(white, 15);
    EXPECT_EQ(0, Count(cap, BoxOf(ItemOf(second, 0)),
                       [](COLORREF c) { return Near(c, RGB(255, 255, 255), 30); }));
    EXPECT_EQ(first, m_view->m_pFirstDrawn);
}

TEST_F(PaintTest, CodeLineBackgroundGutterAndWordColours)
{
    Open([](CArticleModel& m, ChunkNode* first) {
        AppendText(m, first, L"文");
        ChunkNode* code = AddParagraph(m, L"int x;", 2);
        AddLine(m, code, L"f(x)");
    });
    ChunkNode* code = LineOf(1);
    ASSERT_TRUE(code && code->nCode);
    ChunkNode* call = code->pNext;
    ASSERT_NE(nullptr, call);
    // Caret in front of "x" inside the parentheses.
    m_view->m_pCurLine = call;
    m_view->m_pCurItem = ItemOf(call, 2);
    Paint();
    ClientCapture cap(m_view->m_hWnd);
    const DisplaySettingsBlock& ds = DisplaySettings;
    int mid = (code->y + code->bottom) / 2;

    EXPECT_EQ(ds.clrLeft, cap.At(code->x / 2, mid));
    EXPECT_EQ(kCodeBg, cap.At(kWidth - 5, mid));
    // Outside the code lines the gradient shows.
    EXPECT_TRUE(Near(cap.At(kWidth - 5, call->bottom + 10), GradientAt(call->bottom + 10), 6));

    auto count = [&](CharItem* it, COLORREF c) {
        return Count(cap, BoxOf(it), [c](COLORREF p) { return Near(p, c, 40); });
    };
    for (int i = 0; i < 3; ++i)
        EXPECT_GT(count(ItemOf(code, i), ds.clrInt), 4) << i;     // "int"
    EXPECT_GT(count(ItemOf(code, 4), ds.clrVar), 4);              // "x", learned
    EXPECT_EQ(0, count(ItemOf(code, 4), ds.clrInt));
    // "(" of the pair holding the caret is lit, the ")" too.
    EXPECT_GT(count(ItemOf(call, 1), ds.clrCurInXiao), 10);
    EXPECT_GT(count(ItemOf(call, 3), ds.clrCurInXiao), 10);
    // The learned name is coloured on the next line as well.
    EXPECT_GT(count(ItemOf(call, 2), ds.clrVar), 4);
}

TEST_F(PaintTest, MarkedRunIsFramedAndRedrawnInWhite)
{
    Open([](CArticleModel& m, ChunkNode* first) {
        AppendText(m, first, L"标");
        AppendText(m, first, L"记&", 3);
        AppendText(m, first, L"字");
    });
    ChunkNode* line = LineOf(0);
    Paint();
    ClientCapture cap(m_view->m_hWnd);
    ASSERT_EQ(1u, m_view->m_vecMarkRuns.size());
    MarkRun* run = m_view->m_vecMarkRuns[0];
    EXPECT_EQ(ItemOf(line, 1), run->pFirst);
    EXPECT_EQ(ItemOf(line, 2), run->pLast);
    EXPECT_EQ((int)ItemOf(line, 1)->left, run->left);
    EXPECT_EQ((int)ItemOf(line, 2)->right, run->right);

    // The frame's outline, the texture inside it, white text over it.
    int cx = (run->left + run->right) / 2;
    EXPECT_TRUE(Near(cap.At(cx, run->top), RGB(0, 0, 0), 40)) << std::hex << cap.At(cx, run->top);
    RECT inside = BoxOf(ItemOf(line, 1));
    auto notBackground = [&](COLORREF c) { return !Near(c, GradientAt(inside.top), 30); };
    int area = (inside.right - inside.left) * (inside.bottom - inside.top);
    EXPECT_GT(Count(cap, inside, notBackground), area * 2 / 3);
    auto white = [](COLORREF c) { return Near(c, RGB(255, 255, 255), 40); };
    EXPECT_GT(Count(cap, inside, white), 10);
    // "&" is drawn as itself, not taken as a prefix.
    EXPECT_GT(Count(cap, BoxOf(ItemOf(line, 2)), white), 5);
    // Unmarked characters keep the background round them.
    RECT outside = BoxOf(ItemOf(line, 3));
    EXPECT_LT(Count(cap, outside, notBackground), area / 2);
}

TEST_F(PaintTest, BarsStripsAndRulesFromTheirFolders)
{
    CString lines = PictureFolder(L"行线", L"t");
    CString strips = PictureFolder(L"竖栏", L"t");
    // Left half dark, right half light (keyed out).
    ASSERT_TRUE(WriteBmp((lines + L"\\rule.bmp").str(), 100, 10,
                         [](int x, int) { return x < 50 ? kRed : RGB(245, 245, 245); }));
    ASSERT_TRUE(WriteBmp((strips + L"\\strip.bmp").str(), 20, 200,
                         [](int x, int) { return x < 10 ? kBlue : RGB(235, 235, 235); }));
    DisplaySettingsBlock& ds = DisplaySettings;
    ds.LineSet.strFolder = lines;
    ds.LineSet.vecFiles = {L"rule.bmp"};
    ds.VerticalSet.strFolder = strips;
    ds.VerticalSet.vecFiles = {L"strip.bmp"};
    ds.bWholeTop = ds.bWholeBottom = ds.bWholeLeft = 1;
    ds.nHorize = 3;
    ds.nVertical = 0;
    ds.nVerticalWidth = 201;
    Open([](CArticleModel& m, ChunkNode* first) { AppendText(m, first, L"行"); });
    Paint();
    ClientCapture cap(m_view->m_hWnd);

    EXPECT_EQ(0, ds.nWholeTB0);     // picked and stored
    EXPECT_EQ(0, ds.nWholeLR0);
    // Top and bottom bars: the dark half shows, the light half lets the page through.
    EXPECT_TRUE(Near(cap.At(200, 25), kRed)) << std::hex << cap.At(200, 25);
    EXPECT_TRUE(Near(cap.At(600, 25), GradientAt(25))) << std::hex << cap.At(600, 25);
    EXPECT_TRUE(Near(cap.At(200, kHeight - 25), kRed));
    EXPECT_TRUE(Near(cap.At(600, kHeight - 25), GradientAt(kHeight - 25)));
    // Strips 60 wide (600 x 20 / 200) at both edges, light pixels transparent.
    EXPECT_TRUE(Near(cap.At(15, 300), kBlue)) << std::hex << cap.At(15, 300);
    EXPECT_TRUE(Near(cap.At(45, 300), GradientAt(300))) << std::hex << cap.At(45, 300);
    EXPECT_TRUE(Near(cap.At(kWidth - 60 + 15, 300), kBlue));
    EXPECT_TRUE(Near(cap.At(kWidth - 60 + 45, 300), GradientAt(300)));
    EXPECT_TRUE(Near(cap.At(70, 300), GradientAt(300)));
    // The rule under the line, centred on its bottom.
    ChunkNode* line = LineOf(0);
    ChunkNode* root = m_view->m_pRoot;
    int y = line->bottom - m_view->m_nRow;
    EXPECT_TRUE(Near(cap.At(root->x + 5, y), kRed)) << std::hex << cap.At(root->x + 5, y);
    EXPECT_TRUE(Near(cap.At(root->x + 5, y + 3), GradientAt(y + 3), 6));
    // The block's rule pick is stored; a short block needs no side-bar pick.
    EXPECT_EQ(0, Paragraph(0)->nPick[1]);
    EXPECT_EQ(-1, Paragraph(0)->nPick[0]);
}

TEST_F(PaintTest, TwoSidedStripsComeFromTheirOwnFolders)
{
    CString strips = PictureFolder(L"竖栏", L"pair");
    CreateFolderTree(strips + L"\\L");
    CreateFolderTree(strips + L"\\R");
    const COLORREF green = RGB(0, 150, 0);
    ASSERT_TRUE(WriteBmp((strips + L"\\L\\s.bmp").str(), 20, 200,
                         [](int x, int) { return x < 10 ? kBlue : RGB(235, 235, 235); }));
    ASSERT_TRUE(WriteBmp((strips + L"\\R\\s.bmp").str(), 20, 200,
                         [green](int x, int) { return x >= 10 ? green : RGB(235, 235, 235); }));
    DisplaySettingsBlock& ds = DisplaySettings;
    ds.VerticalSet.strFolder = strips;
    ds.VerticalSet.vecFiles = {L"s.bmp"};
    ds.bWholeLeft = 1;
    ds.nVertical = 0;
    ds.nVerticalWidth = 201;
    ds.nWholeLR0 = 5;       // out of range: picked again
    Open([](CArticleModel& m, ChunkNode* first) { AppendText(m, first, L"边"); });
    Paint();
    ClientCapture cap(m_view->m_hWnd);
    EXPECT_EQ(0, ds.nWholeLR0);
    // 60 wide at both edges: the left picture on the left, the right one on the right.
    EXPECT_TRUE(Near(cap.At(15, 300), kBlue)) << std::hex << cap.At(15, 300);
    EXPECT_TRUE(Near(cap.At(45, 300), GradientAt(300)));
    EXPECT_TRUE(Near(cap.At(kWidth - 60 + 15, 300), GradientAt(300)));
    EXPECT_TRUE(Near(cap.At(kWidth - 60 + 45, 300), green)) << std::hex << cap.At(kWidth - 15, 300);
}

TEST_F(PaintTest, SideBarsAndSeparatorOfTallBlocks)
{
    CString lines = PictureFolder(L"行线", L"s");
    CString strips = PictureFolder(L"竖栏", L"s");
    ASSERT_TRUE(WriteBmp((lines + L"\\rule.bmp").str(), 100, 10,
                         [](int x, int) { return x < 50 ? kRed : RGB(245, 245, 245); }));
    ASSERT_TRUE(WriteBmp((strips + L"\\bar.bmp").str(), 20, 200,
                         [](int x, int) { return x < 10 ? kBlue : RGB(235, 235, 235); }));
    DisplaySettingsBlock& ds = DisplaySettings;
    ds.LineSet.strFolder = lines;
    ds.LineSet.vecFiles = {L"rule.bmp"};
    ds.VerticalSet.strFolder = strips;
    ds.VerticalSet.vecFiles = {L"bar.bmp"};
    ds.nHorize = 3;
    ds.nVertical = 0;
    ds.nVerticalWidth = 201;
    ds.nPramWidth = 5;
    ds.nPramLen = 0;
    Open([](CArticleModel& m, ChunkNode* first) {
        AppendText(m, first, L"短");
        AddParagraph(m, LongText());
    });
    ChunkNode* tall = Paragraph(1);
    ASSERT_GT(tall->height, 100);
    Paint();
    ClientCapture cap(m_view->m_hWnd);
    ChunkNode* root = m_view->m_pRoot;

    EXPECT_EQ(0, tall->nPick[0]);
    EXPECT_EQ(0, tall->nPick[2]);
    // Side bars: H / 10 wide, the left one ending at the root's x.
    int h = tall->bottom - m_view->m_nPram - tall->y;
    int w = h * 20 / 200;
    int mid = (tall->y + tall->bottom) / 2;
    EXPECT_TRUE(Near(cap.At(root->x - w + 2, mid), kBlue)) << std::hex << cap.At(root->x - w + 2, mid);
    int right = std::max(m_view->m_nLeftMargin + ds.nPageWidth + 20, root->right);
    EXPECT_TRUE(Near(cap.At(right + 2, mid), kBlue)) << std::hex << cap.At(right + 2, mid);
    EXPECT_TRUE(Near(cap.At(right + w - 2, mid), GradientAt(mid)));
    // The separator above the tall block: 5 high, ending 2 above its top.
    int sepTop = tall->y - m_view->m_nPram / 2 - 2 - 5 / 2 - 1;
    EXPECT_TRUE(Near(cap.At(root->x + 3, sepTop + 1), kRed)) << std::hex << cap.At(root->x + 3, sepTop + 1);
    // The short block above is followed by a tall one: its last line has no rule,
    // while each line of the tall block has one.
    ChunkNode* shortLine = LineOf(0);
    int ruleY = shortLine->bottom - m_view->m_nRow + 1;
    EXPECT_FALSE(Near(cap.At(root->x + 3, ruleY), kRed)) << std::hex << cap.At(root->x + 3, ruleY);
    ChunkNode* tallLine = LineOf(1, 2);
    EXPECT_TRUE(Near(cap.At(root->x + 3, tallLine->bottom - m_view->m_nRow), kRed));
}

TEST_F(PaintTest, EmptyOrBrokenPictureFoldersDrawNothing)
{
    CString lines = PictureFolder(L"行线", L"empty");
    CString strips = PictureFolder(L"竖栏", L"broken");
    DisplaySettingsBlock& ds = DisplaySettings;
    ds.LineSet.strFolder = lines;
    ds.VerticalSet.strFolder = strips;
    ds.bWholeTop = ds.bWholeBottom = ds.bWholeLeft = 1;
    ds.bLineMode = ds.bPramMode = ds.bVerticalMode = 1;
    ds.nLineMode = ds.nPramMode = ds.nVerticalMode = -1;
    ds.nVerticalWidth = 201;
    Open([](CArticleModel& m, ChunkNode* first) {
        AppendText(m, first, L"空");
        AddParagraph(m, LongText());
    });
    ASSERT_GT(Paragraph(1)->height, 100);
    Paint();
    EXPECT_EQ(-1, ds.nWholeTB0);
    EXPECT_EQ(-1, ds.nWholeLR0);
    EXPECT_EQ(-1, ds.nLineMode);
    EXPECT_EQ(-1, ds.nVerticalMode);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(-1, Paragraph(1)->nPick[i]) << i;
    ClientCapture empty(m_view->m_hWnd);
    EXPECT_TRUE(Near(empty.At(10, 300), GradientAt(300), 6));

    // Files that are not pictures: picked, but nothing is drawn.
    HANDLE f = CreateFileW(strips + L"\\bad.bmp", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written;
    WriteFile(f, "not a picture", 13, &written, NULL);
    CloseHandle(f);
    CopyFileW(strips + L"\\bad.bmp", lines + L"\\bad.bmp", FALSE);
    ds.VerticalSet.vecFiles = {L"bad.bmp"};
    ds.LineSet.vecFiles = {L"bad.bmp"};
    Paint();
    EXPECT_EQ(0, ds.nWholeLR0);
    EXPECT_EQ(0, Paragraph(1)->nPick[0]);
    ClientCapture broken(m_view->m_hWnd);
    EXPECT_TRUE(Near(broken.At(10, 300), GradientAt(300), 6));
    EXPECT_TRUE(Near(broken.At(400, 25), GradientAt(25), 6));
}

TEST_F(PaintTest, BackgroundPictureOrGradient)
{
    CString picture = m_folder.Path() + L"bg.bmp";
    ASSERT_TRUE(WriteBmp(picture.str(), 40, 30, [](int, int) { return RGB(30, 140, 60); }));
    Open([](CArticleModel& m, ChunkNode* first) { AppendText(m, first, L"背"); });
    m_view->m_strBackgroundPicture = picture;
    Paint();
    // (Stretched far, the picture's edges fade out: look inside.)
    EXPECT_TRUE(Near(PixelOfWindow(m_view->m_hWnd, 600, 300), RGB(30, 140, 60), 4))
        << std::hex << PixelOfWindow(m_view->m_hWnd, 600, 300);
    EXPECT_EQ(picture, DisplaySettings.strBackgroundFile);

    // A picture that cannot be read gives the gradient, not what was there before.
    CString missing = m_folder.Path() + L"missing.jpg";
    m_view->m_strBackgroundPicture = missing;
    Paint();
    EXPECT_TRUE(Near(PixelOfWindow(m_view->m_hWnd, 600, 300), GradientAt(300), 6));
    EXPECT_EQ(missing, DisplaySettings.strBackgroundFile);

    // The extension test is exact: ".BMP" is not a picture name.
    CString upper = m_folder.Path() + L"BG2.BMP";
    ASSERT_TRUE(CopyFileW(picture, upper, FALSE));
    m_view->m_strBackgroundPicture = upper;
    Paint();
    EXPECT_TRUE(Near(PixelOfWindow(m_view->m_hWnd, 600, 300), GradientAt(300), 6));
}

TEST_F(PaintTest, EmptyContainerIsSkippedQuietly)
{
    Open([](CArticleModel& m, ChunkNode* first) {
        AppendText(m, first, L"甲");
        AddParagraph(m, L"乙");
    });
    ChunkNode* root = m_view->m_pRoot;
    ChunkNode* p0 = Paragraph(0);
    ChunkNode* p1 = Paragraph(1);
    ChunkNode* empty = m_view->CreateNode(kNodeContainer, 2, root->nTextSize, p0->bottom, root->x,
                                          28, 28, p1, p0, nullptr, nullptr, root);
    ASSERT_EQ(empty, p0->pNext);
    m_view->Relayout(root, 1);
    m_view->UpdateGeometry(root, 1);
    m_view->m_pCurLine = LineOf(0);
    m_view->m_pCurItem = LineOf(0)->pFirstItem;
    Paint();
    ClientCapture cap(m_view->m_hWnd);
    // The paragraph after the empty one is drawn, and nothing is logged.
    ChunkNode* after = m_view->FirstLine(p1);
    auto ink = [](COLORREF c) { return Near(c, kText, 60); };
    EXPECT_GT(Count(cap, BoxOf(after->pFirstItem), ink), 20);
    EXPECT_FALSE(FileExists(m_view->m_strLogPath));
}

TEST_F(PaintTest, CaretFarBelowMovesToTheFirstLineOfItsParagraph)
{
    Open([](CArticleModel& m, ChunkNode* first) { AppendText(m, first, L"首"); });
    ChunkNode* root = m_view->m_pRoot;
    ChunkNode* para = Paragraph(0);
    ChunkNode* firstLine = LineOf(0);
    // The paragraph begins with a nested block, then thirty lines.
    ChunkNode* nested = m_view->CreateNode(kNodeContainer, 3, root->nTextSize, para->y, para->x,
                                           28, 28, firstLine, nullptr, nullptr, nullptr, para);
    ChunkNode* inner = m_view->CreateNode(kNodeLine, 4, root->nTextSize, para->y, para->x, 28, 28,
                                          nullptr, nullptr, nullptr, nullptr, nested);
    const wchar_t end[2] = {kLineEnd, 0};
    m_view->CreateCharItem(end, nullptr, nullptr, inner);
    AppendText(*m_view, inner, L"内");
    ChunkNode* last = firstLine;
    for (int i = 0; i < 30; ++i) {
        ChunkNode* l = m_view->NewLineAfter(para, last);
        AppendText(*m_view, l, L"行");
        last = l;
    }
    m_view->Relayout(root, 1);
    m_view->UpdateGeometry(root, 1);
    ASSERT_GT(last->y, kHeight);
    m_view->m_pCurLine = last;
    m_view->m_pCurItem = last->pFirstItem;
    Paint();
    EXPECT_EQ(inner, m_view->m_pCurLine);
    EXPECT_EQ(inner->pFirstItem, m_view->m_pCurItem);
    EXPECT_EQ(inner, m_view->m_pFirstDrawn);
}

TEST_F(PaintTest, PlainRunsDrawLikeSingleCharacters)
{
    Open([](CArticleModel& m, ChunkNode* first) {
        AppendText(m, first, L"春眠不觉晓，处处闻啼鸟。Hello, world! 0123 jump_over (a) {b} & W");
        AppendText(m, first, L"夜来风雨声", 2);
        AddParagraph(m, L"花落知多少？The quick brown fox — “引号” 《书名》 ……");
        AddParagraph(m, LongText());
        AddParagraph(m, L"int main() { return 0; }", 2);
    });
    ItemOf(LineOf(1), 3)->bSelected = 1;
    ItemOf(LineOf(1), 5)->nStyle = 4;
    g_bBatchPlainText = false;
    Paint();
    ClientCapture single(m_view->m_hWnd);
    g_bPagePainting = 0;
    g_bBatchPlainText = true;
    Paint();
    ClientCapture batched(m_view->m_hWnd);
    int differ = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            differ += single.At(x, y) != batched.At(x, y);
    EXPECT_EQ(0, differ);
    // And the text is there.
    EXPECT_GT(Count(batched, BoxOf(ItemOf(LineOf(0), 0)), [](COLORREF c) { return Near(c, kText, 60); }), 20);
}

TEST_F(PaintTest, NoPaintInsideAnotherOrWithoutDocument)
{
    Open([](CArticleModel& m, ChunkNode* first) { AppendText(m, first, L"画"); });
    HDC mem = m_view->m_dcMem.GetSafeHdc();
    auto fill = [&] {
        HBRUSH b = CreateSolidBrush(RGB(255, 0, 255));
        RECT r = {0, 0, kWidth, kHeight};
        FillRect(mem, &r, b);
        DeleteObject(b);
    };
    fill();
    g_bPagePainting = 1;
    Paint();
    g_bPagePainting = 0;
    EXPECT_EQ(RGB(255, 0, 255), GetPixel(mem, 10, 10));

    m_doc.RemoveView(m_view);
    ASSERT_EQ(nullptr, m_view->GetDocument());
    Paint();
    EXPECT_EQ(RGB(255, 0, 255), GetPixel(mem, 10, 10));
    m_doc.AddView(m_view);
    Paint();
    EXPECT_TRUE(Near(GetPixel(mem, 10, 10), GradientAt(10), 6));
    EXPECT_EQ(0, g_bPagePainting);
}

// A picture drawn again at the same size in one pass comes out the same.
TEST(DecorationPassTest, RepeatedPictureDrawsTheSame)
{
    TempProgramFolder folder;
    CString path = folder.Path() + L"rule.bmp";
    ASSERT_TRUE(WriteBmp(path.str(), 60, 9, [](int x, int y) {
        return (x + y) % 7 < 3 ? RGB(150, 20 + x, 40 + y * 9) : RGB(210 + y, 240, 250);
    }));
    DisplaySettingsBlock saved = DisplaySettings;
    DisplaySettings.LineSet.strFolder = folder.Path().Left(folder.Path().GetLength() - 1);
    DisplaySettings.LineSet.vecFiles = {L"rule.bmp"};
    DisplaySettings.nHorize = 5;
    TestSurface s(300, 100, RGB(90, 60, 30));
    CDC dc;
    dc.Attach(s.Dc());
    BeginDecorationPass();
    for (int i = 0; i < 4; ++i)
        DrawRuleImage(&dc, 10, 0, 257, 10 + i * 20, 0, 0);     // reaches past the right edge
    DrawRuleImage(&dc, -30, 0, 217, 90, 0, 0);                  // and the left one
    EndDecorationPass();
    dc.Detach();
    DisplaySettings = saved;
    int inked = 0;
    for (int i = 1; i < 4; ++i)
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 300; ++x)
                EXPECT_EQ(s.At(x, 8 + y), s.At(x, 8 + i * 20 + y)) << i << " " << x << " " << y;
    for (int x = 0; x < 300; ++x)
        inked += s.At(x, 10) != RGB(90, 60, 30);
    EXPECT_GT(inked, 50);
    // The copy 40 pixels further left shows the same columns.
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 200; ++x)
            EXPECT_EQ(s.At(x + 40, 8 + y), s.At(x, 88 + y)) << x << " " << y;
}

TEST(PictureIndexTest, RandomPicksAndEmptyLists)
{
    int index = -1;
    EXPECT_EQ(-1, PickPictureIndex(index, 0));
    EXPECT_EQ(-1, index);
    index = 7;
    srand(1);
    int picked = PickPictureIndex(index, 3);
    EXPECT_EQ(index, picked);
    srand(1);
    EXPECT_EQ(rand() % 3, picked);
    EXPECT_EQ(picked, PickPictureIndex(index, 3));   // kept once in range
    index = 2;
    EXPECT_EQ(2, PickPictureIndex(index, 3));

    int block = -1;
    EXPECT_EQ(-1, PickBlockIndex(block, 0));
    block = 5;      // out of range, but only -1 is drawn again
    EXPECT_EQ(5, PickBlockIndex(block, 3));
    block = -1;
    EXPECT_LE(0, PickBlockIndex(block, 3));

    EXPECT_EQ(264u, TextureResourceFor(1));
    EXPECT_EQ(258u, TextureResourceFor(6));
    EXPECT_EQ(257u, TextureResourceFor(7));
    EXPECT_EQ(265u, TextureResourceFor(8));
    EXPECT_EQ(277u, TextureResourceFor(20));
    EXPECT_EQ(278u, TextureResourceFor(0));
    EXPECT_EQ(278u, TextureResourceFor(22));
}

}  // namespace

// Latin letters of a text line advance half the text size, as the line
// breaker counts them: every line stays on the page and in the window.
TEST_F(PaintTest, LatinTextStaysOnThePage)
{
    std::wstring latin;
    for (int i = 0; i < 150; ++i)
        latin += (wchar_t)(L'a' + i % 26);
    Open([&](CArticleModel& m, ChunkNode*) { m.InsertText(latin.c_str()); });
    Paint();
    ClientCapture cap(m_view->m_hWnd);
    const int size = m_view->m_nTextSize;
    const int pageRight = m_view->m_nLeftMargin + DisplaySettings.nPageWidth;
    ASSERT_LT(pageRight + size, kWidth);
    int lines = 0;
    for (ChunkNode* l = LineOf(0); l; l = l->pNext, ++lines) {
        CharItem* end = m_view->LastItem(l);
        ASSERT_NE(nullptr, end->pPrev);
        EXPECT_EQ(size / 2, (int)(ItemOf(l, 1)->left - ItemOf(l, 0)->left));
        EXPECT_LE(end->pPrev->right, pageRight + size / 2);
    }
    EXPECT_GE(lines, 3);
    // Ink in the text colour left of the page's right edge, none right of it.
    RECT page = {m_view->m_nLeftMargin, 0, pageRight, kHeight};
    RECT beyond = {pageRight + size / 2, 0, kWidth, kHeight};
    auto ink = [](COLORREF c) { return Near(c, kText, 60); };
    EXPECT_GT(Count(cap, page, ink), 200);
    EXPECT_EQ(0, Count(cap, beyond, ink));
}

// A code line led by Chinese is a comment but for its recognised words, each
// coloured as a whole.
TEST_F(PaintTest, ARecognisedWordInACommentLineIsColouredWhole)
{
    Open([](CArticleModel& m, ChunkNode* first) {
        AppendText(m, first, L"文");
        AddParagraph(m, L"注 while 注", 2);
    });
    ChunkNode* code = LineOf(1);
    ASSERT_TRUE(code && code->nCode);
    Paint();
    ClientCapture cap(m_view->m_hWnd);
    const DisplaySettingsBlock& ds = DisplaySettings;
    auto count = [&](CharItem* it, COLORREF c) {
        return Count(cap, BoxOf(it), [c](COLORREF p) { return Near(p, c, 40); });
    };
    EXPECT_GT(count(ItemOf(code, 0), ds.clrZhuwen), 10);
    for (int i = 2; i < 7; ++i) {
        EXPECT_GT(count(ItemOf(code, i), ds.clrControl), 4) << i;
        EXPECT_EQ(0, count(ItemOf(code, i), ds.clrZhuwen)) << i;
    }
    EXPECT_GT(count(ItemOf(code, 8), ds.clrZhuwen), 10);
}

// A character's ink in its box: none on the box's outer columns and rows,
// where the strokes of a glyph cut at the box would end; some trace inside
// (unless the face may lack the glyph).
void ExpectWholeInBox(const RECT& box, const std::function<bool(int, int, bool)>& inked,
                      const std::wstring& what, bool hasGlyph = true)
{
    int inside = 0, edge = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) {
            const bool onEdge = x == box.left || x == box.right - 1 || y == box.top
                || y == box.bottom - 1;
            if (onEdge)
                edge += inked(x, y, false);
            else
                inside += inked(x, y, true);
        }
    EXPECT_EQ(0, edge) << what;
    if (hasGlyph) {
        EXPECT_GT(inside, 0) << what;
    }
}

// The faces the settings dialog offers on this machine, and the default fonts ("").
std::vector<std::wstring> OfferedFaces(CWnd& parent)
{
    std::vector<std::wstring> faces{L""};
    CComboBox list;
    if (!list.Create(WS_CHILD | CBS_DROPDOWNLIST | CBS_SORT, CRect(0, 0, 100, 200), &parent, 1))
        return faces;
    AddSystemFonts({&list});
    TidyFontList(list, L"");
    for (int i = 1; i < list.GetCount(); ++i) {
        CString face;
        list.GetLBText(i, face);
        if (!face.IsEmpty() && face.GetLength() < kFaceBufferSize)
            faces.push_back(face.GetString());
    }
    list.DestroyWindow();
    return faces;
}

// A face of symbols (Marlett and the like) has no letters to keep the shape of.
bool IsSymbolFace(const std::wstring& face)
{
    HFONT font = CreateFontW(-20, 0, 0, 0, 0, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face.c_str());
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW tm = {};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(font);
    return tm.tmCharSet == SYMBOL_CHARSET;
}

// Swaps every character of the lines for a blank of its width, and back.
void SwapForBlanks(std::vector<std::pair<CharItem*, wchar_t>>& saved,
                   const std::vector<ChunkNode*>& lines)
{
    if (!saved.empty()) {
        for (auto& s : saved)
            s.first->ch = s.second;
        saved.clear();
        return;
    }
    for (ChunkNode* line : lines)
        for (CharItem* it = line->pFirstItem; it; it = it->pNext)
            if (it->ch > L' ') {
                saved.push_back({it, it->ch});
                it->ch = it->ch < 0x100 ? L' ' : L'\x3000';
            }
}

// The lines of a paragraph.
std::vector<ChunkNode*> LinesOf(CImportView* view, ChunkNode* para)
{
    std::vector<ChunkNode*> lines;
    for (ChunkNode* l = view->FirstLine(para); l; l = l->pNext)
        lines.push_back(l);
    return lines;
}

// In every face the user can pick, at every text size from the smallest the
// settings allow to the largest, each character is drawn whole in its box on
// text and code lines and in marks: Latin letters smaller as a whole, standing
// on one baseline with their descenders below it, with every piece, hole and
// stem the same letter has drawn large, and thin strokes in their full
// colour; Chinese not cut at the top or bottom.
TEST_F(PaintTest, CharactersAreDrawnWholeInTheirBoxesInEveryFace)
{
    const std::wstring text = L"Hello gamma H-m|l i1 quips 0789 void WM@%&j_(x){y}中文字";
    DisplaySettingsBlock& ds = DisplaySettings;
    const COLORREF codeInk = RGB(230, 230, 120);
    for (COLORREF* c : {&ds.clrCText, &ds.clrDigit, &ds.clrControl, &ds.clrInt, &ds.clrFun,
                        &ds.clrTrue, &ds.clrVar, &ds.clrDFun, &ds.clrYinhao, &ds.clrZhuwen,
                        &ds.clrXiaokuohao, &ds.clrDakuohao})
        *c = codeInk;
    ds.clrCurInXiao = ds.clrCurInDa = kCodeBg;
    // A screen as large as a user's.
    m_frame.MoveWindow(0, 0, 1600, 1000);
    m_view->MoveWindow(0, 0, 1600, 1000);
    Open([&](CArticleModel& m, ChunkNode* first) {
        AppendText(m, first, text);
        AddParagraph(m, text, 2);
        ChunkNode* marked = AddParagraph(m, L"");
        AppendText(m, marked, text, 3);
    });
    const std::vector<std::wstring> faces = OfferedFaces(m_frame);
    ASSERT_GE(faces.size(), 2u);
    RECT client;
    m_view->GetClientRect(&client);
    for (int size : {22, 24, 28, 40, 100}) {
        m_view->m_nTextSize = size;
        m_view->Relayout(m_view->m_pRoot, 0);
        m_view->UpdateGeometry(m_view->m_pRoot, 0);
        m_view->ReflowToPageWidth();
        const struct {
            const wchar_t* kind;
            std::vector<ChunkNode*> lines;
            COLORREF ink;
        } kinds[] = {{L"text", LinesOf(m_view, Paragraph(0)), kText},
                     {L"code", LinesOf(m_view, Paragraph(1)), codeInk},
                     {L"mark", LinesOf(m_view, Paragraph(2)), RGB(255, 255, 255)}};
        ASSERT_TRUE(kinds[1].lines[0]->nCode && kinds[2].lines[0]->pFirstItem->nMark);
        // Selected, a marked character is white on black.
        std::vector<ChunkNode*> all;
        for (const auto& k : kinds)
            all.insert(all.end(), k.lines.begin(), k.lines.end());
        for (ChunkNode* line : kinds[2].lines)
            for (CharItem* it = line->pFirstItem; it; it = it->pNext)
                it->bSelected = 1;
        std::vector<std::pair<CharItem*, wchar_t>> saved;
        SwapForBlanks(saved, all);
        Paint();
        ClientCapture blank(m_view->m_hWnd);
        SwapForBlanks(saved, {});
        for (const std::wstring& face : faces) {
            wcscpy(m_view->m_szFontFace, face.c_str());
            wcscpy(m_view->m_szCodeFontFace, face.c_str());
            Paint();
            ClientCapture page(m_view->m_hWnd);
            const GlyphInk ink(page, blank);
            const bool letters = face.empty() || !IsSymbolFace(face);
            const int scrollY = m_view->GetScrollPosition().y;
            for (const auto& k : kinds) {
                const std::wstring where = std::wstring(k.kind) + L" in \"" + face + L"\" at "
                    + std::to_wstring(size);
                auto boxOf = [&](const CharItem* it) {
                    return RECT{(int)it->left, (int)it->top - scrollY, (int)it->right,
                                (int)it->bottom - scrollY};
                };
                int aBottom = -1;
                for (ChunkNode* line : k.lines)
                    for (CharItem* it = line->pFirstItem; it && aBottom < 0; it = it->pNext)
                        if (it->ch == L'a')
                            aBottom = ink.Bottom(boxOf(it));
                for (ChunkNode* line : k.lines)
                    for (CharItem* it = line->pFirstItem; it; it = it->pNext) {
                        const RECT box = boxOf(it);
                        if (it->ch <= L' ' || box.right > client.right || box.bottom > client.bottom)
                            continue;
                        const std::wstring what = L"'" + std::wstring(1, it->ch) + L"' " + where;
                        ExpectWholeInBox(box, [&](int x, int y, bool faint) {
                            return ink.At(x, y, faint);
                        }, what, letters);
                        if (!letters)
                            continue;
                        if (wcschr(L"gjpqy", it->ch)) {
                            EXPECT_GE(aBottom, 0) << where;
                            EXPECT_GT(ink.Bottom(box), aBottom) << what;
                        }
                        if (wcschr(L"li-1|", it->ch)) {
                            EXPECT_GT(ink.Contrast(box, k.ink), 0.8) << what;
                        }
                        // Each letter as the face draws it large, in either
                        // weight (code words are bold), in grey where need be;
                        // a gap of a pixel in a thin stroke does not show.
                        if (it->ch < 0x80 && (iswalnum(it->ch) || wcschr(L"-|", it->ch))) {
                            const std::wstring large = face.empty() ? L"宋体" : face;
                            bool kept = false;
                            for (int threshold : {kSmallInk, kFaintInk})
                                for (int weight : {0, 800})
                                    kept = kept
                                        || Likeness(ink.Shape(box, k.ink, threshold),
                                                    LargeGlyphShape(large, weight, it->ch))
                                            >= kShapeGapped;
                            EXPECT_TRUE(kept) << what << ": "
                                              << Describe(ink.Shape(box, k.ink, kSmallInk))
                                              << " against "
                                              << Describe(LargeGlyphShape(large, 0, it->ch));
                        }
                    }
            }
            if (HasFailure())
                return;
        }
    }
}

// A marked character is drawn again over its frame in the face of its run:
// the same glyph as unmarked, whatever the line drew last.
TEST_F(PaintTest, MarkedCharactersKeepTheFaceOfTheirRun)
{
    Open([&](CArticleModel& m, ChunkNode* first) {
        AppendText(m, first, L"Mixed中");
        ChunkNode* marked = AddParagraph(m, L"");
        AppendText(m, marked, L"Mixed", 5);
        AppendText(m, marked, L"中");
    });
    ChunkNode* plain = LineOf(0);
    ChunkNode* marked = LineOf(1);
    for (ChunkNode* line : {plain, marked})
        for (CharItem* it = line->pFirstItem; it; it = it->pNext)
            it->bSelected = 1;
    Paint();
    ClientCapture cap(m_view->m_hWnd);
    ASSERT_EQ(1u, m_view->m_vecMarkRuns.size());
    for (int i = 0; i < 5; ++i) {
        std::string a = Mask(cap, BoxOf(ItemOf(plain, i)), RGB(255, 255, 255));
        EXPECT_NE(std::string::npos, a.find('1')) << i;
        EXPECT_EQ(a, Mask(cap, BoxOf(ItemOf(marked, i)), RGB(255, 255, 255))) << i;
    }
}

// A bold word of a code line keeps its weight inside a mark: the marked word
// is drawn again over its frame with the glyphs of the same word unmarked.
TEST_F(PaintTest, MarkedCodeWordsKeepTheirWeight)
{
    Open([](CArticleModel& m, ChunkNode* first) {
        AppendText(m, first, L"文");
        ChunkNode* code = AddParagraph(m, L"int a;", 2);
        ChunkNode* marked = AddLine(m, code, L"");
        AppendText(m, marked, L"int", 4);
        AppendText(m, marked, L" b;");
    });
    ChunkNode* plain = LineOf(1);
    ChunkNode* marked = LineOf(1, 1);
    ASSERT_TRUE(plain && marked && plain->nCode && marked->nCode);
    Paint();
    ClientCapture page(m_view->m_hWnd);
    ASSERT_EQ(1u, m_view->m_vecMarkRuns.size());
    std::vector<std::pair<CharItem*, wchar_t>> saved;
    SwapForBlanks(saved, {plain, marked});
    Paint();
    ClientCapture blank(m_view->m_hWnd);
    SwapForBlanks(saved, {});
    const GlyphInk ink(page, blank);
    for (int i = 0; i < 3; ++i) {
        auto mask = [&](CharItem* it) {
            std::string bits;
            RECT r = BoxOf(it);
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x)
                    bits += ink.At(x, y) ? '1' : '0';
            return bits;
        };
        const std::string unmarked = mask(ItemOf(plain, i));
        EXPECT_NE(std::string::npos, unmarked.find('1')) << i;
        EXPECT_EQ(unmarked, mask(ItemOf(marked, i))) << i;
    }
}

// Letters widened past the client's width keep the code background and the
// rule under them as far as the page scrolls; the next article opened in the
// pane starts at its left edge.
TEST_F(PaintTest, WideCodeLinesKeepTheirBackgroundToTheScrollEdge)
{
    CString lines = PictureFolder(L"行线", L"wide");
    ASSERT_TRUE(WriteBmp((lines + L"\\rule.bmp").str(), 100, 10, [](int, int) { return kRed; }));
    DisplaySettingsBlock& ds = DisplaySettings;
    ds.LineSet.strFolder = lines;
    ds.LineSet.vecFiles = {L"rule.bmp"};
    ds.nHorize = 3;
    ds.Increase = 5;
    std::wstring wide;
    for (int i = 0; i < 6; ++i)
        wide += L"int value = 12345; ";
    Open([&](CArticleModel& m, ChunkNode* first) {
        AppendText(m, first, L"文");
        AddParagraph(m, wide, 2);
    });
    ChunkNode* code = LineOf(1);
    ASSERT_TRUE(code && code->nCode);
    CharItem* last = m_view->LastItem(code)->pPrev;
    ASSERT_GT(last->right, kWidth + 200);
    m_view->SendMessage(WM_HSCROLL, MAKEWPARAM(SB_RIGHT, 0), 0);
    const int scrollX = m_view->GetScrollPosition().x;
    ASSERT_GT(scrollX + kWidth, (int)last->right);
    Paint();
    ClientCapture cap(m_view->m_hWnd);
    const int x = (int)last->right - scrollX + 4;    // right of the last letter
    EXPECT_TRUE(Near(cap.At(x, (code->y + code->bottom) / 2), kCodeBg))
        << std::hex << cap.At(x, (code->y + code->bottom) / 2);
    const int ruleY = code->bottom - m_view->m_nRow;
    const COLORREF rule = cap.At(x, ruleY);
    EXPECT_TRUE(GetRValue(rule) > GetGValue(rule) + 80 && GetRValue(rule) > GetBValue(rule) + 80)
        << std::hex << rule;

    Open([&](CArticleModel& m, ChunkNode* first) {
        AppendText(m, first, L"另一篇");
        AddParagraph(m, wide, 2);
    });
    EXPECT_EQ(0, m_view->GetScrollPosition().x);
}
