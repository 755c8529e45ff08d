// The tree control wrapper: items, walking, state, hit testing and label
// editing through a subclassed edit box.
#include <gtest/gtest.h>

#include "framework/Controls.h"
#include "framework/ImageList.h"
#include "framework/TreeCtrl.h"

namespace {

class CLabelEdit : public CEdit {
public:
    int updates = 0;
protected:
    afx_msg void OnUpdate() { ++updates; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CLabelEdit, CEdit)
    ON_CONTROL_REFLECT(EN_UPDATE, &CLabelEdit::OnUpdate)
END_MESSAGE_MAP()

class CTestTree : public CTreeCtrl {
public:
    int ends = 0;
    bool endCancelled = false;
    CString endText;
protected:
    afx_msg void OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult)
    {
        auto* info = reinterpret_cast<NMTVDISPINFOW*>(pNMHDR);
        ++ends;
        endCancelled = info->item.pszText == nullptr;
        if (!endCancelled)
            endText = info->item.pszText;
        *pResult = TRUE;   // keep the new label
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestTree, CTreeCtrl)
    ON_NOTIFY_REFLECT(TVN_ENDLABELEDITW, &CTestTree::OnEndLabelEdit)
END_MESSAGE_MAP()

struct TreeHost {
    CWnd parent;
    CTestTree tree;

    explicit TreeHost(DWORD extraStyle = 0)
    {
        EXPECT_TRUE(parent.CreateEx(0, nullptr, L"tree host", WS_POPUP | WS_VISIBLE, 0, 0, 300, 400,
                                    nullptr, nullptr));
        EXPECT_TRUE(tree.Create(WS_VISIBLE | WS_BORDER | TVS_HASLINES | TVS_HASBUTTONS
                                    | TVS_LINESATROOT | TVS_SHOWSELALWAYS | extraStyle,
                                CRect(0, 0, 300, 400), &parent, 100));
    }
    ~TreeHost() { parent.DestroyWindow(); }
};

TEST(TreeCtrl, InsertsWalksAndDeletesItems)
{
    TreeHost h;
    CTreeCtrl& t = h.tree;
    HTREEITEM root = t.InsertItem(L"D:\\藏书库");
    HTREEITEM a = t.InsertItem(L"0001_目录", root);
    HTREEITEM b = t.InsertItem(TVIF_TEXT | TVIF_PARAM, L"0002_文章.xml", 0, 0, 0, 0, 42, root, TVI_LAST);
    HTREEITEM first = t.InsertItem(L"0000_最前", 0, 0, root, TVI_FIRST);
    HTREEITEM deep = t.InsertItem(L"子项", a);
    ASSERT_TRUE(root && a && b && first && deep);

    EXPECT_EQ(t.GetCount(), 5u);
    EXPECT_EQ(t.GetRootItem(), root);
    EXPECT_EQ(t.GetChildItem(root), first);
    EXPECT_EQ(t.GetNextSiblingItem(first), a);
    EXPECT_EQ(t.GetNextSiblingItem(a), b);
    EXPECT_EQ(t.GetNextSiblingItem(b), nullptr);
    EXPECT_EQ(t.GetPrevSiblingItem(b), a);
    EXPECT_EQ(t.GetParentItem(deep), a);
    EXPECT_EQ(t.GetParentItem(root), nullptr);
    EXPECT_EQ(t.GetNextItem(root, TVGN_CHILD), first);
    EXPECT_TRUE(t.ItemHasChildren(a));
    EXPECT_FALSE(t.ItemHasChildren(b));
    EXPECT_EQ(t.GetItemData(b), 42u);
    EXPECT_TRUE(t.SetItemData(a, 7));
    EXPECT_EQ(t.GetItemData(a), 7u);

    EXPECT_EQ(t.GetItemText(b), CString(L"0002_文章.xml"));
    EXPECT_TRUE(t.SetItemText(b, L"0002_改名.xml"));
    EXPECT_EQ(t.GetItemText(b), CString(L"0002_改名.xml"));
    // Long texts come back whole.
    CString longText(L'字', 700);
    t.SetItemText(deep, longText);
    EXPECT_EQ(t.GetItemText(deep), longText);

    // Deleting a folder takes its children along.
    EXPECT_TRUE(t.DeleteItem(a));
    EXPECT_EQ(t.GetCount(), 3u);
    EXPECT_EQ(t.GetNextSiblingItem(first), b);
    EXPECT_TRUE(t.DeleteAllItems());
    EXPECT_EQ(t.GetCount(), 0u);
    EXPECT_EQ(t.GetRootItem(), nullptr);
}

TEST(TreeCtrl, SelectsExpandsSortsAndHitTests)
{
    TreeHost h;
    CTreeCtrl& t = h.tree;
    HTREEITEM root = t.InsertItem(L"根");
    HTREEITEM c = t.InsertItem(L"c", root);
    HTREEITEM a = t.InsertItem(L"a", root);
    HTREEITEM b = t.InsertItem(L"b", root);
    EXPECT_TRUE(t.SortChildren(root));
    EXPECT_EQ(t.GetChildItem(root), a);
    EXPECT_EQ(t.GetNextSiblingItem(a), b);
    EXPECT_EQ(t.GetNextSiblingItem(b), c);

    EXPECT_EQ(t.GetItemState(root, TVIS_EXPANDED), 0u);
    EXPECT_TRUE(t.Expand(root, TVE_EXPAND));
    EXPECT_EQ(t.GetItemState(root, TVIS_EXPANDED), (UINT)TVIS_EXPANDED);
    EXPECT_TRUE(t.SetItemState(b, TVIS_BOLD, TVIS_BOLD));
    EXPECT_EQ(t.GetItemState(b, TVIS_BOLD), (UINT)TVIS_BOLD);

    EXPECT_TRUE(t.SelectItem(b));
    EXPECT_EQ(t.GetSelectedItem(), b);
    EXPECT_EQ(t.GetItemState(b, TVIS_SELECTED), (UINT)TVIS_SELECTED);
    EXPECT_TRUE(t.Select(nullptr, TVGN_CARET));
    EXPECT_EQ(t.GetSelectedItem(), nullptr);

    t.EnsureVisible(c);
    EXPECT_EQ(t.GetFirstVisibleItem(), root);
    EXPECT_EQ(t.GetNextVisibleItem(root), a);

    CRect text, row;
    ASSERT_TRUE(t.GetItemRect(c, &text, TRUE));
    ASSERT_TRUE(t.GetItemRect(c, &row, FALSE));
    EXPECT_LE(row.left, text.left);
    EXPECT_GT(text.Width(), 0);
    UINT flags = 0;
    EXPECT_EQ(t.HitTest(text.CenterPoint(), &flags), c);
    EXPECT_TRUE(flags & TVHT_ONITEMLABEL);
    EXPECT_EQ(t.HitTest(CPoint(text.left, row.bottom + 200), &flags), nullptr);

    SHORT old = t.GetItemHeight();
    t.SetItemHeight((SHORT)(old + 10));
    EXPECT_EQ(t.GetItemHeight(), old + 10);

    CImageList glyphs;
    ASSERT_TRUE(glyphs.Create(11, 11, ILC_COLOR24 | ILC_MASK, 0, 2));
    t.SetImageList(&glyphs, TVSIL_NORMAL);
    EXPECT_EQ(t.GetImageList(TVSIL_NORMAL), glyphs.GetSafeHandle());
    t.SetImageList((HIMAGELIST)nullptr, TVSIL_NORMAL);

    t.Expand(root, TVE_COLLAPSE);
    EXPECT_EQ(t.GetItemState(root, TVIS_EXPANDED), 0u);
}

TEST(TreeCtrl, LabelEditingThroughASubclassedEditBox)
{
    TreeHost h(TVS_EDITLABELS);
    CTreeCtrl& t = h.tree;
    HTREEITEM root = t.InsertItem(L"根");
    HTREEITEM item = t.InsertItem(L"旧标题", root);
    t.Expand(root, TVE_EXPAND);
    ::SetActiveWindow(h.parent.m_hWnd);
    t.SetFocus();

    CEdit* edit = t.EditLabel(item);
    ASSERT_NE(edit, nullptr);
    ASSERT_NE(edit->m_hWnd, nullptr);
    EXPECT_EQ(t.GetEditControl()->m_hWnd, edit->m_hWnd);
    CString shown;
    edit->GetWindowText(shown);
    EXPECT_EQ(shown, CString(L"旧标题"));

    CLabelEdit label;
    ASSERT_TRUE(label.SubclassWindow(edit->m_hWnd));
    label.LimitText(20);
    EXPECT_EQ(label.GetLimitText(), 20u);
    label.SetSel(0, -1);
    int start = -1, end = -1;
    label.GetSel(start, end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 3);
    label.ReplaceSel(L"新标题");
    label.SetSel(0, 0);
    label.ReplaceSel(L"0003_");
    EXPECT_EQ(LOWORD(label.GetSel()), 5);
    CString typed;
    label.GetWindowText(typed);
    EXPECT_EQ(typed, CString(L"0003_新标题"));
    // The edit's own object heard its changes...
    EXPECT_GT(label.updates, 0);

    // ...and the tree did too, so Enter ends the edit with the new text.
    label.SendMessage(WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(h.tree.ends, 1);
    EXPECT_FALSE(h.tree.endCancelled);
    EXPECT_EQ(h.tree.endText, CString(L"0003_新标题"));
    EXPECT_EQ(t.GetItemText(item), CString(L"0003_新标题"));
    EXPECT_EQ(t.GetEditControl(), nullptr);
}

TEST(Controls, EditButtonAndListWrappers)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, L"controls", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200,
                                nullptr, nullptr));
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_VISIBLE | ES_AUTOHSCROLL, CRect(5, 5, 200, 25), &parent, 10));
    edit.SetWindowText(L"文字");
    edit.SetSel(2, 2);
    edit.ReplaceSel(L"框");
    CString text;
    edit.GetWindowText(text);
    EXPECT_EQ(text, CString(L"文字框"));
    EXPECT_TRUE(edit.SetReadOnly(TRUE));
    EXPECT_TRUE(edit.GetStyle() & ES_READONLY);

    CButton check;
    ASSERT_TRUE(check.Create(L"选中", WS_VISIBLE | BS_AUTOCHECKBOX, CRect(5, 30, 100, 50), &parent, 11));
    EXPECT_EQ(check.GetCheck(), BST_UNCHECKED);
    check.SetCheck(BST_CHECKED);
    EXPECT_EQ(check.GetCheck(), BST_CHECKED);

    CListBox list;
    ASSERT_TRUE(list.Create(WS_VISIBLE | LBS_NOTIFY, CRect(5, 55, 200, 150), &parent, 12));
    EXPECT_EQ(list.AddString(L"一"), 0);
    EXPECT_EQ(list.AddString(L"二"), 1);
    EXPECT_EQ(list.InsertString(0, L"零"), 0);
    EXPECT_EQ(list.GetCount(), 3);
    CString item;
    list.GetText(2, item);
    EXPECT_EQ(item, CString(L"二"));
    EXPECT_EQ(list.FindStringExact(-1, L"一"), 1);
    list.SetCurSel(1);
    EXPECT_EQ(list.GetCurSel(), 1);

    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_VISIBLE | CBS_DROPDOWNLIST, CRect(210, 5, 290, 100), &parent, 13));
    combo.AddString(L"甲");
    combo.AddString(L"乙");
    combo.SetCurSel(1);
    combo.GetLBText(combo.GetCurSel(), item);
    EXPECT_EQ(item, CString(L"乙"));
    parent.DestroyWindow();
}

} // namespace
