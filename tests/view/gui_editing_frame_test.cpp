// Editing the upper article pane inside the real main frame: keys go through
// the frame's message loop and accelerator table, and a switch of article
// saves what the editing commands changed.
#include "tests/app/AppTestUtil.h"
#include "tests/support/DialogDriver.h"
#include "tests/view/ViewTestUtil.h"

using namespace apptest;

namespace {

class FrameEditingTest : public AppTest {
protected:
    // Selects the article in the tree and gives its upper pane the keyboard.
    CImportView* OpenInUpperPane(const wchar_t* name)
    {
        Select(Item({name}));
        CImportView* v = Upper();
        frame->SetActiveView(v);
        v->SetFocus();
        Pump();
        return v;
    }
    void ClickOn(CImportView* v, const CharItem* it)
    {
        CPoint pt = v->DocumentToClient(
            CPoint((int)((it->left + it->right) / 2), (int)((it->top + it->bottom) / 2)));
        v->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
        v->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
        Pump();
    }
};

CharItem* ItemOf(ChunkNode* line, int index)
{
    CharItem* it = line->pFirstItem;
    while (it && index-- > 0)
        it = it->pNext;
    return it;
}

// count paragraphs of length characters each, every paragraph of its own
// character (一, 丁, 丂, ...).
std::wstring NumberedParagraphs(int count, int length)
{
    std::wstring text;
    for (int i = 0; i < count; ++i) {
        if (i)
            text += L"\r\n";
        text += std::wstring(length, (wchar_t)(0x4E00 + i));
    }
    return text;
}

// The characters of every line of the article in reading order, line ends left out.
std::vector<std::wstring> DumpLines(CArticleModel& m)
{
    std::vector<std::wstring> out;
    for (ChunkNode* l = m.FirstLeaf(m.m_pRoot); l; l = m.NextLeaf(l)) {
        std::wstring s = LineUnits(l);
        if (!s.empty() && s.back() == kLineEnd)
            s.pop_back();
        out.push_back(s);
    }
    return out;
}

} // namespace

TEST_F(FrameEditingTest, AcceleratorsEditTheUpperPaneAndSwitchingKeepsTheChange)
{
    MakeArticle(L"0001_a.xml", L"甲乙丙丁戊己庚");
    MakeArticle(L"0002_b.xml", L"子丑");
    Start();
    CImportView* v = OpenInUpperPane(L"0001_a.xml");
    ASSERT_NE(nullptr, v->m_pRoot);
    // The frame hands the pane the event that typing waits for.
    EXPECT_EQ(frame->m_hAutoSaveEvent, v->m_hAutoSaveEvent);
    EXPECT_NE(nullptr, v->m_hAutoSaveEvent);
    ChunkNode* line = v->FirstLine(v->m_pRoot);
    ClickOn(v, ItemOf(line, 3));
    ASSERT_EQ(ItemOf(line, 3), v->m_pCurItem);

    // Shift+Up twice, then Ctrl+X: the two characters before the caret.
    Key(VK_UP, VK_SHIFT);
    Key(VK_UP, VK_SHIFT);
    EXPECT_EQ(ItemOf(line, 1), v->m_pCurItem);
    Key('X', VK_CONTROL);
    EXPECT_EQ(L"乙丙", ClipboardText());
    EXPECT_EQ(CString(L"甲丁戊己庚"), ArticleText(*v));
    EXPECT_EQ(1, v->m_bModified);

    // Ctrl+Left is taken by the table: the caret stays.
    CharItem* caret = v->m_pCurItem;
    Key(VK_LEFT, VK_CONTROL);
    EXPECT_EQ(caret, v->m_pCurItem);

    // Ctrl+V puts the text back in front of the caret; a typed letter follows it.
    Key('V', VK_CONTROL);
    v->PostMessage(WM_CHAR, L'x', 1);
    Pump();
    EXPECT_EQ(CString(L"甲乙丙x丁戊己庚"), ArticleText(*v));

    // Ctrl+A in the upper pane selects the paragraph; Ctrl+C copies it.
    Key('A', VK_CONTROL);
    Key('C', VK_CONTROL);
    EXPECT_EQ(L"甲乙丙x丁戊己庚", ClipboardText());

    // Leaving the article saves what the commands changed.
    Select(Item({L"0002_b.xml"}));
    EXPECT_EQ(CString(L"甲乙丙x丁戊己庚"), FileText(InLibrary(L"0001_a.xml")));
    EXPECT_EQ(CString(L"子丑"), ArticleText(*Upper()));
    EXPECT_TRUE(Boxes::Texts().empty());
    EXPECT_EQ(0, AfxGetCaughtExceptionCount());
}

TEST_F(FrameEditingTest, AnArticleEmptiedByCutStaysEmptyAfterASwitch)
{
    MakeArticle(L"0001_a.xml", L"甲乙丙");
    MakeArticle(L"0002_b.xml", L"子丑");
    Start();
    CImportView* v = OpenInUpperPane(L"0001_a.xml");
    Key('A', VK_CONTROL);
    Key('X', VK_CONTROL);
    ASSERT_TRUE(v->IsArticleEmpty());
    Select(Item({L"0002_b.xml"}));
    EXPECT_EQ(CString(), FileText(InLibrary(L"0001_a.xml")));
    Select(Item({L"0001_a.xml"}));
    EXPECT_TRUE(Upper()->IsArticleEmpty());
    // A new article nobody typed in still makes no file.
    Command(ID_TREE_NEW_ARTICLE);
    PostMessage(::GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
    Pump();
    Select(Item({L"0002_b.xml"}));
    EXPECT_FALSE(Exists(InLibrary(L"0003_新文章.xml")));
    EXPECT_TRUE(Boxes::Texts().empty());
}

TEST_F(FrameEditingTest, CodeLinesTypedInComeBackUnitForUnit)
{
    // Written by hand the way older code blocks were stored: a line may hold a 13.
    const CString path = InLibrary(L"0001_code.xml");
    CreateFolderTree(Library());
    ASSERT_TRUE(WriteBytes(path, ReferenceFileBytes(
        L"<Page Version=\"2\">\r\n<Body Type=\"R2\">\r\n<Chunk Type=\"C2\">\r\n"
        L"<Chunk Code=\"1\">  int a;\r</Chunk>\r\n"
        L"<Chunk Code=\"1\">\r观为指场治（\r</Chunk>\r\n"
        L"</Chunk>\r\n</Body>\r\n</Page>\r\n")));
    MakeArticle(L"0002_b.xml", L"子丑");
    Start();
    CImportView* v = OpenInUpperPane(L"0001_code.xml");
    ChunkNode* first = v->FirstLine(v->m_pRoot);
    ASSERT_NE(nullptr, first);
    ClickOn(v, ItemOf(first, 8));   // the line end of "  int a;"
    for (wchar_t ch : std::wstring(L"\rb = 1;"))
        PostMessage(::GetFocus(), WM_CHAR, ch, 1);
    Pump();
    auto units = [](CArticleModel& m) {
        std::vector<std::wstring> lines;
        for (ChunkNode* l = m.FirstLeaf(m.m_pRoot); l; l = m.NextLeaf(l))
            lines.push_back(LineUnits(l));
        return lines;
    };
    const std::vector<std::wstring> typed = units(*v);
    ASSERT_EQ(3u, typed.size());
    EXPECT_EQ(L"\r观为指场治（\r", typed[2]);
    Select(Item({L"0002_b.xml"}));
    Select(Item({L"0001_code.xml"}));
    EXPECT_EQ(typed, units(*Upper()));
    EXPECT_TRUE(Boxes::Texts().empty());
}

TEST_F(FrameEditingTest, TheLabelEditTakesItsKeysBeforeTheShortcuts)
{
    MakeArticle(L"0001_旧题.xml", L"正文");
    MakeArticle(L"0002_b.xml", L"子丑");
    Start();
    HTREEITEM article = Item({L"0001_旧题.xml"});
    Select(article);
    TreeCommand(ID_TREE_RENAME);
    HWND box = EditBox();
    ASSERT_NE(nullptr, box);
    ASSERT_EQ(box, GetFocus());
    auto boxText = [&] {
        CString t;
        CWnd::FromHandle(box)->GetWindowText(t);
        return t;
    };
    auto selection = [&] {
        DWORD from = 0, to = 0;
        SendMessageW(box, EM_GETSEL, (WPARAM)&from, (LPARAM)&to);
        return std::make_pair((int)from, (int)to);
    };

    // Select all and copy, then the caret keys with Shift and Ctrl.
    Key('A', VK_CONTROL);
    EXPECT_EQ(std::make_pair(0, 2), selection());
    Key('C', VK_CONTROL);
    EXPECT_EQ(L"旧题", ClipboardText());
    Key(VK_END);
    Key(VK_LEFT, VK_SHIFT);
    EXPECT_EQ(std::make_pair(1, 2), selection());
    Key(VK_HOME, VK_SHIFT);
    EXPECT_EQ(std::make_pair(0, 2), selection());
    Key(VK_RIGHT, VK_CONTROL);
    EXPECT_GT(selection().first, 0);
    EXPECT_EQ(selection().first, selection().second);
    // Cut and paste in the box; PageDown and PageUp leave the article alone.
    Key('A', VK_CONTROL);
    Key('X', VK_CONTROL);
    EXPECT_EQ(L"", boxText());
    Key('V', VK_CONTROL);
    Key('V', VK_CONTROL);
    EXPECT_EQ(L"旧题旧题", boxText());
    Key(VK_NEXT);
    Key(VK_PRIOR);
    EXPECT_EQ(article, Tree().GetSelectedItem());
    ASSERT_EQ(box, EditBox());
    Key(VK_BACK);
    Key(VK_HOME);
    Key(VK_DELETE);
    EXPECT_EQ(L"题旧", boxText());
    TypeChars(L"新");
    EXPECT_EQ(L"新题旧", boxText());

    // Esc cancels: nothing is renamed, now or at a later click elsewhere.
    Key(VK_ESCAPE);
    EXPECT_EQ(nullptr, EditBox());
    Upper()->SetFocus();
    Pump();
    EXPECT_EQ(CString(L"0001_旧题.xml"), Tree().GetItemText(article));
    EXPECT_TRUE(Exists(InLibrary(L"0001_旧题.xml")));
    EXPECT_TRUE(Boxes::Texts().empty());
}

TEST_F(FrameEditingTest, ChineseFromTheKeyboardIsTypedOnceAndSurrogatesPairOnlyWithLowHalves)
{
    MakeArticle(L"0001_a.xml", L"甲");
    Start();
    CImportView* v = OpenInUpperPane(L"0001_a.xml");
    ChunkNode* line = v->FirstLine(v->m_pRoot);
    ClickOn(v, v->LastItem(line));
    ASSERT_EQ(v->m_hWnd, GetFocus());

    // X input through Wine: Chinese and a pair as WM_CHAR units.
    TypeChars(L"中文\U00020000x");
    EXPECT_EQ(CString(L"甲中文\U00020000x"), ArticleText(*v));
    // An input method: typed from WM_IME_CHAR, its WM_CHAR copy is not typed again.
    PostMessageW(GetFocus(), WM_IME_CHAR, 0x5B57, 1);
    PostMessageW(GetFocus(), WM_IME_CHAR, 0xD850, 1);
    PostMessageW(GetFocus(), WM_IME_CHAR, 0xDC00, 1);
    Pump();
    EXPECT_EQ(CString(L"甲中文\U00020000x字\U00024000"), ArticleText(*v));

    // A high half followed by anything but a low half is dropped.
    TypeChars(L"\xD850" L"a" L"\xD850\t" L"\xDC00");
    PostMessageW(GetFocus(), WM_IME_CHAR, 0xD850, 1);
    PostMessageW(GetFocus(), WM_IME_CHAR, 0xFF20, 1);
    PostMessageW(GetFocus(), WM_IME_CHAR, L'%', 1);
    Pump();
    EXPECT_EQ(CString(L"甲中文\U00020000x字\U00024000a %"), ArticleText(*v));
    EXPECT_EQ(1, v->m_bModified);

    // The caret stands in front of the line end, behind the last character.
    GUITHREADINFO info = {sizeof(info)};
    ASSERT_TRUE(GetGUIThreadInfo(GetCurrentThreadId(), &info));
    EXPECT_EQ(v->m_hWnd, info.hwndCaret);
    CharItem* end = v->LastItem(v->m_pCurLine);
    ASSERT_EQ(end, v->m_pCurItem);
    EXPECT_EQ(v->DocumentToClient(CPoint((int)end->pPrev->right, (int)end->top)),
              CPoint(info.rcCaret.left, info.rcCaret.top));
}

// A press and release at one point select nothing, also on a line partly
// outside the pane that the press scrolls into view.
TEST_F(FrameEditingTest, AClickOnALinePartlyOutsideThePaneSelectsNothing)
{
    MakeArticle(L"0001_a.xml", NumberedParagraphs(60, 40).c_str());
    Start();
    CImportView* v = OpenInUpperPane(L"0001_a.xml");
    CRect client;
    v->GetClientRect(&client);
    ChunkNode* para = v->m_pRoot->pFirstChild;
    for (int i = 0; i < 40; ++i)
        para = para->pNext;
    ChunkNode* line = para->pFirstChild;
    CharItem* target = line->pFirstItem->pNext->pNext;
    auto clickAt = [&](CPoint pt) {
        v->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
        v->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
        Pump();
    };
    const int x = (int)(target->left + target->right) / 2 - v->GetScrollPosition().x;

    // The line's top 10 px above the pane; the click 3 px below the pane's top.
    v->ScrollToPosition(CPoint(0, (int)target->top + 10));
    Pump();
    ASSERT_EQ((int)target->top + 10, v->GetScrollPosition().y);
    clickAt(CPoint(x, 3));
    EXPECT_TRUE(v->m_arrSelection.IsEmpty());
    EXPECT_FALSE(v->HasSelection());
    EXPECT_EQ(target, v->m_pCurItem);

    // The line cut by the pane's bottom edge, clicked on the bottom pixel row.
    v->ScrollToPosition(CPoint(0, (int)target->top + 12 - client.bottom));
    Pump();
    ASSERT_EQ((int)target->top + 12 - client.bottom, v->GetScrollPosition().y);
    clickAt(CPoint(x, client.bottom - 1));
    EXPECT_FALSE(v->HasSelection());
    EXPECT_EQ(target, v->m_pCurItem);
    GUITHREADINFO info = {sizeof(info)};
    ASSERT_TRUE(GetGUIThreadInfo(GetCurrentThreadId(), &info));
    EXPECT_EQ(v->DocumentToClient(CPoint((int)target->left, (int)target->top)),
              CPoint(info.rcCaret.left, info.rcCaret.top));

    // A double click there selects that line, all of it and nothing else.
    v->ScrollToPosition(CPoint(0, (int)target->top + 12 - client.bottom));
    Pump();
    const LPARAM at = MAKELPARAM(x, client.bottom - 1);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        v->PostMessage(message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
    Pump();
    for (ChunkNode* l = v->FirstLeaf(v->m_pRoot); l; l = v->NextLeaf(l))
        for (CharItem* it = l->pFirstItem; it; it = it->pNext)
            ASSERT_EQ(l == line, it->bSelected != 0);
}

CPoint ScreenPointOf(CImportView* v, const CharItem* it)
{
    CPoint pt = v->DocumentToClient(
        CPoint((int)((it->left + it->right) / 2), (int)((it->top + it->bottom) / 2)));
    v->ClientToScreen(&pt);
    return pt;
}

TEST_F(FrameEditingTest, ADragThatScrollsSelectsUpToTheLineUnderThePointerAtRelease)
{
    MakeArticle(L"0001_a.xml", NumberedParagraphs(60, 20).c_str());
    Start();
    CImportView* v = OpenInUpperPane(L"0001_a.xml");
    std::vector<ChunkNode*> paras;
    for (ChunkNode* p = v->m_pRoot->pFirstChild; p; p = p->pNext)
        paras.push_back(p);
    ASSERT_EQ(60u, paras.size());
    const CharItem* start = ItemOf(paras[1]->pFirstChild, 2);
    const CPoint press = v->DocumentToClient(
        CPoint((int)(start->left + start->right) / 2, (int)(start->top + start->bottom) / 2));
    v->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
    Pump();
    EXPECT_EQ(v->m_hWnd, ::GetCapture());
    // The wheel rolled with the button held, then the release a little lower.
    for (int i = 0; i < 4; ++i)
        ::PostMessageW(::GetFocus(), WM_MOUSEWHEEL, MAKEWPARAM(MK_LBUTTON, (WORD)(short)-WHEEL_DELTA),
                       MAKELPARAM(press.x, press.y));
    Pump();
    ASSERT_GT(v->GetScrollPosition().y, 200);
    const CPoint release(press.x, press.y + 60);
    const CPoint doc = v->ClientToDocument(release);
    ChunkNode* under = v->LineAtPoint(doc.x, doc.y, v->m_pRoot);
    ASSERT_NE(nullptr, under);
    const int shown = v->GetScrollPosition().y;
    v->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(release.x, release.y));
    Pump();
    EXPECT_EQ(nullptr, ::GetCapture());
    // The page stays where the button was let go, and so does the caret.
    EXPECT_EQ(shown, v->GetScrollPosition().y);
    EXPECT_EQ(under, v->m_pCurLine);
    GUITHREADINFO info = {sizeof(info)};
    ASSERT_TRUE(GetGUIThreadInfo(GetCurrentThreadId(), &info));
    EXPECT_EQ(v->m_hWnd, info.hwndCaret);
    EXPECT_EQ(v->DocumentToClient(CPoint((int)v->m_pCurItem->left, (int)v->m_pCurItem->top)),
              CPoint(info.rcCaret.left, info.rcCaret.top));
    CRect pane;
    v->GetClientRect(&pane);
    EXPECT_GE(info.rcCaret.top, pane.top);
    EXPECT_LE(info.rcCaret.bottom, pane.bottom);
    bool inRange = false;
    for (size_t i = 0; i < paras.size(); ++i) {
        if (i == 1)
            inRange = true;
        ASSERT_EQ(inRange, paras[i]->pFirstChild->pFirstItem->bSelected != 0) << "paragraph " << i;
        if (paras[i]->pFirstChild == under)
            inRange = false;
    }

    // A release outside the pane still ends the drag there.
    v->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
    Pump();
    ASSERT_TRUE(v->m_bPressed);
    CRect client;
    v->GetClientRect(&client);
    v->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(press.x, client.bottom + 40));
    Pump();
    EXPECT_FALSE(v->m_bPressed);
    EXPECT_EQ(nullptr, ::GetCapture());

    // So does a double click let go over the tree, by the real mouse.
    ChunkNode* line = v->LineAtPoint(0, v->ClientToDocument(CPoint(0, client.Height() / 2)).y, v->m_pRoot);
    ASSERT_NE(nullptr, line);
    const CPoint at = ScreenPointOf(v, ItemOf(line, 2));
    MouseAt(at, MOUSEEVENTF_LEFTDOWN);
    MouseAt(at, MOUSEEVENTF_LEFTUP);
    MouseAt(at, MOUSEEVENTF_LEFTDOWN);
    for (CharItem* it = line->pFirstItem; it; it = it->pNext)
        ASSERT_TRUE(it->bSelected) << "the second press is a double click";
    CRect tree;
    TreeView()->GetWindowRect(&tree);
    MouseAt(tree.CenterPoint(), 0);
    MouseAt(tree.CenterPoint(), MOUSEEVENTF_LEFTUP);
    EXPECT_FALSE(v->m_bPressed);
    EXPECT_EQ(nullptr, ::GetCapture());
}

// A chapter read in the upper pane while the lower one is written in: the
// presets of the lower pane leave the upper one showing what it showed, and
// a drag there selects what is under the pointer.
TEST_F(FrameEditingTest, AfterThePresetsAClickInTheOtherPaneActsWhereItIsShown)
{
    MakeArticle(L"0001_a.xml", NumberedParagraphs(40, 50).c_str());
    MakeArticle(L"写小说\\0001_b.xml", L"草稿的第一段。\r\n第二段。");
    Start();
    Select(Item({L"0001_a.xml"}));
    Select(Item({L"写小说", L"0001_b.xml"}));
    CImportView* up = Upper();
    CImportView* low = Lower();
    ASSERT_NE(nullptr, up->m_pRoot);
    ASSERT_NE(nullptr, low->m_pRoot);
    const CPoint inLower = ScreenPointOf(low, low->FirstLine(low->m_pRoot)->pFirstItem->pNext);
    MouseAt(inLower, MOUSEEVENTF_LEFTDOWN);
    MouseAt(inLower, MOUSEEVENTF_LEFTUP);
    ASSERT_EQ(low->m_hWnd, ::GetFocus());
    CRect upperRect;
    up->GetWindowRect(&upperRect);
    for (int i = 0; i < 6; ++i)
        MouseAt(upperRect.CenterPoint(), MOUSEEVENTF_WHEEL, -WHEEL_DELTA);
    const int scrolled = up->GetScrollPosition().y;
    ASSERT_GT(scrolled, 300);

    // 设置 with the lower pane active: its text size changes.
    const int upperSize = up->m_nTextSize;
    OnNextDialog([](HWND dlg) {
        HWND size = GetDlgItem(dlg, IDC_PRESET_TEXT_SIZE);
        ::SetFocus(size);
        SendMessageW(size, EM_SETSEL, 0, -1);
        for (const wchar_t* p = L"30"; *p; ++p)
            PostMessageW(size, WM_CHAR, *p, 1);
        PostKeyToFocus(VK_RETURN);
    });
    Command(ID_PRESET);
    EXPECT_FALSE(IsDialogActionPending());
    EXPECT_EQ(30, low->m_nTextSize);
    EXPECT_EQ(upperSize, up->m_nTextSize);
    EXPECT_EQ(scrolled, up->GetScrollPosition().y);

    // A drag over the third paragraph shown in the upper pane.
    ChunkNode* para = up->m_pRoot->pFirstChild;
    while (para && para->bottom <= scrolled)
        para = para->pNext;
    ASSERT_NE(nullptr, para);
    para = para->pNext->pNext;
    CharItem* from = ItemOf(para->pFirstChild, 1);
    CharItem* to = ItemOf(para->pFirstChild, 4);
    up->RedrawWindow();
    Pump();
    const ClientCapture before(up->m_hWnd);
    MouseAt(ScreenPointOf(up, from), MOUSEEVENTF_LEFTDOWN);
    MouseAt(ScreenPointOf(up, to), MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(up->m_hWnd, ::GetFocus());
    EXPECT_EQ(scrolled, up->GetScrollPosition().y);
    std::vector<CharItem*> selected;
    up->CollectSelection(selected, nullptr);
    EXPECT_EQ((std::vector<CharItem*>{from, from->pNext, from->pNext->pNext}), selected);
    EXPECT_EQ(to, up->m_pCurItem);

    // The page shows it there: the dragged characters changed, the line above did not.
    up->RedrawWindow();
    Pump();
    const ClientCapture after(up->m_hWnd);
    auto changed = [&](const CharItem* first, const CharItem* last) {
        int n = 0;
        const CPoint a = up->DocumentToClient(CPoint((int)first->left, (int)first->top));
        const CPoint b = up->DocumentToClient(CPoint((int)last->right, (int)last->bottom));
        for (int y = a.y; y < b.y; ++y)
            for (int x = a.x; x < b.x; ++x)
                n += before.At(x, y) != after.At(x, y) ? 1 : 0;
        return n;
    };
    EXPECT_GT(changed(from, from->pNext->pNext), 50);
    ChunkNode* above = para->pPrev->pFirstChild;
    EXPECT_EQ(0, changed(ItemOf(above, 1), ItemOf(above, 3)));
}

// Text order after a paste is the text with the pasted string put in at the
// caret, also when it opens paragraphs inside a code block.
TEST_F(FrameEditingTest, PastingLinesIntoACodeBlockKeepsTheTextInOrder)
{
    {
        CArticleModel m;
        m.NewArticle();
        m.InsertText(L"一丁丂七");
        ChunkNode* para = m.m_pRoot->pFirstChild;
        para->nCode = 1;
        para->pFirstChild->nCode = 1;
        for (const wchar_t* rest : {L"二行", L"三行"}) {
            m.NewLineAfter(para, m.LastLine(para));
            m.InsertText(rest);
        }
        CString path = InLibrary(L"0001_code.xml");
        ASSERT_TRUE(CreateFolderTree(Library()));
        ASSERT_TRUE(m.SaveArticle(Library(), path));
    }
    Start();
    CImportView* v = OpenInUpperPane(L"0001_code.xml");
    ChunkNode* line = v->FirstLine(v->m_pRoot);
    ASSERT_TRUE(v->IsCodeLine(line));
    ASSERT_EQ(3, (int)DumpLines(*v).size());
    ClickOn(v, ItemOf(line, 3));
    SetClipboardText(L"x\r\ny");
    Key('V', VK_CONTROL);
    EXPECT_EQ((std::vector<std::wstring>{L"一丁丂x", L"\ny七", L"二行", L"三行"}), DumpLines(*v));
    EXPECT_EQ(CString(L"一丁丂x\n\ny七\n二行三行"), ArticleText(*v));
    // The caret stays in front of the character it stood before.
    EXPECT_EQ(L'七', v->m_pCurItem->ch);
    EXPECT_TRUE(v->IsCodeLine(v->LastLine(v->m_pRoot)));
}

// Cut and paste back in the lower pane, where Ctrl+A takes the whole article:
// paragraphs begun with Enter and the lines of a code block between text stay
// apart, with no empty paragraph added.
TEST_F(FrameEditingTest, CutKeepsParagraphsAndCodeLinesApart)
{
    {
        CArticleModel m;
        m.NewArticle();
        m.InsertText(L"开头");
        m.NewParagraph();
        m.InsertText(L"int a;");
        ChunkNode* code = m.m_pCurLine->pParent;
        code->nCode = 1;
        m.m_pCurLine->nCode = 1;
        m.NewLineAfter(code, m.LastLine(code));
        m.InsertText(L"b = 1;");
        CString path = InLibrary(L"写小说\\0001_a.xml");
        ASSERT_TRUE(CreateFolderTree(InLibrary(L"写小说")));
        ASSERT_TRUE(m.SaveArticle(InLibrary(L"写小说"), path));
    }
    Start();
    Select(Item({L"写小说", L"0001_a.xml"}));
    CImportView* v = Lower();
    frame->SetActiveView(v);
    v->SetFocus();
    Pump();
    ClickOn(v, v->LastItem(v->LastLine(v->m_pRoot)));
    TypeChars(L"\r甲乙\r丙丁");
    ASSERT_EQ((std::vector<std::wstring>{L"开头", L"int a;", L"b = 1;", L"甲乙", L"    丙丁"}),
              DumpLines(*v));

    Key('A', VK_CONTROL);
    Key('X', VK_CONTROL);
    ASSERT_TRUE(v->IsArticleEmpty());
    Key('V', VK_CONTROL);
    // Each pasted line break opens a paragraph that starts with a line feed.
    EXPECT_EQ((std::vector<std::wstring>{L"开头", L"\nint a;", L"\nb = 1;", L"\n甲乙",
                                         L"\n    丙丁"}),
              DumpLines(*v));
    EXPECT_TRUE(Boxes::Texts().empty());
}

// A paragraph that wraps over several lines is copied as the text it holds:
// the places where the page broke it put no line break into another program.
TEST_F(FrameEditingTest, CopyPutsNoBreakWhereThePageWrapsAParagraph)
{
    std::wstring text;
    for (int i = 0; i < 30; ++i)
        text += L"天下大势word ";
    MakeArticle(L"0001_a.xml", text.c_str());
    Start();
    CImportView* v = OpenInUpperPane(L"0001_a.xml");
    ASSERT_GT(DumpLines(*v).size(), 2u);
    Key('A', VK_CONTROL);
    Key('C', VK_CONTROL);
    EXPECT_EQ(text, ClipboardText());
}

// Characters selected inside a marked run show inverted over its frame, in
// text lines and in code lines alike.
TEST_F(FrameEditingTest, ASelectionInsideAMarkedRunShowsInverted)
{
    MakeArticle(L"0001_a.xml", L"甲乙丙丁戊己");
    Start();
    DisplaySettings.nBiaozhu = 1;
    DisplaySettings.bSingle = 0;
    CImportView* v = OpenInUpperPane(L"0001_a.xml");
    Key('A', VK_CONTROL);
    Command(ID_MARK);
    ChunkNode* line = v->FirstLine(v->m_pRoot);
    ASSERT_EQ(1, ItemOf(line, 2)->nMark);
    ClickOn(v, ItemOf(line, 4));
    Key(VK_UP, VK_SHIFT);
    Key(VK_UP, VK_SHIFT);
    ASSERT_TRUE(ItemOf(line, 2)->bSelected && ItemOf(line, 3)->bSelected);
    auto blackIn = [&](const CharItem* it) {
        v->RedrawWindow();
        ClientCapture cap(v->m_hWnd);
        CPoint a = v->DocumentToClient(CPoint((int)it->left, (int)it->top));
        CPoint b = v->DocumentToClient(CPoint((int)it->right, (int)it->bottom));
        int n = 0;
        for (int y = a.y + 2; y < b.y - 2; ++y)
            for (int x = a.x + 2; x < b.x - 2; ++x)
                n += cap.At(x, y) == RGB(0, 0, 0) ? 1 : 0;
        return n * 100 / ((b.x - a.x - 4) * (b.y - a.y - 4));
    };
    EXPECT_GT(blackIn(ItemOf(line, 2)), 40);
    EXPECT_LT(blackIn(ItemOf(line, 1)), 10);
    // In a code line the frame's texture shows around the unselected characters.
    line->nCode = line->pParent->nCode = 1;
    v->Redraw();
    EXPECT_GT(blackIn(ItemOf(line, 3)), 40);
    EXPECT_LT(blackIn(ItemOf(line, 0)), 10);
}

// With the bottom bar on, the upper pane draws no line under it: typing on at
// the end of a long article keeps the caret's line above the bar.
TEST_F(FrameEditingTest, TypingAtTheEndKeepsTheLineAboveTheBottomBar)
{
    std::wstring text;
    for (int i = 0; i < 60; ++i)
        text += (i ? L"\r\n" : L"") + std::wstring(10, (wchar_t)(0x4E00 + i));
    MakeArticle(L"0001_a.xml", text.c_str());
    Start();
    DisplaySettings.bWholeBottom = 1;
    CImportView* v = OpenInUpperPane(L"0001_a.xml");
    ClickOn(v, v->LastItem(v->FirstLine(v->m_pRoot)));
    v->ScrollToPosition(CPoint(0, v->GetTotalSize().cy));
    Pump();
    ClickOn(v, v->LastItem(v->LastLine(v->m_pRoot)));
    CRect client;
    v->GetClientRect(&client);
    for (int i = 0; i < 8; ++i) {
        TypeChars(L"\r天地");
        GUITHREADINFO info = {sizeof(info)};
        ASSERT_TRUE(GetGUIThreadInfo(GetCurrentThreadId(), &info));
        ASSERT_EQ(v->m_hWnd, info.hwndCaret);
        EXPECT_LE(info.rcCaret.bottom, client.bottom - v->m_nPageTop) << "after line " << i;
    }
    // The same below the top bar: a caret key on a line under it brings it out.
    DisplaySettings.bWholeTop = 1;
    ChunkNode* line = v->FirstLine(v->m_pRoot->pFirstChild->pNext->pNext->pNext);
    v->ScrollToPosition(CPoint(0, line->y - 200));
    Pump();
    ClickOn(v, ItemOf(line, 5));
    v->ScrollToPosition(CPoint(0, line->y - 20));
    Pump();
    Key(VK_LEFT);
    ASSERT_EQ(ItemOf(line, 4), v->m_pCurItem);
    GUITHREADINFO info = {sizeof(info)};
    ASSERT_TRUE(GetGUIThreadInfo(GetCurrentThreadId(), &info));
    EXPECT_GE(info.rcCaret.top, v->m_nPageTop);
}
