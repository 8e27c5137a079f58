// The colour dialog over a board holding our piece image, driven from
// inside its modal loop; pixels are read back from its client area.
#include "settings/ColorDialog.h"

#include "board/BoardWnd.h"
#include "image/DibFile_win.h"
#include "platform/Gdi.h"
#include "platform/Text.h"
#include "res/SettingsIds.h"
#include "win/ModalScript.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

std::string PieceImagePath()
{
    std::string path = "Z:" + std::string(VELOMA_SOURCE_DIR) + "/res/velomass.bmp";
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::unique_ptr<CDIB> ReadPieceImage()
{
    Win32FileSource file;
    if (!file.Open(PieceImagePath(), Win32FileSource::Sharing::DenyWrite))
        return nullptr;
    auto dib = std::make_unique<CDIB>();
    return dib->Read(file) ? std::move(dib) : nullptr;
}

COLORREF PixelAt(HWND h, int x, int y)
{
    ClientDC dc(h);
    return GetPixel(dc.Handle(), x, y);
}

// The pixels of a box, every fourth in each direction.
std::vector<COLORREF> BoxPixels(HWND h, const PixelRect& box)
{
    std::vector<COLORREF> pixels;
    ClientDC dc(h);
    for (int y = box.top; y < box.bottom; y += 4)
        for (int x = box.left; x < box.right; x += 4)
            pixels.push_back(GetPixel(dc.Handle(), x, y));
    return pixels;
}

// What a 32 x 32 cell of the image looks like enlarged to 64 x 64.
std::vector<COLORREF> ReferenceCell(const CDIB& dib, CellOrigin cell)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 64;
    info.bmiHeader.biHeight = -64;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    GdiBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    MemoryDC dc;
    SelectGuard select(dc.Handle(), bitmap.Get());
    StretchDIBits(dc.Handle(), 0, 0, 64, 64, cell.x, cell.y, 32, 32, dib.m_pBits.get(),
                  reinterpret_cast<const BITMAPINFO*>(dib.m_pBMI.get()), DIB_RGB_COLORS, SRCCOPY);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 64; y += 4)
        for (int x = 0; x < 64; x += 4)
            pixels.push_back(GetPixel(dc.Handle(), x, y));
    return pixels;
}

void RightClick(HWND h, int x, int y)
{
    SendMessageW(h, WM_RBUTTONUP, 0, MAKELPARAM(x, y));
}

void LeftClick(HWND h, int x, int y)
{
    SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

int Bar(HWND h, int id)
{
    return GetScrollPos(GetDlgItem(h, id), SB_CTL);
}

// Runs the script once the dialog is on screen; the modal loop shows a
// dialog without WS_VISIBLE when its queue first runs empty.
void WhenShown(ColorDialog& dlg, const std::function<void(HWND)>& script, int triesLeft = 150)
{
    Later([&dlg, &script, triesLeft] {
        HWND h = dlg.Handle();
        if (!IsWindowVisible(h) && triesLeft > 0) {
            WhenShown(dlg, script, triesLeft - 1);
            return;
        }
        UpdateWindow(h);
        script(h);
        Later([h] {
            if (IsWindow(h))
                EndDialog(h, IDCANCEL);
        }, 2000);
    });
}

INT_PTR RunColour(ColorDialog& dlg, const std::function<void(HWND)>& script)
{
    WhenShown(dlg, script);
    const INT_PTR result = dlg.DoModal();
    DropPendingSteps();
    return result;
}

TEST(ColorDialogTest, OpensWithTheCallersColour)
{
    ColorDialog dlg;
    dlg.Red = 255;
    int red = -1, green = -1, blue = -1, index = -1;
    COLORREF sample = 0;
    RunColour(dlg, [&](HWND h) {
        red = Bar(h, IDC_RED_BAR);
        green = Bar(h, IDC_GREEN_BAR);
        blue = Bar(h, IDC_BLUE_BAR);
        index = dlg.ImageIndex;
        const PixelRect s = dlg.SampleRect();
        sample = PixelAt(h, (s.left + s.right) / 2, (s.top + s.bottom) / 2);
        ClickItem(h, IDCANCEL);
    });
    EXPECT_EQ(red, 255);
    EXPECT_EQ(green, 0);
    EXPECT_EQ(blue, 0);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(sample, RGB(255, 0, 0)) << std::hex << "sample pixel " << sample;
}

TEST(ColorDialogTest, BarsStepAndOkReturnsTheirPositions)
{
    struct Step {
        int bar, code, thumb;
        int red, green, blue;
    };
    const Step steps[] = {
        {IDC_RED_BAR, SB_RIGHT, 0, 255, 10, 20},
        {IDC_RED_BAR, SB_LINERIGHT, 0, 255, 10, 20},
        {IDC_RED_BAR, SB_PAGELEFT, 0, 245, 10, 20},
        {IDC_GREEN_BAR, SB_PAGELEFT, 0, 245, 0, 20},
        {IDC_GREEN_BAR, SB_PAGELEFT, 0, 245, 0, 20},
        {IDC_GREEN_BAR, SB_LINERIGHT, 0, 245, 1, 20},
        {IDC_BLUE_BAR, SB_THUMBTRACK, 200, 245, 1, 200},
        {IDC_BLUE_BAR, SB_PAGERIGHT, 0, 245, 1, 210},
        {IDC_BLUE_BAR, SB_ENDSCROLL, 0, 245, 1, 210},
        {IDC_BLUE_BAR, SB_LEFT, 0, 245, 1, 0},
        {IDC_BLUE_BAR, SB_THUMBPOSITION, 77, 245, 1, 77},
        {IDC_RED_BAR, SB_LINELEFT, 0, 244, 1, 77},
    };
    ColorDialog dlg;
    dlg.Red = 0;
    dlg.Green = 10;
    dlg.Blue = 20;
    const INT_PTR result = RunColour(dlg, [&](HWND h) {
        const PixelRect s = dlg.SampleRect();
        for (size_t i = 0; i < sizeof steps / sizeof steps[0]; ++i) {
            const Step& st = steps[i];
            Scroll(h, st.bar, st.code, st.thumb);
            EXPECT_EQ(Bar(h, IDC_RED_BAR), st.red) << "step " << i;
            EXPECT_EQ(Bar(h, IDC_GREEN_BAR), st.green) << "step " << i;
            EXPECT_EQ(Bar(h, IDC_BLUE_BAR), st.blue) << "step " << i;
            EXPECT_EQ(dlg.Red, st.red) << "step " << i;
            EXPECT_EQ(dlg.Green, st.green) << "step " << i;
            EXPECT_EQ(dlg.Blue, st.blue) << "step " << i;
            const COLORREF sample = PixelAt(h, s.left + 3, s.top + 3);
            EXPECT_EQ(sample, RGB(st.red, st.green, st.blue)) << "step " << i << ": sample " << std::hex << sample;
        }
        // Positions set behind the handlers' back are what OK returns.
        SetScrollPos(GetDlgItem(h, IDC_GREEN_BAR), SB_CTL, 33, TRUE);
        ClickItem(h, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dlg.Red, 244);
    EXPECT_EQ(dlg.Green, 33);
    EXPECT_EQ(dlg.Blue, 77);
}

TEST(ColorDialogTest, ImageBoxesShowThePiecesAndTurnOnRightClicks)
{
    BoardWnd board(FALSE);
    board.m_pDib = ReadPieceImage();
    ASSERT_NE(board.m_pDib, nullptr) << PieceImagePath();
    const CDIB& dib = *board.m_pDib;

    ColorDialog dlg(&board);
    std::vector<COLORREF> first, kind1, afterOne, afterTen;
    int indexAfterTen = -1, indexAfterMiss = -1;
    RunColour(dlg, [&](HWND h) {
        const PixelRect s = dlg.SampleRect();
        first = BoxPixels(h, FirstImageBox(s));
        kind1 = BoxPixels(h, SecondImageBox(s));
        const PixelRect area = ImageMouseArea(s);
        RightClick(h, area.left + 5, area.top + 5);
        afterOne = BoxPixels(h, SecondImageBox(s));
        for (int i = 1; i < 10; ++i)
            RightClick(h, area.right - 1, area.bottom - 1);
        afterTen = BoxPixels(h, SecondImageBox(s));
        indexAfterTen = dlg.ImageIndex;
        // Outside the two boxes a right click does nothing.
        RightClick(h, s.left + 2, s.top + 2);
        RightClick(h, area.right, area.top);
        RightClick(h, area.left, area.bottom);
        indexAfterMiss = dlg.ImageIndex;
        ClickItem(h, IDCANCEL);
    });
    EXPECT_TRUE(first == ReferenceCell(dib, CellOrigin{0, 320})) << "box 1 is not the empty cell enlarged";
    EXPECT_TRUE(kind1 == ReferenceCell(dib, CellOrigin{0, 288})) << "box 2 does not open on kind 1 at rest";
    EXPECT_TRUE(afterOne == ReferenceCell(dib, CellOrigin{32, 288})) << "one right click: the next frame of kind 1";
    EXPECT_FALSE(afterOne == kind1) << "the two cells look alike; the test cannot tell them apart";
    EXPECT_EQ(indexAfterTen, 0);
    EXPECT_TRUE(afterTen == kind1) << "ten right clicks did not bring back kind 1";
    EXPECT_EQ(indexAfterMiss, 0);
}

TEST(ColorDialogTest, LeftClickPicksTheNearestColour)
{
    BoardWnd board(FALSE);
    board.m_pDib = ReadPieceImage();
    ASSERT_NE(board.m_pDib, nullptr);

    ColorDialog dlg(&board);
    dlg.Red = 1;
    dlg.Green = 2;
    dlg.Blue = 3;
    struct Pick {
        COLORREF want;
        int red, green, blue;
    };
    std::vector<Pick> picks;
    int missRed = -1;
    const INT_PTR result = RunColour(dlg, [&](HWND h) {
        const PixelRect s = dlg.SampleRect();
        const PixelRect box2 = SecondImageBox(s);
        // Clicks on the sample and beside the boxes change nothing.
        LeftClick(h, s.left + 2, s.top + 2);
        LeftClick(h, box2.right, box2.top + 5);
        missRed = dlg.Red;
        for (POINT p : {POINT{FirstImageBox(s).left + 1, s.top + 1}, POINT{box2.left + 32, box2.top + 32},
                        POINT{box2.left + 20, box2.top + 40}}) {
            COLORREF want = 0;
            {
                ClientDC dc(h);
                want = GetNearestColor(dc.Handle(), GetPixel(dc.Handle(), p.x, p.y));
            }
            LeftClick(h, p.x, p.y);
            picks.push_back({want, Bar(h, IDC_RED_BAR), Bar(h, IDC_GREEN_BAR), Bar(h, IDC_BLUE_BAR)});
            const COLORREF sample = PixelAt(h, s.left + 3, s.top + 3);
            EXPECT_EQ(sample, want) << std::hex << "sample " << sample;
        }
        ClickItem(h, IDOK);
    });
    EXPECT_EQ(missRed, 1);
    EXPECT_EQ(result, IDOK);
    ASSERT_EQ(picks.size(), 3u);
    for (const Pick& p : picks) {
        EXPECT_EQ(p.red, GetRValue(p.want)) << std::hex << p.want;
        EXPECT_EQ(p.green, GetGValue(p.want)) << std::hex << p.want;
        EXPECT_EQ(p.blue, GetBValue(p.want)) << std::hex << p.want;
    }
    EXPECT_EQ(RGB(dlg.Red, dlg.Green, dlg.Blue), picks.back().want);
}

TEST(ColorDialogTest, WithoutAnImageClicksOnlyTurnTheIndex)
{
    BoardWnd board(FALSE);  // no piece image
    const BoardWnd* const sources[] = {nullptr, &board};
    for (const BoardWnd* pieces : sources) {
        ColorDialog dlg(pieces);
        dlg.Green = 9;
        int index = -1;
        std::vector<COLORREF> box;
        const INT_PTR result = RunColour(dlg, [&](HWND h) {
            const PixelRect s = dlg.SampleRect();
            const PixelRect area = ImageMouseArea(s);
            LeftClick(h, area.left + 3, area.top + 3);
            for (int i = 0; i < 3; ++i)
                RightClick(h, area.left + 3, area.top + 3);
            index = dlg.ImageIndex;
            box = BoxPixels(h, SecondImageBox(s));
            ClickItem(h, IDCANCEL);
        });
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_EQ(index, 3);
        EXPECT_EQ(dlg.Green, 9) << "a left click without an image picked a colour";
        for (COLORREF c : box)
            EXPECT_EQ(c, box.front()) << "the empty box shows a picture";
    }
}

}  // namespace
