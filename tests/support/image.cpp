#include "support/image.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

Rgb Image::at(int x, int y) const
{
    const std::size_t i = 3 * (std::size_t(y) * std::size_t(width) + std::size_t(x));
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

bool isWhite(const Rgb &c)
{
    return c.r == 255 && c.g == 255 && c.b == 255;
}

int brightness(const Rgb &c)
{
    return c.r + c.g + c.b;
}

bool isYellow(const Rgb &c)
{
    return c.r > c.b + 40 && c.g > c.b + 40 && std::abs(c.r - c.g) < 30;
}

bool isBlue(const Rgb &c)
{
    return c.b > c.r + 40 && c.b > c.g;
}

Box nonWhiteBox(const Image &image)
{
    int left = image.width, top = image.height, right = -1, bottom = -1;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (!isWhite(image.at(x, y))) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0) {
        return {};
    }
    return {left, top, right - left + 1, bottom - top + 1};
}

std::size_t countPixels(const Image &image, bool (*test)(const Rgb &))
{
    std::size_t n = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            n += test(image.at(x, y)) ? 1 : 0;
        }
    }
    return n;
}

Rgb brightestColour(const Image &image)
{
    Rgb best;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const Rgb c = image.at(x, y);
            if (!isWhite(c) && brightness(c) > brightness(best)) {
                best = c;
            }
        }
    }
    return best;
}

int steepestStep(const Image &image, int x, int y, int radius)
{
    int steepest = 0;
    for (int row = std::max(0, y - radius); row <= std::min(image.height - 1, y + radius); ++row) {
        for (int col = std::max(0, x - radius); col < std::min(image.width - 1, x + radius);
             ++col) {
            if ((col - x) * (col - x) + (row - y) * (row - y) < radius * radius) {
                const int step =
                    brightness(image.at(col, row)) - brightness(image.at(col + 1, row));
                steepest = std::max(steepest, std::abs(step));
            }
        }
    }
    return steepest;
}

double meanDifference(const Image &a, const Image &b)
{
    if (a.rgb.size() != b.rgb.size() || a.rgb.empty()) {
        return 255.0;
    }
    double sum = 0.0;
    for (std::size_t i = 0; i < a.rgb.size(); ++i) {
        sum += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
    }
    return sum / double(a.rgb.size());
}

namespace {

std::uint32_t field(const std::string &bytes, std::size_t index, bool bigEndian)
{
    std::uint32_t v = 0;
    for (std::size_t k = 0; k < 4; ++k) {
        const auto byte = std::uint8_t(bytes[index * 4 + (bigEndian ? k : 3 - k)]);
        v = (v << 8) | byte;
    }
    return v;
}

int shiftOf(std::uint32_t mask)
{
    int shift = 0;
    while (mask != 0 && (mask & 1u) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

} // namespace

bool readXwd(const std::string &bytes, Image &image)
{
    // The XWD header is 25 big-endian 32-bit fields; colour map entries of 12 bytes follow it.
    constexpr std::size_t HEADER_FIELDS = 25;
    if (bytes.size() < HEADER_FIELDS * 4) {
        return false;
    }
    const std::uint32_t headerSize = field(bytes, 0, true);
    const std::uint32_t format = field(bytes, 2, true);
    const auto width = int(field(bytes, 4, true));
    const auto height = int(field(bytes, 5, true));
    const bool bigEndianPixels = field(bytes, 7, true) == 1; // byte order: 1 is MSBFirst
    const std::uint32_t bitsPerPixel = field(bytes, 11, true);
    const std::uint32_t bytesPerLine = field(bytes, 12, true);
    const std::uint32_t masks[3] = {field(bytes, 14, true), field(bytes, 15, true),
                                    field(bytes, 16, true)};
    const std::uint32_t colourMapEntries = field(bytes, 19, true);
    constexpr std::uint32_t Z_PIXMAP = 2;
    if (format != Z_PIXMAP || (bitsPerPixel != 32 && bitsPerPixel != 24)) {
        return false;
    }
    const std::size_t start = headerSize + 12 * std::size_t(colourMapEntries);
    if (bytes.size() < start + std::size_t(bytesPerLine) * std::size_t(height)) {
        return false;
    }
    image.width = width;
    image.height = height;
    image.rgb.assign(3 * std::size_t(width) * std::size_t(height), 0);
    const std::size_t pixelBytes = bitsPerPixel / 8;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t at =
                start + std::size_t(y) * bytesPerLine + std::size_t(x) * pixelBytes;
            std::uint32_t pixel = 0;
            for (std::size_t k = 0; k < pixelBytes; ++k) {
                const auto byte =
                    std::uint8_t(bytes[at + (bigEndianPixels ? k : pixelBytes - 1 - k)]);
                pixel = (pixel << 8) | byte;
            }
            for (std::size_t c = 0; c < 3; ++c) {
                image.rgb[3 * (std::size_t(y) * std::size_t(width) + std::size_t(x)) + c] =
                    std::uint8_t((pixel & masks[c]) >> shiftOf(masks[c]));
            }
        }
    }
    return true;
}

bool writePpm(const Image &image, const std::string &path)
{
    std::ofstream ppm(path, std::ios::binary);
    ppm << "P6\n" << image.width << ' ' << image.height << "\n255\n";
    ppm.write(reinterpret_cast<const char *>(image.rgb.data()),
              static_cast<std::streamsize>(image.rgb.size()));
    return ppm.good();
}
