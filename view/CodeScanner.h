// Colouring of code lines, free of windows: the scanner walks the characters of
// a code line left to right as they are painted, learns declared names, and
// tells the painter which colour (and weight) each character gets. The caret
// pair tests decide which parenthesis or brace pair is lit.
#pragma once

#include <windows.h>

#include "framework/CString.h"
#include "view/ArticleModel.h"
#include "view/WordTables.h"

// The six word sets of one article pane (the pane owns them).
struct CodeWordTables {
    CWordMap* pLearnedFunctions = nullptr;
    CWordMap* pLearnedVariables = nullptr;
    CWordMap* pLiteralWords = nullptr;
    CWordMap* pStatementWords = nullptr;
    CWordMap* pTypeWords = nullptr;
    CWordMap* pLibraryWords = nullptr;
};

// Word classes of the scanner.
enum : int {
    kWordNone = 0,
    kWordStatement = 1,
    kWordType = 2,
    kWordLibrary = 3,
    kWordLiteral = 4,
    kWordLearnedVariable = 5,
    kWordLearnedFunction = 6,
};

// What a code character is painted as.
enum class CodeTone {
    String,     // clrYinhao
    Comment,    // clrZhuwen
    Word,       // the word class colour, bold
    Paren,      // clrXiaokuohao, bold
    Brace,      // clrDakuohao, bold
    Digit,      // clrDigit
    Plain,      // clrCText
};

struct CodeColour {
    CodeTone tone = CodeTone::Plain;
    int nClass = kWordNone;     // for CodeTone::Word
    bool bBold = false;
};

// Scanner state. One instance is shared by both panes; it carries over from
// one character to the next of the same line and starts afresh on every line.
struct CodeScanState {
    int bInWord = 0;
    int bInString = 0;
    int bInComment = 0;
    int nLastWordClass = kWordNone;
    const ChunkNode* pLine = nullptr;   // the line the state belongs to

    void Reset() { *this = CodeScanState(); }
};

extern CodeScanState g_codeScan;

inline bool IsCodeLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }
inline bool IsCodeDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
inline bool IsCodeWordChar(wchar_t c) { return IsCodeLetter(c) || IsCodeDigit(c) || c == L'_'; }

// Scans one unselected character of a code line, learning names on the way,
// and gives its colour. Moving to another line starts a fresh state.
CodeColour ScanCodeChar(CodeScanState& state, const CharItem* c, const CodeWordTables& tables);

// Odd number of double quotes before c on its line, counted back to the nearest "(".
bool IsInsideStringLiteral(const CharItem* c);
// After blanks and controls, the line begins with a type word followed by " ", "*" or "&".
bool IsDeclarationLine(const ChunkNode* line, const CWordMap* typeWords);
// A declaration line whose word is followed by next ("(" makes a function).
bool IsFunctionDeclaration(const ChunkNode* line, const CWordMap* typeWords, const CharItem* next);
bool LineHasOpenBrace(const ChunkNode* line);
bool LineHasCloseBrace(const ChunkNode* line);

// Caret pair tests: caret is the item the caret stands in front of, curLine its line.
bool CaretInsideParens(const CharItem* c, const CharItem* caret);
bool CaretInsideBraceOpen(const CharItem* c, const ChunkNode* curLine);
bool CaretInsideBraceClose(const CharItem* c, const ChunkNode* curLine);
