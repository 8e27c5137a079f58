#include "platform/FileDialog.h"
#include "win/ModalScript.h"
#include "win/PieceFiles.h"

#include <commdlg.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(FileDialogTest, OkGivesTheFullPathInUtf8AndCancelNone)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring dir = std::wstring(temp) + L"veloma ファイル選択", file = dir + L"\\コマ画像.bmp";
    CreateDirectoryW(dir.c_str(), nullptr);
    auto image = std::make_unique<TempFile>(std::vector<std::uint8_t>{}, file);

    for (int button : {IDOK, IDCANCEL}) {
        const std::string path = button == IDOK ? Narrow(file) : "*.bmp";
        bool answered = false;
        WhenShown(L"#32770", [&answered, button](HWND h) { answered = true, PostMessageW(h, WM_COMMAND, button, 0); },
                  true, 500);
        const std::optional<std::string> chosen =
            OpenFileDialog(nullptr, "bmp", path, "BMP File |*.bmp||", OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
        DropPendingSteps();
        EXPECT_TRUE(answered) << "the dialog never showed";
        EXPECT_EQ(chosen.value_or("(cancelled)"), button == IDOK ? path : "(cancelled)");
    }
    image.reset();
    RemoveDirectoryW(dir.c_str());
}

TEST(FileDialogTest, FilterBarsBecomeZeros)
{
    EXPECT_EQ(FileFilterText("MIDI File & List File|*.rmi;*.mid;*.lst||"),
              std::wstring(L"MIDI File & List File\0*.rmi;*.mid;*.lst\0\0\0\0", 43));
    // Without the closing bars the list still ends with two zeros.
    EXPECT_EQ(FileFilterText("Wave|*.wav"), std::wstring(L"Wave\0*.wav\0\0", 12));
}

}  // namespace
