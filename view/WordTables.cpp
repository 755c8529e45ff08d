#include "view/WordTables.h"

const wchar_t* const kLiteralWordList[] = {L"true", L"false", L"null", L"rgb"};
const int kLiteralWordCount = (int)(sizeof(kLiteralWordList) / sizeof(kLiteralWordList[0]));

const wchar_t* const kStatementWordList[] = {
    L"if", L"else", L"goto", L"for", L"while", L"do", L"continue", L"break", L"switch",
    L"case", L"break", L"case", L"default", L"return", L"try", L"catch", L"throw", L"throws",
    L"class", L"protected", L"public", L"abstract", L"extends", L"final", L"implements",
    L"interface", L"native", L"strictfp", L"synchronized", L"transient", L"import",
    L"package", L"super", L"this",
};
const int kStatementWordCount = (int)(sizeof(kStatementWordList) / sizeof(kStatementWordList[0]));

const wchar_t* const kTypeWordList[] = {
    L"int", L"char", L"float", L"double", L"long", L"short", L"void", L"union", L"unsigned",
    L"struct", L"enum", L"unsigned", L"signed", L"boolean", L"byte", L"bool", L"BOOL", L"auto",
    L"extern", L"register", L"static", L"const", L"sizeof", L"typedef", L"volatile",
    L"cstring", L"string", L"bstr", L"colorref", L"dword", L"lparam", L"lpcstr", L"lpctstr",
    L"lptstr", L"lpvoid", L"lresult", L"word", L"wparam", L"position", L"lpcrect", L"crect",
    L"cfile", L"_variant_t", L"cpoint", L"cview", L"ctreeview", L"cscrollview", L"cformview",
    L"chtmlview",
};
const int kTypeWordCount = (int)(sizeof(kTypeWordList) / sizeof(kTypeWordList[0]));

const wchar_t* const kLibraryWordList[] = {
    L"main", L"abort", L"abs", L"abort", L"assert", L"atof", L"atoi", L"atol", L"close",
    L"_close", L"clrscr", L"cos", L"fclose", L"fprintf", L"fputc", L"fputchar", L"free",
    L"fseek", L"fwrite", L"getc", L"getch", L"gets", L"malloc", L"memccpy", L"memchr",
    L"memcpy", L"memmove", L"memset", L"printf", L"putc", L"putch", L"putchar", L"qsort",
    L"rand", L"random", L"randomize", L"read", L"realloc", L"rectangle", L"remove", L"rename",
    L"scanf", L"randomize", L"signal", L"sin", L"sleep", L"srand", L"sscanf", L"sqrt",
    L"stpcpy", L"strcat", L"strchr", L"strcmp", L"strcmpi", L"strcpy", L"strncpy", L"swap",
    L"system", L"tan", L"tanh", L"time", L"toupper", L"tolower", L"ultoa", L"unlock",
    L"unlink", L"window", L"write",
};
const int kLibraryWordCount = (int)(sizeof(kLibraryWordList) / sizeof(kLibraryWordList[0]));

static void Prepare(CWordMap& map, UINT hashSize)
{
    map.RemoveAll();
    map.InitHashTable(hashSize);
}

static void Fill(CWordMap& map, UINT hashSize, const wchar_t* const* words, int count)
{
    Prepare(map, hashSize);
    for (int i = 0; i < count; ++i)
        map.SetAt(words[i], 0);
}

void BuildWordTables(CWordMap& learnedFunctions, CWordMap& learnedVariables,
                     CWordMap& literalWords, CWordMap& statementWords,
                     CWordMap& typeWords, CWordMap& libraryWords)
{
    Prepare(learnedFunctions, kLearnedFunctionsHash);
    Prepare(learnedVariables, kLearnedVariablesHash);
    Fill(literalWords, kLiteralWordsHash, kLiteralWordList, kLiteralWordCount);
    Fill(statementWords, kStatementWordsHash, kStatementWordList, kStatementWordCount);
    Fill(typeWords, kTypeWordsHash, kTypeWordList, kTypeWordCount);
    Fill(libraryWords, kLibraryWordsHash, kLibraryWordList, kLibraryWordCount);
}
