#include "framework/MessageBox.h"
#include "framework/CString.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

struct Shown {
    CString text;
    UINT type;
    bool openInside;
};
std::vector<Shown> g_shown;
int g_answer = IDOK;

int Recorder(const wchar_t* text, UINT type)
{
    g_shown.push_back({text, type, AfxIsMessageBoxOpen()});
    return g_answer;
}

int Nesting(const wchar_t* text, UINT type)
{
    // A box raised while another is up (e.g. from a timer) still counts as open afterwards.
    AfxSetMessageBoxHook(Recorder);
    AfxMessageBox(L"inner");
    g_shown.push_back({text, type, AfxIsMessageBoxOpen()});
    return IDCANCEL;
}

class MessageBoxTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_shown.clear();
        g_answer = IDOK;
        old = AfxSetMessageBoxHook(Recorder);
    }
    void TearDown() override { AfxSetMessageBoxHook(old); }
    AfxMessageBoxHook old = nullptr;
};

} // namespace

TEST_F(MessageBoxTest, HookRecordsAndAnswers)
{
    EXPECT_FALSE(AfxIsMessageBoxOpen());
    g_answer = IDYES;
    EXPECT_EQ(IDYES, AfxMessageBox(L"保存文章吗？", MB_YESNOCANCEL | MB_ICONQUESTION));
    g_answer = IDNO;
    EXPECT_EQ(IDNO, AfxMessageBox(L"second"));
    EXPECT_FALSE(AfxIsMessageBoxOpen());
    ASSERT_EQ(2u, g_shown.size());
    EXPECT_EQ(CString(L"保存文章吗？"), g_shown[0].text);
    EXPECT_EQ((UINT)(MB_YESNOCANCEL | MB_ICONQUESTION), g_shown[0].type);
    EXPECT_EQ((UINT)MB_OK, g_shown[1].type);
    EXPECT_TRUE(g_shown[0].openInside);
    EXPECT_TRUE(g_shown[1].openInside);
    EXPECT_EQ(Recorder, AfxSetMessageBoxHook(Recorder));
}

TEST_F(MessageBoxTest, NestedBoxes)
{
    AfxSetMessageBoxHook(Nesting);
    EXPECT_EQ(IDCANCEL, AfxMessageBox(L"outer", MB_OKCANCEL));
    ASSERT_EQ(2u, g_shown.size());
    EXPECT_EQ(CString(L"inner"), g_shown[0].text);
    EXPECT_EQ(CString(L"outer"), g_shown[1].text);
    EXPECT_TRUE(g_shown[1].openInside);
    EXPECT_FALSE(AfxIsMessageBoxOpen());
}

TEST_F(MessageBoxTest, StringResource)
{
    EXPECT_EQ(IDOK, AfxMessageBox(61234u, MB_ICONSTOP));
    EXPECT_EQ(IDOK, AfxMessageBox(61299u));              // no such string
    ASSERT_EQ(2u, g_shown.size());
    EXPECT_EQ(CString(L"资源里的文字 %1"), g_shown[0].text);
    EXPECT_EQ((UINT)MB_ICONSTOP, g_shown[0].type);
    EXPECT_TRUE(g_shown[1].text.IsEmpty());
}

TEST_F(MessageBoxTest, OtherThreadSeesNoOpenBox)
{
    struct Probe {
        static DWORD WINAPI Run(void* out)
        {
            *(bool*)out = AfxIsMessageBoxOpen();
            return 0;
        }
        static int Hook(const wchar_t*, UINT)
        {
            bool seen = true;
            HANDLE t = CreateThread(nullptr, 0, Run, &seen, 0, nullptr);
            WaitForSingleObject(t, INFINITE);
            CloseHandle(t);
            return seen ? IDABORT : IDRETRY;
        }
    };
    AfxSetMessageBoxHook(Probe::Hook);
    EXPECT_EQ(IDRETRY, AfxMessageBox(L"x"));
}
