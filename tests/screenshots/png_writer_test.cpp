#include "tests/screenshots/png_writer.h"

#include <gtest/gtest.h>

#include <cstring>

namespace refhost {
namespace {

std::uint32_t ReadBigEndian(const std::string& s, std::size_t at) {
  return (std::uint32_t(std::uint8_t(s[at])) << 24) | (std::uint32_t(std::uint8_t(s[at + 1])) << 16) |
         (std::uint32_t(std::uint8_t(s[at + 2])) << 8) | std::uint32_t(std::uint8_t(s[at + 3]));
}

// Reads the chunks back, checking each CRC, and inflates the stored blocks of IDAT.
std::string DecodeScanlines(const std::string& png, std::uint32_t& width, std::uint32_t& height) {
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n"));
  std::string idat;
  for (std::size_t at = 8; at < png.size();) {
    const std::uint32_t length = ReadBigEndian(png, at);
    const std::string type = png.substr(at + 4, 4);
    const std::string data = png.substr(at + 8, length);
    const std::string typed = png.substr(at + 4, 4 + length);
    EXPECT_EQ(ReadBigEndian(png, at + 8 + length),
              Crc32(reinterpret_cast<const std::uint8_t*>(typed.data()), typed.size()))
        << type;
    if (type == "IHDR") {
      width = ReadBigEndian(data, 0);
      height = ReadBigEndian(data, 4);
    }
    if (type == "IDAT") idat += data;
    at += 12 + length;
  }
  std::string raw;
  std::size_t at = 2;
  for (;;) {
    const bool last = idat[at] & 1;
    const std::size_t length = std::uint8_t(idat[at + 1]) | (std::uint8_t(idat[at + 2]) << 8);
    raw += idat.substr(at + 5, length);
    at += 5 + length;
    if (last) break;
  }
  return raw;
}

TEST(PngWriter, WritesValidChunksAndTheExactPixels) {
  RgbImage image{3, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255, 1, 2, 3, 4, 5, 6, 7, 8, 9}};
  std::uint32_t width = 0, height = 0;
  const std::string raw = DecodeScanlines(EncodePng(image), width, height);
  EXPECT_EQ(width, 3u);
  EXPECT_EQ(height, 2u);
  EXPECT_EQ(raw, std::string("\0\xff\0\0\0\xff\0\0\0\xff\0\x01\x02\x03\x04\x05\x06\x07\x08\x09", 20));
}

TEST(PngWriter, SplitsLargePicturesIntoSeveralBlocks) {
  RgbImage image{400, 100, std::vector<std::uint8_t>(std::size_t{400} * 100 * 3, 7)};
  std::uint32_t width = 0, height = 0;
  const std::string raw = DecodeScanlines(EncodePng(image), width, height);
  EXPECT_EQ(raw.size(), 100u * (1 + 400 * 3));
}

TEST(PngWriter, TellsABlankPictureFromOneWithContent) {
  RgbImage blank{2, 2, std::vector<std::uint8_t>(12, 200)};
  EXPECT_FALSE(HasVisibleContent(blank));
  blank.rgb[7] = 0;
  EXPECT_TRUE(HasVisibleContent(blank));
  EXPECT_THROW(EncodePng(RgbImage{2, 2, {}}), std::invalid_argument);
}

}  // namespace
}  // namespace refhost
