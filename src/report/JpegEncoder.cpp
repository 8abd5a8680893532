// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/JpegEncoder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace duvanto {

namespace {

// Position in the block, row by row, of the n-th coefficient in zigzag order.
constexpr std::array<uint8_t, 64> kZigzag = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// The example quantization tables (Annex K.1), row by row.
constexpr std::array<uint8_t, 64> kLuminanceQuant = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
constexpr std::array<uint8_t, 64> kChrominanceQuant = {
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99,
    99, 99, 47, 66, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

// A Huffman table as the file states it: how many codes of each length 1 to 16, then the
// symbols in the order of their codes (Annex K.3).
struct HuffmanTable {
    std::array<uint8_t, 16> counts;
    std::vector<uint8_t> symbols;
};

const HuffmanTable kLuminanceDc = {{0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0},
                                   {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}};
const HuffmanTable kChrominanceDc = {{0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0},
                                     {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}};
const HuffmanTable kLuminanceAc = {
    {0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7D},
    {0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13, 0x51, 0x61,
     0x07, 0x22, 0x71, 0x14, 0x32, 0x81, 0x91, 0xA1, 0x08, 0x23, 0x42, 0xB1, 0xC1, 0x15, 0x52,
     0xD1, 0xF0, 0x24, 0x33, 0x62, 0x72, 0x82, 0x09, 0x0A, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x25,
     0x26, 0x27, 0x28, 0x29, 0x2A, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x43, 0x44, 0x45,
     0x46, 0x47, 0x48, 0x49, 0x4A, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x63, 0x64,
     0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0x83,
     0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8A, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99,
     0x9A, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6,
     0xB7, 0xB8, 0xB9, 0xBA, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xD2, 0xD3,
     0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8,
     0xE9, 0xEA, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA}};
const HuffmanTable kChrominanceAc = {
    {0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77},
    {0x00, 0x01, 0x02, 0x03, 0x11, 0x04, 0x05, 0x21, 0x31, 0x06, 0x12, 0x41, 0x51, 0x07, 0x61,
     0x71, 0x13, 0x22, 0x32, 0x81, 0x08, 0x14, 0x42, 0x91, 0xA1, 0xB1, 0xC1, 0x09, 0x23, 0x33,
     0x52, 0xF0, 0x15, 0x62, 0x72, 0xD1, 0x0A, 0x16, 0x24, 0x34, 0xE1, 0x25, 0xF1, 0x17, 0x18,
     0x19, 0x1A, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x43, 0x44,
     0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x63,
     0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A,
     0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8A, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97,
     0x98, 0x99, 0x9A, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xB2, 0xB3, 0xB4,
     0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA,
     0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7,
     0xE8, 0xE9, 0xEA, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA}};

struct Code {
    uint16_t bits = 0;
    uint8_t length = 0;
};

// The codes of a table, by symbol (Annex C): each length's codes count up from the last
// length's next code, doubled.
std::array<Code, 256> Codes(const HuffmanTable& table) {
    std::array<Code, 256> codes{};
    uint16_t code = 0;
    std::size_t next = 0;
    for (uint8_t length = 1; length <= 16; ++length) {
        for (uint8_t i = 0; i < table.counts[length - 1]; ++i) {
            codes[table.symbols[next++]] = {code++, length};
        }
        code = static_cast<uint16_t>(code << 1);
    }
    return codes;
}

std::array<uint8_t, 64> ScaledQuant(const std::array<uint8_t, 64>& base, int quality) {
    quality = std::clamp(quality, 1, 100);
    const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
    std::array<uint8_t, 64> table{};
    for (std::size_t i = 0; i < 64; ++i) {
        table[i] = static_cast<uint8_t>(std::clamp((base[i] * scale + 50) / 100, 1, 255));
    }
    return table;
}

class BitWriter {
public:
    explicit BitWriter(std::string& out) : m_out(out) {}

    void Put(uint32_t bits, int length) {
        for (int i = length - 1; i >= 0; --i) {
            m_byte = static_cast<uint8_t>((m_byte << 1) | ((bits >> i) & 1U));
            if (++m_used == 8) {
                Flush();
            }
        }
    }
    void Put(const Code& code) { Put(code.bits, code.length); }
    // Pads the last byte with one bits, as the standard asks.
    void Finish() {
        while (m_used != 0) {
            Put(1, 1);
        }
    }

private:
    void Flush() {
        m_out += static_cast<char>(m_byte);
        if (m_byte == 0xFF) {
            m_out += '\0';  // a data byte 0xFF must not read as a marker
        }
        m_byte = 0;
        m_used = 0;
    }

    std::string& m_out;
    uint8_t m_byte = 0;
    int m_used = 0;
};

// The number of bits a coefficient's magnitude takes: its size category.
int Category(int value) {
    int magnitude = value < 0 ? -value : value;
    int bits = 0;
    while (magnitude != 0) {
        magnitude >>= 1;
        ++bits;
    }
    return bits;
}

// A negative value is written as its one's complement in its category's bits.
uint32_t ValueBits(int value, int category) {
    return static_cast<uint32_t>(value < 0 ? value + (1 << category) - 1 : value);
}

struct Component {
    std::array<uint8_t, 64> quant;
    std::array<Code, 256> dc;
    std::array<Code, 256> ac;
    int previousDc = 0;
};

// The forward DCT of one block of level-shifted samples (row by row), quantized.
std::array<int, 64> Transformed(const std::array<double, 64>& samples,
                                const std::array<uint8_t, 64>& quant) {
    static const std::array<double, 64> cosines = [] {
        std::array<double, 64> table{};
        for (int x = 0; x < 8; ++x) {
            for (int u = 0; u < 8; ++u) {
                table[static_cast<std::size_t>(x * 8 + u)] =
                    std::cos((2 * x + 1) * u * std::numbers::pi / 16);
            }
        }
        return table;
    }();
    std::array<int, 64> out{};
    for (int v = 0; v < 8; ++v) {
        for (int u = 0; u < 8; ++u) {
            double sum = 0;
            for (int y = 0; y < 8; ++y) {
                for (int x = 0; x < 8; ++x) {
                    sum += samples[static_cast<std::size_t>(y * 8 + x)] *
                           cosines[static_cast<std::size_t>(x * 8 + u)] *
                           cosines[static_cast<std::size_t>(y * 8 + v)];
                }
            }
            const double cu = u == 0 ? std::numbers::sqrt2 / 2 : 1.0;
            const double cv = v == 0 ? std::numbers::sqrt2 / 2 : 1.0;
            const std::size_t at = static_cast<std::size_t>(v * 8 + u);
            out[at] = static_cast<int>(std::lround(0.25 * cu * cv * sum / quant[at]));
        }
    }
    return out;
}

void EncodeBlock(BitWriter& bits, Component& component, const std::array<double, 64>& samples) {
    const std::array<int, 64> block = Transformed(samples, component.quant);
    const int difference = block[0] - component.previousDc;
    component.previousDc = block[0];
    const int dcCategory = Category(difference);
    bits.Put(component.dc[static_cast<std::size_t>(dcCategory)]);
    bits.Put(ValueBits(difference, dcCategory), dcCategory);

    int zeros = 0;
    for (std::size_t n = 1; n < 64; ++n) {
        const int value = block[kZigzag[n]];
        if (value == 0) {
            ++zeros;
            continue;
        }
        for (; zeros > 15; zeros -= 16) {
            bits.Put(component.ac[0xF0]);  // sixteen zeros
        }
        const int category = Category(value);
        bits.Put(component.ac[static_cast<std::size_t>((zeros << 4) | category)]);
        bits.Put(ValueBits(value, category), category);
        zeros = 0;
    }
    if (zeros > 0) {
        bits.Put(component.ac[0x00]);  // end of block
    }
}

void AppendWord(std::string& out, std::size_t value) {
    out += static_cast<char>((value >> 8) & 0xFF);
    out += static_cast<char>(value & 0xFF);
}

void AppendSegment(std::string& out, uint8_t marker, const std::string& body) {
    out += '\xFF';
    out += static_cast<char>(marker);
    AppendWord(out, body.size() + 2);
    out += body;
}

void AppendHuffmanTable(std::string& body, uint8_t classAndId, const HuffmanTable& table) {
    body += static_cast<char>(classAndId);
    for (uint8_t count : table.counts) {
        body += static_cast<char>(count);
    }
    for (uint8_t symbol : table.symbols) {
        body += static_cast<char>(symbol);
    }
}

}  // namespace

std::string EncodeJpeg(const RgbImage& image, int quality) {
    if (image.width <= 0 || image.height <= 0 || image.width > 65535 || image.height > 65535 ||
        image.rgb.size() !=
            static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 3) {
        throw std::invalid_argument("not an image that JPEG can hold");
    }
    std::array<Component, 3> components = {
        Component{ScaledQuant(kLuminanceQuant, quality), Codes(kLuminanceDc), Codes(kLuminanceAc)},
        Component{ScaledQuant(kChrominanceQuant, quality), Codes(kChrominanceDc),
                  Codes(kChrominanceAc)},
        Component{ScaledQuant(kChrominanceQuant, quality), Codes(kChrominanceDc),
                  Codes(kChrominanceAc)}};

    std::string out = "\xFF\xD8";
    AppendSegment(out, 0xE0, std::string("JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 14));
    std::string tables;
    for (uint8_t id = 0; id < 2; ++id) {
        tables += static_cast<char>(id);
        for (uint8_t position : kZigzag) {
            tables += static_cast<char>(components[id].quant[position]);
        }
    }
    AppendSegment(out, 0xDB, tables);
    std::string frame = "\x08";
    AppendWord(frame, static_cast<std::size_t>(image.height));
    AppendWord(frame, static_cast<std::size_t>(image.width));
    frame += std::string("\x03\x01\x11\x00\x02\x11\x01\x03\x11\x01", 10);
    AppendSegment(out, 0xC0, frame);
    std::string huffman;
    AppendHuffmanTable(huffman, 0x00, kLuminanceDc);
    AppendHuffmanTable(huffman, 0x10, kLuminanceAc);
    AppendHuffmanTable(huffman, 0x01, kChrominanceDc);
    AppendHuffmanTable(huffman, 0x11, kChrominanceAc);
    AppendSegment(out, 0xC4, huffman);
    AppendSegment(out, 0xDA, std::string("\x03\x01\x00\x02\x11\x03\x11\x00\x3F\x00", 10));

    BitWriter bits(out);
    for (int top = 0; top < image.height; top += 8) {
        for (int left = 0; left < image.width; left += 8) {
            std::array<std::array<double, 64>, 3> blocks{};
            for (int y = 0; y < 8; ++y) {
                for (int x = 0; x < 8; ++x) {
                    // Past the right or bottom edge the last pixel repeats.
                    const int px = std::min(left + x, image.width - 1);
                    const int py = std::min(top + y, image.height - 1);
                    const std::size_t at =
                        (static_cast<std::size_t>(py) * static_cast<std::size_t>(image.width) +
                         static_cast<std::size_t>(px)) *
                        3;
                    const double r = image.rgb[at];
                    const double g = image.rgb[at + 1];
                    const double b = image.rgb[at + 2];
                    const std::size_t i = static_cast<std::size_t>(y * 8 + x);
                    blocks[0][i] = 0.299 * r + 0.587 * g + 0.114 * b - 128;
                    blocks[1][i] = -0.168736 * r - 0.331264 * g + 0.5 * b;
                    blocks[2][i] = 0.5 * r - 0.418688 * g - 0.081312 * b;
                }
            }
            for (std::size_t c = 0; c < 3; ++c) {
                EncodeBlock(bits, components[c], blocks[c]);
            }
        }
    }
    bits.Finish();
    out += "\xFF\xD9";
    return out;
}

}  // namespace duvanto
