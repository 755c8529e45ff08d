// "control\preSet.ini": what an article pane reads from it at start-up, and the
// listing of the three decoration picture folders. Window-free.
#pragma once

#include <windows.h>

#include "framework/CString.h"

// Face names are kept in buffers of the size LOGFONT takes.
const int kFaceBufferSize = LF_FACESIZE;

// What the preset file sets in one pane, beside the shared DisplaySettings.
// Fill it with the pane's present values first: a missing file changes nothing.
struct PresetViewValues {
    int nTextSize = 28;
    int nRow = 0;                       // line spacing
    int nPram = 0;                      // paragraph spacing
    wchar_t szFontFace[kFaceBufferSize] = {};
    wchar_t szCodeFontFace[kFaceBufferSize] = {};
    CString strBackgroundPicture;
};

// g_strAppFolder + "control\preSet.ini".
CString PresetFilePath();

// Reads the preset file into DisplaySettings and view. False, with nothing
// changed and no folder listed, when the file does not exist.
bool ReadPresetFile(bool bUpperPane, PresetViewValues& view);

// Annotation styles offered: 0 none, 1 to 20.
const int kMaxAnnotationStyle = 20;

// Writes what the preset dialog sets: [Size] TextSize, [Biaozhu] bComment,
// bSingle, nBiaozhu (from DisplaySettings), [Distance] Row and Pram, and
// [FontName] FontName / CodeFontName when the face is not empty ("默认"
// is written as it stands).
void WritePresetDialogKeys(const CString& path, int textSize, int row, int pram,
                           const wchar_t* bodyFace, const wchar_t* codeFace);

// Face rule: an empty value or "默认" clears the face; any other value is
// copied, cut to fit the buffer (never in the middle of a surrogate pair).
void SetFaceName(wchar_t (&face)[kFaceBufferSize], const wchar_t* value);

// Folder rule: a value holding a backslash is the folder itself; any other
// names a folder under g_strAppFolder + "control\IMG\" + parent + "\".
CString PresetFolder(const wchar_t* parent, const wchar_t* value);

// Default parents of the three picture sets under "control\IMG\".
extern const wchar_t kBackgroundParent[];   // "背景"
extern const wchar_t kVerticalParent[];     // "竖栏"
extern const wchar_t kLineParent[];         // "行线"

struct ImageSet;
// Lists the plain files of set.strFolder (of its "L" sub-folder when
// leftFolder and there is one) into set.vecFiles; with extensions (a null-
// ended list) only names holding one of them, as written. False, with the
// old list kept, when the folder cannot be searched.
bool ListPictureFolder(ImageSet& set, bool leftFolder, const wchar_t* const* extensions = nullptr);

// Refill BackgroundSet's list from its folder; Count becomes the number of
// files (0 when the folder cannot be searched).
void ListBackgroundSet();
// Refill LineSet's list; a folder that cannot be searched keeps the old list.
void ListLineSet();
// Refill VerticalSet's list from its "L" sub-folder when there is one, else
// from the folder itself; a folder that cannot be searched keeps the old list.
void ListVerticalSet();
