// Random edits against a simple model: what was written reads back, and the
// edited records equal those of a fresh parse of the produced text.
#include "XmlTestUtil.h"

#include <algorithm>
#include <map>
#include <random>

namespace {

struct ModelNode {
    std::wstring name, content;
    std::map<std::wstring, std::wstring> attrs;
    std::vector<int> kids;
    int parent, element;
};

class RandomEdits {
public:
    explicit RandomEdits(unsigned seed) : rng(seed), nodes(1, ModelNode{ L"", L"", {}, {}, -1, 0 }) {}

    void Run(int iterations)
    {
        ASSERT_TRUE(doc.AppendElement(L"Root"));
        Adopt(0, -1, L"Root", L"");
        for (int i = 1; i <= iterations; ++i) {
            int r = Pick(10);
            if (r < 5)
                ASSERT_NO_FATAL_FAILURE(Append());
            else if (r < 8)
                ASSERT_NO_FATAL_FAILURE(WriteAttribute(1 + Pick((int)nodes.size() - 1)));
            else
                ASSERT_NO_FATAL_FAILURE(WriteContent());
            if (i % 60 == 0) {
                ASSERT_NO_FATAL_FAILURE(ExpectMatchesModel(doc));
                ASSERT_NO_FATAL_FAILURE(ExpectSameAsReparsed(doc));
            }
        }
        CXmlDocument fresh;
        ASSERT_TRUE(fresh.LoadFromText(doc.GetDocumentText())) << fresh.strParseError.str();
        ASSERT_NO_FATAL_FAILURE(ExpectMatchesModel(fresh));
        ExpectSameRecords(doc, fresh);
    }

private:
    std::mt19937 rng;
    CXmlDocument doc;
    std::vector<ModelNode> nodes;   // node 0 is the document level

    int Pick(int n) { return (int)(rng() % (unsigned)n); }

    std::wstring RandomText()
    {
        static const wchar_t* parts[] = {
            L"a", L"Zq", L" ", L"<", L">", L"&", L"'", L"\"", L"\t", L"\r\n", L"中", L"\xD840\xDC00",
            L"=", L"/", L"?", L"]]>", L"&#65;", L"&amp;", L"--", L"[T1]",
        };
        std::wstring s;
        for (int n = Pick(6); n > 0; --n)
            s += parts[Pick(sizeof parts / sizeof parts[0])];
        return s;
    }

    // Cursor inside node p on its child k (-1: before the first), reached
    // from the document level by any-name or by-name finds.
    void GoInside(int p, int k)
    {
        std::vector<int> path;
        for (int n = k >= 0 ? nodes[p].kids[k] : p; n != 0; n = nodes[n].parent)
            path.insert(path.begin(), n);
        doc.iCursorParent = doc.iCursorElement = doc.iCursorChild = doc.nCursorKind = 0;
        for (size_t i = 0; i < path.size(); ++i) {
            int n = path[i];
            bool byName = Pick(2) == 0;
            for (int s : nodes[nodes[n].parent].kids) {
                if (!byName || nodes[s].name == nodes[n].name) {
                    ASSERT_TRUE(doc.FindNextElement(byName ? nodes[n].name.c_str() : nullptr));
                }
                if (s == n)
                    break;
            }
            ASSERT_EQ(doc.iCursorElement, nodes[n].element);
            if (i + 1 < path.size() || k < 0) {
                ASSERT_TRUE(doc.EnterElement());
            }
        }
    }

    void Adopt(int p, int k, const std::wstring& name, const std::wstring& value)
    {
        nodes.push_back(ModelNode{ name, value, {}, {}, p, doc.iCursorElement });
        std::vector<int>& kids = nodes[p].kids;
        kids.insert(k < 0 ? kids.end() : kids.begin() + k + 1, (int)nodes.size() - 1);
    }

    void Append()
    {
        static const wchar_t* names[] = { L"Page", L"Pages", L"Body", L"Chunk", L"T", L"a:b", L"中" };
        std::vector<int> open;
        for (int i = 1; i < (int)nodes.size(); ++i) {
            if (nodes[i].content.empty())
                open.push_back(i);
        }
        if (open.empty())
            return;
        int p = open[Pick((int)open.size())];
        int k = Pick((int)nodes[p].kids.size() + 1) - 1;
        std::wstring name = names[Pick(7)];
        std::wstring value = Pick(4) == 0 ? RandomText() : L"";
        ASSERT_NO_FATAL_FAILURE(GoInside(p, k));
        ASSERT_TRUE(doc.AppendElement(name.c_str(), value.empty() ? nullptr : value.c_str()));
        Adopt(p, k, name, value);
        for (int a = Pick(3); a > 0; --a)
            ASSERT_NO_FATAL_FAILURE(WriteAttribute(-1));
        if (Pick(3) == 0) {
            ASSERT_TRUE(doc.LeaveElement());
            ASSERT_EQ(doc.iCursorElement, nodes[p].element);
        }
    }

    // On node n, or on the new node the cursor stands on (n < 0).
    void WriteAttribute(int n)
    {
        static const wchar_t* names[] = { L"Version", L"Style", L"FrameStyle", L"Frame", L"x" };
        if (n >= 0) {
            const std::vector<int>& sibs = nodes[nodes[n].parent].kids;
            ASSERT_NO_FATAL_FAILURE(GoInside(nodes[n].parent, (int)(std::find(sibs.begin(), sibs.end(), n) - sibs.begin())));
        }
        std::wstring name = names[Pick(5)], value = RandomText();
        if (Pick(3) == 0) {
            int v = (int)rng();
            ASSERT_TRUE(doc.WriteAttributeIntAt(doc.iCursorElement, name.c_str(), v));
            value = std::to_wstring(v);
        } else {
            ASSERT_TRUE(doc.WriteAttributeAt(doc.iCursorElement, name.c_str(), value.c_str()));
        }
        nodes[n >= 0 ? n : nodes.size() - 1].attrs[name] = value;
    }

    void WriteContent()
    {
        std::vector<int> leaves;
        for (int i = 1; i < (int)nodes.size(); ++i) {
            if (nodes[i].kids.empty())
                leaves.push_back(i);
        }
        int n = leaves[Pick((int)leaves.size())];
        nodes[n].content = RandomText();
        ASSERT_TRUE(doc.WriteContentAt(nodes[n].element, nodes[n].content.c_str()));
    }

    // Walks d with the cursor calls alongside the model.
    void ExpectMatchesModel(CXmlDocument& d)
    {
        d.iCursorParent = d.iCursorElement = d.iCursorChild = d.nCursorKind = 0;
        std::vector<std::pair<int, size_t>> stack{ { 0, 0 } };
        CString out;
        while (!stack.empty()) {
            int m = stack.back().first;
            size_t i = stack.back().second++;
            if (i == nodes[m].kids.size()) {
                ASSERT_FALSE(d.FindNextElement(nullptr));
                stack.pop_back();
                ASSERT_EQ(d.LeaveElement(), m != 0);
                continue;
            }
            const ModelNode& c = nodes[nodes[m].kids[i]];
            ASSERT_TRUE(d.FindNextElement(nullptr));
            ASSERT_EQ(TagNameOf(d, d.iCursorElement), c.name);
            d.ReadContent(out);
            ASSERT_EQ(out.str(), c.kids.empty() ? c.content : L"");
            for (const auto& [name, value] : c.attrs) {
                d.ReadAttribute(out, name.c_str());
                ASSERT_EQ(out.str(), value) << name;
            }
            d.ReadAttribute(out, L"Absent");
            ASSERT_EQ(out.str(), L"");
            ASSERT_TRUE(d.EnterElement());
            stack.push_back({ nodes[m].kids[i], 0 });
        }
    }
};

TEST(XmlRandomEdit, EditsReadBackAndMatchFreshParse)
{
    for (unsigned seed : { 1u, 77u, 20240611u }) {
        SCOPED_TRACE(seed);
        RandomEdits edits(seed);
        edits.Run(350);
    }
}

} // namespace
