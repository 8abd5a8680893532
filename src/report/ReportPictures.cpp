#include "report/ReportPictures.h"

#include <libdeflate.h>

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

#include "util/FileUtilities.h"

namespace duvanto {

namespace {

// Drawings as text, one character per pixel, so that a reader of the source sees the picture.
// '.' is transparent; the other characters name the colours of kPalette.

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
    uint8_t red, green, blue, alpha;
};

// Index 0 is the transparent colour, so that it is the one a tRNS chunk of one entry covers.
constexpr std::array<PaletteColour, 8> kPalette = {{
    {'.', 0x00, 0x00, 0x00, 0x00},
    {'k', 0x20, 0x20, 0x20, 0xFF},
    {'w', 0xFF, 0xFF, 0xFF, 0xFF},
    {'g', 0x9A, 0x9A, 0x9A, 0xFF},
    {'y', 0xFF, 0xD8, 0x4D, 0xFF},
    {'Y', 0xFF, 0xE9, 0x96, 0xFF},
    {'o', 0xB8, 0x86, 0x0B, 0xFF},
    {'b', 0x4A, 0x6F, 0xC4, 0xFF},
}};

uint8_t PaletteIndex(char key) {
    for (std::size_t i = 0; i < kPalette.size(); ++i) {
        if (kPalette[i].key == key) {
            return static_cast<uint8_t>(i);
        }
    }
    throw std::logic_error(std::string("picture uses an unknown colour '") + key + "'");
}

void AppendBigEndian32(std::string& out, uint32_t value) {
    out += static_cast<char>((value >> 24) & 0xFF);
    out += static_cast<char>((value >> 16) & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
    out += static_cast<char>(value & 0xFF);
}

void AppendChunk(std::string& png, std::string_view type, std::string_view data) {
    AppendBigEndian32(png, static_cast<uint32_t>(data.size()));
    std::string typed(type);
    typed.append(data);
    png += typed;
    AppendBigEndian32(png, libdeflate_crc32(0, typed.data(), typed.size()));
}

std::string ZlibCompress(const std::string& raw) {
    std::unique_ptr<libdeflate_compressor, decltype(&libdeflate_free_compressor)> compressor(
        libdeflate_alloc_compressor(9), &libdeflate_free_compressor);
    if (!compressor) {
        throw std::bad_alloc();
    }
    std::string packed(libdeflate_zlib_compress_bound(compressor.get(), raw.size()), '\0');
    const std::size_t size = libdeflate_zlib_compress(compressor.get(), raw.data(), raw.size(),
                                                      packed.data(), packed.size());
    if (size == 0) {
        throw std::runtime_error("picture could not be compressed");
    }
    packed.resize(size);
    return packed;
}

template <std::size_t Rows>
std::string EncodePng(const std::array<std::string_view, Rows>& art, int scale) {
    const std::size_t artWidth = art[0].size();
    for (std::string_view row : art) {
        if (row.size() != artWidth) {
            throw std::logic_error("picture rows differ in width");
        }
    }
    const auto width = static_cast<uint32_t>(artWidth * static_cast<std::size_t>(scale));
    const auto height = static_cast<uint32_t>(Rows * static_cast<std::size_t>(scale));

    std::string pixels;
    pixels.reserve(static_cast<std::size_t>(height) * (width + 1));
    for (std::string_view row : art) {
        std::string line(1, '\0');  // filter type None
        for (char key : row) {
            line.append(static_cast<std::size_t>(scale), static_cast<char>(PaletteIndex(key)));
        }
        for (int copy = 0; copy < scale; ++copy) {
            pixels += line;
        }
    }

    std::string header;
    AppendBigEndian32(header, width);
    AppendBigEndian32(header, height);
    header += '\x08';        // 8 bits per palette index
    header += '\x03';        // colour type: palette
    header.append(3, '\0');  // deflate, adaptive filtering, no interlace

    std::string palette;
    std::string alphas;
    for (const PaletteColour& colour : kPalette) {
        palette += static_cast<char>(colour.red);
        palette += static_cast<char>(colour.green);
        palette += static_cast<char>(colour.blue);
        alphas += static_cast<char>(colour.alpha);
    }

    std::string png("\x89PNG\r\n\x1A\n", 8);
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "PLTE", palette);
    AppendChunk(png, "tRNS", alphas);
    AppendChunk(png, "IDAT", ZlibCompress(pixels));
    AppendChunk(png, "IEND", "");
    return png;
}

}  // namespace

std::string ReportPictureBytes(std::string_view fileName) {
    if (fileName == kReportBannerPicture) {
        return EncodePng(kBannerArt, kBannerScale);
    }
    if (fileName == kReportFilePicture) {
        return EncodePng(kFileArt, 1);
    }
    if (fileName == kReportFolderPicture) {
        return EncodePng(kFolderArt, 1);
    }
    return {};
}

bool WriteReportPicturesIfMissing(const std::string& appPath, IPrompt& prompt) {
    bool allPresent = true;
    for (std::string_view name : {kReportBannerPicture, kReportFilePicture, kReportFolderPicture}) {
        const std::string path = appPath + std::string(name);
        if (!FileExists(path)) {
            WriteStringToFile(path, ReportPictureBytes(name), true, prompt);
        }
        allPresent = allPresent && FileExists(path);
    }
    return allPresent;
}

}  // namespace duvanto
