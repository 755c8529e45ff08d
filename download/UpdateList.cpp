#include "download/UpdateList.h"

#include <cstdlib>
#include <cwchar>

#include "download/ZipNames.h"
#include "framework/FileUtil.h"
#include "framework/Profile.h"

const wchar_t kUpdateHostSection[] = L"Update";
const wchar_t kUpdateHostKey[] = L"UpdateHost";

void SplitListFields(const CString& line, CString& field0, CString& field1)
{
    const int first = line.Find(L'-');
    if (first < 0) {
        field0 = line;
        field1.Empty();
        return;
    }
    field0 = line.Left(first);
    const int second = line.Find(L'-', first + 1);
    field1 = second < 0 ? line.Mid(first + 1) : line.Mid(first + 1, second - first - 1);
}

UpdateList ParseUpdateList(const std::string& bytes)
{
    UpdateList list;
    size_t start = 0;
    UINT codePage = 936;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        codePage = CP_UTF8;
        start = 3;
    }
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        const bool ended = end != std::string::npos;
        size_t next = ended ? end + 1 : bytes.size();
        if (!ended)
            end = bytes.size();
        size_t len = end - start;
        if (len > 0 && bytes[start + len - 1] == '\r' && end < bytes.size())
            --len;
        const CString line = MultiByteToWide(bytes.data() + start, (int)len, codePage);
        start = next;

        CString f0, f1;
        SplitListFields(line, f0, f1);
        ++list.nLines;
        if (list.nLines == 1) {
            list.strVersion = f0;
            list.bVersionLineEnded = ended;
        } else if (list.nLines == 2) {
            list.bHasUrlLine = true;
            list.strNetDiskUrl = f0;
        } else {
            PackLine pack;
            pack.nType = _wtoi(f0);
            pack.strEntry = f1;
            list.packs.push_back(pack);
        }
    }
    return list;
}

bool IsPlainVersion(const CString& version)
{
    const int n = version.GetLength();
    if (n < 1 || n > 32)
        return false;
    for (int i = 0; i < n; ++i) {
        const wchar_t c = version[i];
        const bool ok = (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') ||
                        c == L'.' || c == L'_';
        if (!ok)
            return false;
    }
    return true;
}

bool IsSafePackEntry(const CString& entry)
{
    if (entry.IsEmpty())
        return false;
    const wchar_t last = entry[entry.GetLength() - 1];
    return last != L'\\' && last != L'/' && IsSafeRelativeName(entry);
}

std::vector<CString> OfferedPacks(const UpdateList& list, const CString& folder)
{
    std::vector<CString> offered;
    for (const PackLine& pack : list.packs) {
        if (offered.size() > kMaxOfferedPacks)
            break;
        if (!IsSafePackEntry(pack.strEntry))
            continue;
        if (pack.nType == 1) {
            offered.push_back(pack.strEntry);
        } else if (pack.nType == 0) {
            CString unpacked = folder + L"\\" + pack.strEntry;
            if (unpacked.Right(4) == L".zip")
                unpacked = unpacked.Left(unpacked.GetLength() - 4);
            if (!PathExists(unpacked))
                offered.push_back(pack.strEntry);
        }
    }
    return offered;
}

bool IsWebAddress(const CString& text)
{
    CString lower = text;
    lower.MakeLower();
    int rest;
    if (lower.Left(7) == L"http://")
        rest = 7;
    else if (lower.Left(8) == L"https://")
        rest = 8;
    else
        return false;
    if (text.GetLength() <= rest || text.GetLength() > 2048 || text[rest] == L'/')
        return false;
    for (int i = 0; i < text.GetLength(); ++i) {
        const wchar_t c = text[i];
        if (c <= 0x20 || c == 0x7F || c == L'"' || c == L'<' || c == L'>' || c == L'\\')
            return false;
    }
    return true;
}

CString EncodeUrlPart(const CString& text)
{
    const std::string utf8 = WideToMultiByte(text.GetString(), text.GetLength(), CP_UTF8);
    CString out;
    for (unsigned char c : utf8) {
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' ||
            c == '.' || c == '_' || c == '~') {
            out += (wchar_t)c;
        } else {
            wchar_t hex[4];
            swprintf(hex, 4, L"%%%02X", c);
            out += hex;
        }
    }
    return out;
}

CString ReadUpdateHost(const CString& presetPath)
{
    if (!FileExists(presetPath))
        return CString();
    CString host = CIniFile(presetPath).GetString(kUpdateHostSection, kUpdateHostKey, L"");
    host.Trim();
    while (!host.IsEmpty() && host[host.GetLength() - 1] == L'/')
        host.Delete(host.GetLength() - 1);
    if (host.IsEmpty())
        return CString();
    if (host.Find(L"://") < 0)
        host = L"http://" + host;
    return IsWebAddress(host) ? host : CString();
}
