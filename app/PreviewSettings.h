#pragma once
#include "base/Settings.h"

// The preview in the display settings' little monitor: small cells, no
// sound or music, never blacked out.
void ApplyPreviewSettings(Settings& settings);
