// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A baseline JPEG encoder for the report's small pictures: 8-bit YCbCr without subsampling,
// the example tables of the JPEG standard (ITU-T T.81, Annex K), in a JFIF file.

#include <cstdint>
#include <string>
#include <vector>

namespace duvanto {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // three bytes a pixel, rows from the top
};

// The image as a JPEG file's bytes; quality from 1 to 100 scales the quantization tables as
// the Independent JPEG Group's encoder does (100: every step 1). Throws std::invalid_argument
// for an empty image, one larger than 65535 pixels a side, or pixels that do not fill it.
std::string EncodeJpeg(const RgbImage& image, int quality);

}  // namespace duvanto
