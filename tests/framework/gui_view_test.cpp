// Views, scroll views, frames, documents and the application loop.
#include <gtest/gtest.h>
#include <vector>

#include "framework/App.h"
#include "framework/Doc.h"
#include "framework/Frame.h"
#include "framework/Ids.h"
#include "framework/View.h"
#include "tests/support/Pixels.h"

namespace {

enum : UINT {
    ID_VIEW_CMD = 3001,
    ID_FRAME_CMD = 3002,
    ID_APP_CMD = 3003,
    ID_DOC_CMD = 3004,
};

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kWhite = RGB(255, 255, 255);
const CRect kRedDocRect(100, 500, 200, 600);

struct Counters {
    int view = 0, frame = 0, app = 0, doc = 0;
};
Counters g_count;

class CTestApp : public CWinApp {
public:
    CTestApp() : CWinApp(L"FrameworkTest") {}
    std::vector<LONG> idleCounts;
    bool quitOnIdle = false;
    BOOL OnIdle(LONG lCount) override
    {
        if (quitOnIdle) {
            idleCounts.push_back(lCount);
            if (lCount == 1)
                ::PostQuitMessage(5);
        }
        return CWinApp::OnIdle(lCount);
    }
protected:
    afx_msg void OnAppCmd() { ++g_count.app; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
    ON_COMMAND(ID_APP_CMD, &CTestApp::OnAppCmd)
END_MESSAGE_MAP()

CTestApp theTestApp;

class CTestDoc : public CDocument {
    DECLARE_DYNCREATE(CTestDoc)
protected:
    afx_msg void OnDocCmd() { ++g_count.doc; }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CTestDoc, CDocument)
BEGIN_MESSAGE_MAP(CTestDoc, CDocument)
    ON_COMMAND(ID_DOC_CMD, &CTestDoc::OnDocCmd)
END_MESSAGE_MAP()

class CTestScrollView : public CScrollView {
    DECLARE_DYNCREATE(CTestScrollView)
public:
    CPoint drawOrigin{ -1, -1 };
    int draws = 0;
    int updates = 0;
    int activations = 0;
    int deactivations = 0;

    void OnDraw(CDC* pDC) override
    {
        ++draws;
        drawOrigin = pDC->GetViewportOrg();
        CRect clip;
        pDC->GetClipBox(&clip);
        pDC->FillSolidRect(&clip, kWhite);
        pDC->FillSolidRect(&kRedDocRect, kRed);
    }
    void OnUpdate(CView* sender, LPARAM hint, CObject* obj) override
    {
        ++updates;
        CScrollView::OnUpdate(sender, hint, obj);
    }
    void OnActivateView(BOOL bActivate, CView* a, CView* d) override
    {
        (bActivate ? activations : deactivations)++;
        CScrollView::OnActivateView(bActivate, a, d);
    }
protected:
    afx_msg void OnViewCmd() { ++g_count.view; }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CTestScrollView, CScrollView)
BEGIN_MESSAGE_MAP(CTestScrollView, CScrollView)
    ON_COMMAND(ID_VIEW_CMD, &CTestScrollView::OnViewCmd)
END_MESSAGE_MAP()

// Overrides the wheel without a map entry of its own.
class CWheelView : public CTestScrollView {
    DECLARE_DYNCREATE(CWheelView)
public:
    int wheels = 0;
    BOOL OnMouseWheel(UINT, short, CPoint) override { ++wheels; return TRUE; }
};
IMPLEMENT_DYNCREATE(CWheelView, CTestScrollView)

class CTestFrame : public CFrameWnd {
public:
    static int alive;
    CTestFrame() { ++alive; }
    ~CTestFrame() override { --alive; }
protected:
    afx_msg void OnViewCmd() { ++g_count.frame; }
    afx_msg void OnFrameCmd() { ++g_count.frame; }
    DECLARE_MESSAGE_MAP()
};
int CTestFrame::alive = 0;
BEGIN_MESSAGE_MAP(CTestFrame, CFrameWnd)
    ON_COMMAND(ID_VIEW_CMD, &CTestFrame::OnViewCmd)
    ON_COMMAND(ID_FRAME_CMD, &CTestFrame::OnFrameCmd)
END_MESSAGE_MAP()

// A frame of a known client size with one scroll view filling it.
struct FrameWithView {
    CTestFrame* frame = nullptr;
    CTestScrollView* view = nullptr;
    CTestDoc* doc = new CTestDoc;

    explicit FrameWithView(CRuntimeClass* viewClass = RUNTIME_CLASS(CTestScrollView), int w = 400,
                           int h = 300)
    {
        frame = new CTestFrame;
        EXPECT_TRUE(frame->CreateEx(0, nullptr, L"frame", WS_POPUP | WS_VISIBLE, 0, 0, w, h, nullptr,
                                    nullptr));
        CCreateContext context;
        context.m_pCurrentDoc = doc;
        CObject* obj = viewClass->CreateObject();
        view = DYNAMIC_DOWNCAST(CTestScrollView, obj);
        EXPECT_NE(view, nullptr);
        EXPECT_TRUE(view->Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 10, 10), frame,
                                 AFX_IDW_PANE_FIRST, &context));
        frame->RecalcLayout();
        view->OnInitialUpdate();
    }
    ~FrameWithView()
    {
        if (frame && ::IsWindow(frame->m_hWnd))
            frame->DestroyWindow();
        delete doc;
        PumpMessages();
    }
    HWND View() const { return view->m_hWnd; }
    CSize Client() const
    {
        CRect rc;
        view->GetClientRect(&rc);
        return rc.Size();
    }
};

TEST(ScrollView, BarsFollowTheSizesAndPositionsStayInRange)
{
    FrameWithView fv;
    CTestScrollView* view = fv.view;
    ASSERT_NE(view, nullptr);
    view->SetScrollSizes(MM_TEXT, CSize(1000, 3000));
    int cxBar = ::GetSystemMetrics(SM_CXVSCROLL), cyBar = ::GetSystemMetrics(SM_CYHSCROLL);
    EXPECT_TRUE(view->GetStyle() & WS_VSCROLL);
    EXPECT_TRUE(view->GetStyle() & WS_HSCROLL);
    EXPECT_EQ(fv.Client(), CSize(400 - cxBar, 300 - cyBar));
    SCROLLINFO si = {};
    ASSERT_TRUE(view->GetScrollInfo(SB_VERT, &si));
    EXPECT_EQ(si.nMax, 2999);
    EXPECT_EQ((int)si.nPage, 300 - cyBar);
    EXPECT_EQ(view->GetTotalSize(), CSize(1000, 3000));

    HWND h = fv.View();
    auto vscroll = [&](UINT code, UINT pos = 0) { ::SendMessageW(h, WM_VSCROLL, MAKEWPARAM(code, pos), 0); };
    // Default steps: a line of the window's font, a page of the client less one line.
    HDC dc = ::GetDC(h);
    TEXTMETRICW tm = {};
    ::GetTextMetricsW(dc, &tm);
    ::ReleaseDC(h, dc);
    const int line = tm.tmHeight + tm.tmExternalLeading;
    ASSERT_GT(line, 5);
    const int page = fv.Client().cy - line;
    vscroll(SB_LINEDOWN);
    EXPECT_EQ(view->GetScrollPosition(), CPoint(0, line));
    vscroll(SB_PAGEDOWN);
    EXPECT_EQ(view->GetScrollPosition(), CPoint(0, line + page));
    vscroll(SB_THUMBTRACK, 1234);
    EXPECT_EQ(view->GetScrollPosition(), CPoint(0, 1234));
    EXPECT_EQ(view->GetScrollPos(SB_VERT), 1234);
    int bottom = 3000 - (300 - cyBar);
    vscroll(SB_BOTTOM);
    EXPECT_EQ(view->GetScrollPosition().y, bottom);
    vscroll(SB_LINEDOWN);
    EXPECT_EQ(view->GetScrollPosition().y, bottom);
    vscroll(SB_TOP);
    vscroll(SB_LINEUP);
    EXPECT_EQ(view->GetScrollPosition().y, 0);
    ::SendMessageW(h, WM_HSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
    EXPECT_EQ(view->GetScrollPosition(), CPoint(fv.Client().cx - line, 0));
    ::SendMessageW(h, WM_HSCROLL, MAKEWPARAM(SB_TOP, 0), 0);

    // One wheel notch: the system's wheel lines times the line size.
    UINT lines = 3;
    ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    ::SendMessageW(h, WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)(short)-WHEEL_DELTA), MAKELPARAM(50, 50));
    EXPECT_EQ(view->GetScrollPosition(), CPoint(0, (int)lines * line));
    // The steps do not grow with the document.
    view->SetScrollSizes(MM_TEXT, CSize(1000, 300000));
    vscroll(SB_TOP);
    vscroll(SB_PAGEDOWN);
    EXPECT_EQ(view->GetScrollPosition().y, page);

    // A taller window needs less scrolling: the position is pulled back in range.
    view->SetScrollSizes(MM_TEXT, CSize(1000, 3000));
    vscroll(SB_BOTTOM);
    fv.frame->MoveWindow(0, 0, 400, 600);
    EXPECT_EQ(fv.Client().cy, 600 - cyBar);
    EXPECT_EQ(view->GetScrollPosition().y, 3000 - (600 - cyBar));
    // A total that fits hides both bars and scrolls home.
    view->SetScrollSizes(MM_TEXT, CSize(200, 200));
    EXPECT_FALSE(view->GetStyle() & (WS_VSCROLL | WS_HSCROLL));
    EXPECT_EQ(view->GetScrollPosition(), CPoint(0, 0));
    EXPECT_EQ(fv.Client(), CSize(400, 600));
    // Explicit page and line sizes are used as given.
    view->SetScrollSizes(MM_TEXT, CSize(1000, 3000), CSize(0, 250), CSize(0, 7));
    vscroll(SB_LINEDOWN);
    vscroll(SB_PAGEDOWN);
    EXPECT_EQ(view->GetScrollPosition().y, 257);
    view->ScrollToPosition(CPoint(-5, 99999));
    EXPECT_EQ(view->GetScrollPosition(), CPoint(0, 3000 - (600 - cyBar)));
}

TEST(ScrollView, DrawingIsInDocumentCoordinatesAtTheScrollPosition)
{
    FrameWithView fv;
    CTestScrollView* view = fv.view;
    view->SetScrollSizes(MM_TEXT, CSize(1000, 3000), CSize(0, 0), CSize(0, 30));
    view->ScrollToPosition(CPoint(50, 450));
    view->Invalidate();
    view->UpdateWindow();
    EXPECT_EQ(view->drawOrigin, CPoint(-50, -450));
    {
        ClientCapture shot(fv.View());
        EXPECT_EQ(shot.At(100, 100), kRed);      // document (150, 550)
        EXPECT_EQ(shot.At(100, 40), kWhite);     // document (150, 490)
        EXPECT_EQ(shot.At(160, 100), kWhite);    // document (210, 550)
    }
    // Scrolling moves what is already on screen and paints the uncovered strip.
    ::SendMessageW(fv.View(), WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
    view->UpdateWindow();
    EXPECT_EQ(view->drawOrigin, CPoint(-50, -480));
    ClientCapture shot(fv.View());
    EXPECT_EQ(shot.At(100, 25), kRed);           // document (150, 505)
    EXPECT_EQ(shot.At(100, 15), kWhite);         // document (150, 495)
    EXPECT_EQ(shot.At(100, 119), kRed);          // document (150, 599)
    EXPECT_EQ(shot.At(100, 121), kWhite);        // document (150, 601)
}

TEST(ScrollView, WheelOverrideNeedsNoMapEntryOfItsOwn)
{
    FrameWithView fv(RUNTIME_CLASS(CWheelView));
    auto* view = static_cast<CWheelView*>(fv.view);
    view->SetScrollSizes(MM_TEXT, CSize(1000, 3000));
    ::SendMessageW(fv.View(), WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)(short)-WHEEL_DELTA), 0);
    EXPECT_EQ(view->wheels, 1);
    EXPECT_EQ(view->GetScrollPosition(), CPoint(0, 0));
}

TEST(Frame, CommandsGoToTheActiveViewThenFrameThenDocumentAndApplication)
{
    g_count = Counters();
    FrameWithView fv;
    HWND hFrame = fv.frame->m_hWnd;
    EXPECT_EQ(fv.view->GetParentFrame(), fv.frame);
    EXPECT_EQ(fv.view->GetDocument(), fv.doc);

    // Without an active view the frame handles its command.
    ::SendMessageW(hFrame, WM_COMMAND, ID_VIEW_CMD, 0);
    EXPECT_EQ(g_count.frame, 1);
    EXPECT_EQ(g_count.view, 0);

    // A click activates the view, which then gets the command first.
    ::SendMessageW(fv.View(), WM_MOUSEACTIVATE, (WPARAM)hFrame, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_EQ(fv.frame->GetActiveView(), fv.view);
    EXPECT_EQ(fv.view->activations, 1);
    ::SendMessageW(hFrame, WM_COMMAND, ID_VIEW_CMD, 0);
    EXPECT_EQ(g_count.view, 1);
    EXPECT_EQ(g_count.frame, 1);
    ::SendMessageW(hFrame, WM_COMMAND, ID_FRAME_CMD, 0);
    EXPECT_EQ(g_count.frame, 2);
    ::SendMessageW(hFrame, WM_COMMAND, ID_DOC_CMD, 0);
    EXPECT_EQ(g_count.doc, 1);
    ::SendMessageW(hFrame, WM_COMMAND, ID_APP_CMD, 0);
    EXPECT_EQ(g_count.app, 1);

    // The accelerator table turns a key for the view into the frame's command.
    ACCEL accel = { FVIRTKEY, VK_F5, ID_VIEW_CMD };
    fv.frame->m_hAccelTable = ::CreateAcceleratorTableW(&accel, 1);
    MSG msg = { fv.View(), WM_KEYDOWN, VK_F5, 0x003F0001, 0, { 0, 0 } };
    EXPECT_TRUE(theTestApp.PreTranslateMessage(&msg));
    EXPECT_EQ(g_count.view, 2);
    msg.wParam = VK_F6;
    EXPECT_FALSE(theTestApp.PreTranslateMessage(&msg));
    EXPECT_EQ(g_count.view, 2);
    ::DestroyAcceleratorTable(fv.frame->m_hAccelTable);
    fv.frame->m_hAccelTable = nullptr;

    // A frame's pop-up menu is enabled by where the commands would go.
    CMenu popup;
    popup.CreatePopupMenu();
    popup.AppendMenu(MF_STRING, ID_VIEW_CMD, L"view");
    popup.AppendMenu(MF_STRING, ID_APP_CMD, L"app");
    popup.AppendMenu(MF_STRING, 3999, L"nobody");
    ::SendMessageW(hFrame, WM_INITMENUPOPUP, (WPARAM)popup.m_hMenu, 0);
    EXPECT_FALSE(popup.GetMenuState(ID_VIEW_CMD, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(popup.GetMenuState(ID_APP_CMD, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(popup.GetMenuState(3999, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_EQ(g_count.view, 2);   // looking for handlers runs none

    fv.frame->SetActiveView(nullptr);
    EXPECT_EQ(fv.view->deactivations, 1);
    ::SendMessageW(hFrame, WM_COMMAND, ID_DOC_CMD, 0);
    EXPECT_EQ(g_count.doc, 1);   // the document is reached through its view only
}

TEST(Frame, ViewsAndFramesDeleteThemselvesWithTheirWindows)
{
    int before = CTestFrame::alive;
    CTestDoc* doc = nullptr;
    {
        FrameWithView fv;
        EXPECT_EQ(CTestFrame::alive, before + 1);
        doc = fv.doc;
        fv.doc = nullptr;
        POSITION pos = doc->GetFirstViewPosition();
        EXPECT_EQ(doc->GetNextView(pos), fv.view);
        EXPECT_EQ(pos, nullptr);
        // Other views hear of a change, the sender does not.
        int updates = fv.view->updates;
        doc->UpdateAllViews(nullptr);
        EXPECT_EQ(fv.view->updates, updates + 1);
        doc->UpdateAllViews(fv.view);
        EXPECT_EQ(fv.view->updates, updates + 1);
    }
    EXPECT_EQ(CTestFrame::alive, before);
    EXPECT_EQ(doc->GetFirstViewPosition(), nullptr);   // the view left the document
    delete doc;
}

TEST(App, MainWindowEndsTheLoopAndIdleCountsRun)
{
    // Destroying the main window asks the loop to end.
    CTestFrame* frame = new CTestFrame;
    ASSERT_TRUE(frame->CreateEx(0, nullptr, L"main", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
    theTestApp.m_pMainWnd = frame;
    EXPECT_EQ(AfxGetMainWnd(), frame);
    ::SendMessageW(frame->m_hWnd, WM_COMMAND, ID_APP_EXIT, 0);   // the application closes it
    EXPECT_EQ(theTestApp.m_pMainWnd, nullptr);
    MSG msg;
    bool quit = false;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        quit = quit || msg.message == WM_QUIT;
    EXPECT_TRUE(quit);

    // The loop idles with a rising count and returns the quit code.
    theTestApp.quitOnIdle = true;
    theTestApp.idleCounts.clear();
    int code = theTestApp.Run();
    theTestApp.quitOnIdle = false;
    EXPECT_EQ(code, 5);
    std::vector<LONG> expected = { 0, 1 };
    EXPECT_EQ(theTestApp.idleCounts, expected);
}

} // namespace
