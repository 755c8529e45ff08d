// The application layer: a single-document template building document,
// frame and view, command routing, accelerators, modeless dialogs, and the
// toolbar, rebar and status bar around the pane.
#include <gtest/gtest.h>

#include "framework/App.h"
#include "framework/Bars.h"
#include "framework/Doc.h"
#include "framework/DocTemplate.h"
#include "framework/Frame.h"
#include "framework/Ids.h"
#include "framework/ImageList.h"
#include "framework/View.h"
#include "tests/support/Pixels.h"

namespace {

const UINT IDR_TEST = 200;
const UINT IDD_MODELESS = 201;

enum : UINT {
    ID_ALL = 4101,          // view, document, frame and application handle it
    ID_DOC_FRAME = 4102,    // document, frame and application
    ID_FRAME_APP = 4103,    // frame and application (also F5)
    ID_APP_ONLY = 4104,
    ID_BTN_NEW = 4001,      // toolbar: frame handles it
    ID_BTN_NONE = 4002,     // toolbar: nobody handles it
    ID_BTN_OFF = 4003,      // toolbar: handled, but its update handler disables and checks it
};

struct Hits {
    int view = 0, doc = 0, frame = 0, app = 0;
};
Hits g_hits;

class CTestApp : public CWinApp {
public:
    CTestApp() : CWinApp(L"FrameTest") {}
protected:
    afx_msg void OnAll() { ++g_hits.app; }
    afx_msg void OnAppOnly() { ++g_hits.app; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
    ON_COMMAND(ID_FILE_NEW, &CWinApp::OnFileNew)
    ON_COMMAND(ID_ALL, &CTestApp::OnAll)
    ON_COMMAND(ID_DOC_FRAME, &CTestApp::OnAll)
    ON_COMMAND(ID_FRAME_APP, &CTestApp::OnAll)
    ON_COMMAND(ID_APP_ONLY, &CTestApp::OnAppOnly)
END_MESSAGE_MAP()

CTestApp theTestApp;

class CTplDoc : public CDocument {
    DECLARE_DYNCREATE(CTplDoc)
public:
    static int alive;
    int newDocs = 0;
    CString opened;
    CTplDoc() { ++alive; }
    ~CTplDoc() override { --alive; }
    BOOL OnNewDocument() override
    {
        ++newDocs;
        return CDocument::OnNewDocument();
    }
    BOOL OnOpenDocument(LPCTSTR path) override
    {
        opened = path;
        return CDocument::OnOpenDocument(path);
    }
protected:
    afx_msg void OnHit() { ++g_hits.doc; }
    DECLARE_MESSAGE_MAP()
};
int CTplDoc::alive = 0;
IMPLEMENT_DYNCREATE(CTplDoc, CDocument)
BEGIN_MESSAGE_MAP(CTplDoc, CDocument)
    ON_COMMAND(ID_ALL, &CTplDoc::OnHit)
    ON_COMMAND(ID_DOC_FRAME, &CTplDoc::OnHit)
END_MESSAGE_MAP()

class CTplView : public CView {
    DECLARE_DYNCREATE(CTplView)
public:
    int initialUpdates = 0;
    void OnDraw(CDC*) override {}
    void OnInitialUpdate() override
    {
        ++initialUpdates;
        CView::OnInitialUpdate();
    }
protected:
    afx_msg void OnHit() { ++g_hits.view; }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CTplView, CView)
BEGIN_MESSAGE_MAP(CTplView, CView)
    ON_COMMAND(ID_ALL, &CTplView::OnHit)
END_MESSAGE_MAP()

class CTplFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CTplFrame)
protected:
    afx_msg void OnHit() { ++g_hits.frame; }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CTplFrame, CFrameWnd)
BEGIN_MESSAGE_MAP(CTplFrame, CFrameWnd)
    ON_COMMAND(ID_ALL, &CTplFrame::OnHit)
    ON_COMMAND(ID_DOC_FRAME, &CTplFrame::OnHit)
    ON_COMMAND(ID_FRAME_APP, &CTplFrame::OnHit)
END_MESSAGE_MAP()

CSingleDocTemplate* g_template = nullptr;

void EnsureTemplate()
{
    if (g_template)
        return;
    g_template = new CSingleDocTemplate(IDR_TEST, RUNTIME_CLASS(CTplDoc), RUNTIME_CLASS(CTplFrame),
                                        RUNTIME_CLASS(CTplView));
    theTestApp.AddDocTemplate(g_template);
}

// Closes the main frame and swallows the quit message its end posts.
void CloseMainFrame()
{
    if (CWnd* main = theTestApp.m_pMainWnd)
        main->SendMessage(WM_CLOSE);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

CTplView* PaneView(CFrameWnd* frame)
{
    return DYNAMIC_DOWNCAST(CTplView, CWnd::FromHandlePermanent(::GetDlgItem(frame->m_hWnd, AFX_IDW_PANE_FIRST)));
}

TEST(DocTemplate, FileNewBuildsDocumentFrameAndViewFromTheResources)
{
    EnsureTemplate();
    CCommandLineInfo info;
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileNew);
    ASSERT_TRUE(theTestApp.ProcessShellCommand(info));

    auto* frame = DYNAMIC_DOWNCAST(CTplFrame, theTestApp.m_pMainWnd);
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(::IsWindowVisible(frame->m_hWnd));
    EXPECT_NE(frame->m_hAccelTable, nullptr);
    EXPECT_NE(::GetMenu(frame->m_hWnd), nullptr);
    EXPECT_EQ(frame->GetTitle(), CString(L"测试框架"));
    CString caption;
    frame->GetWindowText(caption);
    EXPECT_EQ(caption, CString(L"Untitled - 测试框架"));

    CTplView* view = PaneView(frame);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(frame->GetActiveView(), view);
    EXPECT_EQ(view->initialUpdates, 1);
    auto* doc = DYNAMIC_DOWNCAST(CTplDoc, view->GetDocument());
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetDocTemplate(), g_template);
    EXPECT_EQ(doc->newDocs, 1);
    EXPECT_EQ(CTplDoc::alive, 1);
    // The view fills the client area (no bars).
    CRect client, pane;
    frame->GetClientRect(&client);
    view->GetWindowRect(&pane);
    frame->ScreenToClient(&pane);
    EXPECT_EQ(pane, client);

    // A second "new" reuses the one document and frame.
    theTestApp.OnFileNew();
    EXPECT_EQ(theTestApp.m_pMainWnd, frame);
    EXPECT_EQ(PaneView(frame), view);
    EXPECT_EQ(doc->newDocs, 2);
    EXPECT_EQ(CTplDoc::alive, 1);

    // Closing the main frame ends the loop and the document.
    HWND hFrame = frame->m_hWnd;
    frame->SendMessage(WM_CLOSE);
    EXPECT_FALSE(::IsWindow(hFrame));
    EXPECT_EQ(theTestApp.m_pMainWnd, nullptr);
    EXPECT_EQ(CTplDoc::alive, 0);
    MSG msg;
    EXPECT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(DocTemplate, CommandLineFileNameOpensThatDocument)
{
    EnsureTemplate();
    CCommandLineInfo info;
    info.ParseParam(L"Embedding", TRUE, FALSE);
    EXPECT_TRUE(info.m_bRunEmbedded);
    info.ParseParam(L"D:\\书\\文章.tst", FALSE, TRUE);
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileOpen);
    ASSERT_TRUE(theTestApp.ProcessShellCommand(info));
    auto* frame = DYNAMIC_DOWNCAST(CFrameWnd, theTestApp.m_pMainWnd);
    ASSERT_NE(frame, nullptr);
    auto* doc = DYNAMIC_DOWNCAST(CTplDoc, frame->GetActiveDocument());
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->opened, CString(L"D:\\书\\文章.tst"));
    EXPECT_EQ(doc->GetPathName(), CString(L"D:\\书\\文章.tst"));
    EXPECT_EQ(doc->newDocs, 0);
    CString caption;
    frame->GetWindowText(caption);
    EXPECT_EQ(caption, CString(L"文章.tst - 测试框架"));
    CloseMainFrame();

    CCommandLineInfo nothing;
    nothing.m_nShellCommand = CCommandLineInfo::FileNothing;
    EXPECT_TRUE(theTestApp.ProcessShellCommand(nothing));
    EXPECT_EQ(theTestApp.m_pMainWnd, nullptr);
}

TEST(Routing, ViewThenDocumentThenFrameThenApplication)
{
    EnsureTemplate();
    theTestApp.OnFileNew();
    CWnd* frame = theTestApp.m_pMainWnd;
    ASSERT_NE(frame, nullptr);
    HWND hFrame = frame->m_hWnd;

    g_hits = {};
    ::SendMessageW(hFrame, WM_COMMAND, ID_ALL, 0);
    EXPECT_EQ(g_hits.view, 1);
    EXPECT_EQ(g_hits.doc + g_hits.frame + g_hits.app, 0);

    g_hits = {};
    ::SendMessageW(hFrame, WM_COMMAND, ID_DOC_FRAME, 0);
    EXPECT_EQ(g_hits.doc, 1);
    EXPECT_EQ(g_hits.view + g_hits.frame + g_hits.app, 0);

    g_hits = {};
    ::SendMessageW(hFrame, WM_COMMAND, ID_FRAME_APP, 0);
    EXPECT_EQ(g_hits.frame, 1);
    EXPECT_EQ(g_hits.app, 0);

    g_hits = {};
    ::SendMessageW(hFrame, WM_COMMAND, ID_APP_ONLY, 0);
    EXPECT_EQ(g_hits.app, 1);
    EXPECT_EQ(g_hits.view + g_hits.doc + g_hits.frame, 0);

    // The frame's accelerators work for keys sent to its view.
    g_hits = {};
    MSG key = {};
    key.hwnd = PaneView((CFrameWnd*)frame)->m_hWnd;
    key.message = WM_KEYDOWN;
    key.wParam = VK_F5;
    key.lParam = 1;
    EXPECT_TRUE(theTestApp.PreTranslateMessage(&key));
    EXPECT_EQ(g_hits.frame, 1);
    key.wParam = VK_F7;
    EXPECT_FALSE(theTestApp.PreTranslateMessage(&key));

    CloseMainFrame();
}

TEST(Application, ModelessDialogsGetDialogKeys)
{
    HWND hDlg = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MODELESS),
                                     nullptr, nullptr, 0);
    ASSERT_NE(hDlg, nullptr);
    HWND first = ::GetDlgItem(hDlg, 1001);
    HWND second = ::GetDlgItem(hDlg, 1002);
    ::SetActiveWindow(hDlg);
    ::SetFocus(first);
    ASSERT_EQ(::GetFocus(), first);
    MSG tab = {};
    tab.hwnd = first;
    tab.message = WM_KEYDOWN;
    tab.wParam = VK_TAB;
    tab.lParam = 1;
    EXPECT_TRUE(theTestApp.PreTranslateMessage(&tab));
    EXPECT_EQ(::GetFocus(), second);

    // An ordinary pop-up window's keys are left alone.
    HWND popup = ::CreateWindowExW(0, L"STATIC", L"x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
    tab.hwnd = popup;
    EXPECT_FALSE(theTestApp.PreTranslateMessage(&tab));
    ::DestroyWindow(popup);
    ::DestroyWindow(hDlg);
}

// The keys an edit box uses reach it before the main frame's accelerators,
// in a modeless dialog as anywhere; other shortcuts still work from it.
TEST(Application, EditBoxesKeepTheirKeysFromTheAccelerators)
{
    EnsureTemplate();
    theTestApp.OnFileNew();
    CWnd* frame = theTestApp.m_pMainWnd;
    ASSERT_NE(frame, nullptr);
    HWND hDlg = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MODELESS),
                                     nullptr, nullptr, 0);
    ASSERT_NE(hDlg, nullptr);
    HWND edit = ::GetDlgItem(hDlg, 1001);
    HWND view = PaneView((CFrameWnd*)frame)->m_hWnd;
    BYTE keys[256], saved[256];
    ::GetKeyboardState(saved);
    // Frame command hits for a key with a modifier held, sent to a window.
    auto hits = [&](HWND to, UINT vk, int modifier) {
        memcpy(keys, saved, sizeof(keys));
        if (modifier)
            keys[modifier] |= 0x80;
        ::SetKeyboardState(keys);
        g_hits = {};
        MSG key = {to, WM_KEYDOWN, vk, 1, 0, {0, 0}};
        theTestApp.PreTranslateMessage(&key);
        ::SetKeyboardState(saved);
        return g_hits.frame;
    };
    EXPECT_EQ(0, hits(edit, VK_ESCAPE, 0));
    EXPECT_EQ(0, hits(edit, VK_LEFT, VK_SHIFT));
    EXPECT_EQ(0, hits(edit, 'V', VK_CONTROL));
    EXPECT_EQ(1, hits(edit, 'S', VK_CONTROL));
    EXPECT_EQ(1, hits(edit, VK_F5, 0));
    EXPECT_EQ(1, hits(view, VK_ESCAPE, 0));
    EXPECT_EQ(1, hits(view, 'V', VK_CONTROL));
    ::DestroyWindow(hDlg);
    CloseMainFrame();
}

TEST(Application, ProfileValuesLiveUnderTheRegistryKey)
{
    theTestApp.SetRegistryKey(L"应用程序向导生成的本地应用程序");
    ASSERT_NE(theTestApp.m_pszRegistryKey, nullptr);
    EXPECT_STREQ(theTestApp.m_pszProfileName, L"FrameTest");
    EXPECT_TRUE(theTestApp.WriteProfileString(L"设置", L"路径", L"D:\\书库"));
    EXPECT_TRUE(theTestApp.WriteProfileInt(L"设置", L"数目", -7));
    EXPECT_EQ(theTestApp.GetProfileString(L"设置", L"路径"), CString(L"D:\\书库"));
    EXPECT_EQ((int)theTestApp.GetProfileInt(L"设置", L"数目", 3), -7);
    EXPECT_EQ(theTestApp.GetProfileString(L"设置", L"没有", L"默认"), CString(L"默认"));
    EXPECT_EQ((int)theTestApp.GetProfileInt(L"设置", L"没有", 3), 3);

    HKEY hKey = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER,
                              L"Software\\应用程序向导生成的本地应用程序\\FrameTest\\设置", 0,
                              KEY_READ, &hKey),
              ERROR_SUCCESS);
    ::RegCloseKey(hKey);
    EXPECT_TRUE(theTestApp.WriteProfileString(L"设置", nullptr, nullptr));
    EXPECT_EQ(theTestApp.GetProfileString(L"设置", L"路径"), CString());

    theTestApp.LoadStdProfileSettings(4);
    EXPECT_EQ(theTestApp.m_nMaxMRU, 4u);
}

// Bars ------------------------------------------------------------------------------------

class CBarFrame : public CFrameWnd {
public:
    CReBar rebar;
    CToolBar toolbar;
    CStatusBar status;
    int clicks = 0;
protected:
    afx_msg void OnNewButton() { ++clicks; }
    afx_msg void OnOffButton() { ++clicks; }
    afx_msg void OnUpdateOff(CCmdUI* pCmdUI)
    {
        pCmdUI->Enable(FALSE);
        pCmdUI->SetCheck(1);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CBarFrame, CFrameWnd)
    ON_COMMAND(ID_BTN_NEW, &CBarFrame::OnNewButton)
    ON_COMMAND(ID_BTN_OFF, &CBarFrame::OnOffButton)
    ON_UPDATE_COMMAND_UI(ID_BTN_OFF, &CBarFrame::OnUpdateOff)
END_MESSAGE_MAP()

HICON MakeIcon(COLORREF colour)
{
    HDC screen = ::GetDC(nullptr);
    HBITMAP colourBmp = ::CreateCompatibleBitmap(screen, 16, 16);
    HBITMAP mask = ::CreateBitmap(16, 16, 1, 1, nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HGDIOBJ old = ::SelectObject(dc, colourBmp);
    RECT rc = { 0, 0, 16, 16 };
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(dc, &rc, brush);
    ::DeleteObject(brush);
    ::SelectObject(dc, mask);
    ::PatBlt(dc, 0, 0, 16, 16, BLACKNESS);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    ICONINFO ii = { TRUE, 0, 0, mask, colourBmp };
    HICON icon = ::CreateIconIndirect(&ii);
    ::DeleteObject(colourBmp);
    ::DeleteObject(mask);
    return icon;
}

struct BarSetup {
    CBarFrame* frame = new CBarFrame;
    CTplView* view = nullptr;

    BarSetup()
    {
        EXPECT_TRUE(frame->CreateEx(0, nullptr, L"bars", WS_POPUP | WS_VISIBLE, 0, 0, 600, 400,
                                    nullptr, nullptr));
        EXPECT_TRUE(frame->rebar.Create(frame, RBS_BANDBORDERS));
        EXPECT_TRUE(frame->toolbar.CreateEx(frame, TBSTYLE_FLAT,
                                            WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS));
        CImageList images;
        EXPECT_TRUE(images.Create(16, 16, ILC_COLOR24 | ILC_MASK, 2, 2));
        HICON red = MakeIcon(RGB(255, 0, 0)), blue = MakeIcon(RGB(0, 0, 255));
        EXPECT_EQ(images.Add(red), 0);
        EXPECT_EQ(images.Add(blue), 1);
        ::DestroyIcon(red);
        ::DestroyIcon(blue);
        frame->toolbar.GetToolBarCtrl().SetImageList(images.Detach());
        CToolBar& tb = frame->toolbar;
        EXPECT_TRUE(tb.SetButtons(nullptr, 4));
        tb.SetButtonInfo(0, ID_BTN_NEW, TBBS_BUTTON, 0);
        tb.SetButtonInfo(1, ID_SEPARATOR, TBBS_SEPARATOR, 0);
        tb.SetButtonInfo(2, ID_BTN_NONE, TBBS_BUTTON, 1);
        tb.SetButtonInfo(3, ID_BTN_OFF, TBBS_BUTTON, 0);
        EXPECT_TRUE(tb.SetButtonText(0, L"新建"));
        EXPECT_TRUE(tb.SetButtonText(2, L"保存"));
        EXPECT_TRUE(tb.SetButtonText(3, L"关闭"));
        CRect first;
        tb.GetItemRect(0, &first);
        tb.SetSizes(first.Size(), CSize(16, 16));
        EXPECT_TRUE(frame->rebar.AddBar(&tb, nullptr, nullptr, RBBS_GRIPPERALWAYS | RBBS_FIXEDBMP));

        EXPECT_TRUE(frame->status.Create(frame));
        static const UINT indicators[] = { ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM };
        EXPECT_TRUE(frame->status.SetIndicators(indicators, 3));

        CCreateContext context;
        context.m_pNewViewClass = RUNTIME_CLASS(CTplView);
        view = static_cast<CTplView*>(frame->CreateView(&context));
        EXPECT_NE(view, nullptr);
        frame->RecalcLayout();
    }
    ~BarSetup()
    {
        if (::IsWindow(frame->m_hWnd))
            frame->DestroyWindow();
    }
    CRect ChildRect(HWND h) const
    {
        CRect rc;
        ::GetWindowRect(h, &rc);
        ::MapWindowPoints(nullptr, frame->m_hWnd, (LPPOINT)&rc, 2);
        return rc;
    }
};

void ExpectLaidOut(BarSetup& s)
{
    CRect client;
    s.frame->GetClientRect(&client);
    CRect rebar = s.ChildRect(s.frame->rebar.m_hWnd);
    CRect status = s.ChildRect(s.frame->status.m_hWnd);
    CRect pane = s.ChildRect(s.view->m_hWnd);
    EXPECT_EQ(rebar.top, 0);
    EXPECT_EQ(rebar.Width(), client.Width());
    EXPECT_GE(rebar.Height(), s.frame->toolbar.GetToolBarCtrl().GetButtonSize().cy);
    EXPECT_EQ(status.bottom, client.bottom);
    EXPECT_EQ(status.Width(), client.Width());
    EXPECT_GT(status.Height(), 0);
    EXPECT_EQ(pane, CRect(0, rebar.bottom, client.right, status.top));
    CRect paneRect;
    s.frame->GetPaneRect(&paneRect);
    EXPECT_EQ(paneRect, pane);
}

TEST(Bars, RebarAtTopStatusAtBottomPaneInBetween)
{
    BarSetup s;
    EXPECT_EQ(::GetParent(s.frame->toolbar.m_hWnd), s.frame->rebar.m_hWnd);
    EXPECT_EQ(s.frame->GetControlBar(AFX_IDW_TOOLBAR), &s.frame->toolbar);
    EXPECT_EQ(s.frame->GetControlBar(AFX_IDW_STATUS_BAR), &s.frame->status);
    ExpectLaidOut(s);
    // The layout follows the frame's size.
    s.frame->MoveWindow(0, 0, 500, 300);
    ExpectLaidOut(s);

    // Hiding a bar gives its room to the pane.
    s.frame->ShowControlBar(&s.frame->status, FALSE, FALSE);
    CRect client;
    s.frame->GetClientRect(&client);
    EXPECT_EQ(s.ChildRect(s.view->m_hWnd).bottom, client.bottom);
}

TEST(Bars, ToolbarButtonsKeepTheirSetupAndClicksReachTheFrame)
{
    BarSetup s;
    CToolBar& tb = s.frame->toolbar;
    EXPECT_EQ(tb.GetToolBarCtrl().GetButtonCount(), 4);
    EXPECT_EQ(tb.GetItemID(0), (UINT)ID_BTN_NEW);
    EXPECT_EQ(tb.GetItemID(1), (UINT)ID_SEPARATOR);
    EXPECT_EQ(tb.CommandToIndex(ID_BTN_OFF), 3);
    UINT id = 0, style = 0;
    int image = -1;
    tb.GetButtonInfo(2, id, style, image);
    EXPECT_EQ(id, (UINT)ID_BTN_NONE);
    EXPECT_EQ(style, (UINT)TBBS_BUTTON);
    EXPECT_EQ(image, 1);
    EXPECT_EQ(tb.GetButtonStyle(1), (UINT)TBBS_SEPARATOR);
    EXPECT_EQ(tb.GetButtonText(2), CString(L"保存"));
    CRect first, third;
    tb.GetItemRect(0, &first);
    tb.GetItemRect(2, &third);
    EXPECT_GT(first.Width(), 16);
    EXPECT_EQ(third.Size(), first.Size());

    // Idle update (what the message loop sends): handled commands stay
    // enabled, unhandled ones are disabled, an update handler decides over
    // its own button.
    ::SendMessageW(tb.m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
    CToolBarCtrl& ctrl = tb.GetToolBarCtrl();
    EXPECT_TRUE(ctrl.IsButtonEnabled(ID_BTN_NEW));
    EXPECT_FALSE(ctrl.IsButtonEnabled(ID_BTN_NONE));
    EXPECT_FALSE(ctrl.IsButtonEnabled(ID_BTN_OFF));
    EXPECT_TRUE(ctrl.IsButtonChecked(ID_BTN_OFF));
    EXPECT_EQ(tb.GetButtonStyle(3) & TBBS_DISABLED, (UINT)TBBS_DISABLED);

    // A real click goes toolbar -> rebar -> frame.
    CPoint centre = first.CenterPoint();
    tb.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(centre.x, centre.y));
    tb.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(centre.x, centre.y));
    EXPECT_EQ(s.frame->clicks, 1);
    // The disabled button does nothing.
    CRect fourth;
    tb.GetItemRect(3, &fourth);
    centre = fourth.CenterPoint();
    tb.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(centre.x, centre.y));
    tb.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(centre.x, centre.y));
    EXPECT_EQ(s.frame->clicks, 1);
}

TEST(Bars, StatusBarPanesShowTheirTexts)
{
    BarSetup s;
    CStatusBar& bar = s.frame->status;
    EXPECT_EQ(bar.GetItemID(1), (UINT)ID_INDICATOR_CAPS);
    EXPECT_EQ(bar.CommandToIndex(ID_INDICATOR_NUM), 2);
    EXPECT_EQ(bar.GetPaneText(1), CString(L"CAP"));
    EXPECT_TRUE(bar.SetPaneText(0, L"就绪"));
    wchar_t text[64] = {};
    bar.SendMessage(SB_GETTEXTW, 0, (LPARAM)text);
    EXPECT_STREQ(text, L"就绪");
    EXPECT_EQ(bar.GetPaneText(0), CString(L"就绪"));

    // The separator pane stretches; the indicators sit at the right end.
    CRect client, stretch, last;
    bar.GetClientRect(&client);
    bar.GetItemRect(0, &stretch);
    bar.GetItemRect(2, &last);
    EXPECT_GT(stretch.Width(), client.Width() / 2);
    EXPECT_GT(last.left, stretch.right - 1);

    // Key indicators show their text only while the key is on.
    bar.OnUpdateCmdUI(s.frame, TRUE);
    bar.SendMessage(SB_GETTEXTW, 1, (LPARAM)text);
    bool capsOn = (::GetKeyState(VK_CAPITAL) & 1) != 0;
    EXPECT_STREQ(text, capsOn ? L"CAP" : L"");
}

TEST(ImageListTest, AddsBitmapsAndIconsAndHandsTheListOver)
{
    CImageList list;
    EXPECT_EQ(list.GetSafeHandle(), nullptr);
    ASSERT_TRUE(list.Create(11, 11, ILC_COLOR24 | ILC_MASK, 0, 2));
    EXPECT_FALSE(list.Create(11, 11, ILC_COLOR24, 0, 2));

    CBitmap bmp;
    HDC screen = ::GetDC(nullptr);
    bmp.Attach(::CreateCompatibleBitmap(screen, 11, 11));
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(list.Add(&bmp, RGB(0x55, 0, 0x55)), 0);
    HICON icon = MakeIcon(RGB(0, 255, 0));
    EXPECT_EQ(list.Add(icon), 1);
    ::DestroyIcon(icon);
    EXPECT_EQ(list.GetImageCount(), 2);
    IMAGEINFO info = {};
    EXPECT_TRUE(list.GetImageInfo(1, &info));
    EXPECT_EQ(CRect(info.rcImage).Size(), CSize(11, 11));

    HIMAGELIST handle = list.Detach();
    EXPECT_NE(handle, nullptr);
    EXPECT_EQ(list.GetSafeHandle(), nullptr);
    EXPECT_EQ(::ImageList_GetImageCount(handle), 2);
    ::ImageList_Destroy(handle);
}

} // namespace
