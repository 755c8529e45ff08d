// The article pane's window side: construction, start-up, resizing, the page
// width commands and the hooks through which the article reaches the window.
#include "view/ImportView.h"

#include <algorithm>

#include "app/DisplaySettings.h"
#include "framework/App.h"
#include "framework/MessageBox.h"
#include "res/resource.h"
#include "settings/CodeCorlorDlg.h"

IMPLEMENT_DYNCREATE(CImportView, CScrollView)

BEGIN_MESSAGE_MAP(CImportView, CScrollView)
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_KEYDOWN()
    ON_WM_CHAR()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_CAPTURECHANGED()
    ON_WM_RBUTTONDOWN()
    ON_WM_CONTEXTMENU()
    ON_WM_MOUSEWHEEL()
    ON_WM_VSCROLL()
    ON_WM_HSCROLL()
    // --- editing ---
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    // --- end of editing ---
    ON_MESSAGE(WM_VIEW_RELAYOUT, &CImportView::OnRelayoutMessage)
    ON_COMMAND(ID_FULL_SCREEN, &CImportView::ToggleFullScreen)
    ON_UPDATE_COMMAND_UI(ID_FULL_SCREEN, &CImportView::OnUpdateFullScreen)
    ON_COMMAND(ID_COPY_SELECTION, &CImportView::CopySelection)
    ON_COMMAND(ID_ARTICLE_COPY, &CImportView::OnEditCopy)
    ON_COMMAND(ID_CUT_SELECTION, &CImportView::CutSelection)
    ON_COMMAND(ID_ARTICLE_CUT, &CImportView::OnEditCut)
    ON_COMMAND(ID_ARTICLE_PASTE, &CImportView::OnEditPaste)
    ON_COMMAND(ID_SELECT_ALL, &CImportView::SelectAll)
    ON_COMMAND(ID_INSERT_CODE, &CImportView::InsertCode)
    ON_COMMAND(ID_COLOR_SETTINGS, &CImportView::ShowColorDialog)
    ON_COMMAND(ID_SET_CHUNK_FONT, &CImportView::SetCurrentChunkFont)
    ON_COMMAND(ID_SET_CHUNK_FORMAT, &CImportView::OnSetChunkFormat)
    ON_COMMAND(ID_NEXT_BACKGROUND, &CImportView::NextBackground)
    ON_COMMAND(ID_PREV_BACKGROUND, &CImportView::PrevBackground)
    ON_COMMAND(ID_EXTEND_SELECTION_BACK, &CImportView::ExtendSelectionBack)
    ON_COMMAND(ID_EXTEND_SELECTION_FORWARD, &CImportView::ExtendSelectionForward)
    ON_COMMAND(ID_KEY_SHIFT_LEFT, &CImportView::OnNothing)
    ON_COMMAND(ID_KEY_SHIFT_RIGHT, &CImportView::OnNothing)
    ON_COMMAND(ID_VIEW_NOTHING, &CImportView::OnNothing)
    ON_COMMAND(ID_WIDEN_PAGE, &CImportView::WidenPage)
    ON_COMMAND(ID_NARROW_PAGE, &CImportView::NarrowPage)
    ON_COMMAND(ID_VIEW_NEXT_PAGE, &CImportView::OnNextPage)
    ON_COMMAND(ID_VIEW_PREV_PAGE, &CImportView::OnPrevPage)
    ON_COMMAND(ID_PRESET, &CImportView::ShowPresetDialog)
    ON_COMMAND(ID_RANDOM_VERTICAL_BAR, &CImportView::OnRandomVerticalBar)
    ON_COMMAND(ID_RANDOM_HORIZONTAL_BAR, &CImportView::OnRandomHorizontalBar)
END_MESSAGE_MAP()

// ---------------------------------------------------------------- life

CImportView::CImportView()
{
    m_pContextMenu = new CMenu;
    HMENU menu = ::LoadMenuW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_VIEW_CONTEXT));
    if (!menu || !m_pContextMenu->Attach(menu)) {
        AfxMessageBox(L"Fail to create context menu");
        delete m_pContextMenu;
        m_pContextMenu = nullptr;
    }
}

CImportView::~CImportView()
{
    CloseArticle();
    delete m_pContextMenu;
    m_pContextMenu = nullptr;
    delete m_pColorDlg;     // its window goes with it
    m_pColorDlg = nullptr;
    // The bitmap can only be freed once the memory DC lets go of it.
    if (m_bMemDC) {
        if (m_hOldMemBitmap)
            m_dcMem.SelectObject(m_hOldMemBitmap);
        m_dcMem.DeleteDC();
        m_bMemDC = 0;
    }
    m_bmpMem.DeleteObject();
    m_font.DeleteObject();
}

void CImportView::Serialize(CArchive&)
{
}

BOOL CImportView::PreCreateWindow(CREATESTRUCT& cs)
{
    return CScrollView::PreCreateWindow(cs);
}

BOOL CImportView::PreTranslateMessage(MSG* pMsg)
{
    return CScrollView::PreTranslateMessage(pMsg);
}

BOOL CImportView::OnPreparePrinting(CPrintInfo* pInfo)
{
    return DoPreparePrinting(pInfo);
}

void CImportView::OnBeginPrinting(CDC*, CPrintInfo*)
{
}

void CImportView::OnEndPrinting(CDC*, CPrintInfo*)
{
}

// WindowProc (the typing filter) is in view/ViewEditing.cpp.

// ---------------------------------------------------------------- start-up

void CImportView::OnInitialUpdate()
{
    CScrollView::OnInitialUpdate();
    BuildWordTables(mapLearnedFunctions, mapLearnedVariables, mapLiteralWords, mapStatementWords,
                    mapTypeWords, mapLibraryWords);
    SetScrollSizes(MM_TEXT, CSize(100, 100));
    GetClientRect(&m_rcClient);
    // No input until an article is loaded or started.
    EnableWindow(FALSE);

    PresetViewValues preset;
    preset.nTextSize = m_nTextSize;
    preset.nRow = m_nRow;
    preset.nPram = m_nPram;
    wmemcpy(preset.szFontFace, m_szFontFace, kFaceBufferSize);
    wmemcpy(preset.szCodeFontFace, m_szCodeFontFace, kFaceBufferSize);
    preset.strBackgroundPicture = m_strBackgroundPicture;
    if (ReadPresetFile(m_bUpperPane, preset)) {
        m_nTextSize = preset.nTextSize;
        m_nRow = preset.nRow;
        m_nPram = preset.nPram;
        wmemcpy(m_szFontFace, preset.szFontFace, kFaceBufferSize);
        wmemcpy(m_szCodeFontFace, preset.szCodeFontFace, kFaceBufferSize);
        m_strBackgroundPicture = preset.strBackgroundPicture;
    }
    EnableWindow(FALSE);

    if (!m_bMemDC) {
        CClientDC dc(this);
        if (m_dcMem.CreateCompatibleDC(&dc))
            m_bMemDC = 1;
    }
    int width = m_rcOffscreen.Width() > 0 ? m_rcOffscreen.Width() : m_rcClient.Width();
    int height = m_rcOffscreen.Height() > 0 ? m_rcOffscreen.Height() : m_rcClient.Height();
    m_rcOffscreen.SetRectEmpty();
    UpdateOffscreenBitmap(width, height);
    FitPageToClient();
}

// ---------------------------------------------------------------- layout

void CImportView::UpdateOffscreenBitmap(int width, int height)
{
    CRect wanted(0, 0, width, height);
    bool changed = wanted != m_rcOffscreen;
    m_rcOffscreen = wanted;
    if (!m_bMemDC || (!changed && m_bmpMem.GetSafeHandle()))
        return;
    if (m_hOldMemBitmap) {
        m_dcMem.SelectObject(m_hOldMemBitmap);
        m_hOldMemBitmap = nullptr;
    }
    m_bmpMem.DeleteObject();
    if (width <= 0 || height <= 0)
        return;
    CClientDC dc(this);
    if (m_bmpMem.CreateCompatibleBitmap(&dc, width, height))
        m_hOldMemBitmap = m_dcMem.SelectObject((HGDIOBJ)m_bmpMem.GetSafeHandle());
}

void CImportView::OnRootLaidOut(int scrollWidth, int scrollHeight)
{
    if (!m_hWnd)
        return;
    m_nLaidOutHeight = scrollHeight;
    // The upper pane draws no line under its bottom bar: the scroll area
    // reaches a bar's height further, so the last lines come above it.
    if (IsUpperPane() && DisplaySettings.bWholeBottom)
        scrollHeight += m_nPageTop;
    // --- editing: a keystroke rarely changes the sizes, and setting the bars
    // again costs milliseconds ---
    if (m_nMapMode != MM_TEXT || GetTotalSize() != CSize(scrollWidth, scrollHeight))
        SetScrollSizes(MM_TEXT, CSize(scrollWidth, scrollHeight));
    UpdateOffscreenBitmap(std::max(scrollWidth, (int)m_rcClient.Width()), m_rcClient.Height());
}

void CImportView::FitScrollToBottomBar()
{
    if (m_pRoot && m_nLaidOutHeight > 0)
        OnRootLaidOut(GetTotalSize().cx, m_nLaidOutHeight);
}

void CImportView::OnSize(UINT nType, int cx, int cy)
{
    CScrollView::OnSize(nType, cx, cy);
    GetClientRect(&m_rcClient);
    UpdateOffscreenBitmap(std::max((int)GetTotalSize().cx, (int)m_rcClient.Width()),
                          m_rcClient.Height());
    // Scroll bars that come or go while the page is laid out resize the pane
    // again; that inner resize only takes the new size.
    if (m_bInSize)
        return;
    m_bInSize = true;
    FitMarginToClient();
    m_bInSize = false;
    if (!bImporting) {
        UpdateCaret();
        Invalidate(TRUE);
    }
}

void CImportView::WidenPage()
{
    StepPageWidth(+1);
}

void CImportView::NarrowPage()
{
    StepPageWidth(-1);
}

void CImportView::IncreaseCharWidth()
{
    StepCharWidth(+1);
}

void CImportView::DecreaseCharWidth()
{
    StepCharWidth(-1);
}

void CImportView::Redraw()
{
    if (!bImporting) {
        UpdateCaret();
        Invalidate(TRUE);
    }
}

LRESULT CImportView::OnRelayoutMessage(WPARAM, LPARAM)
{
    Redraw();
    return 0;
}

BOOL CImportView::OnEraseBkgnd(CDC*)
{
    // The page is painted whole from the off-screen bitmap.
    return TRUE;
}

// ---------------------------------------------------------------- the article's window side

// UpdateCaret is in view/ViewEditing.cpp.

void CImportView::InvalidateView(bool erase)
{
    if (m_hWnd)
        Invalidate(erase ? TRUE : FALSE);
}

void CImportView::EnableView(bool enable)
{
    if (m_hWnd)
        EnableWindow(enable ? TRUE : FALSE);
}

// A newly opened article shows the start of its lines, not where the last one was scrolled.
void CImportView::ScrollToStart()
{
    if (m_hWnd && m_nMapMode)
        ScrollToPosition(CPoint(0, 0));
}

void CImportView::OnFatalError()
{
    // The program ends through the frame's close, which saves what was typed
    // (and says so when it cannot); a bare quit message would drop it.
    if (CWnd* main = AfxGetMainWnd())
        main->PostMessage(WM_CLOSE);
}

int CImportView::GetClientWidth()
{
    return m_rcClient.Width();
}

int CImportView::GetClientHeight()
{
    return m_rcClient.Height();
}

// ---------------------------------------------------------------- context menu

void CImportView::PrepareContextMenu(CMenu* popup)
{
    popup->CheckMenuItem(ID_FULL_SCREEN, MF_BYCOMMAND | (m_bFullScreen ? MF_CHECKED : MF_UNCHECKED));
    const UINT enabled[] = {ID_VIEW_PREV_PAGE, ID_VIEW_NEXT_PAGE, ID_COLOR_SETTINGS,
                            ID_NEXT_BACKGROUND, ID_PREV_BACKGROUND};
    for (UINT id : enabled)
        popup->EnableMenuItem(id, MF_BYCOMMAND | MF_ENABLED);
}

void CImportView::OnRButtonDown(UINT nFlags, CPoint point)
{
    CPoint screen = point;
    ClientToScreen(&screen);
    if (m_pContextMenu) {
        if (CMenu* popup = m_pContextMenu->GetSubMenu(0)) {
            PrepareContextMenu(popup);
            popup->TrackPopupMenu(TPM_RIGHTBUTTON, screen.x, screen.y, this);
        }
    }
    CScrollView::OnRButtonDown(nFlags, point);
}

void CImportView::OnUpdateFullScreen(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(m_bFullScreen ? 1 : 0);
}

// Keys, characters and the mouse: view/ViewEditing.cpp. Scrolling and the
// decoration commands: view/ViewCommands.cpp.

// ---------------------------------------------------------------- page commands

void CImportView::OnNothing() {}                // Shift+Left, Shift+Right and 32988 do nothing
// Page-by-page reading walks the library tree, which the frame owns.
void CImportView::OnNextPage()
{
    if (CWnd* top = GetTopLevelParent())
        top->SendMessage(WM_COMMAND, MAKEWPARAM(ID_NEXT_PAGE, 0), 0);
}

void CImportView::OnPrevPage()
{
    if (CWnd* top = GetTopLevelParent())
        top->SendMessage(WM_COMMAND, MAKEWPARAM(ID_PREV_PAGE, 0), 0);
}
