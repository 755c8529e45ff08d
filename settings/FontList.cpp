#include "settings/FontList.h"

#include "framework/Controls.h"

namespace {

int CALLBACK EnumFontProc(const LOGFONTW* lf, const TEXTMETRICW*, DWORD type, LPARAM lParam)
{
    if (type & RASTER_FONTTYPE)
        return 1;
    const wchar_t* face = (type & TRUETYPE_FONTTYPE) ? lf->lfFaceName : L"";
    for (CComboBox* list : *reinterpret_cast<const std::vector<CComboBox*>*>(lParam))
        list->AddString(face);
    return 1;
}

} // namespace

bool AddSystemFonts(const std::vector<CComboBox*>& lists)
{
    HDC dc = GetDC(nullptr);
    LOGFONTW lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    int result = EnumFontFamiliesExW(dc, &lf, EnumFontProc, (LPARAM)&lists, 0);
    ReleaseDC(nullptr, dc);
    return result != 0;
}

int FindExactItem(CComboBox& list, const CString& text)
{
    const int n = list.GetCount();
    for (int i = 0; i < n; ++i) {
        CString item;
        list.GetLBText(i, item);
        if (item == text)
            return i;
    }
    return -1;
}

void TidyFontList(CComboBox& list, const CString& select)
{
    CString next;       // the item after the one looked at; "" after the last
    for (int i = list.GetCount() - 1; i >= 0; --i) {
        CString item;
        list.GetLBText(i, item);
        if (item == next)
            list.DeleteString(i);
        next = item;
    }
    for (int i = list.GetCount() - 1; i >= 0; --i) {
        CString item;
        list.GetLBText(i, item);
        if (!item.IsEmpty() && item[0] == L'@')
            list.DeleteString(i);
    }
    list.InsertString(0, L"默认");
    if (!select.IsEmpty()) {
        int found = FindExactItem(list, select);
        // "默认" itself counts only as the first item.
        if (found >= 0)
            list.SetCurSel(found);
    }
}
