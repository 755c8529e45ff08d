// Helpers of the page painter that need no view: the decoration pictures,
// the annotation textures and the fonts of the characters.
#pragma once

#include <windows.h>

#include <cstddef>

#include "controls/DecorationPick.h"
#include "framework/CString.h"
#include "view/GlyphFit.h"

class CDC;
struct ChunkNode;
struct ImageSet;

// Set while a page is painted; shared by both panes, so a paint asked for
// inside another draws nothing.
extern int g_bPagePainting;

// The page walk's next node: the next one down, else the next one of the
// nearest ancestor below the root. Row neighbours are not followed.
ChunkNode* NextInWalk(ChunkNode* node, const ChunkNode* root);
// A background path the painters draw as a picture (".jpg", ".bmp", ".tif").
bool IsPictureFile(const CString& path);

// The top-level block (level 2) that holds the node.
ChunkNode* TopLevelBlock(ChunkNode* node);

// A block's own pick: drawn at random only while it is -1; an empty list
// leaves it at -1.
int PickBlockIndex(int& index, size_t count);

// The set's folder holds the "L" and "R" sub-folders of two-sided pictures.
// Asked once per paint (see BeginDecorationPass).
bool HasLeftRightFolders(const ImageSet& set);
// Every paint of decorations starts and ends with these: what the pass
// learned about folders and the pictures it keeps ready are dropped.
void BeginDecorationPass();
void EndDecorationPass();

// Side bars beside one block, from yTop to yBottom, outside xLeft and xRight.
void DrawSideBars(CDC* pDC, int xLeft, int yTop, int xRight, int yBottom, int index);
// kind 0: the rule under a line, centred on yLine; otherwise the separator
// above a block, from y, overhanging x1..x2 by nPramLen percent of x1.
void DrawRuleImage(CDC* pDC, int x1, int y, int x2, int yLine, int index, int kind);
// fill: (left, top, right, top + height) in clrLeft (kind non-zero) or clrCBg,
// clrBg when the colour switch is off; otherwise a dotted outline.
void FillDecorationRects(CDC* pDC, int left, int top, int right, int bottom, int height,
                         int fill, int kind, int colourSwitch);

// Resource id of the texture of an annotation style or mark id.
UINT TextureResourceFor(int style);
// Pattern brush of that texture, kept for the life of the process; null when
// the bitmap is missing.
HBRUSH TextureBrushFor(int style);
