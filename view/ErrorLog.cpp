// The error log of the article pane: one line per internal error, appended to
// "control\ErrorLog.txt" beside the program.
#include "view/ArticleModel.h"

#include "app/DisplaySettings.h"
#include "framework/FileUtil.h"
#include "framework/MessageBox.h"

CString CArticleModel::ErrorLogPath() const
{
    if (!m_strLogPath.IsEmpty())
        return m_strLogPath;
    return g_strAppFolder + L"control\\ErrorLog.txt";
}

int CArticleModel::ReportError(int code)
{
    const wchar_t* words;
    switch (code) {
    case 1: words = L"Chunk等于NULL"; break;
    case 2: words = L"new操作失败"; break;
    case 3: words = L"malloc操作失败"; break;
    default: words = L"未知"; break;
    }
    CString entry = m_strPath + L"错误类型：" + words + L"\r\n";

    CString path = ErrorLogPath();
    int slash = path.ReverseFind(L'\\');
    if (slash > 0)
        CreateFolderTree(path.Left(slash));
    HANDLE file = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        // UTF-16LE units, two bytes each, no byte-order mark.
        std::string bytes;
        for (int i = 0; i < entry.GetLength(); ++i) {
            bytes += (char)(entry[i] & 0xFF);
            bytes += (char)(entry[i] >> 8);
        }
        SetFilePointer(file, 0, nullptr, FILE_END);
        DWORD written = 0;
        WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
        CloseHandle(file);
    }

    if (code >= 1 && code <= 3 && !AfxIsMessageBoxOpen()) {
        // A report raised while a box is up (from a paint behind it, say) only goes to
        // the log: one box, one quit.
        AfxMessageBox(L"程序发生异常，查看错误日志并联系管理员", MB_OKCANCEL);
        OnFatalError();
    }
    return 1;
}
