#include "app/DisplaySettings.h"
#include "framework/FileUtil.h"
#include "framework/MessageBox.h"
#include "xml/XmlDocument.h"
#include <cwchar>

DisplaySettingsBlock DisplaySettings;
std::vector<ColorScheme> vecColorSchemes;
CString g_strAppFolder;
BOOL bImporting = FALSE;

namespace {

// The 18 colours in file order, for the current block and for a scheme.
struct ColorField {
    const wchar_t* name;
    COLORREF DisplaySettingsBlock::*current;
    COLORREF ColorScheme::*scheme;
};

const ColorField kColorFields[18] = {
    {L"Bg", &DisplaySettingsBlock::clrBg, &ColorScheme::Bg},
    {L"Text", &DisplaySettingsBlock::clrText, &ColorScheme::Text},
    {L"CBg", &DisplaySettingsBlock::clrCBg, &ColorScheme::CBg},
    {L"CText", &DisplaySettingsBlock::clrCText, &ColorScheme::CText},
    {L"Zhuwen", &DisplaySettingsBlock::clrZhuwen, &ColorScheme::Zhuwen},
    {L"Xiaokuohao", &DisplaySettingsBlock::clrXiaokuohao, &ColorScheme::Xiaokuohao},
    {L"Dakuohao", &DisplaySettingsBlock::clrDakuohao, &ColorScheme::Dakuohao},
    {L"CurInXiao", &DisplaySettingsBlock::clrCurInXiao, &ColorScheme::CurInXiao},
    {L"CurInDa", &DisplaySettingsBlock::clrCurInDa, &ColorScheme::CurInDa},
    {L"Left", &DisplaySettingsBlock::clrLeft, &ColorScheme::Left},
    {L"Control", &DisplaySettingsBlock::clrControl, &ColorScheme::Control},
    {L"Int", &DisplaySettingsBlock::clrInt, &ColorScheme::Int},
    {L"Fun", &DisplaySettingsBlock::clrFun, &ColorScheme::Fun},
    {L"DFun", &DisplaySettingsBlock::clrDFun, &ColorScheme::DFun},
    {L"Var", &DisplaySettingsBlock::clrVar, &ColorScheme::Var},
    {L"TRUE", &DisplaySettingsBlock::clrTrue, &ColorScheme::TRUE_},
    {L"Yinhao", &DisplaySettingsBlock::clrYinhao, &ColorScheme::Yinhao},
    {L"Digit", &DisplaySettingsBlock::clrDigit, &ColorScheme::Digit},
};

} // namespace

void ApplyColorScheme(const ColorScheme& scheme)
{
    for (const ColorField& f : kColorFields)
        DisplaySettings.*f.current = scheme.*f.scheme;
}

void StoreCurrentColors(ColorScheme& scheme)
{
    for (const ColorField& f : kColorFields)
        scheme.*f.scheme = DisplaySettings.*f.current;
}

namespace {

// Leading white space, optional sign, digits; anything else ends the number,
// no digits at all gives 0.
int DecimalValue(const CString& text)
{
    return (int)wcstol(text, nullptr, 10);
}

COLORREF ReadColor(CXmlDocument& doc, const wchar_t* name)
{
    CString value;
    doc.ReadAttribute(value, name);
    return (COLORREF)DecimalValue(value);
}

// The file holds UTF-16LE units without a byte-order mark; the text ends at the
// first zero unit. An odd last byte becomes a unit of its own.
CString TextOfColorFile(const std::string& bytes)
{
    std::wstring units(bytes.size() / 2 + 1, L'\0');
    memcpy(&units[0], bytes.data(), bytes.size());
    return CString(units.c_str());
}

// Puts the document cursor on the top-level "Page" element.
bool FindPage(CXmlDocument& doc, const std::string& bytes)
{
    CString text = TextOfColorFile(bytes);
    doc.LoadFromText(text);
    return doc.FindNextElement(L"Page");
}

} // namespace

CString ColorXmlPath()
{
    return g_strAppFolder + L"control\\Color.xml";
}

void LoadColorXml()
{
    std::string bytes;
    if (!ReadWholeFile(ColorXmlPath(), bytes))
        return;
    CXmlDocument doc;
    if (!FindPage(doc, bytes))
        return;
    for (const ColorField& f : kColorFields)
        DisplaySettings.*f.current = ReadColor(doc, f.name);

    CString count;
    doc.ReadAttribute(count, L"Count");
    // Count only switches the schemes on; every CORLOR element is read.
    if (count.IsEmpty() || DecimalValue(count) <= 0)
        return;
    doc.EnterElement();
    while (doc.FindNextElement(L"CORLOR")) {
        ColorScheme scheme;
        doc.ReadAttribute(scheme.Name, L"Name");
        if (scheme.Name.IsEmpty())
            scheme.Name = L"未命名";
        for (const ColorField& f : kColorFields)
            scheme.*f.scheme = ReadColor(doc, f.name);
        vecColorSchemes.push_back(scheme);
    }
    doc.LeaveElement();
}

bool SaveColorXml()
{
    CXmlDocument doc;
    doc.AppendElement(L"Page");
    doc.WriteAttributeIntAt(doc.iCursorElement, L"Count", (int)vecColorSchemes.size());
    for (const ColorField& f : kColorFields)
        doc.WriteAttributeIntAt(doc.iCursorElement, f.name, (int)(DisplaySettings.*f.current));
    if (!vecColorSchemes.empty()) {
        doc.EnterElement();
        for (const ColorScheme& scheme : vecColorSchemes) {
            doc.AppendElement(L"CORLOR");
            doc.WriteAttributeAt(doc.iCursorElement, L"Name", scheme.Name);
            for (const ColorField& f : kColorFields)
                doc.WriteAttributeIntAt(doc.iCursorElement, f.name, (int)(scheme.*f.scheme));
        }
        doc.LeaveElement();
    }
    CString text = doc.GetDocumentText();

    CString path = ColorXmlPath();
    CreateFolderTree(g_strAppFolder + L"control");
    // A file this program cannot read may still be the user's only copy of the
    // schemes: keep it before it is replaced.
    std::string old;
    CString error;
    bool ok = true;
    if (ReadWholeFile(path, old) && !old.empty()) {
        CXmlDocument check;
        const CString backup = g_strAppFolder + L"control\\Color.xml.bak";
        if (!FindPage(check, old) && !BackupFileOnce(path, backup)) {
            ok = false;
            error = L"无法备份原文件到 " + backup;
        }
    }
    if (ok)
        ok = WriteFileReplacing(path, text.GetString(), (size_t)text.GetLength() * sizeof(wchar_t), &error);
    if (!ok) {
        CString message;
        message.Format(L"无法保存配色文件：\n%s\n\n%s", path.GetString(), error.GetString());
        AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}
