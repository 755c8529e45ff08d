// The resource script as the program sees it: every id loads from the module,
// the Chinese texts survive the resource compiler, the pictures have the sizes
// their users expect, and the decoration folders beside the program are usable.
#include <windows.h>
#include <gdiplus.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "res/resource.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

HINSTANCE Module() { return GetModuleHandleW(nullptr); }

std::wstring MenuText(HMENU menu, UINT pos)
{
    wchar_t buf[256] = {};
    GetMenuStringW(menu, pos, buf, 256, MF_BYPOSITION);
    return buf;
}

std::wstring LoadText(UINT id)
{
    wchar_t buf[512] = {};
    int n = LoadStringW(Module(), id, buf, 512);
    return std::wstring(buf, n > 0 ? n : 0);
}

// Raw resource bytes, empty when the resource is missing.
std::vector<BYTE> RawResource(LPCWSTR type, UINT id)
{
    HRSRC res = FindResourceW(Module(), MAKEINTRESOURCEW(id), type);
    if (!res) return {};
    const BYTE* p = static_cast<const BYTE*>(LockResource(LoadResource(Module(), res)));
    return std::vector<BYTE>(p, p + SizeofResource(Module(), res));
}

struct Accel {
    BYTE virt;
    WORD key;
    WORD cmd;
    bool operator<(const Accel& o) const
    {
        return std::tie(virt, key, cmd) < std::tie(o.virt, o.key, o.cmd);
    }
};

// --- dialog templates (DLGTEMPLATEEX) -------------------------------------
struct DlgItem {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    std::wstring cls;       // predefined classes by name
    std::wstring text;
    int textOrdinal = -1;   // resource id given as the text (icon statics)
};

struct DlgTemplate {
    DWORD style = 0, exStyle = 0;
    short cx = 0, cy = 0;
    std::wstring caption, face;
    WORD pointSize = 0;
    std::vector<DlgItem> items;
};

class Reader {
public:
    explicit Reader(const std::vector<BYTE>& d) : m_d(d) {}
    template <class T> T Get()
    {
        T v{};
        if (m_pos + sizeof(T) <= m_d.size()) memcpy(&v, &m_d[m_pos], sizeof(T));
        m_pos += sizeof(T);
        return v;
    }
    std::wstring String()
    {
        std::wstring s;
        for (WORD c; (c = Get<WORD>()) != 0 && m_pos <= m_d.size();) s += wchar_t(c);
        return s;
    }
    // sz_Or_Ord: 0 none, 0xFFFF then an ordinal, else a string
    std::wstring StringOrOrdinal(int* ordinal)
    {
        WORD first = Get<WORD>();
        if (first == 0) return {};
        if (first == 0xFFFF) {
            *ordinal = Get<WORD>();
            return {};
        }
        m_pos -= 2;
        return String();
    }
    void AlignDword() { m_pos = (m_pos + 3) & ~size_t(3); }
    void Skip(size_t n) { m_pos += n; }
    bool Overrun() const { return m_pos > m_d.size(); }

private:
    const std::vector<BYTE>& m_d;
    size_t m_pos = 0;
};

std::wstring ClassName(int ordinal)
{
    switch (ordinal) {
    case 0x80: return L"Button";
    case 0x81: return L"Edit";
    case 0x82: return L"Static";
    case 0x83: return L"ListBox";
    case 0x85: return L"ComboBox";
    default: return L"?";
    }
}

bool ParseDialog(UINT id, DlgTemplate* out)
{
    std::vector<BYTE> raw = RawResource(RT_DIALOG, id);
    if (raw.empty()) return false;
    Reader r(raw);
    if (r.Get<WORD>() != 1 || r.Get<WORD>() != 0xFFFF) return false;   // extended template only
    r.Get<DWORD>();                                                    // help id
    out->exStyle = r.Get<DWORD>();
    out->style = r.Get<DWORD>();
    WORD count = r.Get<WORD>();
    r.Get<short>();
    r.Get<short>();
    out->cx = r.Get<short>();
    out->cy = r.Get<short>();
    int ord = -1;
    r.StringOrOrdinal(&ord);   // menu
    r.StringOrOrdinal(&ord);   // class
    out->caption = r.String();
    if (out->style & DS_SETFONT) {
        out->pointSize = r.Get<WORD>();
        r.Get<WORD>();
        r.Get<BYTE>();
        r.Get<BYTE>();
        out->face = r.String();
    }
    for (WORD i = 0; i < count; ++i) {
        r.AlignDword();
        DlgItem it;
        r.Get<DWORD>();
        it.exStyle = r.Get<DWORD>();
        it.style = r.Get<DWORD>();
        it.x = r.Get<short>();
        it.y = r.Get<short>();
        it.cx = r.Get<short>();
        it.cy = r.Get<short>();
        it.id = r.Get<DWORD>();
        int clsOrd = -1;
        it.cls = r.StringOrOrdinal(&clsOrd);
        if (clsOrd >= 0) it.cls = ClassName(clsOrd);
        it.text = r.StringOrOrdinal(&it.textOrdinal);
        r.Skip(r.Get<WORD>());
        out->items.push_back(it);
    }
    return !r.Overrun();
}

const DlgItem* FindItem(const DlgTemplate& d, DWORD id, const wchar_t* text = nullptr)
{
    for (const DlgItem& it : d.items)
        if (it.id == id && (!text || it.text == text)) return &it;
    return nullptr;
}

bool SameClass(const std::wstring& a, const wchar_t* b) { return _wcsicmp(a.c_str(), b) == 0; }

// --- bitmaps ----------------------------------------------------------------
struct BitmapInfo {
    LONG w = 0, h = 0;
    WORD bits = 0;
};

BitmapInfo BitmapHeader(UINT id)
{
    std::vector<BYTE> raw = RawResource(RT_BITMAP, id);
    BitmapInfo info;
    if (raw.size() >= sizeof(BITMAPINFOHEADER)) {
        const auto* h = reinterpret_cast<const BITMAPINFOHEADER*>(raw.data());
        info.w = h->biWidth;
        info.h = h->biHeight;
        info.bits = h->biBitCount;
    }
    return info;
}

// Pixel of a 24-bit bitmap resource as 0x00RRGGBB, top row y = 0.
DWORD BitmapPixel(UINT id, int x, int y)
{
    std::vector<BYTE> raw = RawResource(RT_BITMAP, id);
    const auto* h = reinterpret_cast<const BITMAPINFOHEADER*>(raw.data());
    int stride = (h->biWidth * 3 + 3) & ~3;
    const BYTE* p = raw.data() + h->biSize + (h->biHeight - 1 - y) * stride + x * 3;
    return (DWORD(p[2]) << 16) | (DWORD(p[1]) << 8) | p[0];
}

}  // namespace

// ---------------------------------------------------------------------------
TEST(Resources, ViewContextMenuHasTheCommandsInOrder)
{
    HMENU menu = LoadMenuW(Module(), MAKEINTRESOURCEW(IDR_VIEW_CONTEXT));
    ASSERT_NE(menu, nullptr);
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    const std::pair<UINT, const wchar_t*> expected[] = {
        {32771, L"全屏模式"}, {33405, L"上一页"}, {33404, L"下一页"},
        {32973, L"配色设置"}, {32982, L"下一个背景"}, {32983, L"上一个背景"},
        {33413, L"随机换竖栏"}, {33415, L"随机换横栏"}, {33408, L"预设置"},
    };
    ASSERT_EQ(GetMenuItemCount(popup), int(std::size(expected)));
    for (UINT i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(GetMenuItemID(popup, i), expected[i].first) << "item " << i;
        EXPECT_EQ(MenuText(popup, i), expected[i].second) << "item " << i;
    }
    DestroyMenu(menu);
}

TEST(Resources, FrameMenuCarriesTheCommandTexts)
{
    HMENU menu = LoadMenuW(Module(), MAKEINTRESOURCEW(IDR_DOC_TEMPLATE));
    ASSERT_NE(menu, nullptr);
    const std::pair<UINT, const wchar_t*> texts[] = {
        {32810, L"新建文章"}, {32943, L"保存当前页 Ctrl+S"}, {32946, L"打开路径"},
        {32844, L"1"}, {32845, L"2"}, {32846, L"3"}, {32847, L"4"}, {32848, L"清理最近任务"},
        {33379, L"复制 Ctrl+C"}, {33381, L"剪切 Ctrl+X"}, {33380, L"粘贴 Ctrl+V"},
        {32771, L"全屏模式"}, {32973, L"配色设置"}, {32982, L"下一个背景"}, {32983, L"上一个背景"},
        {33408, L"预设置"}, {33413, L"随机换竖栏"}, {33415, L"随机换横栏"},
        {33420, L"标记"}, {33421, L"点评"}, {33410, L"升级更新"},
    };
    for (const auto& t : texts) {
        wchar_t buf[128] = {};
        GetMenuStringW(menu, t.first, buf, 128, MF_BYCOMMAND);
        EXPECT_STREQ(buf, t.second) << "command " << t.first;
    }
    // The recent-folder list rebuilds the fifth item of the first pop-up:
    // a sub-menu with 32844..32847 in front of 32848.
    HMENU file = GetSubMenu(menu, 0);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(MenuText(file, 0), L"新建文章");
    HMENU recent = GetSubMenu(file, 4);
    ASSERT_NE(recent, nullptr);
    EXPECT_EQ(MenuText(file, 4), L"最近路径");
    ASSERT_EQ(GetMenuItemCount(recent), 5);
    for (UINT i = 0; i < 4; ++i) EXPECT_EQ(GetMenuItemID(recent, i), 32844 + i);
    EXPECT_EQ(GetMenuItemID(recent, 4), 32848u);
    DestroyMenu(menu);
}

TEST(Resources, AcceleratorTableMatchesTheKeys)
{
    HACCEL accel = LoadAcceleratorsW(Module(), MAKEINTRESOURCEW(IDR_DOC_TEMPLATE));
    ASSERT_NE(accel, nullptr);
    int n = CopyAcceleratorTableW(accel, nullptr, 0);
    std::vector<ACCEL> table(n);
    CopyAcceleratorTableW(accel, table.data(), n);
    std::set<Accel> got;
    for (const ACCEL& a : table) got.insert({BYTE(a.fVirt & ~FNOINVERT), a.key, a.cmd});
    const BYTE ctrl = FVIRTKEY | FCONTROL, shift = FVIRTKEY | FSHIFT, plain = FVIRTKEY;
    const std::set<Accel> expected = {
        {ctrl, 'S', 32943}, {ctrl, 'C', 33379}, {ctrl, 'X', 33381}, {ctrl, 'V', 33380},
        {ctrl, 'A', 32970}, {plain, VK_NEXT, 32947}, {plain, VK_PRIOR, 32948},
        {plain, VK_ESCAPE, 33084}, {ctrl, VK_DOWN, 32911}, {ctrl, VK_UP, 32912},
        {ctrl, VK_LEFT, 32913}, {ctrl, VK_RIGHT, 32914}, {shift, VK_UP, 33034},
        {shift, VK_DOWN, 33035}, {shift, VK_LEFT, 33036}, {shift, VK_RIGHT, 33037},
    };
    EXPECT_EQ(got.size(), table.size()) << "duplicate key entries";
    EXPECT_EQ(got.size(), expected.size());
    for (const Accel& a : expected)
        EXPECT_EQ(got.count(a), 1u) << "key " << a.key << " flags " << int(a.virt) << " command " << a.cmd;
    DestroyAcceleratorTable(accel);
}

TEST(Resources, StringTableHoldsTheFrameworkMessages)
{
    EXPECT_EQ(LoadText(AFX_IDP_PARSE_INT), L"Enter an integer.");
    EXPECT_EQ(LoadText(AFX_IDP_PARSE_UINT), L"Enter a positive integer.");
    EXPECT_EQ(LoadText(AFX_IDP_PARSE_INT_RANGE), L"Enter an integer between %1 and %2.");
    EXPECT_EQ(LoadText(ID_INDICATOR_CAPS), L"CAP");
    EXPECT_EQ(LoadText(ID_INDICATOR_NUM), L"NUM");
    EXPECT_EQ(LoadText(ID_INDICATOR_SCRL), L"SCRL");
    EXPECT_EQ(LoadText(AFX_IDS_APP_TITLE), L"Lumivell-Velquor");
    EXPECT_EQ(LoadText(AFX_IDS_IDLEMESSAGE), L"就绪");
    std::wstring doc = LoadText(IDR_DOC_TEMPLATE);
    EXPECT_EQ(doc.substr(0, doc.find(L'\n')), L"Lumivell-Velquor");
    EXPECT_EQ(std::count(doc.begin(), doc.end(), L'\n'), 6);
    EXPECT_NE(LoadText(IDP_OLE_INIT_FAILED).find(L"OLE 初始化失败"), std::wstring::npos);
}

TEST(Resources, IconsHoldLargeAndSmallImages)
{
    // toolbar order: image 0 is icon 234 ... image 15 is icon 204
    const UINT icons[] = {234, 232, 198, 235, 279, 205, 236, 238, 201, 200, 207, 220, 222, 216, 230, 204,
                          IDR_MAINFRAME, IDR_DOC_TEMPLATE};
    for (UINT id : icons) {
        std::vector<BYTE> group = RawResource(RT_GROUP_ICON, id);
        ASSERT_GE(group.size(), 6u) << "icon " << id;
        WORD count = *reinterpret_cast<const WORD*>(&group[4]);
        std::set<int> sizes;
        for (WORD i = 0; i < count; ++i) {
            const BYTE* e = &group[6 + i * 14];       // GRPICONDIRENTRY
            sizes.insert(e[0] ? e[0] : 256);
            EXPECT_EQ(*reinterpret_cast<const WORD*>(e + 6), 32) << "icon " << id;
        }
        EXPECT_EQ(sizes, (std::set<int>{16, 32, 48})) << "icon " << id;
        // the toolbar's image lists take 46 and 44 pixel icons
        HICON icon = (HICON)LoadImageW(Module(), MAKEINTRESOURCEW(id), IMAGE_ICON, 46, 46, 0);
        EXPECT_NE(icon, nullptr) << "icon " << id;
        if (icon) DestroyIcon(icon);
    }
}

TEST(Resources, BitmapsHaveTheSizesTheirUsersDraw)
{
    struct Want { UINT id; LONG w, h; };
    const Want want[] = {
        {250, 73, 19}, {251, 73, 19}, {252, 73, 19}, {253, 73, 19}, {254, 73, 19},   // button faces
        {239, 11, 11}, {240, 11, 11},                                                // tree glyphs
        {244, 16, 50}, {246, 16, 50}, {242, 100, 8}, {243, 100, 8},                  // splitter buttons
    };
    for (const Want& w : want) {
        BitmapInfo info = BitmapHeader(w.id);
        EXPECT_EQ(info.w, w.w) << "bitmap " << w.id;
        EXPECT_EQ(info.h, w.h) << "bitmap " << w.id;
        EXPECT_EQ(info.bits, 24) << "bitmap " << w.id;
        HBITMAP bmp = LoadBitmapW(Module(), MAKEINTRESOURCEW(w.id));
        EXPECT_NE(bmp, nullptr) << "bitmap " << w.id;
        if (bmp) DeleteObject(bmp);
    }
    EXPECT_GT(BitmapHeader(IDB_REBAR_BACKGROUND).w, 0);

    // The five button faces tell the states apart.
    std::set<std::vector<BYTE>> faces;
    for (UINT id = 250; id <= 254; ++id) faces.insert(RawResource(RT_BITMAP, id));
    EXPECT_EQ(faces.size(), 5u);

    // Tree glyphs: transparent colour 0x550055 around a drawn folder.
    for (UINT id : {IDB_FOLDER_CLOSED, IDB_FOLDER_OPEN}) {
        EXPECT_EQ(BitmapPixel(id, 0, 0), 0x550055u);
        EXPECT_EQ(BitmapPixel(id, 10, 10), 0x550055u);
        EXPECT_NE(BitmapPixel(id, 5, 6), 0x550055u);
    }
    EXPECT_NE(RawResource(RT_BITMAP, IDB_FOLDER_CLOSED), RawResource(RT_BITMAP, IDB_FOLDER_OPEN));

    // Splitter buttons: the hover frame (the right half) differs from the normal one.
    EXPECT_NE(BitmapPixel(IDB_SPLIT_LEFT, 4, 2), BitmapPixel(IDB_SPLIT_LEFT, 12, 2));
    EXPECT_NE(BitmapPixel(IDB_SPLIT_UP, 2, 4), BitmapPixel(IDB_SPLIT_UP, 52, 4));
    EXPECT_NE(RawResource(RT_BITMAP, IDB_SPLIT_LEFT), RawResource(RT_BITMAP, IDB_SPLIT_RIGHT));
    EXPECT_NE(RawResource(RT_BITMAP, IDB_SPLIT_UP), RawResource(RT_BITMAP, IDB_SPLIT_DOWN));
}

TEST(Resources, MarkTexturesCoverEveryStyle)
{
    // style 1..20 -> texture resource; 278 for any other style; there is no 259
    const UINT ids[] = {264, 263, 262, 261, 260, 258, 257, 265, 266, 267,
                        268, 269, 270, 271, 272, 273, 274, 275, 276, 277, 278};
    std::set<std::vector<BYTE>> distinct;
    for (UINT id : ids) {
        BitmapInfo info = BitmapHeader(id);
        EXPECT_EQ(info.bits, 24) << "texture " << id;
        EXPECT_GT(info.w, 0) << "texture " << id;
        distinct.insert(RawResource(RT_BITMAP, id));
        // white text is drawn over the texture: its mean must be dark enough
        long sum = 0;
        for (int y = 0; y < info.h; ++y)
            for (int x = 0; x < info.w; ++x) {
                DWORD c = BitmapPixel(id, x, y);
                sum += ((c >> 16) & 255) * 3 + ((c >> 8) & 255) * 6 + (c & 255);
            }
        EXPECT_LT(sum / 10 / (info.w * info.h), 150) << "texture " << id;
    }
    EXPECT_EQ(distinct.size(), std::size(ids));
    EXPECT_TRUE(RawResource(RT_BITMAP, 259).empty());
}

TEST(Resources, BookPackDialogTemplate)
{
    DlgTemplate d;
    ASSERT_TRUE(ParseDialog(IDD_PACKS, &d));
    EXPECT_EQ(d.caption, L"zize");
    EXPECT_EQ(d.cx, 401);
    EXPECT_EQ(d.cy, 265);
    EXPECT_EQ(d.face, L"Arial");
    EXPECT_EQ(d.pointSize, 8);
    EXPECT_EQ(d.style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE),
              DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE));
    EXPECT_EQ(d.exStyle, DWORD(WS_EX_APPWINDOW | WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE));
    ASSERT_EQ(d.items.size(), 9u);

    for (auto [id, text] : {std::pair<DWORD, const wchar_t*>{1001, L"下载"}, {2, L"关闭"}, {1002, L"检查更新"}}) {
        const DlgItem* b = FindItem(d, id);
        ASSERT_NE(b, nullptr) << id;
        EXPECT_EQ(b->text, text);
        EXPECT_TRUE(SameClass(b->cls, L"Button"));
        EXPECT_EQ(b->style & 0xF, DWORD(BS_OWNERDRAW));
        EXPECT_TRUE(b->style & WS_TABSTOP);
    }
    const DlgItem* list = FindItem(d, IDC_PACK_LIST);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(SameClass(list->cls, L"ListBox"));
    const DWORD listStyle = LBS_NOTIFY | LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT
                            | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
    EXPECT_EQ(list->style & listStyle, listStyle);
    EXPECT_EQ(list->style & (LBS_SORT | LBS_OWNERDRAWFIXED), 0u);
    EXPECT_EQ(std::make_tuple(list->x, list->y, list->cx, list->cy), std::make_tuple(53, 135, 187, 112));

    const DlgItem* progress = FindItem(d, IDC_PACK_PROGRESS);
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(SameClass(progress->cls, L"msctls_progress32"));
    EXPECT_EQ(std::make_tuple(progress->x, progress->y, progress->cx, progress->cy),
              std::make_tuple(53, 112, 190, 14));
    const DlgItem* caption = FindItem(d, IDC_PACK_PROGRESS_TEXT);
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->text, L"更新进度条：");

    const DlgItem* icon = nullptr;
    const DlgItem* motto = nullptr;
    for (const DlgItem& it : d.items) {
        if (it.textOrdinal == IDI_TB_PACKS) icon = &it;
        if (it.text.find(L'\n') != std::wstring::npos) motto = &it;
    }
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->style & (SS_TYPEMASK | SS_REALSIZEIMAGE | SS_SUNKEN), DWORD(SS_ICON | SS_REALSIZEIMAGE | SS_SUNKEN));
    ASSERT_NE(motto, nullptr);
    EXPECT_EQ(motto->text, L"古之成书不易，存书愈难。\n愿遗落之书皆可再现，愿集合众网友之力搜罗大千书籍");
}

TEST(Resources, ImportDialogTemplate)
{
    DlgTemplate d;
    ASSERT_TRUE(ParseDialog(IDD_IMPORT_NOVEL, &d));
    EXPECT_EQ(d.caption, L"导入小说");
    EXPECT_EQ(d.face, L"MS Shell Dlg");
    EXPECT_EQ(d.pointSize, 8);
    EXPECT_EQ(d.style & WS_VISIBLE, 0u);   // modeless, shown by the tree view

    struct Want { DWORD id; const wchar_t* cls; short x, y, cx, cy; bool visible; };
    const Want want[] = {
        {IDC_NOVEL_PATH, L"Edit", 40, 17, 219, 14, true},
        {IDOK, L"Button", 271, 17, 50, 14, true},
        {IDC_NOVEL_SOURCE, L"ComboBox", 193, 35, 66, 71, true},
        {IDC_NOVEL_PREFIX, L"Edit", 102, 61, 47, 14, true},
        {IDC_NOVEL_IMPORT, L"Button", 208, 60, 50, 14, true},
        {IDCANCEL, L"Button", 271, 60, 50, 14, true},
        {IDC_NOVEL_NUMBER, L"Edit", 354, 78, 20, 14, false},
        {IDC_NOVEL_SUFFIX, L"Edit", 382, 78, 6, 14, false},
    };
    for (const Want& w : want) {
        const DlgItem* it = FindItem(d, w.id);
        ASSERT_NE(it, nullptr) << w.id;
        EXPECT_TRUE(SameClass(it->cls, w.cls)) << w.id;
        EXPECT_EQ(std::make_tuple(it->x, it->y, it->cx, it->cy), std::make_tuple(w.x, w.y, w.cx, w.cy)) << w.id;
        EXPECT_EQ((it->style & WS_VISIBLE) != 0, w.visible) << w.id;
    }
    EXPECT_EQ(FindItem(d, IDOK)->text, L"。。。");
    EXPECT_EQ(FindItem(d, IDC_NOVEL_IMPORT)->text, L"导入");
    EXPECT_EQ(FindItem(d, IDCANCEL)->text, L"取消");
    for (DWORD id : {DWORD(IDOK), DWORD(IDC_NOVEL_IMPORT), DWORD(IDCANCEL)})
        EXPECT_EQ(FindItem(d, id)->style & 0xF, DWORD(BS_OWNERDRAW)) << id;
    EXPECT_EQ(FindItem(d, IDC_NOVEL_SOURCE)->style & 3, DWORD(CBS_DROPDOWN));
    EXPECT_NE(FindItem(d, IDC_STATIC, L"章节包含字符："), nullptr);
}

TEST(Resources, ManifestAndVersion)
{
    std::vector<BYTE> manifest = RawResource(MAKEINTRESOURCEW(24), 1);
    std::string text(manifest.begin(), manifest.end());
    EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(text.find("version=\"6.0.0.0\""), std::string::npos);

    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, info.data()));
    wchar_t* value = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\080404b0\\ProductName", (void**)&value, &len));
    EXPECT_STREQ(value, L"Lumivell-Velquor");
}

// ---------------------------------------------------------------------------
// Decoration pictures beside the program: control\IMG\背景, 竖栏, 行线.

namespace {

std::wstring ImgFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path);
    p.resize(p.rfind(L'\\') + 1);
    std::string rel = LUMIVELL_IMG_REL;
    for (char c : rel) p += (c == '/') ? L'\\' : wchar_t(c);
    return p;
}

std::vector<std::wstring> List(const std::wstring& folder, bool folders)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((folder + L"\\*.*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        bool dir = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (wcscmp(fd.cFileName, L".") && wcscmp(fd.cFileName, L"..") && dir == folders)
            names.push_back(fd.cFileName);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

class Decorations : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        GdiplusStartupInput input;
        GdiplusStartup(&s_token, &input, nullptr);
    }
    static void TearDownTestSuite() { GdiplusShutdown(s_token); }

    struct Picture {
        UINT w = 0, h = 0;
        int keyed = 0, ornament = 0;    // pixels inside the colour key, and clearly darker ones
        int minLuma = 255;
        int samples = 0;
    };
    // Loads a picture with GDI+ as the painters do; counts the pixels that
    // the colour key (grey `key` to white) would make transparent.
    static bool Load(const std::wstring& file, int key, Picture* out)
    {
        GpBitmap* bmp = nullptr;
        if (GdipCreateBitmapFromFile(file.c_str(), &bmp) != Ok) return false;
        GdipGetImageWidth(bmp, &out->w);
        GdipGetImageHeight(bmp, &out->h);
        for (UINT y = 0; y < out->h; y += (out->h > 100 ? 7 : 1))
            for (UINT x = 0; x < out->w; x += (out->w > 100 ? 5 : 1)) {
                ARGB c = 0;
                GdipBitmapGetPixel(bmp, x, y, &c);
                ++out->samples;
                int r = (c >> 16) & 255, g = (c >> 8) & 255, b = c & 255;
                if (r >= key && g >= key && b >= key) ++out->keyed;
                if (std::min({r, g, b}) < 180) ++out->ornament;
                out->minLuma = std::min(out->minLuma, (r * 3 + g * 6 + b) / 10);
            }
        GdipDisposeImage(bmp);
        return true;
    }
    static ULONG_PTR s_token;
};
ULONG_PTR Decorations::s_token = 0;

}  // namespace

TEST_F(Decorations, BackgroundSetsHoldPagePictures)
{
    std::wstring root = ImgFolder() + L"\\背景";
    std::vector<std::wstring> sets = List(root, true);
    ASSERT_FALSE(sets.empty()) << "no background sets under " << std::string(root.begin(), root.end());
    for (const std::wstring& set : sets) {
        std::vector<std::wstring> files = List(root + L"\\" + set, false);
        EXPECT_FALSE(files.empty());
        for (const std::wstring& f : files) {
            // the dialog base recognises backgrounds by these markers
            EXPECT_NE(f.find(L".bmp"), std::wstring::npos);
            Picture p;
            ASSERT_TRUE(Load(root + L"\\" + set + L"\\" + f, 256, &p));
            EXPECT_EQ(p.w, 1024u);
            EXPECT_EQ(p.h, 768u);
            EXPECT_GT(p.minLuma, 150);   // light paper under black text
        }
    }
}

TEST_F(Decorations, SideBarSetsPairLeftAndRight)
{
    std::wstring root = ImgFolder() + L"\\竖栏";
    std::vector<std::wstring> sets = List(root, true);
    ASSERT_FALSE(sets.empty());
    bool sawPaired = false, sawSingle = false;
    for (const std::wstring& set : sets) {
        std::wstring folder = root + L"\\" + set;
        std::vector<std::wstring> sub = List(folder, true);
        std::vector<std::pair<std::wstring, int>> pictures;   // path, colour key
        if (!sub.empty()) {
            sawPaired = true;
            EXPECT_EQ(sub, (std::vector<std::wstring>{L"L", L"R"}));
            std::vector<std::wstring> left = List(folder + L"\\L", false);
            EXPECT_EQ(left, List(folder + L"\\R", false)) << "right pictures go by the left names";
            EXPECT_TRUE(List(folder, false).empty());
            for (const std::wstring& f : left) {
                pictures.push_back({folder + L"\\L\\" + f, 220});
                pictures.push_back({folder + L"\\R\\" + f, 200});
            }
        } else {
            sawSingle = true;
            for (const std::wstring& f : List(folder, false)) pictures.push_back({folder + L"\\" + f, 220});
        }
        EXPECT_FALSE(pictures.empty());
        for (const auto& [path, key] : pictures) {
            Picture p;
            ASSERT_TRUE(Load(path, key, &p));
            EXPECT_GT(p.h, 4 * p.w) << "side bars are tall and narrow";
            EXPECT_GT(p.keyed, 0) << "the background must be keyed out";
            EXPECT_GT(p.ornament, 0);
        }
    }
    EXPECT_TRUE(sawPaired);
    EXPECT_TRUE(sawSingle);
}

TEST_F(Decorations, LineSetsAreWideStrips)
{
    std::wstring root = ImgFolder() + L"\\行线";
    std::vector<std::wstring> sets = List(root, true);
    ASSERT_FALSE(sets.empty());
    for (const std::wstring& set : sets) {
        std::vector<std::wstring> files = List(root + L"\\" + set, false);
        EXPECT_GE(files.size(), 2u);
        for (const std::wstring& f : files) {
            Picture p;
            ASSERT_TRUE(Load(root + L"\\" + set + L"\\" + f, 200, &p));
            EXPECT_GT(p.w, 8 * p.h) << "rules are wide and low";
            EXPECT_GT(p.keyed * 4, p.samples) << "transparent around the ornament";
            EXPECT_GT(p.ornament, 0);
        }
    }
}

// The preset file the build writes beside the program names drawn sets.
TEST_F(Decorations, ShippedPresetFileNamesTheDrawnSets)
{
    const std::wstring ini = ImgFolder() + L"\\..\\preSet.ini";
    auto key = [&](const wchar_t* section, const wchar_t* name) {
        wchar_t value[128] = {};
        GetPrivateProfileStringW(section, name, L"", value, 128, ini.c_str());
        return std::wstring(value);
    };
    const std::wstring background = key(L"Background", L"Background");
    ASSERT_FALSE(background.empty());
    const auto pictures = List(ImgFolder() + L"\\背景\\" + background, false);
    EXPECT_FALSE(pictures.empty());
    EXPECT_EQ(std::to_wstring(pictures.size()), key(L"Background", L"Count"));
    EXPECT_FALSE(List(ImgFolder() + L"\\竖栏\\" + key(L"Background", L"verticalDir") + L"\\L", false).empty());
    EXPECT_FALSE(List(ImgFolder() + L"\\行线\\" + key(L"Background", L"lineDir"), false).empty());
    EXPECT_EQ(L"1", key(L"Biaozhu", L"bComment"));
    EXPECT_EQ(L"默认", key(L"FontName", L"FontName"));
    // It carries the program's own version, and no update host.
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD handle = 0;
    std::vector<BYTE> info(GetFileVersionInfoSizeW(path, &handle));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, (DWORD)info.size(), info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", (void**)&fixed, &len));
    wchar_t version[64];
    swprintf(version, 64, L"%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
             HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(version, key(L"Version", L"Version"));
    EXPECT_EQ(L"", key(L"Update", L"UpdateHost"));
}
