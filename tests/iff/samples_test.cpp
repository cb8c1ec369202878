// The real files beside the project: each is read, written back and read
// again. The output differs from the input at most in the map's size field,
// which the writer sets to the map chunk's length.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "2-iff/IffFile.h"
#include "2-iff/StringTable.h"
#include "support/MemoryFileSystem.h"

namespace qm {
namespace {

struct Sample {
  const char* name;
  size_t chunks;  // the map chunk included
  bool hasMap;
};

void PrintTo(const Sample& s, std::ostream* os) { *os << s.name; }

const Sample kSamples[] = {
    {"fso_firewater.iff", 9, false},          {"roulette-croupiers-fso.iff", 13, true},
    {"k8essbedroomslippersts.iff", 28, true}, {"k8tqtablelamp2ts.iff", 40, true},
    {"k8esshallpainttints.iff", 52, true},    {"k8lmypcolumnts.iff", 18, true},
    {"stp_rubikendtablep.iff", 41, true},     {"k8tojdeskts.iff", 40, true},
    {"k8capmirrorsv.iff", 41, true},
};

std::string SamplePath(const char* name) {
  std::string path = std::string(QM_SAMPLES_DIR) + "/" + name;
#ifdef _WIN32
  // Under Wine the host's root is drive Z:.
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
#endif
  return path;
}

Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class Samples : public ::testing::TestWithParam<Sample> {};

TEST_P(Samples, RewriteChangesAtMostTheMapSizeField) {
  const Sample& s = GetParam();
  const std::string path = SamplePath(s.name);
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "sample files not found at " << path;
  const Bytes input = ReadBytes(path);

  IffFile file;
  gsReadIFF(file, path);
  EXPECT_EQ(file.Chunks.size(), s.chunks - (s.hasMap ? 1 : 0));
  EXPECT_EQ(file.HasRsmp, s.hasMap);

  MemoryFileSystem fs;
  gsWriteIFF(file, "C:\\out.iff", fs);
  const Bytes output = fs.Contents("C:\\out.iff").value_or("");
  ASSERT_EQ(output.size(), input.size());

  if (!s.hasMap) {
    EXPECT_EQ(output, input);
    return;
  }
  const size_t mapAt = static_cast<size_t>(BEBytesToLong(output.substr(60, 4)));
  EXPECT_EQ(output.substr(60, 4), input.substr(60, 4));
  ASSERT_EQ(output.substr(mapAt, 4), "rsmp");
  const size_t sizeField = mapAt + 88;
  EXPECT_EQ(LEBytesToLong(output.substr(sizeField, 4)), static_cast<int32_t>(input.size() - mapAt));
  for (size_t i = 0; i < input.size(); ++i) {
    if (i >= sizeField && i < sizeField + 4) continue;
    ASSERT_EQ(output[i], input[i]) << "first difference at offset " << i;
  }
}

TEST_P(Samples, EveryMapEntryOfTheOutputPointsAtItsChunk) {
  const Sample& s = GetParam();
  const std::string path = SamplePath(s.name);
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "sample files not found at " << path;
  IffFile first;
  gsReadIFF(first, path);
  Bytes output;
  gsWriteIFFImage(first, output);
  IffFile file;
  gsReadIFFImage(file, output);

  size_t entries = 0;
  for (const RsmpType& group : file.RsmpTypes) {
    for (const RsmpEntry& entry : group.Entries) {
      ++entries;
      const int32_t offset = LEBytesToLong(entry.Offset);
      const IffChunk* target = nullptr;
      for (const IffChunk& c : file.Chunks) {
        if (c.Offset - 1 == offset) target = &c;
      }
      ASSERT_NE(target, nullptr) << "entry " << BytesToHexText(entry.IdFlags) << " at " << offset;
      EXPECT_EQ(target->Type, ReverseBytes4(group.Code));
      EXPECT_EQ(target->IdFlags[0], entry.IdFlags[1]);
      EXPECT_EQ(target->IdFlags[1], entry.IdFlags[0]);
    }
  }
  EXPECT_EQ(entries > 0, s.hasMap);
}

TEST_P(Samples, FdFfStringTablesDecodeAndEncodeUnchanged) {
  const Sample& s = GetParam();
  const std::string path = SamplePath(s.name);
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "sample files not found at " << path;
  IffFile file;
  gsReadIFF(file, path);
  for (IffChunk& c : file.Chunks) {
    if (c.Type != "STR#" || c.Data.compare(0, 2, "\xFD\xFF") != 0) continue;
    const IffChunk before = c;
    StringTable table;
    gsReadSTRSegment(file, table, c.IdFlags, false);
    if (table.Entries.empty()) continue;
    gsWriteSTRSegment(file, table, c.IdFlags, false);
    EXPECT_EQ(c.Data, before.Data);
    EXPECT_EQ(c.Size, before.Size);
  }
}

INSTANTIATE_TEST_SUITE_P(Files, Samples, ::testing::ValuesIn(kSamples),
                         [](const ::testing::TestParamInfo<Sample>& info) {
                           std::string name = info.param.name;
                           for (char& ch : name) {
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace qm
