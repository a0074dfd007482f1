#include "tools/msft_type_library.h"

#include <cstdio>

namespace kelvarn::tools {
namespace {

constexpr std::uint32_t kMagic = 0x5446534D;  // "MSFT"
constexpr std::uint32_t kHelpDllFlag = 0x100;
constexpr std::size_t kHeaderSize = 0x54;
constexpr std::size_t kSegmentCount = 15;
constexpr std::size_t kTypeInfoSize = 0x64;
enum Segment { kTypeInfoTable = 0, kGuidTable = 5, kNameTable = 7, kStringTable = 8 };
constexpr std::uint32_t kTkindInterface = 3, kTkindDispatch = 4;
constexpr std::uint32_t kTypeflagDual = 0x40, kTypeflagOleAutomation = 0x100;

class Reader {
 public:
  explicit Reader(const std::string& bytes) : bytes_(bytes) {}
  bool Has(std::size_t offset, std::size_t size) const {
    return offset <= bytes_.size() && size <= bytes_.size() - offset;
  }
  std::uint32_t U32(std::size_t offset) const {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes_[offset + i]);
    return value;
  }
  std::uint16_t U16(std::size_t offset) const {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes_[offset]) |
                                      (static_cast<unsigned char>(bytes_[offset + 1]) << 8));
  }
  std::string Text(std::size_t offset, std::size_t size) const { return bytes_.substr(offset, size); }

 private:
  const std::string& bytes_;
};

struct SegmentEntry {
  std::uint32_t offset;
  std::uint32_t length;
};

bool Guid(const Reader& reader, const SegmentEntry& table, std::uint32_t position, std::string& out) {
  if (position >= table.length || !reader.Has(table.offset + position, 16)) return false;
  const std::size_t at = table.offset + position;
  char text[40];
  std::snprintf(
      text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", reader.U32(at), reader.U16(at + 4),
      reader.U16(at + 6), static_cast<unsigned char>(reader.Text(at + 8, 1)[0]),
      static_cast<unsigned char>(reader.Text(at + 9, 1)[0]), static_cast<unsigned char>(reader.Text(at + 10, 1)[0]),
      static_cast<unsigned char>(reader.Text(at + 11, 1)[0]), static_cast<unsigned char>(reader.Text(at + 12, 1)[0]),
      static_cast<unsigned char>(reader.Text(at + 13, 1)[0]), static_cast<unsigned char>(reader.Text(at + 14, 1)[0]),
      static_cast<unsigned char>(reader.Text(at + 15, 1)[0]));
  out = text;
  return true;
}

// Name entries: hreftype, next hash, then a length byte (low byte of a 32-bit word) and the name.
bool Name(const Reader& reader, const SegmentEntry& table, std::uint32_t position, std::string& out) {
  if (position >= table.length || !reader.Has(table.offset + position, 12)) return false;
  const std::size_t at = table.offset + position;
  const std::size_t length = reader.U32(at + 8) & 0xFF;
  if (!reader.Has(at + 12, length) || position + 12 + length > table.length) return false;
  out = reader.Text(at + 12, length);
  return true;
}

// Strings: a 16-bit length, then the text.
bool String(const Reader& reader, const SegmentEntry& table, std::uint32_t position, std::string& out) {
  if (position >= table.length || !reader.Has(table.offset + position, 2)) return false;
  const std::size_t at = table.offset + position;
  const std::size_t length = reader.U16(at);
  if (!reader.Has(at + 2, length) || position + 2 + length > table.length) return false;
  out = reader.Text(at + 2, length);
  return true;
}

}  // namespace

bool ReadTypeLibrary(const std::string& bytes, TypeLibraryIdentity& identity, std::string& error) {
  const Reader reader(bytes);
  if (!reader.Has(0, kHeaderSize) || reader.U32(0) != kMagic) {
    error = "not an MSFT type library";
    return false;
  }
  const std::uint32_t varflags = reader.U32(0x14);
  const std::uint32_t typeInfoCount = reader.U32(0x20);
  std::size_t segments =
      kHeaderSize + ((varflags & kHelpDllFlag) ? 4 : 0) + 4 * static_cast<std::size_t>(typeInfoCount);
  if (typeInfoCount > 0xFFFF || !reader.Has(segments, kSegmentCount * 16)) {
    error = "truncated type library header";
    return false;
  }
  SegmentEntry segment[kSegmentCount];
  for (std::size_t i = 0; i < kSegmentCount; ++i) {
    segment[i] = {reader.U32(segments + 16 * i), reader.U32(segments + 16 * i + 4)};
    if (segment[i].offset != 0xFFFFFFFF && !reader.Has(segment[i].offset, segment[i].length)) {
      error = "a table lies outside the file";
      return false;
    }
  }
  identity = {};
  identity.syskind = varflags & 0xF;
  // The second locale field is the library's lcid attribute; the first is the locale of its names.
  identity.lcid = reader.U32(0x10);
  const std::uint32_t version = reader.U32(0x18);
  identity.majorVersion = static_cast<std::uint16_t>(version & 0xFFFF);
  identity.minorVersion = static_cast<std::uint16_t>(version >> 16);
  // A library loaded from a file reports LIBFLAG_FHASDISKIMAGE, and RegisterTypeLib writes the
  // flags as reported.
  constexpr std::uint32_t kHasDiskImage = 0x8;
  identity.flags = (reader.U32(0x1C) & 0xFFFF) | kHasDiskImage;
  if (!Guid(reader, segment[kGuidTable], reader.U32(0x08), identity.libid)) {
    error = "no library identifier";
    return false;
  }
  const std::uint32_t helpString = reader.U32(0x24);
  if (helpString != 0xFFFFFFFF && !String(reader, segment[kStringTable], helpString, identity.helpString)) {
    error = "unreadable library help string";
    return false;
  }
  for (std::uint32_t index = 0; index < typeInfoCount; ++index) {
    const std::size_t at = segment[kTypeInfoTable].offset + kTypeInfoSize * index;
    if (kTypeInfoSize * (index + 1) > segment[kTypeInfoTable].length) {
      error = "truncated type information table";
      return false;
    }
    const std::uint32_t kind = reader.U32(at) & 0xF;
    const std::uint32_t typeFlags = reader.U32(at + 0x30);
    // The kinds and flags for which RegisterTypeLib writes an Interface key.
    const bool registered =
        kind == kTkindDispatch || (kind == kTkindInterface && (typeFlags & (kTypeflagOleAutomation | kTypeflagDual)));
    if (!registered) continue;
    TypeLibraryInterface entry;
    if (!Guid(reader, segment[kGuidTable], reader.U32(at + 0x2C), entry.iid) ||
        !Name(reader, segment[kNameTable], reader.U32(at + 0x34), entry.name)) {
      error = "unreadable interface " + std::to_string(index);
      return false;
    }
    bool seen = false;
    for (const TypeLibraryInterface& known : identity.interfaces) seen = seen || known.iid == entry.iid;
    if (!seen) identity.interfaces.push_back(entry);
  }
  return true;
}

}  // namespace kelvarn::tools
