#include "controls/PictureScaler.h"

#include <cmath>
#include <vector>

uint32_t BlendArgb(uint32_t start, uint32_t end, int pos)
{
    uint32_t startA = (start >> 24) * (uint32_t)(pos ^ 0xFF);
    uint32_t endA = (end >> 24) * (uint32_t)pos;
    uint32_t total = startA + endA;
    if (total < 0xFF)
        return 0;
    if (total == 255u * 255u) {
        // Both opaque (the common case): a plain weighted mean.
        uint32_t back = 255u - (uint32_t)pos;
        uint32_t r = (((start >> 16) & 0xFF) * back + ((end >> 16) & 0xFF) * pos) / 255u;
        uint32_t g = (((start >> 8) & 0xFF) * back + ((end >> 8) & 0xFF) * pos) / 255u;
        uint32_t b = ((start & 0xFF) * back + (end & 0xFF) * pos) / 255u;
        return 0xFF000000u | (r << 16) | (g << 8) | b;
    }
    uint32_t r = (((start >> 16) & 0xFF) * startA + ((end >> 16) & 0xFF) * endA) / total;
    uint32_t g = (((start >> 8) & 0xFF) * startA + ((end >> 8) & 0xFF) * endA) / total;
    uint32_t b = ((start & 0xFF) * startA + (end & 0xFF) * endA) / total;
    return ((total / 0xFF) << 24) | (r << 16) | (g << 8) | b;
}

void ApplyColorKey(uint32_t* pixels, int count, uint32_t low)
{
    uint32_t lowR = (low >> 16) & 0xFF, lowG = (low >> 8) & 0xFF, lowB = low & 0xFF;
    for (int i = 0; i < count; ++i) {
        uint32_t p = pixels[i];
        if (((p >> 16) & 0xFF) >= lowR && ((p >> 8) & 0xFF) >= lowG && (p & 0xFF) >= lowB)
            pixels[i] = 0;
    }
}

namespace {

// Where destination index i samples along one axis: the two source
// indices around it (the second may lie past the edge) and the weight of
// the second, 0..255.
struct Tap {
    int first;
    int second;
    int pos;
};

std::vector<Tap> Taps(int srcLen, int dstLen)
{
    std::vector<Tap> taps(dstLen);
    double step = (double)srcLen / dstLen;
    for (int i = 0; i < dstLen; ++i) {
        double at = i * step;
        double low = std::floor(at);
        taps[i].first = (int)low;
        taps[i].second = (int)std::ceil(at);
        taps[i].pos = (int)((float)(at - low) * 255.0f + 0.5f);
    }
    return taps;
}

// One source row blended across the destination's columns.
void BlendRow(const uint32_t* row, int sw, const std::vector<Tap>& cols, uint32_t* out)
{
    for (size_t x = 0; x < cols.size(); ++x) {
        const Tap& t = cols[x];
        uint32_t right = t.second < sw ? row[t.second] : 0;
        out[x] = BlendArgb(row[t.first], right, t.pos);
    }
}

}  // namespace

void StretchArgb(const uint32_t* src, int sw, int sh, uint32_t* dst, int dw, int dh)
{
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0)
        return;
    std::vector<Tap> cols = Taps(sw, dw);
    std::vector<Tap> rows = Taps(sh, dh);
    // Two blended source rows are kept: enlarging reuses them for many rows.
    std::vector<uint32_t> buf[2] = { std::vector<uint32_t>(dw), std::vector<uint32_t>(dw) };
    std::vector<uint32_t> clear(dw, 0);
    int held[2] = { -1, -1 };
    auto blended = [&](int sy, int keep) -> const uint32_t* {
        if (sy >= sh)
            return clear.data();
        for (int i = 0; i < 2; ++i)
            if (held[i] == sy)
                return buf[i].data();
        int slot = held[0] == keep ? 1 : 0;
        BlendRow(src + (size_t)sy * sw, sw, cols, buf[slot].data());
        held[slot] = sy;
        return buf[slot].data();
    };
    for (int y = 0; y < dh; ++y) {
        const Tap& r = rows[y];
        const uint32_t* top = blended(r.first, r.second);
        const uint32_t* bottom = blended(r.second, r.first);
        uint32_t* out = dst + (size_t)y * dw;
        for (int x = 0; x < dw; ++x)
            out[x] = BlendArgb(top[x], bottom[x], r.pos);
    }
}
