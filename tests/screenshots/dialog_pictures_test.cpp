// The committed pictures of the export run's dialogs (docs/, written by scripts/screenshots) are
// real pictures: PNG files as the PNG writer makes them, of a dialog's size, not blank.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/screenshots/png_writer.h"

namespace refhost {
namespace {

std::uint32_t BigEndian(const std::string& bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) value = (value << 8) | static_cast<std::uint8_t>(bytes.at(offset + i));
  return value;
}

// Decodes what EncodePng writes: 8-bit RGB, one zlib stream of stored blocks, filter type 0.
// Returns an empty picture for anything else.
RgbImage DecodeStoredPng(const std::string& png) {
  RgbImage image;
  if (png.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return image;
  std::string zlib;
  for (std::size_t offset = 8; offset + 12 <= png.size();) {
    const std::uint32_t length = BigEndian(png, offset);
    const std::string type = png.substr(offset + 4, 4);
    const std::string data = png.substr(offset + 8, length);
    const std::string typed = png.substr(offset + 4, 4 + length);
    if (Crc32(reinterpret_cast<const std::uint8_t*>(typed.data()), typed.size()) !=
        BigEndian(png, offset + 8 + length)) {
      return RgbImage{};
    }
    if (type == "IHDR") {
      if (data.substr(8, 5) != std::string("\x08\x02\x00\x00\x00", 5)) return RgbImage{};
      image.width = static_cast<int>(BigEndian(data, 0));
      image.height = static_cast<int>(BigEndian(data, 4));
    } else if (type == "IDAT") {
      zlib += data;
    }
    offset += 12 + length;
  }
  std::string raw;
  for (std::size_t offset = 2; offset + 5 <= zlib.size();) {
    const auto header = static_cast<std::uint8_t>(zlib[offset]);
    if ((header & 0x06) != 0) return RgbImage{};  // not a stored block
    const std::size_t length =
        static_cast<std::uint8_t>(zlib[offset + 1]) | (static_cast<std::uint8_t>(zlib[offset + 2]) << 8);
    raw.append(zlib, offset + 5, length);
    offset += 5 + length;
    if (header & 1) break;
  }
  const std::size_t stride = static_cast<std::size_t>(image.width) * 3;
  if (image.width <= 0 || raw.size() != (stride + 1) * image.height) return RgbImage{};
  for (int y = 0; y < image.height; ++y) {
    const std::size_t row = y * (stride + 1);
    if (raw[row] != '\0') return RgbImage{};
    const auto first = raw.begin() + static_cast<std::ptrdiff_t>(row + 1);
    image.rgb.insert(image.rgb.end(), first, first + static_cast<std::ptrdiff_t>(stride));
  }
  return image;
}

std::string DocsFile(const std::string& name) { return std::string(KELVARN_SOURCE_DIR) + "/docs/" + name; }

TEST(DialogPictures, EachCommittedPictureShowsADialog) {
  for (const char* name : {"processing-date-dialog.png", "save-dialog.png"}) {
    SCOPED_TRACE(name);
    std::ifstream file(DocsFile(name), std::ios::binary);
    ASSERT_TRUE(file) << DocsFile(name);
    const RgbImage image = DecodeStoredPng(std::string(std::istreambuf_iterator<char>(file), {}));
    EXPECT_GE(image.width, 200);
    EXPECT_GE(image.height, 100);
    EXPECT_TRUE(HasVisibleContent(image));
  }
}

TEST(DialogPictures, ABlankPictureIsRecognisedAsBlank) {
  RgbImage blank;
  blank.width = 300;
  blank.height = 120;
  blank.rgb.assign(std::size_t{300} * 120 * 3, 0xC0);
  const RgbImage decoded = DecodeStoredPng(EncodePng(blank));
  EXPECT_EQ(decoded.width, 300);
  EXPECT_EQ(decoded.rgb, blank.rgb);
  EXPECT_FALSE(HasVisibleContent(decoded));
}

}  // namespace
}  // namespace refhost
