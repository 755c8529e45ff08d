// Editing the upper article pane inside the real main frame: keys go through
// the frame's message loop and accelerator table, and a switch of article
// saves what the editing commands changed.
#include "tests/app/AppTestUtil.h"
#include "tests/view/ViewTestUtil.h"

using namespace apptest;

namespace {

class FrameEditingTest : public AppTest {
protected:
    // A key as the message loop receives it, with a modifier held.
    void Key(CWnd* w, UINT vk, int modifier = 0)
    {
        BYTE keys[256], saved[256];
        GetKeyboardState(keys);
        memcpy(saved, keys, sizeof(keys));
        if (modifier)
            keys[modifier] |= 0x80;
        SetKeyboardState(keys);
        w->PostMessage(WM_KEYDOWN, vk, 1);
        Pump();
        SetKeyboardState(saved);
    }
    // Opens an article of the library root in the upper pane and gives that
    // pane the keyboard.
    CImportView* OpenFocused(const wchar_t* name)
    {
        Select(Item({name}));
        CImportView* v = Upper();
        frame->SetActiveView(v);
        v->SetFocus();
        Pump();
        EXPECT_EQ(v->m_hWnd, ::GetFocus());
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

} // namespace

TEST_F(FrameEditingTest, AcceleratorsEditTheUpperPaneAndSwitchingKeepsTheChange)
{
    MakeArticle(L"0001_a.xml", L"甲乙丙丁戊己庚");
    MakeArticle(L"0002_b.xml", L"子丑");
    Start();
    CImportView* v = OpenFocused(L"0001_a.xml");
    ASSERT_NE(nullptr, v->m_pRoot);
    // The frame hands the pane the event that typing waits for.
    EXPECT_EQ(frame->m_hAutoSaveEvent, v->m_hAutoSaveEvent);
    EXPECT_NE(nullptr, v->m_hAutoSaveEvent);
    ChunkNode* line = v->FirstLine(v->m_pRoot);
    ClickOn(v, ItemOf(line, 3));
    ASSERT_EQ(ItemOf(line, 3), v->m_pCurItem);

    // Shift+Up twice, then Ctrl+X: the two characters before the caret.
    Key(v, VK_UP, VK_SHIFT);
    Key(v, VK_UP, VK_SHIFT);
    EXPECT_EQ(ItemOf(line, 1), v->m_pCurItem);
    Key(v, 'X', VK_CONTROL);
    EXPECT_EQ(L"乙丙", ClipboardText());
    EXPECT_EQ(CString(L"甲丁戊己庚"), ArticleText(*v));
    EXPECT_EQ(1, v->m_bModified);

    // Ctrl+Left is taken by the table: the caret stays.
    CharItem* caret = v->m_pCurItem;
    Key(v, VK_LEFT, VK_CONTROL);
    EXPECT_EQ(caret, v->m_pCurItem);

    // Ctrl+V puts the text back in front of the caret; a typed letter follows it.
    Key(v, 'V', VK_CONTROL);
    v->PostMessage(WM_CHAR, L'x', 1);
    Pump();
    EXPECT_EQ(CString(L"甲乙丙x丁戊己庚"), ArticleText(*v));

    // Ctrl+A in the upper pane selects the paragraph; Ctrl+C copies it.
    Key(v, 'A', VK_CONTROL);
    Key(v, 'C', VK_CONTROL);
    EXPECT_EQ(L"甲乙丙x丁戊己庚\r", ClipboardText());

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
    CImportView* v = OpenFocused(L"0001_a.xml");
    Key(v, 'A', VK_CONTROL);
    Key(v, 'X', VK_CONTROL);
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
    CImportView* v = OpenFocused(L"0001_code.xml");
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
