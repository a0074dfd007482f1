#pragma once
// Writes 24-bit RGB pictures as PNG files (uncompressed deflate blocks): enough for screenshots
// of the component's dialogs without any image library.
#include <cstdint>
#include <string>
#include <vector>

namespace refhost {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // width * height * 3 bytes, rows top to bottom
};

std::string EncodePng(const RgbImage& image);

// True when the picture has at least two distinct colours (a screenshot that is not blank).
bool HasVisibleContent(const RgbImage& image);

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0);

}  // namespace refhost
