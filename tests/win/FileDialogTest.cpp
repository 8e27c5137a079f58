#include "platform/FileDialog.h"
#include "platform/Text.h"

#include <commdlg.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <string>

namespace {

// What the timer does once the open-file dialog is up.
enum class Answer { Ok, Cancel };
Answer g_answer = Answer::Ok;
bool g_answered = false;

BOOL CALLBACK FindFileDialog(HWND hwnd, LPARAM lp)
{
    wchar_t cls[32] = {};
    GetClassNameW(hwnd, cls, 32);
    if (std::wstring(cls) == L"#32770" && IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(lp) = hwnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK AnswerDialog(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindFileDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog || g_answered)
        return;
    g_answered = true;
    KillTimer(nullptr, id);
    PostMessageW(dialog, WM_COMMAND, g_answer == Answer::Ok ? IDOK : IDCANCEL, 0);
}

class FileDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        m_dir = std::wstring(temp) + L"veloma ファイル選択";
        CreateDirectoryW(m_dir.c_str(), nullptr);
        m_file = m_dir + L"\\コマ画像.bmp";
        HANDLE h = CreateFileW(m_file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        CloseHandle(h);
    }
    void TearDown() override
    {
        DeleteFileW(m_file.c_str());
        RemoveDirectoryW(m_dir.c_str());
    }

    INT_PTR Run(FileDialog& dialog, Answer answer)
    {
        g_answer = answer;
        g_answered = false;
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, AnswerDialog);
        const INT_PTR result = dialog.DoModal();
        KillTimer(nullptr, timer);
        return result;
    }

    std::wstring m_dir;
    std::wstring m_file;
};

TEST_F(FileDialogTest, OkGivesTheFullPathInUtf8)
{
    const std::string path = Narrow(m_file);
    FileDialog dialog(true, "bmp", path, OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_SHOWHELP, "BMP File |*.bmp||");
    EXPECT_EQ(Run(dialog, Answer::Ok), IDOK);
    EXPECT_TRUE(g_answered) << "the dialog never showed";
    EXPECT_EQ(dialog.GetPathName(), path);
}

TEST_F(FileDialogTest, CancelGivesNoPath)
{
    FileDialog dialog(true, "bmp", "*.bmp", OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST, "BMP File |*.bmp||");
    EXPECT_EQ(Run(dialog, Answer::Cancel), IDCANCEL);
    EXPECT_EQ(dialog.GetPathName(), "");
}

TEST(FileFilterTextTest, BarsBecomeZeros)
{
    const struct {
        const char* filter;
        std::wstring want;
    } cases[] = {
        {"BMP File |*.bmp||", std::wstring(L"BMP File \0*.bmp\0\0\0\0", 19)},
        {"MIDI File & List File|*.rmi;*.mid;*.lst||",
         std::wstring(L"MIDI File & List File\0*.rmi;*.mid;*.lst\0\0\0\0", 43)},
        // Without the closing bars the list still ends with two zeros.
        {"Wave|*.wav", std::wstring(L"Wave\0*.wav\0\0", 12)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileFilterText(c.filter), c.want) << "filter " << c.filter;
}

}  // namespace
