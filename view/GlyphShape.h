// What a reader sees of a glyph's ink: its pieces, its holes and its strokes.
// A glyph drawn small keeps its shape when it has what the same glyph has
// drawn large.
#pragma once

#include <cstdint>

// The em a glyph is drawn at large, in pixels. A small glyph's ink is where
// its colour reaches 4/5 of the full (255), what reads at a glance; its
// faint ink, and a large glyph's, where it reaches half.
const int kLargeGlyphEm = 32;
const int kSmallInk = 204;
const int kFaintInk = 128;

struct GlyphShape {
    int pieces = 0;     // parts of ink, touching corners joining them
    int holes = 0;      // parts of background the ink closes in
    int bridgedPieces = 0; // the same with gaps of a pixel in strokes bridged
    int bridgedHoles = 0;
    int stems = 0;      // runs of ink that half the rows cross at least
    int mostStems = 0;  // the most runs of ink one row crosses
    int width = 0;      // of the ink's bounds
    int height = 0;
};

// The shape of the ink in a width x height grid of pixels, pixelBytes apart
// in rows rowBytes apart, where a first byte of at least threshold is ink.
GlyphShape ShapeOfInk(const uint8_t* first, int width, int height, int rowBytes, int pixelBytes,
                      int threshold);

// How much of the shape of a glyph drawn large a small one keeps, from the
// worst: a piece, hole or stem gone; all there but a long glyph made short
// (a dash that is a dot); a hole opened by a pixel missing from a thin
// stroke only; everything. A serif or a spur that a few rows cross is a
// detail small may lose.
enum GlyphLikeness { kShapeLost, kShapeShort, kShapeGapped, kShapeKept };
GlyphLikeness Likeness(const GlyphShape& small, const GlyphShape& large);
