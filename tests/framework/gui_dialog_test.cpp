// Dialogs from templates: the modal loop driven by keys posted to the focused
// control, data exchange and validation with the message the user sees,
// modeless dialogs in the application's loop, and owner drawing and custom
// drawing reflected to the controls' own classes.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "framework/App.h"
#include "framework/ColorButton.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/MessageBox.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/Pixels.h"

namespace {

const UINT IDD_FIELDS = 900;
enum : int {
    IDF_COUNT = 1001, IDF_SIZE = 1002, IDF_NAME = 1003, IDF_CHECK = 1004, IDF_RADIO = 1005,
    IDF_DROPLIST = 1008, IDF_DROPDOWN = 1009, IDF_LIST = 1010, IDF_SLIDER = 1011,
    IDF_OWNERDRAW = 1012, IDF_OWNERLIST = 1013, IDF_COLOR = 1014,
};
const UINT WM_STEP = WM_APP + 7;
const UINT_PTR kSafetyTimer = 77;

class CTestApp : public CWinApp {
public:
    CTestApp() : CWinApp(L"DialogTest") {}
};
CTestApp theTestApp;

// Stands in for the main frame: sees every key its PreTranslateMessage is offered.
class CKeyWatchWnd : public CWnd {
public:
    int keys = 0;
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST)
            ++keys;
        return FALSE;
    }
};

std::vector<CString> g_boxes;
int RecordBox(const wchar_t* text, UINT)
{
    g_boxes.push_back(text);
    return IDOK;
}

class CRedButton : public CButton {
public:
    int draws = 0;
    void DrawItem(LPDRAWITEMSTRUCT dis) override
    {
        ++draws;
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(dis->hDC, &dis->rcItem, red);
        DeleteObject(red);
    }
};

class CTallList : public CListBox {
public:
    int measures = 0, draws = 0;
    void MeasureItem(LPMEASUREITEMSTRUCT mis) override
    {
        ++measures;
        mis->itemHeight = 17;
    }
    void DrawItem(LPDRAWITEMSTRUCT) override { ++draws; }
};

class CWatchedSlider : public CSliderCtrl {
public:
    int customDraws = 0;
protected:
    afx_msg void OnCustomDraw(NMHDR*, LRESULT* pResult)
    {
        ++customDraws;
        *pResult = CDRF_DODEFAULT;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CWatchedSlider, CSliderCtrl)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, &CWatchedSlider::OnCustomDraw)
END_MESSAGE_MAP()

class CFieldsDlg : public CDialogEx {
public:
    explicit CFieldsDlg(CWnd* pParent = nullptr) : CDialogEx(IDD_FIELDS, pParent) {}

    int m_nCount = 50;
    UINT m_nSize = 7;
    CString m_strName = L"初始";
    int m_bCheck = 1;
    int m_nRadio = 2;
    int m_nDrop = 1;
    CString m_strCombo = L"乙";
    int m_nList = 0;
    int m_nSlider = 30;
    CRedButton m_owner;
    CTallList m_ownerList;
    CWatchedSlider m_slider;
    CMFCColorButton m_color;
    std::vector<COLORREF> picks;   // the picker's colour each time the dialog heard of a pick

    // Run one by one from the dialog's own loop; each may post keys that are
    // taken before the next step runs.
    std::vector<std::function<void(CFieldsDlg&)>> steps;
    int okCalls = 0;

    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }

protected:
    BOOL OnInitDialog() override
    {
        for (const wchar_t* s : {L"甲", L"乙", L"丙"}) {
            SendDlgItemMessage(IDF_DROPLIST, CB_ADDSTRING, 0, (LPARAM)s);
            SendDlgItemMessage(IDF_DROPDOWN, CB_ADDSTRING, 0, (LPARAM)s);
        }
        for (const wchar_t* s : {L"一", L"二", L"三", L"四"})
            SendDlgItemMessage(IDF_LIST, LB_ADDSTRING, 0, (LPARAM)s);
        CDialogEx::OnInitDialog();
        SetTimer(kSafetyTimer, 8000);
        if (!steps.empty())
            PostMessage(WM_STEP);
        return TRUE;
    }
    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialogEx::DoDataExchange(pDX);
        DDX_Control(pDX, IDF_OWNERDRAW, m_owner);
        DDX_Control(pDX, IDF_OWNERLIST, m_ownerList);
        DDX_Control(pDX, IDF_SLIDER, m_slider);
        DDX_Control(pDX, IDF_COLOR, m_color);
        DDX_Text(pDX, IDF_COUNT, m_nCount);
        DDV_MinMaxInt(pDX, m_nCount, 22, 100);
        DDX_Text(pDX, IDF_SIZE, m_nSize);
        DDX_Text(pDX, IDF_NAME, m_strName);
        DDV_MaxChars(pDX, m_strName, 8);
        DDX_Check(pDX, IDF_CHECK, m_bCheck);
        DDX_Radio(pDX, IDF_RADIO, m_nRadio);
        DDX_CBIndex(pDX, IDF_DROPLIST, m_nDrop);
        DDX_CBString(pDX, IDF_DROPDOWN, m_strCombo);
        DDX_LBIndex(pDX, IDF_LIST, m_nList);
        DDX_Slider(pDX, IDF_SLIDER, m_nSlider);
    }
    void OnOK() override
    {
        ++okCalls;
        CDialogEx::OnOK();
    }
    afx_msg LRESULT OnStep(WPARAM, LPARAM)
    {
        if (m_nextStep < steps.size()) {
            steps[m_nextStep++](*this);
            if (m_nextStep < steps.size())
                PostMessage(WM_STEP);
        }
        return 0;
    }
    afx_msg void OnTimer(UINT_PTR) { EndDialog(-99); }   // a stuck test ends, and fails
    afx_msg void OnColorPicked() { picks.push_back(m_color.GetColor()); }

    size_t m_nextStep = 0;
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CFieldsDlg, CDialogEx)
    ON_MESSAGE(WM_STEP, &CFieldsDlg::OnStep)
    ON_WM_TIMER()
    ON_BN_CLICKED(IDF_COLOR, &CFieldsDlg::OnColorPicked)
END_MESSAGE_MAP()

CString TextOf(HWND wnd)
{
    wchar_t buf[256] = {};
    ::GetWindowTextW(wnd, buf, 256);
    return buf;
}

// Dispatches through the application's loop (PreTranslateMessage included).
void PumpApp()
{
    MSG msg;
    for (int i = 0; i < 1000 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE); ++i)
        if (!theTestApp.PumpMessage())
            break;
}

class DialogTest : public ::testing::Test {
protected:
    CKeyWatchWnd frame;
    void SetUp() override
    {
        g_boxes.clear();
        AfxSetMessageBoxHook(RecordBox);
        ASSERT_TRUE(frame.CreateEx(0, AfxDefaultWndClass(), L"主窗口", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                   0, 0, 500, 400, nullptr, nullptr));
        theTestApp.m_pMainWnd = &frame;
    }
    void TearDown() override
    {
        theTestApp.m_pMainWnd = nullptr;
        frame.DestroyWindow();
        AfxSetMessageBoxHook(nullptr);
        PumpMessages();
    }
};

TEST_F(DialogTest, EnterExchangesEveryFieldAndEndsWithOk)
{
    CFieldsDlg dlg;
    BOOL ownerEnabledInside = TRUE;
    CString shown[4];
    int radioShown = -1;
    dlg.steps.push_back([&](CFieldsDlg& d) {
        ownerEnabledInside = frame.IsWindowEnabled();
        shown[0] = TextOf(d.Item(IDF_COUNT));
        shown[1] = TextOf(d.Item(IDF_SIZE));
        shown[2] = TextOf(d.Item(IDF_NAME));
        shown[3] = TextOf(d.Item(IDF_DROPDOWN));
        for (int i = 0; i < 3; ++i)
            if (::SendMessageW(d.Item(IDF_RADIO + i), BM_GETCHECK, 0, 0) == BST_CHECKED)
                radioShown = i;
        EXPECT_EQ(::GetFocus(), d.Item(IDF_COUNT));
        ::SetWindowTextW(d.Item(IDF_COUNT), L"  77 ");
        ::SetWindowTextW(d.Item(IDF_SIZE), L"+12");
        ::SetWindowTextW(d.Item(IDF_NAME), L"新名字");
        ::SendMessageW(d.Item(IDF_CHECK), BM_SETCHECK, BST_UNCHECKED, 0);
        d.CheckRadioButton(IDF_RADIO, IDF_RADIO + 2, IDF_RADIO);
        ::SendMessageW(d.Item(IDF_DROPLIST), CB_SETCURSEL, 2, 0);
        ::SetWindowTextW(d.Item(IDF_DROPDOWN), L"自定义");
        ::SendMessageW(d.Item(IDF_LIST), LB_SETCURSEL, 3, 0);
        d.m_slider.SetPos(60);
        PostKeyToFocus(VK_F5);     // the frame's accelerator key: not the frame's business here
        PostKeyToFocus(VK_RETURN);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);

    EXPECT_FALSE(ownerEnabledInside);
    EXPECT_TRUE(frame.IsWindowEnabled());
    EXPECT_EQ(frame.keys, 0);
    EXPECT_EQ(shown[0], CString(L"50"));
    EXPECT_EQ(shown[1], CString(L"7"));
    EXPECT_EQ(shown[2], CString(L"初始"));
    EXPECT_EQ(shown[3], CString(L"乙"));
    EXPECT_EQ(radioShown, 2);
    EXPECT_EQ(dlg.m_nCount, 77);
    EXPECT_EQ(dlg.m_nSize, 12u);
    EXPECT_EQ(dlg.m_strName, CString(L"新名字"));
    EXPECT_EQ(dlg.m_bCheck, 0);
    EXPECT_EQ(dlg.m_nRadio, 0);
    EXPECT_EQ(dlg.m_nDrop, 2);
    EXPECT_EQ(dlg.m_strCombo, CString(L"自定义"));
    EXPECT_EQ(dlg.m_nList, 3);
    EXPECT_EQ(dlg.m_nSlider, 60);
    EXPECT_TRUE(g_boxes.empty());
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST_F(DialogTest, EscapeCancelsWithoutExchange)
{
    CFieldsDlg dlg;
    dlg.steps.push_back([](CFieldsDlg& d) {
        ::SetWindowTextW(d.Item(IDF_COUNT), L"60");
        PostKeyToFocus(VK_ESCAPE);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.m_nCount, 50);
    EXPECT_EQ(dlg.okCalls, 0);
}

TEST_F(DialogTest, MissingTemplateFailsWithoutTouchingTheOwner)
{
    CDialog missing(12345, &frame);
    EXPECT_EQ(missing.DoModal(), -1);
    EXPECT_FALSE(missing.Create(12345, &frame));
    EXPECT_TRUE(frame.IsWindowEnabled());
}

TEST_F(DialogTest, QuitWhileOpenCancelsAndReachesTheOuterLoop)
{
    CFieldsDlg dlg;
    dlg.steps.push_back([](CFieldsDlg&) { ::PostQuitMessage(5); });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.okCalls, 0);
    MSG msg = {};
    EXPECT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 5u);
}

TEST_F(DialogTest, FailingFieldKeepsTheDialogOpenWithItsMessage)
{
    CFieldsDlg dlg;
    const CString range = L"Enter an integer between 22 and 100.";
    auto enterCount = [](const wchar_t* text) {
        return [text](CFieldsDlg& d) {
            ::SetWindowTextW(d.Item(IDF_COUNT), text);
            ::SetWindowTextW(d.Item(IDF_SIZE), L"9");
            PostKeyToFocus(VK_RETURN);
        };
    };
    std::vector<bool> failedFieldFocused;
    std::vector<BOOL> visibleAfter;
    auto note = [&](CFieldsDlg& d) {
        failedFieldFocused.push_back(::GetFocus() == d.Item(IDF_COUNT));
        visibleAfter.push_back(d.IsWindowVisible());
        // Back to a field that is not the failed one, so the focus check means something.
        ::SetFocus(d.Item(IDF_NAME));
    };
    dlg.steps = {enterCount(L"101"), note, enterCount(L"21"), note, enterCount(L"12a"), note,
                 enterCount(L""), note, enterCount(L"99999999999"), note, enterCount(L"100")};
    EXPECT_EQ(dlg.DoModal(), IDOK);

    std::vector<CString> expected = {range, range, L"Enter an integer.", L"Enter an integer.",
                                     L"Enter an integer."};
    EXPECT_EQ(g_boxes, expected);
    ASSERT_EQ(failedFieldFocused.size(), 5u);
    for (size_t i = 0; i < failedFieldFocused.size(); ++i) {
        EXPECT_TRUE(visibleAfter[i]) << i;
        EXPECT_TRUE(failedFieldFocused[i]) << i;
    }
    EXPECT_EQ(dlg.okCalls, 6);
    EXPECT_EQ(dlg.m_nCount, 100);
    EXPECT_EQ(dlg.m_nSize, 9u);
}

// The exchange straight through UpdateData on a modeless dialog.
class ExchangeTest : public DialogTest {
protected:
    CFieldsDlg dlg;
    void SetUp() override
    {
        DialogTest::SetUp();
        ASSERT_TRUE(dlg.Create(IDD_FIELDS, &frame));
    }
    void TearDown() override
    {
        dlg.DestroyWindow();
        DialogTest::TearDown();
    }
    // Result of saving with the two number fields set; the message shown, if any.
    BOOL Save(const wchar_t* count, const wchar_t* size, CString* box = nullptr)
    {
        g_boxes.clear();
        ::SetWindowTextW(dlg.Item(IDF_COUNT), count);
        ::SetWindowTextW(dlg.Item(IDF_SIZE), size);
        BOOL ok = dlg.UpdateData(TRUE);
        if (box)
            *box = g_boxes.empty() ? CString() : g_boxes.back();
        EXPECT_LE(g_boxes.size(), 1u);
        return ok;
    }
};

TEST_F(ExchangeTest, IntegerBoundsAndParsing)
{
    CString box;
    EXPECT_FALSE(Save(L"21", L"1", &box));
    EXPECT_EQ(box, CString(L"Enter an integer between 22 and 100."));
    EXPECT_EQ(::GetFocus(), dlg.Item(IDF_COUNT));
    EXPECT_EQ(dlg.SendDlgItemMessage(IDF_COUNT, EM_GETSEL), MAKELRESULT(0, 2));
    EXPECT_TRUE(Save(L"22", L"1", &box));
    EXPECT_EQ(dlg.m_nCount, 22);
    EXPECT_TRUE(Save(L"100", L"1"));
    EXPECT_EQ(dlg.m_nCount, 100);
    EXPECT_FALSE(Save(L"101", L"1", &box));
    EXPECT_EQ(box, CString(L"Enter an integer between 22 and 100."));
    EXPECT_TRUE(Save(L" \t+042 ", L"1"));
    EXPECT_EQ(dlg.m_nCount, 42);

    for (const wchar_t* bad : {L"", L"  ", L"12a", L"4 2", L"--5", L"0x20", L"2147483648", L"+"}) {
        EXPECT_FALSE(Save(bad, L"1", &box)) << CString(bad).GetString();
        EXPECT_EQ(box, CString(L"Enter an integer.")) << CString(bad).GetString();
    }
    // A failure stops the exchange: the later fields keep their values.
    dlg.m_nSize = 5;
    EXPECT_FALSE(Save(L"7", L"8"));
    EXPECT_EQ(dlg.m_nSize, 5u);

    EXPECT_TRUE(Save(L"50", L"4294967295"));
    EXPECT_EQ(dlg.m_nSize, 4294967295u);
    for (const wchar_t* bad : {L"-1", L"4294967296", L"1.5"}) {
        EXPECT_FALSE(Save(L"50", bad, &box)) << CString(bad).GetString();
        EXPECT_EQ(box, CString(L"Enter a positive integer."));
        EXPECT_EQ(::GetFocus(), dlg.Item(IDF_SIZE));
    }
}

TEST_F(ExchangeTest, TextLimitAndRadioWithoutChoice)
{
    // Loading limited the field to 8 characters.
    EXPECT_EQ(dlg.SendDlgItemMessage(IDF_NAME, EM_GETLIMITTEXT), 8);
    for (int i = 0; i < 3; ++i)
        dlg.SendDlgItemMessage(IDF_RADIO + i, BM_SETCHECK, BST_UNCHECKED);
    EXPECT_TRUE(Save(L"50", L"1"));
    EXPECT_EQ(dlg.m_nRadio, -1);
    EXPECT_EQ(dlg.GetCheckedRadioButton(IDF_RADIO, IDF_RADIO + 2), 0);
    dlg.m_nRadio = 1;
    EXPECT_TRUE(dlg.UpdateData(FALSE));
    EXPECT_EQ(dlg.GetCheckedRadioButton(IDF_RADIO, IDF_RADIO + 2), IDF_RADIO + 1);
}

TEST_F(ExchangeTest, ModelessKeysGoThroughTheApplicationLoop)
{
    dlg.ShowWindow(SW_SHOW);
    ::SetActiveWindow(dlg.m_hWnd);
    ::SetFocus(dlg.Item(IDF_COUNT));
    PostKeyToFocus(VK_TAB);
    PumpApp();
    EXPECT_EQ(::GetFocus(), dlg.Item(IDF_SIZE));

    ::SetWindowTextW(dlg.Item(IDF_COUNT), L"300");
    PostKeyToFocus(VK_RETURN);
    PumpApp();
    EXPECT_EQ(g_boxes, std::vector<CString>{L"Enter an integer between 22 and 100."});
    EXPECT_TRUE(dlg.IsWindowVisible());

    ::SetWindowTextW(dlg.Item(IDF_COUNT), L"30");
    PostKeyToFocus(VK_RETURN);
    PumpApp();
    EXPECT_EQ(dlg.m_nCount, 30);
    EXPECT_FALSE(dlg.IsWindowVisible());   // ended: hidden, the owner decides about the window
    EXPECT_NE(dlg.m_hWnd, nullptr);

    dlg.ShowWindow(SW_SHOW);
    ::SetFocus(dlg.Item(IDF_NAME));
    PostKeyToFocus(VK_ESCAPE);
    PumpApp();
    EXPECT_FALSE(dlg.IsWindowVisible());
    EXPECT_EQ(dlg.okCalls, 2);
}

TEST_F(ExchangeTest, OwnerDrawAndCustomDrawReachTheControlClasses)
{
    dlg.ShowWindow(SW_SHOW);
    dlg.m_ownerList.AddString(L"一");
    dlg.m_ownerList.AddString(L"二");
    dlg.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessages();
    EXPECT_GT(dlg.m_owner.draws, 0);
    EXPECT_EQ(PixelOfWindow(dlg.m_owner.m_hWnd, 3, 3), RGB(255, 0, 0));
    EXPECT_EQ(dlg.m_ownerList.measures, 2);
    EXPECT_EQ(dlg.m_ownerList.GetItemHeight(1), 17);
    EXPECT_GT(dlg.m_ownerList.draws, 0);
    EXPECT_GT(dlg.m_slider.customDraws, 0);
}

// The colour dialog as the user answers it.
struct ColorAnswer {
    static BOOL pick;
    static COLORREF chosen;
    static std::vector<CHOOSECOLORW> asked;
    static BOOL Hook(CHOOSECOLORW* pcc)
    {
        asked.push_back(*pcc);
        if (pick)
            pcc->rgbResult = chosen;
        return pick;
    }
};
BOOL ColorAnswer::pick = TRUE;
COLORREF ColorAnswer::chosen = 0;
std::vector<CHOOSECOLORW> ColorAnswer::asked;

TEST_F(ExchangeTest, ColourPickerStoresThePickThenNotifies)
{
    AfxChooseColorHook old = AfxSetChooseColorHook(&ColorAnswer::Hook);
    ColorAnswer::asked.clear();
    dlg.m_color.SetColor(RGB(250, 250, 0));
    EXPECT_EQ(dlg.m_color.GetStyle() & BS_TYPEMASK, (DWORD)BS_OWNERDRAW);
    dlg.ShowWindow(SW_SHOW);
    dlg.UpdateWindow();
    PumpMessages();
    CRect rc;
    dlg.m_color.GetClientRect(&rc);
    EXPECT_EQ(PixelOfWindow(dlg.m_color.m_hWnd, rc.Width() / 2, rc.Height() / 2), RGB(250, 250, 0));

    // The user presses the button with the space bar and picks green.
    ColorAnswer::pick = TRUE;
    ColorAnswer::chosen = RGB(10, 200, 30);
    ::SetActiveWindow(dlg.m_hWnd);
    ::SetFocus(dlg.m_color.m_hWnd);
    PostKeyToFocus(VK_SPACE);
    PumpApp();
    ASSERT_EQ(ColorAnswer::asked.size(), 1u);
    EXPECT_EQ(ColorAnswer::asked[0].rgbResult, RGB(250, 250, 0));
    EXPECT_EQ(ColorAnswer::asked[0].hwndOwner, dlg.m_hWnd);
    EXPECT_EQ(dlg.picks, std::vector<COLORREF>{RGB(10, 200, 30)});
    EXPECT_EQ(dlg.m_color.GetColor(), RGB(10, 200, 30));
    EXPECT_EQ(PixelOfWindow(dlg.m_color.m_hWnd, rc.Width() / 2, rc.Height() / 2), RGB(10, 200, 30));

    // Cancelled: nothing changes and the dialog hears nothing.
    ColorAnswer::pick = FALSE;
    PostKeyToFocus(VK_SPACE);
    PumpApp();
    EXPECT_EQ(ColorAnswer::asked.size(), 2u);
    EXPECT_EQ(dlg.picks.size(), 1u);
    EXPECT_EQ(dlg.m_color.GetColor(), RGB(10, 200, 30));
    AfxSetChooseColorHook(old);
}

} // namespace
