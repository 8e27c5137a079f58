#pragma once
#include "image/CDIB.h"

#include <cstdint>
#include <vector>

// The pixels of an image as the drawing calls would show them, for targets
// that take plain colours instead of a bitmap: 0x00RRGGBB, top row first,
// width x |height|. Pixels a run-length image skips stay black.
std::vector<std::uint32_t> DibPixels(const CDIB& dib);
