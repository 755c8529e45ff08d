// The word tables of an article pane that code colouring reads: four fixed
// tables of keywords and two tables of names learned while code is painted.
// Window-free.
#pragma once

#include <windows.h>

#include "framework/CString.h"
#include "framework/Collections.h"

// A set of words; only presence counts, the value is always 0.
typedef CMap<CString, const wchar_t*, int, int> CWordMap;

// Hash-table sizes of the six tables.
const UINT kLearnedFunctionsHash = 101;
const UINT kLearnedVariablesHash = 101;
const UINT kLiteralWordsHash = 31;
const UINT kStatementWordsHash = 101;
const UINT kTypeWordsHash = 101;
const UINT kLibraryWordsHash = 201;

// The fixed word lists as they are inserted (a repeated word collapses to one entry).
extern const wchar_t* const kLiteralWordList[];
extern const int kLiteralWordCount;
extern const wchar_t* const kStatementWordList[];
extern const int kStatementWordCount;
extern const wchar_t* const kTypeWordList[];
extern const int kTypeWordCount;
extern const wchar_t* const kLibraryWordList[];
extern const int kLibraryWordCount;

// Empties the six tables, gives each a new hash table of its size and fills the
// four fixed ones; the two learned tables start empty.
void BuildWordTables(CWordMap& learnedFunctions, CWordMap& learnedVariables,
                     CWordMap& literalWords, CWordMap& statementWords,
                     CWordMap& typeWords, CWordMap& libraryWords);
