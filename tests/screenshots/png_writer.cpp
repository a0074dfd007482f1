#include "tests/screenshots/png_writer.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <stdexcept>

namespace refhost {
namespace {

const std::array<std::uint32_t, 256>& CrcTable() {
  static const auto table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  return table;
}

void PutBigEndian(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
  PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
  const std::string typed = std::string(type, 4) + data;
  out += typed;
  PutBigEndian(out, Crc32(reinterpret_cast<const std::uint8_t*>(typed.data()), typed.size()));
}

}  // namespace

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc) {
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i) crc = CrcTable()[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

std::string EncodePng(const RgbImage& image) {
  if (image.width <= 0 || image.height <= 0 ||
      image.rgb.size() != static_cast<std::size_t>(image.width) * image.height * 3)
    throw std::invalid_argument("picture size and pixel data disagree");
  std::string out = "\x89PNG\r\n\x1a\n";
  std::string header;
  PutBigEndian(header, static_cast<std::uint32_t>(image.width));
  PutBigEndian(header, static_cast<std::uint32_t>(image.height));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter, no interlace
  PutChunk(out, "IHDR", header);

  // Raw scanlines, each with filter type 0.
  std::string raw;
  const std::size_t stride = static_cast<std::size_t>(image.width) * 3;
  for (int y = 0; y < image.height; ++y) {
    raw += '\0';
    raw.append(reinterpret_cast<const char*>(image.rgb.data()) + y * stride, stride);
  }
  // zlib stream of stored blocks.
  std::string zlib = "\x78\x01";
  for (std::size_t offset = 0; offset < raw.size() || offset == 0;) {
    const std::size_t length = std::min<std::size_t>(65535, raw.size() - offset);
    const bool last = offset + length == raw.size();
    zlib += static_cast<char>(last ? 1 : 0);
    zlib += static_cast<char>(length & 0xFF);
    zlib += static_cast<char>(length >> 8);
    zlib += static_cast<char>(~length & 0xFF);
    zlib += static_cast<char>((~length >> 8) & 0xFF);
    zlib.append(raw, offset, length);
    offset += length;
    if (last) break;
  }
  std::uint32_t a = 1, b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  PutBigEndian(zlib, (b << 16) | a);
  PutChunk(out, "IDAT", zlib);
  PutChunk(out, "IEND", "");
  return out;
}

bool HasVisibleContent(const RgbImage& image) {
  for (std::size_t i = 3; i + 2 < image.rgb.size(); i += 3) {
    const auto pixel = image.rgb.begin() + static_cast<std::ptrdiff_t>(i);
    if (!std::equal(pixel, pixel + 3, image.rgb.begin())) return true;
  }
  return false;
}

}  // namespace refhost
