#include "view/CodeScanner.h"

CodeScanState g_codeScan;

namespace {

bool Has(const CWordMap* map, const CString& word)
{
    int unused;
    return map && !word.IsEmpty() && map->Lookup(word, unused);
}

bool HasUnit(const ChunkNode* line, wchar_t unit)
{
    if (!line || !line->HoldsItems())
        return false;
    for (const CharItem* i = line->pFirstItem; i; i = i->pNext)
        if (i->ch == unit)
            return true;
    return false;
}

const CharItem* FirstItemOf(const CharItem* c)
{
    if (c->pOwner && c->pOwner->HoldsItems() && c->pOwner->pFirstItem)
        return c->pOwner->pFirstItem;
    while (c->pPrev)
        c = c->pPrev;
    return c;
}

bool IsOneOf(const CharItem* c, const wchar_t* set)
{
    if (!c)
        return false;
    for (; *set; ++set)
        if (c->ch == *set)
            return true;
    return false;
}

CString Lower(const CString& word)
{
    CString low(word);
    for (int i = 0; i < low.GetLength(); ++i) {
        wchar_t ch = low[i];
        if (ch >= L'A' && ch <= L'Z')
            low.SetAt(i, (wchar_t)(ch - L'A' + L'a'));
    }
    return low;
}

int Classify(const CString& word, const CodeWordTables& t)
{
    if (word.IsEmpty())
        return kWordNone;
    CString low = Lower(word);
    if (Has(t.pLiteralWords, low))
        return kWordLiteral;
    if (Has(t.pStatementWords, low))
        return kWordStatement;
    if (Has(t.pTypeWords, low))
        return kWordType;
    if (Has(t.pLibraryWords, low))
        return kWordLibrary;
    if (Has(t.pLearnedVariables, word))
        return kWordLearnedVariable;
    if (Has(t.pLearnedFunctions, word))
        return kWordLearnedFunction;
    return kWordNone;
}

void Learn(CWordMap* map, const CString& word)
{
    if (map && !Has(map, word))
        map->SetAt(word, 0);
}

}  // namespace

bool IsInsideStringLiteral(const CharItem* c)
{
    int quotes = 0;
    for (const CharItem* i = c ? c->pPrev : nullptr; i && i->ch != L'('; i = i->pPrev)
        if (i->ch == L'"')
            ++quotes;
    return (quotes & 1) != 0;
}

bool IsDeclarationLine(const ChunkNode* line, const CWordMap* typeWords)
{
    if (!line || !line->HoldsItems())
        return false;
    const CharItem* i = line->pFirstItem;
    while (i && i->ch < 0x21)
        i = i->pNext;
    CString word;
    while (i && IsCodeWordChar(i->ch)) {
        word += i->ch;
        i = i->pNext;
    }
    return IsOneOf(i, L" *&") && Has(typeWords, word);
}

bool IsFunctionDeclaration(const ChunkNode* line, const CWordMap* typeWords, const CharItem* next)
{
    return next && next->ch == L'(' && IsDeclarationLine(line, typeWords);
}

bool LineHasOpenBrace(const ChunkNode* line) { return HasUnit(line, L'{'); }
bool LineHasCloseBrace(const ChunkNode* line) { return HasUnit(line, L'}'); }

CodeColour ScanCodeChar(CodeScanState& st, const CharItem* c, const CodeWordTables& t)
{
    CodeColour out;
    if (!c)
        return out;
    // Nothing of the line before carries over: a comment or word left open by
    // a line whose end was not scanned (a selected last character) ends here.
    if (!c->pPrev || c->pOwner != st.pLine) {
        st.Reset();
        st.pLine = c->pOwner;
    }

    // A line that begins with non-Latin text (or one blank before it) is a comment
    // but for the words recognised in it, each coloured as a whole; a single
    // slash starts a comment too.
    const CharItem* first = FirstItemOf(c);
    const bool commentLine =
        first->ch > 0xFF || (first->ch < 0x21 && (!first->pNext || first->pNext->ch > 0xFF));
    if ((commentLine && !st.bInWord) || c->ch == L'/')
        st.bInComment = 1;

    if (IsInsideStringLiteral(c)) {
        st.bInString = 1;
        st.bInWord = 0;
    } else {
        st.bInString = 0;
        const CharItem* after = c;     // the character after the collected word
        if (!st.bInWord) {
            CString word;
            if (!c->pPrev || (!IsCodeLetter(c->pPrev->ch) && c->pPrev->ch != L'_')) {
                while (after && IsCodeWordChar(after->ch)) {
                    word += after->ch;
                    after = after->pNext;
                }
            }
            if (!word.IsEmpty()) {
                const ChunkNode* line = c->pOwner;
                if (IsFunctionDeclaration(line, t.pTypeWords, after)) {
                    Learn(t.pLearnedFunctions, word);
                } else if (IsOneOf(c->pPrev, L" ,*&")
                           && (IsOneOf(after, L"=)[ ")
                               || (IsOneOf(after, L",;")
                                   && (st.nLastWordClass == kWordType
                                       || IsDeclarationLine(line, t.pTypeWords))))) {
                    Learn(t.pLearnedVariables, word);
                }
            }
            int cls = Classify(word, t);
            if (cls != kWordNone) {
                st.nLastWordClass = cls;
                st.bInWord = 1;
                st.bInComment = 0;
            }
        }
        if (!IsCodeLetter(c->ch) && !(after && (IsCodeDigit(after->ch) || after->ch == L'_'))) {
            st.bInWord = 0;
            if (commentLine)
                st.bInComment = 1;
        }
    }

    if (st.bInString) {
        out.tone = CodeTone::String;
    } else if (st.bInComment) {
        out.tone = CodeTone::Comment;
    } else if (st.bInWord) {
        out.tone = CodeTone::Word;
        out.nClass = st.nLastWordClass;
        out.bBold = true;
    } else if (c->ch == L'(' || c->ch == L')') {
        out.tone = CodeTone::Paren;
        out.bBold = true;
    } else if (c->ch == L'{' || c->ch == L'}') {
        out.tone = CodeTone::Brace;
        out.bBold = true;
    } else if (IsCodeDigit(c->ch)) {
        out.tone = CodeTone::Digit;
    }

    if (!c->pNext || c->pNext->ch == kLineEnd || c->pNext->ch == 8) {
        st.bInWord = 0;
        st.bInComment = 0;
    }
    return out;
}

bool CaretInsideParens(const CharItem* c, const CharItem* caret)
{
    if (!c || !caret)
        return false;
    if (c->ch == L'(') {
        for (const CharItem* i = c; i; i = i->pNext) {
            if (i == caret)
                return true;
            if (i->ch == L')')
                return false;
        }
        return false;
    }
    if (c->ch == L')') {
        for (const CharItem* i = c; i; i = i->pPrev) {
            if (i != c && i->ch == L'(')
                return false;
            if (i == caret)
                return true;
        }
    }
    return false;
}

// Walks from the caret's line towards the brace's line, counting the pairs in
// between: the brace is lit when every pair met is closed.
bool CaretInsideBraceOpen(const CharItem* c, const ChunkNode* cur)
{
    if (!c || !cur)
        return false;
    const ChunkNode* b = c->pOwner;
    if (!b || cur->y < b->y)
        return false;
    if (LineHasOpenBrace(cur))
        return cur == b;
    int opens = 0, closes = 0;
    for (const ChunkNode* l = cur->pPrev; l && l != b; l = l->pPrev) {
        if (LineHasOpenBrace(l)) {
            if (opens == closes)
                return false;
            ++opens;
        }
        if (LineHasCloseBrace(l))
            ++closes;
    }
    return opens == closes;
}

bool CaretInsideBraceClose(const CharItem* c, const ChunkNode* cur)
{
    if (!c || !cur)
        return false;
    const ChunkNode* b = c->pOwner;
    if (!b || cur->y > b->y)
        return false;
    if (LineHasCloseBrace(cur))
        return cur == b;
    int closes = 0, opens = 0;
    for (const ChunkNode* l = cur->pNext; l && l != b; l = l->pNext) {
        if (LineHasCloseBrace(l)) {
            if (closes == opens)
                return false;
            ++closes;
        }
        if (LineHasOpenBrace(l))
            ++opens;
    }
    return closes == opens;
}
