#include "view/GlyphShape.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace {

// Counts the parts of cells equal to value in a grid of w x h, cells touching
// across corners joined when diagonal is set; every part found is marked 2.
int CountParts(std::vector<uint8_t>& cells, int w, int h, uint8_t value, bool diagonal)
{
    static std::vector<int> stack;
    int parts = 0;
    for (int start = 0; start < w * h; ++start) {
        if (cells[start] != value)
            continue;
        ++parts;
        cells[start] = 2;
        stack.assign(1, start);
        while (!stack.empty()) {
            const int x = stack.back() % w, y = stack.back() / w;
            stack.pop_back();
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if ((dx && dy && !diagonal) || nx < 0 || ny < 0 || nx >= w || ny >= h
                        || cells[ny * w + nx] != value)
                        continue;
                    cells[ny * w + nx] = 2;
                    stack.push_back(ny * w + nx);
                }
        }
    }
    return parts;
}

// Runs of ink along count cells from first.
int Runs(const std::vector<uint8_t>& cells, int first, int count)
{
    int runs = 0;
    bool in = false;
    for (int i = 0; i < count; ++i) {
        const bool ink = cells[first + i] == 1;
        runs += ink && !in;
        in = ink;
    }
    return runs;
}

}  // namespace

GlyphShape ShapeOfInk(const uint8_t* first, int width, int height, int rowBytes, int pixelBytes,
                      int threshold)
{
    auto ink = [&](int x, int y) { return first[y * rowBytes + x * pixelBytes] >= threshold; };
    GlyphShape shape;
    int left = width, right = -1, top = height, bottom = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (ink(x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = y;
            }
    if (right < 0)
        return shape;
    shape.width = right - left + 1;
    shape.height = bottom - top + 1;
    // The ink's bounds inside a border of background, so that the background
    // around the ink is one part.
    const int w = shape.width + 2, h = shape.height + 2;
    static std::vector<uint8_t> cells, bridged;
    static std::vector<int> runs;
    cells.assign(w * h, 0);
    for (int y = 0; y < shape.height; ++y)
        for (int x = 0; x < shape.width; ++x)
            cells[(y + 1) * w + x + 1] = ink(left + x, top + y);
    runs.clear();
    for (int y = 1; y < h - 1; ++y)
        runs.push_back(Runs(cells, y * w, w));
    std::sort(runs.begin(), runs.end(), std::greater<int>());
    shape.stems = runs[(runs.size() - 1) / 2];
    shape.mostStems = runs[0];
    // A pixel missing from a thin stroke (hinting drops one now and then)
    // leaves it one stroke to the eye, so the shape is also taken with such
    // gaps bridged (which would join the dot of an "i" to its stem too).
    bridged = cells;
    auto any = [&](int at, int step) { return cells[at - step] || cells[at] || cells[at + step]; };
    for (int y = 1; y < h - 1; ++y)
        for (int x = 1; x < w - 1; ++x) {
            const int at = y * w + x;
            const bool across = any(at - 1, w) && any(at + 1, w) && !cells[at - w] && !cells[at + w];
            const bool down = any(at - w, 1) && any(at + w, 1) && !cells[at - 1] && !cells[at + 1];
            if (!cells[at] && (across || down))
                bridged[at] = 1;
        }
    shape.holes = CountParts(cells, w, h, 0, false) - 1;
    shape.pieces = CountParts(cells, w, h, 1, true);
    shape.bridgedHoles = CountParts(bridged, w, h, 0, false) - 1;
    shape.bridgedPieces = CountParts(bridged, w, h, 1, true);
    return shape;
}

GlyphLikeness Likeness(const GlyphShape& small, const GlyphShape& large)
{
    if ((small.pieces != large.pieces && small.bridgedPieces != large.pieces)
        || small.bridgedHoles < large.holes || small.mostStems < large.stems)
        return kShapeLost;
    // Ink at least twice as long one way as the other stays 3/4 as long
    // against its width, or three times (at a pixel wide, a small glyph
    // cannot be as thin as a large one).
    const long sw = small.width, sh = small.height, lw = large.width, lh = large.height;
    if ((lw >= 2 * lh && 4 * sw * lh < 3 * lw * sh && sw < 3 * sh)
        || (lh >= 2 * lw && 4 * sh * lw < 3 * lh * sw && sh < 3 * sw))
        return kShapeShort;
    return small.holes < large.holes ? kShapeGapped : kShapeKept;
}
