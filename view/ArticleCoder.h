// Article files are stored scrambled: the XML text, converted to the ANSI code
// page, is coded like base64 over an alphabet of the program's own.
#pragma once

#include "framework/CString.h"

extern const char ArticleCodeAlphabet[65];

// Codes length bytes into a new zero-terminated buffer (*out, freed with free());
// returns the number of characters, or -1 when the buffer cannot be allocated.
int ArticleCodeEncode(const unsigned char* in, int length, char** out);
// Decodes a zero-terminated coded text into out (room for 3/4 of its length);
// returns the byte count, 0 for an empty input, -1 on a malformed group.
int ArticleCodeDecode(const char* in, unsigned char* out);

// The XML text to stored text; returns the coded length, or -1 (after a message).
// Units that the ANSI code page cannot hold are written as "&#N;" first.
int EncodeArticleText(const CString& text, CString& out);
// Stored text back to XML text, as far as it decodes; returns ArticleCodeDecode's result.
int DecodeArticleText(const CString& stored, CString& out);
