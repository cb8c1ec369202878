// Name packs: any text is read, a bad line being a rejection, never a crash.
// Whatever lists come out, and lists of names cut from the input's bytes,
// written as a pack and read back over the same lists give back every name
// byte for byte.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "1-platform/CodePage.h"
#include "4-behaviour/NamePack.h"
#include "FuzzSupport.h"

namespace qm::fuzz {
namespace {

void RoundTrip(const NameLists& lists, CodePage& codePage) {
  const PackReading back = ReadNamePack(WriteNamePack(lists, codePage), lists, codePage);
  Require(back.rejected.empty(), "a written pack reads without a rejection");
  Require(back.taken == 351, "a written pack gives every name");
  for (int k = 0; k < kListCount; ++k) {
    for (int r = 0; r < kNameListInfo[static_cast<size_t>(k)].namesUsed; ++r) {
      Require(back.lists.Cell(k, r) == lists.Cell(k, r), "a name comes back byte for byte");
    }
  }
}

int RunNamePack(std::string_view input) {
  static const std::unique_ptr<CodePage> codePage = SystemCodePage(1252);
  const PackReading reading = ReadNamePack(input, NameLists(), *codePage);
  RoundTrip(reading.lists, *codePage);

  // The input's bytes as names: each first byte gives a length up to 25.
  NameLists raw;
  size_t at = 0;
  for (int k = 0; k < kListCount && at < input.size(); ++k) {
    for (int r = 0; r < kNameListInfo[static_cast<size_t>(k)].namesUsed && at < input.size(); ++r) {
      const size_t length = static_cast<unsigned char>(input[at++]) % 26;
      raw.Cell(k, r) = std::string(input.substr(at, length));
      at += raw.Cell(k, r).size();
    }
  }
  RoundTrip(raw, *codePage);
  return 0;
}

}  // namespace
}  // namespace qm::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return qm::fuzz::RunNamePack(qm::fuzz::AsBytes(data, size));
}
