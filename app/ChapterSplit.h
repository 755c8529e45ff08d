// Chapter detection in an imported novel and the plan of library items it
// becomes: a short text is one article, a long one a book folder of chapter
// articles found by their title lines, or else by bare numbers, Roman
// numerals or fixed-length pieces; a chapter that is still too long becomes
// a folder of parts. Window-free: the tree view carries the plan out.
//
// Positions are indexes into the text, -1 for "not found"; a line is what
// lies between two line feeds, a carriage return before the line feed
// belonging to the line.
#pragma once
#include <vector>
#include "framework/CString.h"

const int kOneArticleLimit = 20000;   // shorter: one article; a longer chapter: parts
const int kPartLength = 10000;        // least length of a part of a long chapter
const int kPieceLength = 9000;        // least length of a fixed-length piece
const int kMaxTitleChars = 80;        // a title is cut to this many characters in a name
// Longest article a part or piece makes (besides a last line feed and the
// carriage return of a cut): only a line longer than this alone is cut
// inside, between two characters. An article costs about a hundred bytes
// of memory per character.
const int kMaxArticleChars = 100000;

// Start of the line that holds pos (0 for the first line).
int GetLineStart(int pos, const CString& text);
// Index after the first line feed at or after start; the text's length when
// start is -1 or there is none.
int GetNextLineStart(int start, const CString& text);
// The trimmed line around pos, or "" when it cannot be a title line: its line
// feed must lie within 100 characters from pos, its start within 100 before.
CString GetTitleLine(int pos, const CString& text);
// 0 when the line at pos can be a chapter title, 1 otherwise (blank, or with
// sentence punctuation in it).
int IsNotTitleLine(int pos, const CString& text);
// Line start of the first title line at or after start that holds pattern and
// is not followed within 40 characters by another such line (a table of
// contents); -1 when there is none. An empty pattern matches every line.
int FindNextTitle(int start, const CString& pattern, const CString& text);
// Line start of the first title line holding pattern, or -1; *next (0 on the
// call) receives where the search for the second title resumes, past a table
// of contents whose titles lie closer than 100 characters.
int FindFirstTitle(int* next, const CString& pattern, const CString& text);
// Roman numeral of n modulo 1000 ("" for 0).
void FormatRoman(int n, CString* out);

// Which built-in title kind the text uses: its marker prefix ("第", "卷",
// "卷之", "CHAPTER"), or -1 and an untouched marker when none matches.
int DetectTitleKind(const CString& text, CString* marker);

// One library item of an import. Names are head + title + tail so that the
// title alone can be shortened to fit a path.
struct ImportStep {
    enum Kind {
        kFolder,      // a folder item, selected: later items go into it
        kArticle,     // an article item holding text[start, end)
        kEndFolder,   // back to the folder that was selected before the last kFolder
    };
    Kind kind = kArticle;
    CString head;     // "0007_", "0007", "00003" or ""
    CString title;
    CString tail;     // ".xml", "_0002.xml" or "" for folders
    int start = 0;
    int end = 0;
    CString Name() const { return head + title + tail; }
};
using ImportPlan = std::vector<ImportStep>;

// A chapter title made usable in a file name: no \ / : * ? " < > |, tabs or
// control characters, no trailing dots or blanks, at most kMaxTitleChars.
CString CleanChapterTitle(const CString& title);

// The items of one imported book named bookName (already cleaned), marker
// being the caller's title prefix when no built-in kind matches. Every
// character of the text lands in an article except the line feeds at which
// a long chapter is cut into parts and fixed-length pieces are cut; empty
// chapters make no item.
ImportPlan PlanBook(const CString& bookName, const CString& text, const CString& prefix);
// The items of one long chapter text[start, end): a folder named head + title,
// parts of at least partLength characters cut at line feeds (never leaving
// an empty last part, nor one of line ends alone; before a line that would
// not fit where it starts) or,
// on a line longer than kMaxArticleChars, inside it, then back out of the
// folder.
void PlanLongChapter(ImportPlan& plan, const CString& head, const CString& title, const CString& text,
                     int start, int end, int partLength);

// The step's title shortened so that folderPath + "\" + its name stays within
// maxPath characters; with unique, numbered "(2)", "(3)", ... until neither a
// sibling's text nor an entry on disk has that name (letter case aside), so
// a second import of a book never writes into the first one's articles.
CString FitStepTitle(const ImportStep& step, const CString& folderPath, const std::vector<CString>& siblings,
                     bool unique, int maxPath);
