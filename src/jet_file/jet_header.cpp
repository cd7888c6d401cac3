// Tells a Jet file from anything else by its first page's header.
//
// Bytes 0-3 are 00 01 00 00, then "Standard Jet DB" (Jet 3 and 4) or
// "Standard ACE DB" (Access 2007 on); the byte at 0x14 is the version:
// 0 Jet 3, 1 Jet 4, 2 and above ACE.
#include <array>
#include <cstring>
#include <fstream>

#include "jet_file/jet_file.h"

namespace korvane::jetfile {

namespace {

constexpr std::array<unsigned char, 4> kMagic = {0x00, 0x01, 0x00, 0x00};
constexpr char kJetName[] = "Standard Jet DB";
constexpr char kAceName[] = "Standard ACE DB";
constexpr size_t kNameOffset = 4;
constexpr size_t kVersionOffset = 0x14;

}  // namespace

JetFileFormat jetFileFormatOf(const std::filesystem::path& file) {
  std::array<char, kVersionOffset + 1> header{};
  std::ifstream in(file, std::ios::binary);
  if (!in.read(header.data(), header.size())) return JetFileFormat::kNotJet;
  if (std::memcmp(header.data(), kMagic.data(), kMagic.size()) != 0) return JetFileFormat::kNotJet;
  const char* name = header.data() + kNameOffset;
  const auto version = static_cast<unsigned char>(header[kVersionOffset]);
  if (std::memcmp(name, kAceName, sizeof kAceName) == 0) return JetFileFormat::kAce;
  if (std::memcmp(name, kJetName, sizeof kJetName) != 0) return JetFileFormat::kNotJet;
  if (version == 0) return JetFileFormat::kJet3;
  if (version == 1) return JetFileFormat::kJet4;
  return JetFileFormat::kAce;
}

bool looksLikeJetFile(const std::filesystem::path& file) {
  return jetFileFormatOf(file) != JetFileFormat::kNotJet;
}

}  // namespace korvane::jetfile
