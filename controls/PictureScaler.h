// Bilinear stretching of 32-bit pixels the way GDI+ DrawImage does it with
// its default settings, without GDI+'s cost under Wine.
#pragma once

#include <cstdint>

// Pixels are 0xAARRGGBB with straight (not premultiplied) alpha, rows top
// to bottom without padding.
//
// Destination pixel (x, y) samples the source at (x * sw / dw, y * sh / dh)
// and blends the four neighbours, weighting each by its alpha; neighbours
// past the right or bottom edge are transparent, so the last column and row
// fade out by the fraction they reach past the picture.
void StretchArgb(const uint32_t* src, int sw, int sh, uint32_t* dst, int dw, int dh);

// Makes every pixel whose red, green and blue all lie between those of
// low (0x..RRGGBB) and 255 transparent (0).
void ApplyColorKey(uint32_t* pixels, int count, uint32_t low);

// Blend of two colours at position pos (0 = start, 255 = end), weighting
// each by its alpha; fully transparent when both together fall below one step.
uint32_t BlendArgb(uint32_t start, uint32_t end, int pos);
