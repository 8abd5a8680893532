// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/ReportPictures.h"

#include <libdeflate.h>

#include <array>
#include <cstdint>
#include <stdexcept>

#include "platform/FileSystem.h"
#include "report/JpegEncoder.h"
#include "util/FileUtilities.h"

namespace duvanto {

namespace {

// Drawings as text, one character per pixel, so that a reader of the source sees the picture.
// Each character names a colour of kPalette.

constexpr std::array<std::string_view, 12> kFileArt = {
    "kkkkkkk...",  //
    "kwwwwwkk..",  //
    "kwwwwwkwk.",  //
    "kwwwwwkkkk",  //
    "kwbbbbbwwk",  //
    "kwwwwwwwwk",  //
    "kwbbbbbbwk",  //
    "kwwwwwwwwk",  //
    "kwbbbbbbwk",  //
    "kwwwwwwwwk",  //
    "kwbbbbwwwk",  //
    "kkkkkkkkkk",  //
};

constexpr std::array<std::string_view, 16> kFolderArt = {
    "................",  //
    "................",  //
    ".ooooo..........",  //
    "oyyyyyo.........",  //
    "oyyyyyyoooooooo.",  //
    "oYYYYYYYYYYYYYYo",  //
    "oYyyyyyyyyyyyyyo",  //
    "oYyyyyyyyyyyyyyo",  //
    "oYyyyyyyyyyyyyyo",  //
    "oYyyyyyyyyyyyyyo",  //
    "oYyyyyyyyyyyyyyo",  //
    "oYyyyyyyyyyyyyyo",  //
    "oYyyyyyyyyyyyyyo",  //
    "ooooooooooooooo.",  //
    "................",  //
    "................",  //
};

// Two folders and the sheep that stands for a clone; drawn small and enlarged four times.
constexpr std::array<std::string_view, 25> kBannerArt = {
    ".oooooo.....................",  //
    ".oyyyyyo....................",  //
    ".oyyyyyyoooooooooo..........",  //
    ".oyyyyyyyyyyoyyyyyo.........",  //
    ".oyyyyyyyyyyoyyyyyyoooooooo.",  //
    ".oyyyyyyyyyyoyyyyyyyyyyyyyo.",  //
    ".oyyyyyyyyyyoyyyyyyyyyyyyyo.",  //
    ".oyyyyyyyyyyoyyyyyyyyyyyyyo.",  //
    ".oyyyyyyyyyyoyyyyyyyyyyyyyo.",  //
    ".ooooooooooooyyyyyyyyyyyyyo.",  //
    "............oyyyyyyyyyyyyyo.",  //
    "...........ggggoooooooooooo.",  //
    "......ggggwwwwwwggggkkkkkk..",  //
    "....ggwwwwwwwwwwwwwwgkkkwkk.",  //
    "...ggwwwwwwwwwwwwwwwwkkkkkk.",  //
    "..ggwwwwwwwwwwwwwwwwwkkkkkk.",  //
    "..ggwwwwwwwwwwwwwwwwwkkkkkk.",  //
    "..ggwwwwwwwwwwwwwwwwwwkkkk..",  //
    "..ggwwwwwwwwwwwwwwwwwwgg....",  //
    "...ggwwwwwwwwwwwwwwwwgg.....",  //
    "....ggwwwwwwwwwwwwwwgg......",  //
    "......kkgkkwwwwkkgkk........",  //
    "......kk.kkggggkk.kk........",  //
    "......kk.kk....kk.kk........",  //
    "......kk.kk....kk.kk........",  //
};
constexpr int kBannerScale = 4;

struct PaletteColour {
    char key;
    uint8_t red, green, blue;
};

// JPEG has no transparency: '.' is the white of the page the pictures stand on.
constexpr std::array<PaletteColour, 8> kPalette = {{
    {'.', 0xFF, 0xFF, 0xFF},
    {'k', 0x20, 0x20, 0x20},
    {'w', 0xFF, 0xFF, 0xFF},
    {'g', 0x9A, 0x9A, 0x9A},
    {'y', 0xFF, 0xD8, 0x4D},
    {'Y', 0xFF, 0xE9, 0x96},
    {'o', 0xB8, 0x86, 0x0B},
    {'b', 0x4A, 0x6F, 0xC4},
}};

const PaletteColour& ColourOf(char key) {
    for (const PaletteColour& colour : kPalette) {
        if (colour.key == key) {
            return colour;
        }
    }
    throw std::logic_error(std::string("picture uses an unknown colour '") + key + "'");
}

// Fine steps: the drawings are small and sharp-edged, where coarse steps would blur them.
constexpr int kJpegQuality = 95;

template <std::size_t Rows>
std::string EncodePicture(const std::array<std::string_view, Rows>& art, int scale) {
    const std::size_t artWidth = art[0].size();
    for (std::string_view row : art) {
        if (row.size() != artWidth) {
            throw std::logic_error("picture rows differ in width");
        }
    }
    RgbImage image;
    image.width = static_cast<int>(artWidth) * scale;
    image.height = static_cast<int>(Rows) * scale;
    image.rgb.reserve(static_cast<std::size_t>(image.width) *
                      static_cast<std::size_t>(image.height) * 3);
    for (std::string_view row : art) {
        for (int copy = 0; copy < scale; ++copy) {
            for (char key : row) {
                const PaletteColour& colour = ColourOf(key);
                for (int repeat = 0; repeat < scale; ++repeat) {
                    image.rgb.insert(image.rgb.end(), {colour.red, colour.green, colour.blue});
                }
            }
        }
    }
    return EncodeJpeg(image, kJpegQuality);
}

// The pictures as earlier versions wrote them: PNG bytes under the ".jpg" names. Such a file
// is the program's own, not a user's, and is replaced by the JPEG of the same name.
struct EarlierPicture {
    std::string_view name;
    std::size_t size;
    uint32_t crc32;
};
constexpr std::array<EarlierPicture, 3> kEarlierPictures = {{
    {kReportBannerPicture, 316, 0xA6AD4DA5},
    {kReportFilePicture, 157, 0xC407D122},
    {kReportFolderPicture, 158, 0x21810F2B},
}};

bool IsEarlierPicture(IFileSystem& fs, std::string_view name, const std::string& path) {
    for (const EarlierPicture& earlier : kEarlierPictures) {
        if (earlier.name != name) {
            continue;
        }
        // The size first: a user's own picture there may be large, and is not read.
        const Result<PathInfo> info = fs.StatPath(path, true);
        if (!info.ok() || info.value().kind != FileKind::Regular ||
            info.value().size != earlier.size) {
            return false;
        }
        const Result<std::string> bytes = fs.ReadWholeFile(path);
        return bytes.ok() && bytes.value().size() == earlier.size &&
               libdeflate_crc32(0, bytes.value().data(), bytes.value().size()) == earlier.crc32;
    }
    return false;
}

}  // namespace

std::string ReportPictureBytes(std::string_view fileName) {
    if (fileName == kReportBannerPicture) {
        return EncodePicture(kBannerArt, kBannerScale);
    }
    if (fileName == kReportFilePicture) {
        return EncodePicture(kFileArt, 1);
    }
    if (fileName == kReportFolderPicture) {
        return EncodePicture(kFolderArt, 1);
    }
    return {};
}

bool WriteReportPicturesIfMissing(IFileSystem& fs, const std::string& appPath, IPrompt& prompt) {
    bool allPresent = true;
    for (std::string_view name : {kReportBannerPicture, kReportFilePicture, kReportFolderPicture}) {
        const std::string path = appPath + std::string(name);
        if (!FileExists(path)) {
            WriteStringToFile(fs, path, ReportPictureBytes(name), true, prompt);
        } else if (IsEarlierPicture(fs, name, path)) {
            WriteStringToFile(fs, path, ReportPictureBytes(name), false, prompt);
        }
        allPresent = allPresent && FileExists(path);
    }
    return allPresent;
}

}  // namespace duvanto
