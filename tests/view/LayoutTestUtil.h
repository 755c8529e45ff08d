// A model with real layout and counted window hooks, and checks over a laid-out tree.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "ViewTestUtil.h"
#include "app/DisplaySettings.h"
#include "view/ArticleModel.h"

class LayoutModel : public CArticleModel {
public:
    int clientWidth = 1200, clientHeight = 700, scrollBarWidth = 17;
    int caretUpdates = 0, invalidations = 0, selectionClears = 0, rootLayouts = 0;
    int scrollWidth = 0, scrollHeight = 0;

protected:
    void UpdateCaret() override { ++caretUpdates; }
    void InvalidateView(bool) override { ++invalidations; }
    void ClearSelection() override { ++selectionClears; }
    int GetClientWidth() override { return clientWidth; }
    int GetClientHeight() override { return clientHeight; }
    int GetVScrollWidth() override { return scrollBarWidth; }
    void OnRootLaidOut(int w, int h) override
    {
        ++rootLayouts;
        scrollWidth = w;
        scrollHeight = h;
    }
};

// One character of the article with everything a re-break must keep.
struct CharRecord {
    wchar_t ch, chLow;
    WORD mark, style;
    bool operator==(const CharRecord& o) const
    {
        return ch == o.ch && chLow == o.chLow && mark == o.mark && style == o.style;
    }
};

// The characters of a paragraph's lines in order, line ends left out.
inline std::vector<CharRecord> ParagraphChars(const ChunkNode* para)
{
    std::vector<CharRecord> out;
    for (const ChunkNode* l = para ? para->pFirstChild : nullptr; l; l = l->pNext) {
        if (!l->IsLine())
            continue;
        for (const CharItem* it = l->pFirstItem; it; it = it->pNext)
            if (it->pNext || it->ch != kLineEnd)
                out.push_back({it->ch, it->chLow, it->nMark, it->nStyle});
    }
    return out;
}

inline std::vector<CharRecord> ArticleChars(const ChunkNode* root)
{
    std::vector<CharRecord> out;
    for (const ChunkNode* p = root ? root->pFirstChild : nullptr; p; p = p->pNext) {
        std::vector<CharRecord> part = ParagraphChars(p);
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

inline std::wstring ArticleText(const ChunkNode* root)
{
    std::wstring s;
    for (const CharRecord& r : ArticleChars(root)) {
        s += r.ch;
        if (r.chLow)
            s += r.chLow;
    }
    return s;
}

inline int ParagraphCount(const ChunkNode* root)
{
    int n = 0;
    for (const ChunkNode* p = root ? root->pFirstChild : nullptr; p; p = p->pNext)
        ++n;
    return n;
}

// Every line holds its characters and then exactly one line end, and each item
// knows its line.
inline void ExpectWellFormedLines(const ChunkNode* root)
{
    for (const ChunkNode* p = root->pFirstChild; p; p = p->pNext) {
        ASSERT_NE(nullptr, p->pFirstChild) << "empty paragraph";
        for (const ChunkNode* l = p->pFirstChild; l; l = l->pNext) {
            if (!l->IsLine())
                continue;
            EXPECT_EQ(p, l->pParent);
            const CharItem* last = nullptr;
            for (const CharItem* it = l->pFirstItem; it; it = it->pNext) {
                EXPECT_EQ(l, it->pOwner);
                EXPECT_EQ(last, it->pPrev);
                if (it->pNext) {
                    EXPECT_NE(kLineEnd, it->ch);
                }
                last = it;
            }
            ASSERT_NE(nullptr, last);
            EXPECT_EQ(kLineEnd, last->ch);
        }
    }
}

// Stacked nodes never overlap: each starts at or below the bottom of the one before,
// paragraphs and the lines inside them alike.
inline void ExpectNoOverlap(const ChunkNode* root)
{
    const ChunkNode* prevPara = nullptr;
    for (const ChunkNode* p = root->pFirstChild; p; p = p->pNext) {
        if (prevPara) {
            EXPECT_GE(p->y, prevPara->bottom) << "paragraph overlaps the one above";
        }
        const ChunkNode* prevLine = nullptr;
        for (const ChunkNode* l = p->pFirstChild; l; l = l->pNext) {
            EXPECT_GE(l->y, p->y);
            EXPECT_LE(l->bottom, p->bottom);
            if (prevLine) {
                EXPECT_GE(l->y, prevLine->bottom) << "line overlaps the one above";
            }
            prevLine = l;
        }
        prevPara = p;
    }
}

// Lines are broken where the page is full: every line but the last of a run of
// stacked lines is wider than the page, and was not before its last character.
// From line on to the end of its paragraph.
inline void ExpectLinesBrokenFrom(CArticleModel& m, ChunkNode* line)
{
    const int page = DisplaySettings.nPageWidth;
    for (ChunkNode* l = line; l; l = l->pNext) {
        if (!l->IsLine() || !l->pNext || !l->pNext->IsLine())
            continue;
        int width = m.NodeWidth(l);
        EXPECT_GT(width, page);
        CharItem* end = m.LastItem(l);
        ASSERT_NE(nullptr, end->pPrev);
        CharItem* lastChar = end->pPrev;
        int lastWidth = lastChar->ch < 0x100 ? m.m_nTextSize / 2 : m.m_nTextSize;
        EXPECT_LE(width - lastWidth, page);
    }
}

inline void ExpectBrokenAtPageWidth(CArticleModel& m, const ChunkNode* root)
{
    for (const ChunkNode* p = root->pFirstChild; p; p = p->pNext)
        if (!p->nCode)
            ExpectLinesBrokenFrom(m, p->pFirstChild);
}

// A model of its own with an empty article, laid out at the given page width.
class LayoutModelTest : public testing::Test {
protected:
    SettingsGuard settings;
    TempProgramFolder folder;
    MessageRecorder boxes;
    LayoutModel m;

    void StartArticle(int pageWidth)
    {
        DisplaySettings.nPageWidth = pageWidth;
        DisplaySettings.Increase = 0;
        bImporting = FALSE;
        m.m_nTextSize = 28;
        m.NewArticle();
        m.caretUpdates = m.invalidations = 0;
    }
    ChunkNode* Para() { return m.m_pRoot->pFirstChild; }
    ChunkNode* Line() { return Para()->pFirstChild; }
};
