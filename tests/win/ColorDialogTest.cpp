// The colour dialog over our piece image or none, driven from inside its
// modal loop; pixels are read back from its client area.
#include "settings/win/ColorDialog.h"

#include "board/win/PieceImage.h"
#include "platform/Gdi.h"
#include "res/SettingsIds.h"
#include "win/ModalScript.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Every fourth pixel in each direction of a 64 x 64 box at (x, y).
std::vector<COLORREF> BoxPixels(HDC dc, int x0, int y0)
{
    std::vector<COLORREF> pixels;
    for (int y = y0; y < y0 + 64; y += 4)
        for (int x = x0; x < x0 + 64; x += 4)
            pixels.push_back(GetPixel(dc, x, y));
    return pixels;
}

std::vector<COLORREF> BoxPixels(HWND h, const AreaRect& box)
{
    const ClientDC dc(h);
    return BoxPixels(dc.Handle(), box.left, box.top);
}

COLORREF SampleColour(HWND h)
{
    const ClientDC dc(h);
    return GetPixel(dc.Handle(), OpenColourDialogAreas(h).sample.left + 3, OpenColourDialogAreas(h).sample.top + 3);
}

COLORREF Bars(HWND h) { return RGB(BarPos(h, IDC_RED_BAR), BarPos(h, IDC_GREEN_BAR), BarPos(h, IDC_BLUE_BAR)); }

// What a 32 x 32 cell of the image looks like enlarged to 64 x 64.
std::vector<COLORREF> ReferenceCell(const CDIB& dib, CellOrigin cell)
{
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, 64, -64, 1, 32};
    void* bits = nullptr;
    GdiBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    MemoryDC dc;
    SelectGuard select(dc.Handle(), bitmap.Get());
    StretchDIBits(dc.Handle(), 0, 0, 64, 64, cell.x, cell.y, 32, 32, dib.Bits(),
                  reinterpret_cast<const BITMAPINFO*>(dib.Info()), DIB_RGB_COLORS, SRCCOPY);
    return BoxPixels(dc.Handle(), 0, 0);
}

void Click(HWND h, UINT msg, int x, int y) { SendMessageW(h, msg, 0, MAKELPARAM(x, y)); }

// Cancel is the settings dialog's test.
TEST(ColorDialogTest, OpensWithTheCallersColourAndOkReturnsTheBars)
{
    const PieceImage none;
    const auto chosen = RunModal([&] { return ChooseFillColour(nullptr, 0x01140AFF, none); }, [&](HWND h) {
        // As opened, without the top byte; a bar moves the sample with it.
        EXPECT_EQ(Bars(h), RGB(255, 10, 20));
        Scroll(h, IDC_BLUE_BAR, SB_THUMBTRACK, 200);
        Scroll(h, IDC_GREEN_BAR, SB_PAGELEFT);
        EXPECT_EQ(Bars(h), RGB(255, 0, 200));
        EXPECT_EQ(SampleColour(h), RGB(255, 0, 200));
        // Without an image, clicks on the boxes pick nothing.
        const ColourAreas a = OpenColourDialogAreas(h);
        Click(h, WM_LBUTTONUP, a.mouseArea.left + 3, a.mouseArea.top + 3);
        Click(h, WM_RBUTTONUP, a.mouseArea.left + 3, a.mouseArea.top + 3);
        EXPECT_EQ(Bars(h), RGB(255, 0, 200)) << "a left click without an image picked a colour";
        // Positions set behind the handlers' back are what OK returns.
        SetScrollPos(GetDlgItem(h, IDC_GREEN_BAR), SB_CTL, 33, TRUE);
        ClickItem(h, IDOK);
    });
    EXPECT_EQ(chosen, std::optional<std::uint32_t>(RGB(255, 33, 200)));
}

TEST(ColorDialogTest, ImageBoxesTurnOnRightClicksAndLeftClicksPickTheNearestColour)
{
    PieceImage pieces;
    ASSERT_TRUE(pieces.Load("Z:" VELOMA_SOURCE_DIR "/res/velomass.bmp")) << "our piece image in res/";
    const CDIB& dib = *pieces.Dib();
    RunModal([&] { return ChooseFillColour(nullptr, RGB(1, 0, 0), pieces); }, [&](HWND h) {
        const ColourAreas a = OpenColourDialogAreas(h);
        const AreaRect s = a.sample, box2 = a.secondBox, area = a.mouseArea;
        EXPECT_TRUE(BoxPixels(h, a.firstBox) == ReferenceCell(dib, kEmptyCellOrigin))
            << "box 1 is not the empty cell enlarged";
        const std::vector<COLORREF> kind1 = BoxPixels(h, box2);
        EXPECT_TRUE(kind1 == ReferenceCell(dib, CellOrigin{0, 288})) << "box 2 does not open on kind 1 at rest";
        Click(h, WM_RBUTTONUP, area.left + 5, area.top + 5);
        const std::vector<COLORREF> next = BoxPixels(h, box2);
        EXPECT_TRUE(next == ReferenceCell(dib, CellOrigin{32, 288})) << "one right click: the next frame of kind 1";
        EXPECT_FALSE(next == kind1) << "the two cells look alike; the test cannot tell them apart";
        for (int i = 1; i < 10; ++i)
            Click(h, WM_RBUTTONUP, area.right - 1, area.bottom - 1);
        EXPECT_TRUE(BoxPixels(h, box2) == kind1) << "ten right clicks did not bring back kind 1";

        // Clicks outside the two boxes, the far edges included, do nothing.
        for (POINT p : {POINT{area.right, area.top}, POINT{area.left, area.bottom}})
            Click(h, WM_RBUTTONUP, p.x, p.y), Click(h, WM_LBUTTONUP, p.x, p.y);
        EXPECT_TRUE(BoxPixels(h, box2) == kind1 && Bars(h) == RGB(1, 0, 0)) << "a click outside did something";

        for (POINT p : {POINT{area.left + 1, s.top + 1}, POINT{box2.left + 32, box2.top + 32},
                        POINT{box2.left + 20, box2.top + 40}}) {
            COLORREF want = 0;
            {
                ClientDC dc(h);
                want = GetNearestColor(dc.Handle(), GetPixel(dc.Handle(), p.x, p.y));
            }
            Click(h, WM_LBUTTONUP, p.x, p.y);
            EXPECT_EQ(Bars(h), want) << std::hex << "bars " << Bars(h);
            EXPECT_EQ(SampleColour(h), want) << std::hex << "sample";
        }
        ClickItem(h, IDOK);
    });
}

}  // namespace
