// Editing in a real article pane: keys, input-method characters, the mouse,
// the accelerators, the clipboard and the caret.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
#include <string>
#include <vector>
#include "LayoutTestUtil.h"
#include "framework/App.h"
#include "framework/Doc.h"
#include "framework/Ids.h"
#include "framework/Wnd.h"
#include "res/resource.h"
#include "tests/support/Pixels.h"
#include "view/ImportView.h"

namespace {

const int kPaneWidth = 1200;
const int kPaneHeight = 600;

class CTestView : public CImportView {
public:
    using CImportView::UpdateCaret;
};

CharItem* ItemOf(ChunkNode* line, int index)
{
    CharItem* it = line->pFirstItem;
    while (it && index-- > 0)
        it = it->pNext;
    return it;
}

int FlaggedCount(CArticleModel& m)
{
    int n = 0;
    for (ChunkNode* l = m.FirstLeaf(m.m_pRoot); l; l = m.NextLeaf(l))
        for (CharItem* it = l->pFirstItem; it; it = it->pNext)
            n += it->bSelected ? 1 : 0;
    return n;
}

std::vector<ChunkNode*> Leaves(CArticleModel& m)
{
    std::vector<ChunkNode*> out;
    for (ChunkNode* l = m.FirstLeaf(m.m_pRoot); l; l = m.NextLeaf(l))
        out.push_back(l);
    return out;
}

LCID ClipboardLocale()
{
    LCID id = 0;
    if (!OpenClipboard(nullptr))
        return 0;
    if (HANDLE h = GetClipboardData(CF_LOCALE)) {
        if (const LCID* p = static_cast<const LCID*>(GlobalLock(h))) {
            id = *p;
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    return id;
}

// Holds the clipboard open from another thread until released.
class ClipboardHolder {
public:
    ClipboardHolder()
    {
        m_ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_thread = CreateThread(nullptr, 0, &Run, this, 0, nullptr);
        WaitForSingleObject(m_ready, 5000);
    }
    ~ClipboardHolder()
    {
        SetEvent(m_release);
        WaitForSingleObject(m_thread, 5000);
        CloseHandle(m_thread);
        CloseHandle(m_ready);
        CloseHandle(m_release);
    }
    bool opened = false;

private:
    static DWORD WINAPI Run(void* p)
    {
        auto* self = static_cast<ClipboardHolder*>(p);
        self->opened = OpenClipboard(nullptr) != FALSE;
        SetEvent(self->m_ready);
        WaitForSingleObject(self->m_release, 10000);
        if (self->opened)
            CloseClipboard();
        return 0;
    }
    HANDLE m_ready, m_release, m_thread;
};

class EditingWindowTest : public PaneFrameTest {
protected:
    CTestView* view = nullptr;
    HACCEL accel = nullptr;

    void SetUp() override
    {
        OpenFrame(L"gui_editing", kPaneWidth + 60, 2 * kPaneHeight + 80);
        if (HasFatalFailure())
            return;
        accel = LoadAcceleratorsW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_DOC_TEMPLATE));
        ASSERT_NE(nullptr, accel);
    }
    CTestView* MakeView(bool upper, int top)
    {
        auto* v = new CTestView;
        v->m_bUpperPane = upper;
        EXPECT_TRUE(v->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL,
                              CRect(0, top, kPaneWidth, top + kPaneHeight), &frame,
                              upper ? AFX_IDW_PANE_FIRST : AFX_IDW_PANE_FIRST + 1));
        doc.AddView(v);
        v->OnInitialUpdate();
        Pump();
        return v;
    }
    void CreateView(bool upper = true) { view = MakeView(upper, 0); }
    void Focus(CWnd* v)
    {
        frame.SetForegroundWindow();
        v->SetFocus();
        Pump();
    }
    CString WriteArticle(const std::vector<std::wstring>& paragraphs)
    {
        CArticleModel writer;
        writer.NewArticle();
        std::wstring text;
        for (size_t i = 0; i < paragraphs.size(); ++i) {
            if (i)
                text += L"\r\n";
            text += paragraphs[i];
        }
        writer.InsertText(CString(text.c_str()));
        CString path = folder.Path() + L"article.xml";
        EXPECT_TRUE(writer.SaveArticle(folder.Path(), path));
        return path;
    }
    static std::wstring Chars(int n, wchar_t base)
    {
        std::wstring s;
        for (int i = 0; i < n; ++i)
            s += (i % 9 == 8) ? (wchar_t)(L'a' + i % 26) : (wchar_t)(base + i);
        return s;
    }
    std::wstring Text(CImportView* v = nullptr) { return ArticleText((v ? v : view)->m_pRoot); }

    // Keys as the message loop delivers them: a key-down and its character.
    void Key(UINT vk, wchar_t ch = 0)
    {
        view->SendMessage(WM_KEYDOWN, vk, 1);
        if (ch)
            view->SendMessage(WM_CHAR, ch, 1);
        Pump();
    }
    void TypeAscii(const char* s)
    {
        for (; *s; ++s)
            Key((UINT)toupper((unsigned char)*s), (wchar_t)*s);
    }
    void Ime(wchar_t u)
    {
        view->SendMessage(WM_IME_CHAR, u, 1);
        Pump();
    }
    // A key with a modifier held, through the frame's accelerator table.
    void Accelerated(UINT vk, int modifier)
    {
        BYTE keys[256], saved[256];
        GetKeyboardState(keys);
        memcpy(saved, keys, sizeof(keys));
        keys[modifier] |= 0x80;
        SetKeyboardState(keys);
        MSG msg = {view->m_hWnd, WM_KEYDOWN, vk, 1, 0, {0, 0}};
        if (!TranslateAcceleratorW(view->m_hWnd, accel, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        SetKeyboardState(saved);
        Pump();
    }
    void Command(UINT id) { view->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    CPoint ClientOf(const CharItem* it)
    {
        return view->DocumentToClient(
            CPoint((int)((it->left + it->right) / 2), (int)((it->top + it->bottom) / 2)));
    }
    void Mouse(UINT message, WPARAM flags, CPoint pt)
    {
        view->SendMessage(message, flags, MAKELPARAM(pt.x, pt.y));
    }
    void Click(const CharItem* it)
    {
        CPoint pt = ClientOf(it);
        Mouse(WM_LBUTTONDOWN, MK_LBUTTON, pt);
        Mouse(WM_LBUTTONUP, 0, pt);
        Pump();
    }
    GUITHREADINFO Caret()
    {
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        EXPECT_TRUE(GetGUIThreadInfo(GetCurrentThreadId(), &info));
        return info;
    }
    // The caret stands at the current item, in client coordinates.
    void ExpectCaretAtCurrentItem(CImportView* v = nullptr)
    {
        v = v ? v : view;
        GUITHREADINFO info = Caret();
        ASSERT_NE(nullptr, v->m_pCurItem);
        EXPECT_EQ(v->m_hWnd, info.hwndCaret);
        CPoint at = v->DocumentToClient(CPoint((int)v->m_pCurItem->left, (int)v->m_pCurItem->top));
        EXPECT_EQ(at.x, info.rcCaret.left);
        EXPECT_EQ(at.y, info.rcCaret.top);
        EXPECT_EQ(2, info.rcCaret.right - info.rcCaret.left);
    }
};

} // namespace

TEST_F(EditingWindowTest, TypingKeysAndInputMethodCharacters)
{
    CreateView();
    view->NewArticle();
    Focus(view);
    TypeAscii("ab");
    EXPECT_EQ(L"ab", Text());
    ExpectCaretAtCurrentItem();
    Key(VK_TAB, L'\t');
    EXPECT_EQ(L"ab ", Text());
    // Control characters are keys, not text.
    Key('A', 1);
    Key(VK_ESCAPE, 27);
    EXPECT_EQ(L"ab ", Text());
    EXPECT_EQ(1, view->m_bModified);

    // An input method: Chinese, a Latin letter, skipped signs, a surrogate pair.
    Ime(0x4E2D);
    Ime(L'z');
    Ime(0xFF20);
    Ime(0xFF05);
    Ime(0xD840);
    EXPECT_EQ(L"ab 中z", Text());
    Ime(0xDC00);
    EXPECT_EQ(L"ab 中z\U00020000", Text());
    ChunkNode* line = view->m_pCurLine;
    CharItem* pair = view->LastItem(line)->pPrev;
    EXPECT_EQ(0xD840, pair->ch);
    EXPECT_EQ(0xDC00, pair->chLow);
    ExpectCaretAtCurrentItem();
    GUITHREADINFO info = Caret();
    EXPECT_EQ(view->DocumentToClient(CPoint((int)pair->right, 0)).x, info.rcCaret.left);
}

TEST_F(EditingWindowTest, EnterBackspaceAndDeleteAtLineAndParagraphEdges)
{
    CString path = WriteArticle({L"abcdef", Chars(80, 0x4E00)});
    CreateView();
    view->OpenArticle(folder.Path(), path);
    Focus(view);
    std::vector<ChunkNode*> lines = Leaves(*view);
    ASSERT_GE(lines.size(), 3u);
    const std::wstring original = Text();

    // Backspace at the article's start does nothing.
    Click(lines[0]->pFirstItem);
    Key(VK_BACK, 8);
    EXPECT_EQ(original, Text());
    EXPECT_EQ(lines[0]->pFirstItem, view->m_pCurItem);
    // Delete without a selection does nothing either.
    Key(VK_DELETE);
    EXPECT_EQ(original, Text());

    // Backspace at the start of a wrapped line: the caret goes back, nothing goes.
    Click(lines[2]->pFirstItem);
    EXPECT_EQ(lines[2], view->m_pCurLine);
    Key(VK_BACK, 8);
    EXPECT_EQ(original, Text());
    EXPECT_EQ(lines[1], view->m_pCurLine);
    EXPECT_EQ(view->LastItem(lines[1]), view->m_pCurItem);
    ExpectCaretAtCurrentItem();
    Key(VK_BACK, 8);
    EXPECT_EQ(original.size() - 1, Text().size());

    // Enter in the middle of the first line: a new indented paragraph, the rest stays.
    Click(ItemOf(lines[0], 3));
    Key(VK_RETURN, 13);
    EXPECT_EQ(3, ParagraphCount(view->m_pRoot));
    EXPECT_EQ(std::wstring(L"abcdef    "), Text().substr(0, 10));
    ExpectCaretAtCurrentItem();
    // Backspace over the indentation, then the empty paragraph goes.
    for (int i = 0; i < 5; ++i)
        Key(VK_BACK, 8);
    EXPECT_EQ(2, ParagraphCount(view->m_pRoot));
    EXPECT_EQ(view->LastItem(lines[0]), view->m_pCurItem);

    // Delete with a selection made by Shift+Up.
    Accelerated(VK_UP, VK_SHIFT);
    Accelerated(VK_UP, VK_SHIFT);
    Key(VK_DELETE);
    EXPECT_EQ(std::wstring(L"abcd\n"), Text().substr(0, 5));
    EXPECT_TRUE(view->m_arrSelection.IsEmpty());
    ExpectWellFormedLines(view->m_pRoot);
}

TEST_F(EditingWindowTest, ArrowKeysMoveTheCaretAndKeepItVisible)
{
    std::vector<std::wstring> paras;
    for (int i = 0; i < 30; ++i)
        paras.push_back(Chars(60, (wchar_t)(0x4E00 + 100 * i)));
    CString path = WriteArticle(paras);
    CreateView();
    view->OpenArticle(folder.Path(), path);
    Focus(view);
    std::vector<ChunkNode*> lines = Leaves(*view);
    Click(ItemOf(lines[0], 2));
    Key(VK_RIGHT);
    EXPECT_EQ(ItemOf(lines[0], 3), view->m_pCurItem);
    ExpectCaretAtCurrentItem();
    Key(VK_LEFT);
    Key(VK_LEFT);
    EXPECT_EQ(ItemOf(lines[0], 1), view->m_pCurItem);
    Key(VK_DOWN);
    EXPECT_EQ(lines[1], view->m_pCurLine);
    ExpectCaretAtCurrentItem();
    // Far down the article: the pane scrolls until the caret is inside.
    for (int i = 0; i < 40; ++i)
        Key(VK_DOWN);
    EXPECT_GT(view->GetScrollPosition().y, 0);
    ExpectCaretAtCurrentItem();
    GUITHREADINFO info = Caret();
    CRect client;
    view->GetClientRect(&client);
    EXPECT_GE(info.rcCaret.top, 0);
    EXPECT_LE(info.rcCaret.bottom, client.bottom);
}

TEST_F(EditingWindowTest, DragCutPasteBackAndSave)
{
    CString path = WriteArticle({Chars(150, 0x4E00), Chars(120, 0x5200), Chars(50, 0x6000)});
    CreateView();
    view->OpenArticle(folder.Path(), path);
    Focus(view);
    const std::wstring original = Text();
    std::vector<ChunkNode*> lines = Leaves(*view);
    ASSERT_GE(lines.size(), 8u);

    // Press on the second line, move through the third, release on the sixth.
    Mouse(WM_LBUTTONDOWN, MK_LBUTTON, ClientOf(ItemOf(lines[1], 5)));
    Mouse(WM_MOUSEMOVE, MK_LBUTTON, ClientOf(ItemOf(lines[2], 8)));
    Mouse(WM_MOUSEMOVE, MK_LBUTTON, ClientOf(ItemOf(lines[5], 3)));
    Mouse(WM_LBUTTONUP, 0, ClientOf(ItemOf(lines[5], 3)));
    Pump();
    int expected = 0;
    std::wstring selected;
    for (int i = 1; i <= 5; ++i) {
        for (CharItem* it = lines[i]->pFirstItem; it; it = it->pNext) {
            ++expected;
            if (it->pNext) {
                selected += it->ch;
            }
        }
    }
    EXPECT_EQ(expected, FlaggedCount(*view));
    // On the clipboard the paragraph's line feed is a line break.
    std::wstring clip = selected;
    clip.insert(clip.find(L'\n'), 1, L'\r');

    SetClipboardText(L"before");
    Accelerated('X', VK_CONTROL);
    EXPECT_EQ(clip, ClipboardText());
    EXPECT_EQ(0x0804u, ClipboardLocale());
    EXPECT_EQ(original.size() - selected.size(), Text().size());
    EXPECT_EQ(1, view->m_bModified);
    ExpectCaretAtCurrentItem();

    view->m_bModified = 0;
    Accelerated('V', VK_CONTROL);
    EXPECT_EQ(original, Text());
    EXPECT_EQ(1, view->m_bModified);
    ExpectWellFormedLines(view->m_pRoot);
    ExpectNoOverlap(view->m_pRoot);

    CString saved = folder.Path() + L"saved.xml";
    ASSERT_TRUE(view->SaveArticle(folder.Path(), saved));
    CTestView* other = MakeView(false, kPaneHeight);
    other->OpenArticle(folder.Path(), saved);
    EXPECT_EQ(original, Text(other));
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(EditingWindowTest, ShiftUpAndDownCopyInReadingOrder)
{
    CString path = WriteArticle({L"abcdefghij"});
    CreateView();
    view->OpenArticle(folder.Path(), path);
    Focus(view);
    ChunkNode* line = view->FirstLine(view->m_pRoot);
    Click(ItemOf(line, 7));
    for (int i = 0; i < 3; ++i)
        Accelerated(VK_UP, VK_SHIFT);
    EXPECT_EQ(ItemOf(line, 4), view->m_pCurItem);
    ExpectCaretAtCurrentItem();
    Accelerated('C', VK_CONTROL);
    EXPECT_EQ(L"efg", ClipboardText());
    EXPECT_EQ(0x0804u, ClipboardLocale());
    EXPECT_EQ(L"abcdefghij", Text());

    Click(ItemOf(line, 1));
    for (int i = 0; i < 3; ++i)
        Accelerated(VK_DOWN, VK_SHIFT);
    EXPECT_EQ(ItemOf(line, 4), view->m_pCurItem);
    Accelerated('C', VK_CONTROL);
    EXPECT_EQ(L"bcd", ClipboardText());
    // Shift+Left and Shift+Right are taken by the table and do nothing.
    Accelerated(VK_LEFT, VK_SHIFT);
    Accelerated(VK_RIGHT, VK_SHIFT);
    EXPECT_EQ(ItemOf(line, 4), view->m_pCurItem);
    EXPECT_EQ(3, FlaggedCount(*view));

    // Cut with nothing selected leaves the clipboard alone.
    Key(VK_RIGHT);
    SetClipboardText(L"keep");
    Accelerated('X', VK_CONTROL);
    EXPECT_EQ(L"keep", ClipboardText());
    EXPECT_EQ(L"abcdefghij", Text());
    Accelerated('C', VK_CONTROL);
    EXPECT_EQ(L"keep", ClipboardText());
}

TEST_F(EditingWindowTest, ABusyClipboardKeepsTheArticle)
{
    CString path = WriteArticle({L"abcdefghij"});
    CreateView();
    view->OpenArticle(folder.Path(), path);
    Focus(view);
    ChunkNode* line = view->FirstLine(view->m_pRoot);
    view->SelectNodeChars(line);
    {
        ClipboardHolder holder;
        ASSERT_TRUE(holder.opened);
        Command(ID_ARTICLE_CUT);
        Command(ID_ARTICLE_PASTE);
    }
    ASSERT_EQ(2u, boxes.Texts().size());
    EXPECT_EQ(L"不能打开剪贴板！", boxes.Texts()[0]);
    EXPECT_EQ(L"不能打开剪贴板！", boxes.Texts()[1]);
    EXPECT_EQ(L"abcdefghij", Text());
    EXPECT_EQ(0, view->m_bModified);
    // The selection is still there and can be cut now.
    Command(ID_ARTICLE_CUT);
    EXPECT_EQ(L"abcdefghij", ClipboardText());
    EXPECT_EQ(L"", Text());
}

TEST_F(EditingWindowTest, PasteReadsTheBlockAndMakesParagraphs)
{
    CreateView();
    view->NewArticle();
    Focus(view);
    // A block without a terminating zero is read up to its end only (the
    // system may end it early by putting a zero in its last unit).
    const wchar_t units[] = {L'x', L'y', L'z'};
    SetClipboardUnits(units, 3);
    Command(ID_ARTICLE_PASTE);
    const std::wstring got = Text();
    EXPECT_EQ(ClipboardText(), got);
    EXPECT_TRUE(got == L"xyz" || got == L"xy") << "pasted " << got.size() << " units";
    SetClipboardText(L"one\r\ntwo");
    Command(ID_ARTICLE_PASTE);
    EXPECT_EQ(got + L"one\ntwo", Text());
    EXPECT_EQ(2, ParagraphCount(view->m_pRoot));
    ExpectCaretAtCurrentItem();

    // No text on the clipboard.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    Command(ID_ARTICLE_PASTE);
    ASSERT_EQ(1u, boxes.Texts().size());
    EXPECT_EQ(L"不能获取剪贴板数据！", boxes.Texts()[0]);
    // The caret on a glyph block: text only goes into character lines.
    ChunkNode* para = view->m_pRoot->pFirstChild;
    ChunkNode* glyph = view->CreateNode(kNodeGlyph, 3, 28, 0, 0, 28, 28, nullptr,
                                        view->LastLine(para), nullptr, nullptr, para);
    view->CreateCharItem(L"?", nullptr, nullptr, glyph);
    view->m_pCurLine = glyph;
    view->m_pCurItem = glyph->pFirstItem;
    Command(ID_ARTICLE_PASTE);
    ASSERT_EQ(2u, boxes.Texts().size());
    EXPECT_EQ(L"请在字符数据块中粘贴文本！", boxes.Texts()[1]);
    // A block in the selection cannot be cut.
    view->SelectNodeChars(glyph);
    SetClipboardText(L"kept");
    Command(ID_ARTICLE_CUT);
    ASSERT_EQ(3u, boxes.Texts().size());
    EXPECT_EQ(L"目前只提供纯文本（无格式）字符数据剪切，请选择字符数据！", boxes.Texts()[2]);
    EXPECT_EQ(L"kept", ClipboardText());
}

TEST_F(EditingWindowTest, MarksInBothModesSurviveSaveAndReopen)
{
    CString path = WriteArticle({L"abcdefghij", L"klmnop"});
    CreateView();
    view->OpenArticle(folder.Path(), path);
    Focus(view);
    std::vector<ChunkNode*> lines = Leaves(*view);
    DisplaySettings.nBiaozhu = 6;
    DisplaySettings.bSingle = 0;
    Click(ItemOf(lines[0], 2));
    Mouse(WM_LBUTTONDOWN, MK_LBUTTON, ClientOf(ItemOf(lines[0], 2)));
    Mouse(WM_LBUTTONUP, 0, ClientOf(ItemOf(lines[0], 5)));
    view->MarkCommand();
    EXPECT_EQ(1, view->m_bModified);
    EXPECT_EQ(0, FlaggedCount(*view));
    DisplaySettings.nBiaozhu = 11;
    DisplaySettings.bSingle = 1;
    Click(ItemOf(lines[1], 1));
    Mouse(WM_LBUTTONDOWN, MK_LBUTTON, ClientOf(ItemOf(lines[1], 1)));
    Mouse(WM_LBUTTONUP, 0, ClientOf(ItemOf(lines[1], 4)));
    view->MarkCommand();
    // The comment command marks too and counts as a change.
    view->m_bModified = 0;
    DisplaySettings.nBiaozhu = 2;
    view->SelectNodeChars(lines[1]);
    view->CommentSelection();
    EXPECT_EQ(1, view->m_bModified);
    view->RedrawWindow();
    Pump();

    CString saved = folder.Path() + L"marks.xml";
    ASSERT_TRUE(view->SaveArticle(folder.Path(), saved));
    CTestView* other = MakeView(false, kPaneHeight);
    other->OpenArticle(folder.Path(), saved);
    EXPECT_EQ(ArticleChars(view->m_pRoot), ArticleChars(other->m_pRoot));
    std::vector<ChunkNode*> reread = Leaves(*other);
    EXPECT_EQ(6, ItemOf(reread[0], 2)->nMark);
    EXPECT_EQ(6, ItemOf(reread[0], 4)->nMark);
    EXPECT_EQ(0, ItemOf(reread[0], 5)->nMark);
    EXPECT_EQ(11, ItemOf(reread[1], 1)->nStyle);
    EXPECT_EQ(11, ItemOf(reread[1], 3)->nStyle);
    EXPECT_EQ(0, ItemOf(reread[1], 4)->nStyle);
    EXPECT_EQ(2, ItemOf(reread[1], 4)->nMark);
}

TEST_F(EditingWindowTest, CaretLivesInTheFocusedPaneOnly)
{
    CreateView(true);
    CTestView* lower = MakeView(false, kPaneHeight);
    view->NewArticle();
    lower->NewArticle();
    Focus(view);
    TypeAscii("upper");
    // Typing into the other pane moves neither the caret nor the focus.
    lower->SendMessage(WM_CHAR, L'w', 1);
    lower->SendMessage(WM_CHAR, L'x', 1);
    Pump();
    EXPECT_EQ(L"wx", Text(lower));
    ExpectCaretAtCurrentItem(view);
    Focus(lower);
    ExpectCaretAtCurrentItem(lower);
    Focus(view);
    ExpectCaretAtCurrentItem(view);

    // Select all: the paragraph in the upper pane, the article in the lower one.
    Key(VK_RETURN, 13);
    TypeAscii("two");
    Command(ID_SELECT_ALL);
    EXPECT_EQ((int)(4 + 3 + 1), FlaggedCount(*view));
    lower->SendMessage(WM_CHAR, 13, 1);
    lower->SendMessage(WM_CHAR, L'y', 1);
    lower->SendMessage(WM_COMMAND, MAKEWPARAM(ID_SELECT_ALL, 0), 0);
    EXPECT_EQ((int)(2 + 1 + 4 + 1 + 1), FlaggedCount(*lower));
}

TEST_F(EditingWindowTest, CaretFollowsItsCharacterThroughARebreak)
{
    CString path = WriteArticle({Chars(90, 0x4E00)});
    CreateView();
    view->OpenArticle(folder.Path(), path);
    Focus(view);
    ChunkNode* first = view->FirstLine(view->m_pRoot);
    CharItem* last = view->LastItem(first)->pPrev;
    Click(last);
    ASSERT_EQ(last, view->m_pCurItem);
    Ime(0x5B57);
    // The character before the caret pushed the caret's character down a line.
    EXPECT_EQ(last, view->m_pCurItem);
    EXPECT_EQ(first->pNext, last->pOwner);
    EXPECT_EQ(last, first->pNext->pFirstItem);
    ExpectCaretAtCurrentItem();
}

// A character typed into the middle of a line breaks it where typing the line
// from scratch would: its end moves down rather than past the page.
TEST_F(EditingWindowTest, TypingIntoALineBreaksItAsTheBreakRuleDoes)
{
    DisplaySettings.nPageWidth = 470;
    // 15 Chinese characters and two letters: 462 px with the line end.
    CString path = WriteArticle({std::wstring(15, L'甲') + L"ab"});
    CreateView();
    view->OpenArticle(folder.Path(), path);
    Focus(view);
    ASSERT_EQ(470, DisplaySettings.nPageWidth);
    ChunkNode* first = view->FirstLine(view->m_pRoot);
    ASSERT_EQ(nullptr, first->pNext);
    Click(ItemOf(first, 3));
    PostMessageW(GetFocus(), WM_CHAR, L'中', 1);
    Pump();
    EXPECT_EQ(std::wstring(3, L'甲') + L"中" + std::wstring(12, L'甲') + L"ab", Text());
    ASSERT_NE(nullptr, first->pNext);
    EXPECT_EQ(L"b\r", LineUnits(first->pNext));
    ExpectLinesBrokenFrom(*view, first);
    EXPECT_EQ(ItemOf(first, 4), view->m_pCurItem);
    ExpectCaretAtCurrentItem();
}

// Code letters drawn wider than they are measured still lie inside the
// scroll area: the caret at the end of a long code line is scrolled into view
// and a double click there selects the line.
TEST_F(EditingWindowTest, WideCodeLettersStayReachable)
{
    CString path = folder.Path() + L"code.xml";
    {
        CArticleModel m;
        m.NewArticle();
        m.InsertText(std::wstring(70, L'x').c_str());
        m.m_pRoot->pFirstChild->nCode = 1;
        m.FirstLine(m.m_pRoot)->nCode = 1;
        ASSERT_TRUE(m.SaveArticle(folder.Path(), path));
    }
    CreateView();
    view->OpenArticle(folder.Path(), path);
    Focus(view);
    ChunkNode* line = view->FirstLine(view->m_pRoot);
    ASSERT_TRUE(view->IsCodeLine(line));
    ASSERT_EQ(nullptr, line->pNext);
    for (int i = 0; i < 5; ++i)
        view->IncreaseCharWidth();
    Click(line->pFirstItem);
    for (int i = 0; i < 70; ++i) {
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_RIGHT, 1);
        Pump();
    }
    ASSERT_EQ(view->LastItem(line), view->m_pCurItem);
    CRect client;
    view->GetClientRect(&client);
    ASSERT_GT(view->LastItem(line)->left, client.right);
    GUITHREADINFO info = Caret();
    EXPECT_LE(info.rcCaret.right, client.right);
    ExpectCaretAtCurrentItem();
    CharItem* last = view->LastItem(line)->pPrev;
    CPoint at = ClientOf(last);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        view->PostMessage(message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(at.x, at.y));
    Pump();
    EXPECT_EQ(71, FlaggedCount(*view));
}

TEST_F(EditingWindowTest, ContextMenuMovesTheCaretAndKeepsTheSelection)
{
    CString path = WriteArticle({L"abcdefghij"});
    CreateView();
    view->OpenArticle(folder.Path(), path);
    Focus(view);
    ChunkNode* line = view->FirstLine(view->m_pRoot);
    view->SelectNodeChars(line);
    CPoint screen = ClientOf(ItemOf(line, 6));
    view->ClientToScreen(&screen);
    view->SendMessage(WM_CONTEXTMENU, (WPARAM)view->m_hWnd, MAKELPARAM(screen.x, screen.y));
    Pump();
    EXPECT_EQ(ItemOf(line, 6), view->m_pCurItem);
    EXPECT_EQ(11, FlaggedCount(*view));
    ExpectCaretAtCurrentItem();
    // A double click left of the page selects the paragraph, inside it the line.
    CPoint left = ClientOf(ItemOf(line, 0));
    left.x = view->DocumentToClient(CPoint(view->m_pRoot->x - 8, 0)).x;
    Mouse(WM_LBUTTONDOWN, MK_LBUTTON, left);
    Mouse(WM_LBUTTONUP, 0, left);
    EXPECT_EQ(0, FlaggedCount(*view));
    Mouse(WM_LBUTTONDBLCLK, MK_LBUTTON, left);
    EXPECT_EQ(11, FlaggedCount(*view));
    EXPECT_EQ(0, AfxGetCaughtExceptionCount());
}

TEST_F(EditingWindowTest, DraggingOutsideTheLineDrawsARedGuide)
{
    CString path = WriteArticle({Chars(100, 0x4E00)});
    CreateView();
    view->OpenArticle(folder.Path(), path);
    Focus(view);
    ChunkNode* line = view->FirstLine(view->m_pRoot);
    Mouse(WM_LBUTTONDOWN, MK_LBUTTON, ClientOf(ItemOf(line, 2)));
    Pump();
    view->UpdateWindow();
    const CPoint origin = view->DocumentToClient(CPoint(line->x, line->y));
    const CPoint target(origin.x + 300, origin.y + 400);
    auto redOnTheWay = [&] {
        ClientCapture shot(view->m_hWnd);
        int red = 0;
        for (int i = 1; i < 40; ++i) {
            int x = origin.x + (target.x - origin.x) * i / 40;
            int y = origin.y + (target.y - origin.y) * i / 40;
            red += shot.At(x, y) == RGB(200, 0, 0) ? 1 : 0;
        }
        return red;
    };
    ASSERT_EQ(0, redOnTheWay());
    // Moving without exactly the left button draws nothing.
    Mouse(WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, target);
    EXPECT_EQ(0, redOnTheWay());
    Mouse(WM_MOUSEMOVE, MK_LBUTTON, target);
    EXPECT_GT(redOnTheWay(), 10);
    EXPECT_EQ(0, FlaggedCount(*view));
    // The next paint takes the guide away.
    view->RedrawWindow();
    Pump();
    EXPECT_EQ(0, redOnTheWay());
    Mouse(WM_LBUTTONUP, 0, ClientOf(ItemOf(line, 2)));
}
