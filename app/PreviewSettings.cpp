#include "app/PreviewSettings.h"

void ApplyPreviewSettings(Settings& settings)
{
    settings.CellSize = settings.CellSize > 63 ? 36 : 18;
    settings.MIDI.clear();
    settings.Select.clear();
    settings.Disappear.clear();
    settings.BlackOutTime = 0;
}
