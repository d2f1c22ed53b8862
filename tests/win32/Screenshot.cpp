#include "tests/win32/Screenshot.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <vector>

namespace Tralvonic::Test {

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t StoredBlockLimit = 65535;
constexpr std::uint32_t AdlerModulus = 65521;

std::uint32_t Crc(const Bytes& bytes, std::size_t from) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> entries{};
        for (std::uint32_t n = 0; n < entries.size(); ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1U) != 0 ? 0xEDB88320U ^ (c >> 1U) : c >> 1U;
            }
            entries[n] = c;
        }
        return entries;
    }();
    std::uint32_t crc = 0xFFFFFFFFU;
    for (std::size_t i = from; i < bytes.size(); ++i) {
        crc = table[(crc ^ bytes[i]) & 0xFFU] ^ (crc >> 8U);
    }
    return crc ^ 0xFFFFFFFFU;
}

void PutBigEndian(Bytes& bytes, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        bytes.push_back(static_cast<std::uint8_t>(value >> static_cast<unsigned>(shift)));
    }
}

void PutChunk(Bytes& png, const char (&type)[5], const Bytes& data) {
    PutBigEndian(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    PutBigEndian(png, Crc(png, start));
}

// A zlib stream of stored (uncompressed) blocks: larger files, no compressor needed.
Bytes Stored(const Bytes& raw) {
    Bytes stream{0x78, 0x01};
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const std::uint8_t byte : raw) {
        a = (a + byte) % AdlerModulus;
        b = (b + a) % AdlerModulus;
    }
    std::size_t at = 0;
    do {
        const std::size_t length = std::min(StoredBlockLimit, raw.size() - at);
        const auto size = static_cast<std::uint16_t>(length);
        stream.push_back(at + length == raw.size() ? 1 : 0);
        stream.push_back(static_cast<std::uint8_t>(size & 0xFFU));
        stream.push_back(static_cast<std::uint8_t>(size >> 8U));
        stream.push_back(static_cast<std::uint8_t>(~size & 0xFFU));
        stream.push_back(static_cast<std::uint8_t>((~size >> 8U) & 0xFFU));
        stream.insert(stream.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                      raw.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    } while (at < raw.size());
    PutBigEndian(stream, (b << 16U) | a);
    return stream;
}

// Rows of 32-bit BGRX pixels, top first, as an RGB PNG.
Bytes Png(int width, int height, const Bytes& pixels) {
    Bytes raw;
    raw.reserve(static_cast<std::size_t>(height) * (static_cast<std::size_t>(width) * 3 + 1));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < width; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                    static_cast<std::size_t>(x)) *
                                   4;
            raw.push_back(pixels[at + 2]);
            raw.push_back(pixels[at + 1]);
            raw.push_back(pixels[at]);
        }
    }
    Bytes header;
    PutBigEndian(header, static_cast<std::uint32_t>(width));
    PutBigEndian(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});
    Bytes png{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", Stored(raw));
    PutChunk(png, "IEND", {});
    return png;
}

} // namespace

std::filesystem::path ArtifactPath(const std::string& name) {
    const std::filesystem::path folder(TRALVONIC_TEST_ARTIFACTS);
    std::filesystem::create_directories(folder);
    return folder / name;
}

bool SaveScreenshot(HWND window, const std::filesystem::path& path) {
    // Painted now, frame and all, rather than whenever the window's thread gets to it.
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT bounds{};
    if (GetWindowRect(window, &bounds) == FALSE) {
        return false;
    }
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    const bool copied =
        BitBlt(memory, 0, 0, width, height, screen, bounds.left, bounds.top, SRCCOPY) != FALSE;
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    Bytes pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    SelectObject(memory, previous);
    const bool read = GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), &format,
                                DIB_RGB_COLORS) == height;
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!copied || !read) {
        return false;
    }
    const Bytes png = Png(width, height, pixels);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    return file.good();
}

} // namespace Tralvonic::Test
