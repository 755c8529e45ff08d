#include "view/PresetFile.h"

#include <shlwapi.h>
#include <cstdlib>
#include <cwchar>

#include "app/DisplaySettings.h"
#include "framework/File.h"

const wchar_t kBackgroundParent[] = L"背景";
const wchar_t kVerticalParent[] = L"竖栏";
const wchar_t kLineParent[] = L"行线";

namespace {

const wchar_t kDefaultFace[] = L"默认";

// One key of the file, read the way the profile functions give it: the default
// text when the key (or its section) is missing, "" when it has no value.
class PresetReader {
public:
    explicit PresetReader(const CString& path) : m_path(path) {}

    bool Read(const wchar_t* section, const wchar_t* key, const wchar_t* missing, CString& out)
    {
        wchar_t buffer[256];
        // A default no value can equal tells a missing key from an empty one.
        static const wchar_t kNone[] = L"\x01\x02";
        GetPrivateProfileStringW(section, key, kNone, buffer, 256, m_path);
        if (wcscmp(buffer, kNone) == 0) {
            out = missing;
            return false;
        }
        out = buffer;
        return true;
    }
    // A number; a present but empty value gives emptyValue.
    int Int(const wchar_t* section, const wchar_t* key, const wchar_t* missing, int emptyValue)
    {
        CString value;
        Read(section, key, missing, value);
        return value.IsEmpty() ? emptyValue : _wtoi(value);
    }
    // A number whose empty value keeps what target holds.
    void IntKeep(const wchar_t* section, const wchar_t* key, const wchar_t* missing, int& target)
    {
        CString value;
        Read(section, key, missing, value);
        if (!value.IsEmpty())
            target = _wtoi(value);
    }

private:
    CString m_path;
};

// The list entry index of the pane's background picture, or an empty path when
// the index lies outside the list.
CString BackgroundEntry(bool bUpperPane)
{
    const ImageSet& set = DisplaySettings.BackgroundSet;
    int index = bUpperPane ? DisplaySettings.Index0 : DisplaySettings.Index1;
    if (index < 0 || index >= (int)set.vecFiles.size())
        return CString();
    CString path;
    path.Format(L"%s\\%s", set.strFolder.GetString(), set.vecFiles[(size_t)index].GetString());
    return path;
}

// Fills names with the plain files matched by pattern; false when the search
// finds nothing at all (the folder is missing or cannot be read).
bool ListFolder(const CString& pattern, std::vector<CString>& names, bool emptyFirst)
{
    CFileFind finder;
    if (!finder.FindFile(pattern))
        return false;
    if (emptyFirst)
        names.clear();
    BOOL more = TRUE;
    while (more) {
        more = finder.FindNextFile();
        if (finder.IsDots() || finder.IsDirectory())
            continue;
        names.push_back(finder.GetFileName());
    }
    return true;
}

} // namespace

CString PresetFilePath()
{
    CString path;
    path.Format(L"%s%s", g_strAppFolder.GetString(), L"control\\preSet.ini");
    return path;
}

void SetFaceName(wchar_t (&face)[kFaceBufferSize], const wchar_t* value)
{
    wmemset(face, 0, kFaceBufferSize);
    if (!value || !*value || wcscmp(value, kDefaultFace) == 0)
        return;
    size_t n = wcslen(value);
    if (n > (size_t)kFaceBufferSize - 1) {
        n = kFaceBufferSize - 1;
        if (value[n - 1] >= 0xD800 && value[n - 1] <= 0xDBFF)
            --n;    // never half a surrogate pair
    }
    wmemcpy(face, value, n);
}

CString PresetFolder(const wchar_t* parent, const wchar_t* value)
{
    if (value && wcschr(value, L'\\'))
        return CString(value);
    CString folder;
    folder.Format(L"%scontrol\\IMG\\%s\\%s", g_strAppFolder.GetString(), parent,
                  value ? value : L"");
    return folder;
}

void ListBackgroundSet()
{
    ImageSet& set = DisplaySettings.BackgroundSet;
    set.vecFiles.clear();
    ListFolder(set.strFolder + L"\\*.*", set.vecFiles, false);
    DisplaySettings.Count = (int)set.vecFiles.size();
}

bool ListPictureFolder(ImageSet& set, bool leftFolder, const wchar_t* const* extensions)
{
    CString pattern;
    if (leftFolder && PathFileExistsW(set.strFolder + L"\\L"))
        pattern = set.strFolder + L"\\L" + L"\\*.*";
    else
        pattern.Format(L"%s\\*.*", set.strFolder.GetString());
    std::vector<CString> names;
    if (!ListFolder(pattern, names, false))
        return false;
    set.vecFiles.clear();
    for (const CString& name : names) {
        bool accepted = !extensions;
        for (const wchar_t* const* e = extensions; e && *e && !accepted; ++e)
            accepted = name.Find(*e) >= 0;
        if (accepted)
            set.vecFiles.push_back(name);
    }
    return true;
}

void ListLineSet()
{
    ListPictureFolder(DisplaySettings.LineSet, false);
}

void ListVerticalSet()
{
    ListPictureFolder(DisplaySettings.VerticalSet, true);
}

void WritePresetDialogKeys(const CString& path, int textSize, int row, int pram,
                           const wchar_t* bodyFace, const wchar_t* codeFace)
{
    auto number = [&](const wchar_t* section, const wchar_t* key, int value) {
        CString text;
        text.Format(L"%d", value);
        WritePrivateProfileStringW(section, key, text, path);
    };
    const DisplaySettingsBlock& ds = DisplaySettings;
    number(L"Size", L"TextSize", textSize);
    number(L"Biaozhu", L"bComment", ds.bComment);
    number(L"Biaozhu", L"bSingle", ds.bSingle);
    number(L"Biaozhu", L"nBiaozhu", ds.nBiaozhu);
    number(L"Distance", L"Row", row);
    number(L"Distance", L"Pram", pram);
    if (bodyFace && *bodyFace)
        WritePrivateProfileStringW(L"FontName", L"FontName", bodyFace, path);
    if (codeFace && *codeFace)
        WritePrivateProfileStringW(L"FontName", L"CodeFontName", codeFace, path);
}

bool ReadPresetFile(bool bUpperPane, PresetViewValues& view)
{
    const CString path = PresetFilePath();
    if (!PathFileExistsW(path))
        return false;
    PresetReader ini(path);
    DisplaySettingsBlock& ds = DisplaySettings;
    CString value;

    view.nTextSize = ini.Int(L"Size", L"TextSize", L"22", 0);
    ds.bComment = ini.Int(L"Biaozhu", L"bComment", L"22", 0);
    ds.bSingle = ini.Int(L"Biaozhu", L"bSingle", L"22", 0);
    ds.nBiaozhu = ini.Int(L"Biaozhu", L"nBiaozhu", L"22", 0);
    // The style list has no entry beyond its last style.
    if (ds.nBiaozhu < 0)
        ds.nBiaozhu = 0;
    if (ds.nBiaozhu > kMaxAnnotationStyle)
        ds.nBiaozhu = kMaxAnnotationStyle;
    view.nRow = ini.Int(L"Distance", L"Row", L"0", 0);
    view.nPram = ini.Int(L"Distance", L"Pram", L"0", 0);

    ini.Read(L"FontName", L"FontName", L"0", value);
    SetFaceName(view.szFontFace, value);
    ini.Read(L"FontName", L"CodeFontName", L"0", value);
    SetFaceName(view.szCodeFontFace, value);

    ini.Read(L"Background", L"verticalDir", L"", value);
    ds.VerticalSet.strFolder = PresetFolder(kVerticalParent, value);
    ListVerticalSet();
    ini.Read(L"Background", L"lineDir", L"", value);
    ds.LineSet.strFolder = PresetFolder(kLineParent, value);
    ListLineSet();
    ini.Read(L"Background", L"Background", L"", value);
    ds.BackgroundSet.strFolder = PresetFolder(kBackgroundParent, value);

    ds.Index0 = ini.Int(L"Background", L"Index0", L"0", 0);
    ds.Index1 = ini.Int(L"Background", L"Index1", L"1", 0);
    ds.Count = ini.Int(L"Background", L"Count", L"0", 0);
    if (ds.Count > 0)
        ListBackgroundSet();

    ini.Read(L"Img", L"Img", L"0", value);
    if (!value.IsEmpty()) {
        view.strBackgroundPicture = value;
        if (!PathFileExistsW(value)) {
            if (ds.Count > 0) {
                view.strBackgroundPicture = BackgroundEntry(bUpperPane);
            } else {
                view.strBackgroundPicture.Empty();
                ds.strBackgroundFile.Empty();
            }
        }
    } else {
        view.strBackgroundPicture = BackgroundEntry(bUpperPane);
    }

    ini.IntKeep(L"Color", L"nWholeLR0", L"0", ds.nWholeLR0);
    ini.IntKeep(L"Color", L"nWholeLR1", L"0", ds.nWholeLR1);
    ini.IntKeep(L"Color", L"nWholeTB0", L"0", ds.nWholeTB0);
    ini.IntKeep(L"Color", L"nWholeTB1", L"0", ds.nWholeTB1);
    ds.bWholeLeft = ini.Int(L"Color", L"bWholeLeft", L"0", 0);
    ds.bWholeTop = ini.Int(L"Color", L"bWholeTop", L"0", 0);
    ds.bWholeBottom = ini.Int(L"Color", L"bWholeBottom", L"0", 0);
    ds.bLineMode = ini.Int(L"Color", L"bLineMode", L"0", 0);
    ds.nLineMode = ini.Int(L"Color", L"nLineMode", L"1", 1);
    ds.bPramMode = ini.Int(L"Color", L"bPramMode", L"0", 0);
    ds.nPramMode = ini.Int(L"Color", L"nPramMode", L"1", 1);
    ds.bVerticalMode = ini.Int(L"Color", L"bVerticalMode", L"0", 0);
    ds.nVerticalMode = ini.Int(L"Color", L"nVerticalMode", L"1", 1);
    ds.nPramWidth = ini.Int(L"Color", L"nPramWidth", L"3", 3);
    ds.nPramLen = ini.Int(L"Color", L"nPramLen", L"0", 0);
    ds.nHorize = ini.Int(L"Color", L"nHorize", L"3", 3);
    ds.nVertical = ini.Int(L"Color", L"nVertical", L"3", 3);
    ds.nVerticalWidth = ini.Int(L"Color", L"nVerticalWidth", L"200", 200);
    ds.nSelect = ini.Int(L"Color", L"nSelect", L"0", 0);
    ds.nPageWidth = ini.Int(L"Page", L"nPageWidth", L"1000", 1000);
    ds.Increase = ini.Int(L"Inc", L"Increase", L"0", 0);
    return true;
}
