#include "app/PresetWriter.h"
#include "app/DisplaySettings.h"
#include "framework/FileUtil.h"
#include "res/Version.h"

namespace {

void WriteKey(const CString& path, const wchar_t* section, const wchar_t* key, const wchar_t* value)
{
    WritePrivateProfileStringW(section, key, value, path);
}

void WriteNumber(const CString& path, const wchar_t* section, const wchar_t* key, int value)
{
    CString text;
    text.Format(L"%d", value);
    WriteKey(path, section, key, text);
}

void WriteFlag(const CString& path, const wchar_t* key, int value)
{
    WriteKey(path, L"Color", key, value ? L"1" : L"0");
}

CString DefaultPictureFolder(const wchar_t* parent)
{
    CString folder;
    folder.Format(L"%scontrol\\IMG\\%s", g_strAppFolder.GetString(), parent);
    return folder;
}

} // namespace

CString ShortPictureFolder(const CString& folder, const CString& defaultFolder)
{
    const int slash = folder.ReverseFind(L'\\');
    if (slash >= 0 && folder.Left(slash) == defaultFolder)
        return folder.Mid(slash + 1);
    return folder;
}

void SavePreSetIni(const CString& path)
{
    const DisplaySettingsBlock& ds = DisplaySettings;
    // No version read (a first run): the program's own, else every update
    // check would find the host's version different.
    const wchar_t* version = ds.strVersion.IsEmpty() ? L"" LUMIVELL_VERSION_TEXT : ds.strVersion.GetString();
    WriteKey(path, L"Version", L"Version", version);

    WriteKey(path, L"Background", L"Background",
             ShortPictureFolder(ds.BackgroundSet.strFolder, DefaultPictureFolder(L"背景")));
    WriteKey(path, L"Background", L"verticalDir",
             ShortPictureFolder(ds.VerticalSet.strFolder, DefaultPictureFolder(L"竖栏")));
    WriteKey(path, L"Background", L"lineDir",
             ShortPictureFolder(ds.LineSet.strFolder, DefaultPictureFolder(L"行线")));
    WriteNumber(path, L"Background", L"Index0", ds.Index0);
    WriteNumber(path, L"Background", L"Index1", ds.Index1);
    WriteNumber(path, L"Background", L"Count", ds.Count);

    WriteNumber(path, L"Color", L"nWholeTB0", ds.nWholeTB0);
    WriteNumber(path, L"Color", L"nWholeTB1", ds.nWholeTB1);
    WriteNumber(path, L"Color", L"nWholeLR0", ds.nWholeLR0);
    WriteNumber(path, L"Color", L"nWholeLR1", ds.nWholeLR1);
    WriteFlag(path, L"bWholeLeft", ds.bWholeLeft);
    WriteFlag(path, L"bWholeTop", ds.bWholeTop);
    WriteFlag(path, L"bWholeBottom", ds.bWholeBottom);
    WriteFlag(path, L"bLineMode", ds.bLineMode);
    WriteNumber(path, L"Color", L"nLineMode", ds.nLineMode);
    WriteFlag(path, L"bPramMode", ds.bPramMode);
    WriteNumber(path, L"Color", L"nPramMode", ds.nPramMode);
    WriteFlag(path, L"bVerticalMode", ds.bVerticalMode);
    WriteNumber(path, L"Color", L"nVerticalMode", ds.nVerticalMode);
    WriteNumber(path, L"Color", L"nPramLen", ds.nPramLen);
    WriteNumber(path, L"Color", L"nPramWidth", ds.nPramWidth);
    WriteNumber(path, L"Color", L"nHorize", ds.nHorize);
    WriteNumber(path, L"Color", L"nVertical", ds.nVertical);
    WriteNumber(path, L"Color", L"nVerticalWidth", ds.nVerticalWidth);
    WriteNumber(path, L"Color", L"nSelect", ds.nSelect);

    WriteNumber(path, L"Page", L"nPageWidth", ds.nPageWidth);
    WriteNumber(path, L"Inc", L"Increase", ds.Increase);
}

void SaveSettingsAtExit()
{
    SaveColorXml();
    CreateFolderTree(g_strAppFolder + L"control");
    SavePreSetIni(g_strAppFolder + L"control\\preSet.ini");
}
