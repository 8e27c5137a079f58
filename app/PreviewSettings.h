#pragma once
#include "settings/SaverSettings.h"

// The preview in the display settings' little monitor: small cells, no
// sound or music, never blacked out.
void ApplyPreviewSettings(SaverSettings& settings);
