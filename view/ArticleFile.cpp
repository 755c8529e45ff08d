// Opening, loading, starting and saving article files.
#include "view/ArticleModel.h"

#include <cstdlib>
#include "app/DisplaySettings.h"
#include "framework/FileUtil.h"
#include "framework/MessageBox.h"
#include "view/ArticleCoder.h"
#include "xml/XmlDocument.h"

namespace {

const wchar_t kMsgCannotOpen[] = L"文件不存在或正在使用中";
const wchar_t kMsgNotArticle[] = L"不是Lumivell-Velquor所需XML格式！请删掉XML文件,重新建立！";
const wchar_t kMsgNotFinal[] = L"XML有不是最终数据！";

CString ReadAttr(CXmlDocument& doc, const wchar_t* name)
{
    CString value;
    doc.ReadAttribute(value, name);
    return value;
}

void WriteIntAttr(CXmlDocument& doc, const wchar_t* name, int value)
{
    doc.WriteAttributeIntAt(doc.iCursorElement, name, value);
}

// The file's units up to the first zero unit (an odd last byte is dropped).
CString UnitsOfFile(const std::string& bytes)
{
    size_t units = bytes.size() / 2;
    size_t n = 0;
    while (n < units && (bytes[2 * n] || bytes[2 * n + 1]))
        ++n;
    CString text;
    if (n) {
        wchar_t* dst = text.GetBufferSetLength((int)n);
        for (size_t i = 0; i < n; ++i)
            dst[i] = (wchar_t)((unsigned char)bytes[2 * i] | ((unsigned char)bytes[2 * i + 1] << 8));
        text.ReleaseBuffer((int)n);
    }
    return text;
}

// At most this many UTF-8 bytes of a file name go into its backup's name, so
// the number, time and path hash added still fit a file system's 255.
const int kBackupStemBytes = 180;

int Utf8Length(const CString& text)
{
    return WideCharToMultiByte(CP_UTF8, 0, text.GetString(), text.GetLength(), nullptr, 0, nullptr, nullptr);
}

} // namespace

// ---------------------------------------------------------------- opening

void CArticleModel::OpenArticle(const CString& folder, const CString& fullPath)
{
    m_bLoadedDamaged = false;
    m_strFolder = folder;
    m_strPath = fullPath;
    if (!FileExists(fullPath)) {
        NewArticle();
    } else {
        LoadArticle(folder, fullPath);
        if (m_pRoot && (m_pRoot->width < DisplaySettings.nPageWidth - 100 ||
                        m_pRoot->width > DisplaySettings.nPageWidth + 100))
            ReflowToPageWidth();
    }
    ScrollToStart();
}

void CArticleModel::BuildEmptyArticle()
{
    m_nVersion = 2;
    m_pRoot = CreateRootNode();
    ChunkNode* para = CreateNode(kNodeContainer, 2, m_pRoot->nTextSize, m_pRoot->y, m_pRoot->x,
                                 m_nTextSize, m_nTextSize, nullptr, nullptr, nullptr, nullptr,
                                 m_pRoot);
    ChunkNode* line = CreateNode(kNodeLine, 3, para->nTextSize, para->y, para->x, m_nTextSize,
                                 m_nTextSize, nullptr, nullptr, nullptr, nullptr, para);
    const wchar_t end[2] = {kLineEnd, 0};
    m_pCurLine = line;
    m_pCurItem = CreateCharItem(end, nullptr, nullptr, line);
}

void CArticleModel::NewArticle()
{
    if (!m_vecNodes.empty())
        CloseArticle();
    BuildEmptyArticle();
    if (!bImporting) {
        UpdateCaret();
        InvalidateView(true);
    }
    EnableView(true);
}

void CArticleModel::MarkLoadedWithErrors()
{
    m_bLoadedDamaged = true;
}

bool CArticleModel::NeedsBackupBeforeSave() const
{
    return m_bLoadedDamaged;
}

bool CArticleModel::LoadArticle(const CString& folder, const CString& fullPath)
{
    if (!m_vecNodes.empty())
        CloseArticle();
    m_bLoadedDamaged = false;
    // Whatever goes wrong, the pane gets an empty article to stand on, and the
    // file is kept safe by a backup before anything overwrites it.
    auto fail = [&](const wchar_t* message) {
        NewArticle();
        MarkLoadedWithErrors();
        AfxMessageBox(message, MB_OK);
        return false;
    };

    std::string bytes;
    if (!ReadWholeFile(fullPath, bytes))
        return fail(kMsgCannotOpen);
    CString xml;
    int decoded = DecodeArticleText(UnitsOfFile(bytes), xml);
    bytes.clear();
    CXmlDocument doc;
    bool parsed = doc.LoadFromText(xml);
    xml.Empty();

    if (!doc.FindNextElement(L"Page"))
        return fail(kMsgNotArticle);
    CString error = ReadAttr(doc, L"Count_Error");
    if (!error.IsEmpty() && error != L"0" && ReadAttr(doc, L"Count_Ensure1").IsEmpty())
        return fail(kMsgNotFinal);
    CString version = ReadAttr(doc, L"Version");
    CString columns = ReadAttr(doc, L"ColumnDis");
    if (!doc.EnterElement() || !doc.FindNextElement(L"Body"))
        return fail(kMsgNotArticle);
    if (!parsed || decoded < 0)
        MarkLoadedWithErrors();
    m_nVersion = version.IsEmpty() ? 1 : _wtoi(version);
    m_nColumnDis = columns.IsEmpty() ? 50 : _wtoi(columns);

    ReadAttr(doc, L"Type");     // the root's type word says nothing the children don't
    m_bReadLossy = false;
    m_pRoot = CreateRootNode();
    ChunkNode* root = m_pRoot;
    if (doc.EnterElement()) {
        ChunkNode* prev = nullptr;
        while (doc.FindNextElement(L"Chunk")) {
            int stacked = 0;
            CString action;
            int kind = ReadChunkKind(doc, stacked, action);
            CString face = ReadAttr(doc, L"FontName");
            if (kind == kNodeContainer) {
                CString inc = ReadAttr(doc, L"Inc");
                if (ChunkNode* para = ReadChunk(doc, root, prev, 1)) {
                    SetFontFace(para, face);
                    if (!inc.IsEmpty())
                        para->nInc = (WORD)_wtoi(inc);
                    prev = para;
                }
            } else {
                // A line or block on its own gets a paragraph of its own.
                ChunkNode* para = CreateNode(kNodeContainer, 2, root->nTextSize, root->y, root->x,
                                             m_nTextSize, m_nTextSize, nullptr, prev, nullptr,
                                             nullptr, root);
                SetFontFace(para, face);
                if (ReadChunk(doc, para, nullptr, 0))
                    prev = para;
                else
                    DeleteNode(para);   // a block kind that is not kept
            }
        }
        doc.LeaveElement();
    }
    // A file whose blocks are dropped or whose nesting is cut would lose them on
    // the next save: keep a copy first.
    if (m_bReadLossy)
        MarkLoadedWithErrors();

    NormalizeTree();
    m_pCurLine = FirstLine(root);
    m_pCurItem = m_pCurLine ? m_pCurLine->pFirstItem : nullptr;
    Relayout(root, 0);
    UpdateGeometry(root, 0);
    if (!bImporting) {
        UpdateCaret();
        InvalidateView(true);
    }
    EnableView(true);
    return true;
}

int CArticleModel::ReadChunkKind(CXmlDocument& doc, int& stacked, CString& action)
{
    CString type = ReadAttr(doc, L"Type");
    stacked = (!type.IsEmpty() && type[0] == L'C') ? 1 : 0;
    if (!type.IsEmpty()) {
        action = ReadAttr(doc, L"Action");
        return action == L"United" ? kNodeLine : kNodeContainer;
    }
    action.Empty();
    CString pot = ReadAttr(doc, L"PotType");
    if (pot == L"1")
        return kNodeGlyph;
    if (pot == L"2")
        return kNodeImage;
    if (pot == L"11")
        return kNodeLegacy;
    return kNodeLine;   // no PotType, or one of no known kind: its text is kept
}

ChunkNode* CArticleModel::MakeReadNode(WORD type, ChunkNode* parent, ChunkNode* prev, int stacked)
{
    WORD level = (WORD)(parent->nLevel + 1);
    if (stacked)
        return CreateNode(type, level, parent->nTextSize, parent->y, parent->x, m_nTextSize,
                          m_nTextSize, nullptr, prev, nullptr, nullptr, parent);
    return CreateNode(type, level, parent->nTextSize, parent->y, parent->right, m_nTextSize,
                      m_nTextSize, nullptr, nullptr, prev, nullptr, parent);
}

void CArticleModel::ReadLineChunk(CXmlDocument& doc, ChunkNode* line, bool united)
{
    CString size, code, inc, text, frame;
    if (united) {
        if (doc.EnterElement()) {
            CharItem* last = nullptr;
            while (doc.FindNextElement(L"Chunk")) {
                doc.ReadContent(text);
                last = ParseRunText(text, ReadAttr(doc, L"FrameStyle"), line, last);
                size = ReadAttr(doc, L"Size");
                code = ReadAttr(doc, L"Code");
                inc = ReadAttr(doc, L"Inc");
            }
            doc.LeaveElement();
        }
    } else {
        size = ReadAttr(doc, L"Size");
        code = ReadAttr(doc, L"Code");
        inc = ReadAttr(doc, L"Inc");
        doc.ReadContent(text);
        ParseRunText(text, ReadAttr(doc, L"FrameStyle"), line, nullptr);
    }
    int textSize = size.IsEmpty() ? 0 : _wtoi(size);
    line->nTextSize = textSize > 0 ? textSize : m_nTextSize;
    if (!code.IsEmpty())
        line->nCode = _wtoi(code);
    if (!inc.IsEmpty())
        line->nInc = (WORD)_wtoi(inc);
}

// Reads the Chunk at the cursor and everything inside it. Nested Chunks are read
// with a stack of our own rather than by recursion, and containers deeper than
// kMaxLevel are read into the deepest container allowed, so a hostile file can
// neither exhaust the stack nor build a tree the other walks cannot handle.
ChunkNode* CArticleModel::ReadChunk(CXmlDocument& doc, ChunkNode* parent, ChunkNode* previous,
                                    int stacked)
{
    if (!parent) {
        ReportError(1);
        return nullptr;
    }
    struct Open {
        ChunkNode* parent;  // where the children go
        ChunkNode* prev;    // the last node made there
        int stacked;
        bool flattened;     // shares parent with the level around it
    };
    std::vector<Open> open;

    // Reads the Chunk at the cursor; enters it (and pushes a level) when it has children.
    auto readHere = [&](ChunkNode* par, ChunkNode* prev, int st) -> ChunkNode* {
        int childStacked = 0;
        CString action;
        int kind = ReadChunkKind(doc, childStacked, action);
        if (kind == kNodeContainer) {
            if (par->nLevel + 1 >= kMaxLevel) {
                m_bReadLossy = true;
                if (doc.EnterElement())
                    open.push_back({par, prev, st, true});
                return nullptr;
            }
            ChunkNode* node = MakeReadNode(kNodeContainer, par, prev, st);
            if (doc.EnterElement())
                open.push_back({node, nullptr, childStacked, false});
            return node;
        }
        if (kind == kNodeLine) {
            ChunkNode* line = MakeReadNode(kNodeLine, par, prev, st);
            ReadLineChunk(doc, line, action == L"United");
            return line;
        }
        m_bReadLossy = true;
        return nullptr;     // blocks 8, 9 and 18 are not kept
    };

    ChunkNode* result = readHere(parent, previous, stacked);
    while (!open.empty()) {
        size_t top = open.size() - 1;
        if (doc.FindNextElement(L"Chunk")) {
            Open level = open[top];
            // A Chunk that made nothing leaves the next one behind the last node made.
            if (ChunkNode* made = readHere(level.parent, level.prev, level.stacked))
                open[top].prev = made;
        } else {
            Open done = open.back();
            open.pop_back();
            doc.LeaveElement();
            if (done.flattened) {
                if (!open.empty())
                    open.back().prev = done.prev;
                else if (done.prev != previous)
                    result = done.prev;
            }
        }
    }
    return result;
}

// After a load every container holds a line and every line ends with a line end,
// whatever the file held.
void CArticleModel::NormalizeTree()
{
    if (!m_pRoot)
        return;
    if (!m_pRoot->pFirstChild)
        CreateNode(kNodeContainer, 2, m_pRoot->nTextSize, m_pRoot->y, m_pRoot->x, m_nTextSize,
                   m_nTextSize, nullptr, nullptr, nullptr, nullptr, m_pRoot);
    const wchar_t end[2] = {kLineEnd, 0};
    std::vector<ChunkNode*> pending{m_pRoot};
    while (!pending.empty()) {
        ChunkNode* n = pending.back();
        pending.pop_back();
        if (n->IsContainer()) {
            if (!n->pFirstChild) {
                CreateNode(kNodeLine, (WORD)(n->nLevel + 1), n->nTextSize, n->y, n->x,
                           m_nTextSize, m_nTextSize, nullptr, nullptr, nullptr, nullptr, n);
                n->pFirstChild->nCode = n->nCode;
            }
            for (ChunkNode* c = n->pFirstChild; c; c = c->WalkNext())
                pending.push_back(c);
        } else if (n->IsLine()) {
            // Only the last unit 13 is the line end; one inside the line is a
            // character the line holds (code lines keep them).
            CharItem* last = LastItem(n);
            if (!last || last->ch != kLineEnd)
                CreateCharItem(end, last, nullptr, n);
        }
    }
}

// ---------------------------------------------------------------- saving

CString CArticleModel::BackupPathFor(const CString& fullPath)
{
    WIN32_FILE_ATTRIBUTE_DATA info;
    if (!GetFileAttributesExW(fullPath, GetFileExInfoStandard, &info))
        return CString();
    FILETIME local;
    SYSTEMTIME t;
    FileTimeToLocalFileTime(&info.ftLastWriteTime, &local);
    FileTimeToSystemTime(&local, &t);
    CString name = fullPath;
    int slash = name.ReverseFind(L'\\');
    if (name.ReverseFind(L'/') > slash)
        slash = name.ReverseFind(L'/');
    name = name.Mid(slash + 1);
    CString ext;
    int dot = name.ReverseFind(L'.');
    if (dot > 0) {
        ext = name.Mid(dot);
        name = name.Left(dot);
    }
    while (Utf8Length(name) > kBackupStemBytes) {
        int keep = name.GetLength() - 1;
        if (keep > 0 && IS_HIGH_SURROGATE(name[keep - 1]))
            --keep;
        name = name.Left(keep);
    }
    // Files of one name and time in other folders (numbering starts again in
    // every folder) each get a backup of their own.
    CString stamp;
    stamp.Format(L"_%04u%02u%02u-%02u%02u%02u_%08lx", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                 t.wSecond, (unsigned long)PathHash(fullPath));
    return g_strAppFolder + L"control\\Backup\\" + name + stamp + ext;
}

void CArticleModel::AppendLineChunk(ChunkNode* line, CXmlDocument& doc)
{
    int runs = CollectRunStarts(line);
    CharItem* lineEnd = LastItem(line);
    CharItem* first = line->pFirstItem;
    // A line that lost its line end still keeps every character.
    CharItem* textEnd = (lineEnd && lineEnd->ch == kLineEnd) ? lineEnd : nullptr;
    doc.AppendElement(L"Chunk");
    if (runs <= 1) {
        if (line->nTextSize != m_nTextSize)
            WriteIntAttr(doc, L"Size", line->nTextSize);
        if (first && first->nMark)
            WriteIntAttr(doc, L"FrameStyle", first->nMark);
        if (line->nCode)
            WriteIntAttr(doc, L"Code", line->nCode);
        CString text = first ? RunText(first, textEnd, nullptr) : CString();
        text += kLineEnd;
        doc.WriteContentAt(doc.iCursorElement, text);
        return;
    }
    CString type;
    type.Format(L"R%d", runs);
    doc.WriteAttributeAt(doc.iCursorElement, L"Type", type);
    doc.WriteAttributeAt(doc.iCursorElement, L"Action", CString(L"United"));
    if (line->nLine)
        WriteIntAttr(doc, L"Line", line->nLine);
    if (line->nManner != 9)
        WriteIntAttr(doc, L"Manner", line->nManner);
    doc.EnterElement();
    std::vector<CharItem*> starts(m_vecRunStarts);
    for (int r = 0; r < runs; ++r) {
        CharItem* a = starts[r];
        bool last = r + 1 == runs;
        doc.AppendElement(L"Chunk");
        if (line->nTextSize != m_nTextSize)
            WriteIntAttr(doc, L"Size", line->nTextSize);
        if (line->nCode)
            WriteIntAttr(doc, L"Code", line->nCode);
        if (line->nInc)
            WriteIntAttr(doc, L"Inc", line->nInc);
        if (a->nMark)
            WriteIntAttr(doc, L"FrameStyle", a->nMark);
        // Each run is an element of its own: nothing follows its text.
        CString text = RunText(a, last ? textEnd : starts[r + 1], nullptr);
        if (last)
            text += kLineEnd;
        doc.WriteContentAt(doc.iCursorElement, text);
    }
    doc.LeaveElement();
}

// Appends the Chunk of node and of everything inside it; containers are walked with
// a stack of our own.
void CArticleModel::WriteChunk(ChunkNode* node, CXmlDocument& doc)
{
    std::vector<ChunkNode*> open;   // per entered container: its next child to write
    auto writeHere = [&](ChunkNode* n) {
        if (n->IsContainer()) {
            doc.AppendElement(L"Chunk");
            doc.WriteAttributeAt(doc.iCursorElement, L"Type", TypeWord(n));
            if (n->nLine)
                WriteIntAttr(doc, L"Line", n->nLine);
            doc.EnterElement();
            open.push_back(n->pFirstChild);
        } else if (n->IsLine()) {
            AppendLineChunk(n, doc);
        }
        // glyph, image and legacy blocks are not written
    };
    if (!node)
        return;
    writeHere(node);
    while (!open.empty()) {
        ChunkNode* c = open.back();
        if (!c) {
            open.pop_back();
            doc.LeaveElement();
            continue;
        }
        open.back() = c->WalkNext();
        writeHere(c);
    }
}

bool CArticleModel::BuildArticleFile(std::string& bytes)
{
    bytes.clear();
    if (m_vecNodes.empty() || !m_vecNodes[0])
        return false;   // no article open
    m_nCountInput = 0;
    CString stored;
    {
        CXmlDocument doc;
        doc.AppendElement(L"Page");
        int page = doc.iCursorElement;
        if (m_nVersion != 1)
            WriteIntAttr(doc, L"Version", m_nVersion);
        if (m_nColumnDis != 50)
            WriteIntAttr(doc, L"ColumnDis", m_nColumnDis);
        doc.EnterElement();
        ChunkNode* root = m_vecNodes[0];
        doc.AppendElement(L"Body");
        doc.WriteAttributeAt(doc.iCursorElement, L"Type", TypeWord(root));
        WriteIntAttr(doc, L"Right", root->x);
        WriteIntAttr(doc, L"Top", root->y);
        WriteIntAttr(doc, L"Width", root->width);
        WriteIntAttr(doc, L"Height", root->height);
        if (root->nLine)
            WriteIntAttr(doc, L"Line", root->nLine);
        doc.EnterElement();
        for (ChunkNode* para = root->pFirstChild; para; para = para->WalkNext()) {
            doc.AppendElement(L"Chunk");
            doc.WriteAttributeAt(doc.iCursorElement, L"Type", TypeWord(para));
            doc.EnterElement();
            if (para->IsContainer())
                for (ChunkNode* c = para->pFirstChild; c; c = c->WalkNext())
                    WriteChunk(c, doc);
            doc.LeaveElement();
        }
        doc.LeaveElement();
        doc.LeaveElement();
        doc.WriteAttributeIntAt(page, L"Count_Input", m_nCountInput);
        if (EncodeArticleText(doc.GetDocumentText(), stored) < 0)
            return false;   // the coder has told the user
    }

    bytes.resize((size_t)stored.GetLength() * 2);
    for (int i = 0; i < stored.GetLength(); ++i) {
        bytes[2 * i] = (char)(stored[i] & 0xFF);
        bytes[2 * i + 1] = (char)(stored[i] >> 8);
    }
    return true;
}

bool CArticleModel::SaveArticle(const CString& /*folder*/, const CString& fullPath)
{
    // A new article nobody typed in makes no file; an article emptied by its
    // user is written empty, or the old text would come back. With no article
    // open there is nothing to write.
    if (m_vecNodes.empty() || (IsArticleEmpty() && !FileExists(fullPath)))
        return true;
    std::string bytes;
    if (!BuildArticleFile(bytes))
        return false;
    CString error;
    bool ok = true;
    if (m_bLoadedDamaged && FileExists(fullPath)) {
        // The text did not load cleanly: keep the file's old content before
        // replacing it, wherever a rename has taken it since.
        CString backup = BackupPathFor(fullPath);
        if (backup.IsEmpty() || !BackupFileKeepingOthers(fullPath, backup)) {
            ok = false;
            error = L"无法备份原文件到 " + backup;
        }
    }
    if (ok)
        ok = WriteFileReplacing(fullPath, bytes.data(), bytes.size(), &error);
    if (!ok) {
        AfxMessageBox(L"文章保存失败：" + fullPath + L"\r\n" + error, MB_OK | MB_ICONERROR);
        return false;
    }
    m_bLoadedDamaged = false;
    return true;
}
