#pragma once
#include <cstddef>

// Our piece image, res/velomass.bmp, built into the module so that it
// runs with no files at all. The build generates the bytes.
extern const unsigned char kBuiltInPieceImage[];
extern const std::size_t kBuiltInPieceImageSize;
