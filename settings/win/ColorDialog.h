#pragma once
#include "platform/Dialog.h"
#include "settings/DialogValues.h"

class PieceImage;

// Chooses the fill colour with three bars, or by picking it from two
// enlarged cells of the preview board's piece image. The caller sets Red,
// Green and Blue before running it and reads them after OK.
class ColorDialog : public Dialog {
public:
    // `pieces` is the board whose image and palette are shown; null or a
    // board without an image leaves the image boxes empty.
    explicit ColorDialog(const PieceImage& pieces, HWND parent = nullptr);

    int ImageIndex = 0;  // the cell in image box 2, 0..9
    int Red = 0;
    int Blue = 0;
    int Green = 0;

    // Client pixels at the dialog's DPI, valid while it is open.
    ColourAreas Areas() const;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void OnHScroll(HWND bar, int code, int thumb);
    void OnLButtonUp(int x, int y);
    void OnRButtonUp(int x, int y);
    void OnPaint();

    bool HasImage() const;
    void FillSample(HDC dc) const;
    void DrawCell(HDC dc, const AreaRect& box, CellOrigin cell) const;
    void ReadBars();
    void SetBars();

    const PieceImage& m_pieces;
};
