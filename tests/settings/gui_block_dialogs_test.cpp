// The block insertion, block size and preset dialogs as the pane's commands
// open them: keys posted to the focused field, the validation messages, and
// what reaches the article, the pane and preSet.ini.
#include <gtest/gtest.h>
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

#include "SettingsTestUtil.h"
#include "settings/BlockDialogs.h"
#include "settings/SetPreDlg.h"
#include "view/PresetFile.h"

namespace {

class BlockDialogTest : public SettingsPaneTest {};

} // namespace

TEST_F(BlockDialogTest, CodeBlockSizeIsCheckedThenTheBlockIsInsertedAndColoured)
{
    OpenArticle(2, 30);
    DisplaySettings.clrCBg = RGB(10, 30, 90);
    const int paragraphs = ParagraphCount();
    CString kindShown;
    CString sizeShown;
    RunDialog(
        [&](HWND dlg) {
            wchar_t text[32] = {};
            GetDlgItemTextW(dlg, IDC_ADDCODE_TYPE, text, 32);
            kindShown = text;
            GetDlgItemTextW(dlg, IDC_ADDCODE_FONT_SIZE, text, 32);
            sizeShown = text;
            SetDlgItemTextW(dlg, IDC_ADDCODE_TEXT, L"int main()\r\n{\r\n\treturn 0;\r\n}");
        },
        IDC_ADDCODE_FONT_SIZE, {L"10", L"31", L"1x", L"11"});
    Command(ID_INSERT_CODE);
    EXPECT_FALSE(IsDialogActionPending());
    EXPECT_EQ(CString(L"代码"), kindShown);
    EXPECT_EQ(CString(L"25"), sizeShown);
    const std::wstring range = L"Enter an integer between 11 and 30.";
    EXPECT_EQ((std::vector<std::wstring>{range, range, L"Enter an integer."}), MessageRecorder::Texts());
    EXPECT_EQ(11, DisplaySettings.nBlockFontSize);
    EXPECT_EQ(1, view->m_bModified);
    ASSERT_EQ(paragraphs + 1, ParagraphCount());
    ChunkNode* code = view->m_pRoot->pFirstChild->pNext;
    EXPECT_EQ(2, code->nCode);
    EXPECT_EQ(4, LineCount(code));
    // The code lines show their background and the keyword its colour.
    view->RedrawWindow();
    PumpAll();
    ClientCapture cap(view->m_hWnd);
    ChunkNode* first = code->pFirstChild;
    const int y = first->y + 2 - view->GetScrollPosition().y;
    EXPECT_EQ(DisplaySettings.clrCBg, cap.At(view->m_rcClient.Width() - 30, y));
    EXPECT_EQ(DisplaySettings.clrLeft, cap.At(first->x / 2, y));
    CharItem* i = first->pFirstItem;
    int typeInk = 0;
    for (int yy = (int)i->top; yy < (int)i->bottom; ++yy)
        for (int xx = (int)i->left; xx < (int)i->pNext->pNext->right; ++xx)
            typeInk += Near(cap.At(xx, yy - view->GetScrollPosition().y), DisplaySettings.clrInt) ? 1 : 0;
    EXPECT_GT(typeInk, 10);

    // The size last used comes back; Cancel changes nothing.
    RunDialog([&](HWND dlg) {
        wchar_t text[32] = {};
        GetDlgItemTextW(dlg, IDC_ADDCODE_FONT_SIZE, text, 32);
        sizeShown = text;
        PostKeyToFocus(VK_ESCAPE);
    });
    Command(ID_INSERT_CODE);
    EXPECT_EQ(CString(L"11"), sizeShown);
    EXPECT_EQ(paragraphs + 1, ParagraphCount());
}

TEST_F(BlockDialogTest, BlockSizeIsCheckedAndGoesToTheSelectedParagraphs)
{
    OpenArticle(3, 30);
    ChunkNode* first = view->m_pRoot->pFirstChild;
    ChunkNode* second = first->pNext;
    view->AddToSelection(first->pFirstChild->pFirstItem, kNodeLine);
    view->AddToSelection(second->pFirstChild->pFirstItem, kNodeLine);
    int fontItems = 0;
    CString firstFont;
    RunDialog(
        [&](HWND dlg) {
            fontItems = (int)SendDlgItemMessageW(dlg, IDC_SIZE_FONT, CB_GETCOUNT, 0, 0);
            wchar_t text[64] = {};
            SendDlgItemMessageW(dlg, IDC_SIZE_FONT, CB_GETLBTEXT, 0, (LPARAM)text);
            firstFont = text;
            // Which faces a machine has differs: an empty name (a font that is
            // neither raster nor TrueType) may stand right after "默认". The
            // face is chosen by its name.
            HWND list = GetDlgItem(dlg, IDC_SIZE_FONT);
            SendMessageW(list, CB_INSERTSTRING, 1, (LPARAM)L"");
            SendMessageW(list, CB_ADDSTRING, 0, (LPARAM)L"测试楷体");
            const int at = (int)SendMessageW(list, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)L"测试楷体");
            SendMessageW(list, CB_SETCURSEL, at, 0);
            SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDC_SIZE_FONT, CBN_SELCHANGE), (LPARAM)list);
        },
        IDC_SIZE_HEIGHT, {L"0", L"1001", L"-5", L"1000"});
    Command(ID_SET_CHUNK_FORMAT);
    EXPECT_FALSE(IsDialogActionPending());
    const std::wstring range = L"Enter an integer between 1 and 1000.";
    EXPECT_EQ((std::vector<std::wstring>{range, range, L"Enter a positive integer."}),
              MessageRecorder::Texts());
    EXPECT_EQ(CString(L"默认"), firstFont);
    EXPECT_GT(fontItems, 2);
    EXPECT_EQ(1000, first->nTextSize);
    EXPECT_EQ(1000, second->nTextSize);
    EXPECT_NE(1000, second->pNext->nTextSize);
    EXPECT_STREQ(L"测试楷体", first->pFontFace);
    EXPECT_STREQ(L"测试楷体", second->pFontFace);

    // Without a selection, "默认" takes the face away from the current paragraph.
    view->ResetSelection(true);
    view->m_pCurLine = second->pFirstChild;
    view->m_pCurItem = view->m_pCurLine->pFirstItem;
    RunDialog(
        [&](HWND dlg) {
            SendDlgItemMessageW(dlg, IDC_SIZE_FONT, CB_SETCURSEL, 0, 0);
            SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDC_SIZE_FONT, CBN_SELCHANGE),
                         (LPARAM)GetDlgItem(dlg, IDC_SIZE_FONT));
        },
        IDC_SIZE_HEIGHT, {L"40"});
    Command(ID_SET_CHUNK_FORMAT);
    EXPECT_EQ(40, second->nTextSize);
    EXPECT_EQ(40, view->m_pCurLine->nTextSize);
    EXPECT_EQ(nullptr, second->pFontFace);
    EXPECT_EQ(1000, first->nTextSize);

    Command(ID_SET_CHUNK_FONT);
    EXPECT_STREQ(L"隶书", second->pFontFace);
}

TEST_F(BlockDialogTest, PresetsAreCheckedAndNothingOfAFailedOkIsKept)
{
    OpenArticle(3, 60);
    DisplaySettings.nBiaozhu = 5;
    DisplaySettings.bComment = 0;
    int styleShown = -1;
    CString bodyFirst, codeFirst;
    int bodySel = 0;
    RunDialog(
        [&](HWND dlg) {
            styleShown = (int)SendDlgItemMessageW(dlg, IDC_PRESET_MARK_STYLE, CB_GETCURSEL, 0, 0);
            wchar_t text[64] = {};
            SendDlgItemMessageW(dlg, IDC_PRESET_BODY_FONT, CB_GETLBTEXT, 0, (LPARAM)text);
            bodyFirst = text;
            SendDlgItemMessageW(dlg, IDC_PRESET_CODE_FONT, CB_GETLBTEXT, 0, (LPARAM)text);
            codeFirst = text;
            bodySel = (int)SendDlgItemMessageW(dlg, IDC_PRESET_BODY_FONT, CB_GETCURSEL, 0, 0);
            CheckDlgButton(dlg, IDC_PRESET_COMMENT, BST_CHECKED);
            SendDlgItemMessageW(dlg, IDC_PRESET_MARK_STYLE, CB_SETCURSEL, 7, 0);
        },
        IDC_PRESET_TEXT_SIZE, {L"21", L"101"}, true);
    Command(ID_PRESET);
    EXPECT_FALSE(IsDialogActionPending());
    const std::wstring range = L"Enter an integer between 22 and 100.";
    EXPECT_EQ((std::vector<std::wstring>{range, range}), MessageRecorder::Texts());
    EXPECT_EQ(5, styleShown);
    EXPECT_EQ(CString(L"默认"), bodyFirst);
    EXPECT_EQ(CString(L"默认"), codeFirst);
    EXPECT_EQ(-1, bodySel);           // the pane has no face of its own
    // The dialog was cancelled after the failed checks: nothing was kept.
    EXPECT_EQ(0, DisplaySettings.bComment);
    EXPECT_EQ(5, DisplaySettings.nBiaozhu);
    EXPECT_FALSE(FileExists(PresetFilePath()));

    // A face longer than the pane's buffer is cut there; OK writes the file.
    const std::wstring longFace(40, L'宋');
    RunDialog(
        [&](HWND dlg) {
            HWND list = GetDlgItem(dlg, IDC_PRESET_BODY_FONT);
            int at = (int)SendMessageW(list, CB_ADDSTRING, 0, (LPARAM)longFace.c_str());
            SendMessageW(list, CB_SETCURSEL, at, 0);
            SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDC_PRESET_BODY_FONT, CBN_SELCHANGE), (LPARAM)list);
            // The ids of the check box lie between the radio buttons' ids.
            CheckRadioButton(dlg, IDC_PRESET_MARK_RUNS, IDC_PRESET_MARK_SINGLE, IDC_PRESET_MARK_SINGLE);
            CheckDlgButton(dlg, IDC_PRESET_COMMENT, BST_CHECKED);
            SendDlgItemMessageW(dlg, IDC_PRESET_MARK_STYLE, CB_SETCURSEL, 7, 0);
            SetDlgItemTextW(dlg, IDC_PRESET_LINE_SPACING, L"6");
        },
        IDC_PRESET_TEXT_SIZE, {L"22"});
    Command(ID_PRESET);
    EXPECT_EQ(22, view->m_nTextSize);
    EXPECT_EQ(6, view->m_nRow);
    EXPECT_EQ((size_t)kFaceBufferSize - 1, wcslen(view->m_szFontFace));
    EXPECT_EQ(1, DisplaySettings.bComment);
    EXPECT_EQ(1, DisplaySettings.bSingle);
    EXPECT_EQ(7, DisplaySettings.nBiaozhu);
    ASSERT_TRUE(FileExists(PresetFilePath()));
    EXPECT_EQ(22, (int)GetPrivateProfileIntW(L"Size", L"TextSize", 0, PresetFilePath()));
    EXPECT_EQ(7, (int)GetPrivateProfileIntW(L"Biaozhu", L"nBiaozhu", 0, PresetFilePath()));
    EXPECT_EQ(6, (int)GetPrivateProfileIntW(L"Distance", L"Row", 0, PresetFilePath()));
    // OK with no style chosen keeps the style there was.
    RunDialog([&](HWND dlg) { SendDlgItemMessageW(dlg, IDC_PRESET_MARK_STYLE, CB_SETCURSEL, (WPARAM)-1, 0); },
              IDC_PRESET_TEXT_SIZE, {L"22"});
    Command(ID_PRESET);
    EXPECT_EQ(7, DisplaySettings.nBiaozhu);
    // The text size changed: the article was laid out at the new size.
    EXPECT_DOUBLE_EQ(22.0, view->FirstLine(view->m_pRoot)->pFirstItem->right -
                               view->FirstLine(view->m_pRoot)->pFirstItem->left);
}
