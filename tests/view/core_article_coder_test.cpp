// The scrambling coder of article files, checked against vectors worked out by hand
// and against an independent base64 coder with the article alphabet.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>
#include "view/ArticleCoder.h"
#include "ViewTestUtil.h"

namespace {

std::string Encode(const std::string& bytes)
{
    char* out = nullptr;
    int n = ArticleCodeEncode((const unsigned char*)bytes.data(), (int)bytes.size(), &out);
    EXPECT_GE(n, 0);
    std::string s = out ? std::string(out) : std::string();
    EXPECT_EQ((size_t)n, s.size());
    free(out);
    return s;
}

// Decodes twice, into buffers filled with 0x00 and with 0xFF: the bytes written are
// where both agree.
int Decode(const std::string& text, std::string& bytes)
{
    std::vector<unsigned char> zeros(text.size() + 8, 0x00), ones(text.size() + 8, 0xFF);
    int n = ArticleCodeDecode(text.c_str(), zeros.data());
    EXPECT_EQ(n, ArticleCodeDecode(text.c_str(), ones.data()));
    size_t used = 0;
    while (used < zeros.size() && zeros[used] == ones[used])
        ++used;
    bytes.assign((const char*)zeros.data(), used);
    return n;
}

std::wstring Narrow(const CString& s) { return s.str(); }

} // namespace

TEST(ArticleCoder, AlphabetIsAPermutationOfBase64)
{
    std::string alphabet = ArticleCodeAlphabet;
    ASSERT_EQ(64u, alphabet.size());
    EXPECT_EQ("MTQZBXkpwm73LFRDWJzrbh/HNVCPGdtxf05KYSAEIjvql91OUsgcyn+82aeiou64", alphabet);
    std::string sorted = alphabet;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ("+/0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", sorted);
}

TEST(ArticleCoder, HandWorkedVectors)
{
    // "Man" = 0x4D 0x61 0x6E -> indexes 19, 22, 5, 46 -> alphabet[19] 'r', [22] '/',
    // [5] 'X', [46] '1'.
    EXPECT_EQ("r/X1", Encode("Man"));
    // One zero byte: indexes 0, 0 and two pads.
    EXPECT_EQ(std::string("MM=="), Encode(std::string(1, '\0')));
    // 0xFF 0xFF: indexes 63, 63, 60 and one pad.
    EXPECT_EQ("44o=", Encode("\xFF\xFF"));
    std::string bytes;
    EXPECT_EQ(3, Decode("r/X1", bytes));
    EXPECT_EQ("Man", bytes);
    // A character outside the alphabet inside a group counts as -1:
    // ((0*64 + 0)*64 - 1)*64 + 0 = -64 -> bytes FF FF C0.
    EXPECT_EQ(3, Decode("MM!M", bytes));
    EXPECT_EQ("\xFF\xFF\xC0", bytes);
}

TEST(ArticleCoder, GroupLengthsAndPads)
{
    struct Case { std::string in; size_t chars; int pads; };
    for (const Case& c : {Case{"a", 4, 2}, Case{"ab", 4, 1}, Case{"abc", 4, 0}, Case{"abcd", 8, 2}}) {
        std::string coded = Encode(c.in);
        EXPECT_EQ(c.chars, coded.size()) << c.in;
        EXPECT_EQ(c.pads, (int)std::count(coded.begin(), coded.end(), '=')) << c.in;
        EXPECT_EQ(ReferenceEncode(c.in), coded) << c.in;
    }
}

TEST(ArticleCoder, EmptyInput)
{
    EXPECT_EQ("", Encode(""));
    std::string bytes;
    EXPECT_EQ(0, Decode("", bytes));
    CString stored, text = L"x";
    EXPECT_EQ(0, EncodeArticleText(CString(), stored));
    EXPECT_TRUE(stored.IsEmpty());
    EXPECT_EQ(0, DecodeArticleText(stored, text));
    EXPECT_TRUE(text.IsEmpty());
}

TEST(ArticleCoder, MalformedGroups)
{
    std::string bytes;
    // Five alphabet characters: the first group's three bytes, then failure.
    EXPECT_EQ(-1, Decode("r/X1r", bytes));
    EXPECT_EQ("Man", bytes);
    // A character after a pad.
    EXPECT_EQ(-1, Decode("r=X1", bytes));
    EXPECT_EQ(-1, Decode("====", bytes));
    EXPECT_EQ(-1, Decode("r/X1M===", bytes));
    // A group that starts outside the alphabet ends decoding without error.
    EXPECT_EQ(3, Decode("r/X1\r\nr/X1", bytes));
    EXPECT_EQ("Man", bytes);
}

TEST(ArticleCoder, RandomBytesMatchReferenceAndRoundTrip)
{
    std::mt19937 rng(12345);
    for (int len = 0; len < 200; ++len) {
        std::string in(len, '\0');
        for (char& c : in)
            c = (char)(rng() & 0xFF);
        std::string coded = Encode(in);
        ASSERT_EQ(ReferenceEncode(in), coded) << "length " << len;
        std::string back;
        ASSERT_EQ(len, Decode(coded, back));
        ASSERT_EQ(in, back);
    }
}

TEST(ArticleCoder, TextThatFitsTheCodePageIsCodedUnchanged)
{
    ASSERT_EQ(936u, GetACP()) << "tests run with the Chinese code page";
    const std::wstring texts[] = {L"<Page/>\r\n", L"中文 & &#20013; [T1]x[/T]\r\n", L"a"};
    for (const std::wstring& t : texts) {
        CString stored;
        int n = EncodeArticleText(CString(t.c_str()), stored);
        std::string expect = ReferenceFileBytes(t);
        ASSERT_EQ((int)expect.size() / 2, n);
        std::string got;
        for (int i = 0; i < stored.GetLength(); ++i) {
            got += (char)stored[i];
            got += (char)(stored[i] >> 8);
        }
        EXPECT_EQ(expect, got);
        CString back;
        EXPECT_GT(DecodeArticleText(stored, back), 0);
        EXPECT_EQ(t, Narrow(back));
    }
}

TEST(ArticleCoder, UnitsOutsideTheCodePageBecomeReferences)
{
    ASSERT_EQ(936u, GetACP());
    // U+20000 (a surrogate pair), Thai U+0E01, a lone surrogate and U+FFFF.
    std::wstring text = L"a\U00020000b";
    text += L"\x0E01";
    text += (wchar_t)0xDC00;
    text += (wchar_t)0xFFFF;
    text += L"中";
    CString stored, back;
    ASSERT_GT(EncodeArticleText(CString(text.c_str()), stored), 0);
    EXPECT_GT(DecodeArticleText(stored, back), 0);
    EXPECT_EQ(L"a&#55360;&#56320;b&#3585;&#56320;&#65535;中", Narrow(back));
}

TEST(ArticleCoder, TruncatedStoredTextDecodesAsFarAsItGoes)
{
    CString stored, back;
    ASSERT_GT(EncodeArticleText(CString(L"<Page Version=\"2\"/>"), stored), 0);
    CString cut = stored.Left(stored.GetLength() - 2);
    EXPECT_EQ(-1, DecodeArticleText(cut, back));
    EXPECT_EQ(L"<Page Version=\"2\"", Narrow(back).substr(0, 17));
    EXPECT_LT(back.GetLength(), 19);
}
