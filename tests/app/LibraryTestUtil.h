// Temporary library folders and a plain tree for the library tests.
#pragma once
#include "app/TreeFill.h"
#include "framework/FileUtil.h"
#include <gtest/gtest.h>
#include "tests/support/TempFiles.h"
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace libtest {

using testfiles::DeleteTree;

// A fresh folder with a Chinese name under the temporary folder, removed at the end.
class TempLibrary {
public:
    TempLibrary()
    {
        static int counter = 0;
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_root.Format(L"%s藏书库测试_%lu_%d", temp, GetCurrentProcessId(), ++counter);
        while (m_root.GetLength() > 3 && m_root[m_root.GetLength() - 1] == L'\\')
            m_root.Delete(m_root.GetLength() - 1);
        DeleteTree(m_root);
        EXPECT_TRUE(CreateFolderTree(m_root));
    }
    ~TempLibrary() { DeleteTree(m_root); }
    const CString& Root() const { return m_root; }
    CString Path(const wchar_t* relative) const { return m_root + L"\\" + relative; }

    void Folder(const wchar_t* relative) const { EXPECT_TRUE(CreateFolderTree(Path(relative))); }
    void File(const wchar_t* relative, const char* content = "x") const
    {
        HANDLE h = CreateFileW(Path(relative), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << "cannot create " << CString(Path(relative)).GetLength();
        DWORD written = 0;
        WriteFile(h, content, (DWORD)strlen(content), &written, nullptr);
        CloseHandle(h);
    }
    bool Exists(const wchar_t* relative) const
    {
        return GetFileAttributesW(Path(relative)) != INVALID_FILE_ATTRIBUTES;
    }

private:
    CString m_root;
};

// A tree of texts that behaves like the tree control for the library rules.
class PlainTree : public ILibraryTree {
public:
    struct Node {
        CString text;
        Node* parent = nullptr;
        std::vector<Node*> children;
    };

    explicit PlainTree(const CString& rootText) { m_root = NewNode(rootText, nullptr); }

    LibraryItem Root() { return m_root; }

    LibraryItem GetParentItem(LibraryItem item) override { return N(item)->parent; }
    LibraryItem GetFirstChild(LibraryItem item) override
    {
        return N(item)->children.empty() ? nullptr : N(item)->children.front();
    }
    LibraryItem GetNextSibling(LibraryItem item) override { return Sibling(item, +1); }
    LibraryItem GetPrevSibling(LibraryItem item) override { return Sibling(item, -1); }
    CString GetText(LibraryItem item) override { return N(item)->text; }
    LibraryItem InsertLast(LibraryItem parent, const CString& text) override
    {
        ++inserts;
        return NewNode(text, N(parent));
    }

    // Child of parent with the given text, or nullptr.
    LibraryItem Find(LibraryItem parent, const wchar_t* text)
    {
        for (Node* child : N(parent)->children) {
            if (child->text == text)
                return child;
        }
        return nullptr;
    }
    // Follows a path of texts from the root: {"卷一", "0001_a.xml"}.
    LibraryItem At(std::initializer_list<const wchar_t*> texts)
    {
        LibraryItem item = m_root;
        for (const wchar_t* text : texts) {
            item = Find(item, text);
            if (!item)
                return nullptr;
        }
        return item;
    }
    // "name(child,child)" outline of an item, children in order.
    std::wstring Outline(LibraryItem item)
    {
        std::wstring s = N(item)->text.str();
        if (!N(item)->children.empty()) {
            s += L"(";
            for (size_t i = 0; i < N(item)->children.size(); ++i) {
                if (i)
                    s += L",";
                s += Outline(N(item)->children[i]);
            }
            s += L")";
        }
        return s;
    }

    int inserts = 0;

private:
    static Node* N(LibraryItem item) { return static_cast<Node*>(item); }
    Node* NewNode(const CString& text, Node* parent)
    {
        m_nodes.push_back(std::make_unique<Node>());
        Node* node = m_nodes.back().get();
        node->text = text;
        node->parent = parent;
        if (parent)
            parent->children.push_back(node);
        return node;
    }
    LibraryItem Sibling(LibraryItem item, int step)
    {
        Node* node = N(item);
        if (!node->parent)
            return nullptr;
        std::vector<Node*>& list = node->parent->children;
        for (size_t i = 0; i < list.size(); ++i) {
            if (list[i] == node) {
                long j = (long)i + step;
                return j >= 0 && j < (long)list.size() ? list[(size_t)j] : nullptr;
            }
        }
        return nullptr;
    }

    Node* m_root;
    std::vector<std::unique_ptr<Node>> m_nodes;
};

} // namespace libtest
