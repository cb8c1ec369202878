// Peak heap of one load of the live.iff-like file (gsReadIFF and the seven
// name tables), counted exactly: every global operator new and delete goes
// through the counters below. Prints one JSON object.

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "2-iff/IffFile.h"
#include "2-iff/StringTable.h"
#include "BenchInputs.h"

namespace {

// Live heap bytes, and their highest value since the last reset. Single
// threaded, so plain counters do.
size_t gLive = 0;
size_t gPeak = 0;

// Each block carries its size in front, so that every form of delete can
// subtract it.
constexpr size_t kHeader = alignof(std::max_align_t);

void* Allocate(size_t size) {
  void* block = std::malloc(size + kHeader);
  if (block == nullptr) throw std::bad_alloc();
  *static_cast<size_t*>(block) = size;
  gLive += size;
  if (gLive > gPeak) gPeak = gLive;
  return static_cast<char*>(block) + kHeader;
}

void Release(void* p) noexcept {
  if (p == nullptr) return;
  void* block = static_cast<char*>(p) - kHeader;
  gLive -= *static_cast<size_t*>(block);
  std::free(block);
}

}  // namespace

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, size_t) noexcept { Release(p); }
void operator delete[](void* p, size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }

int main() {
  using namespace qm;
  bench::TempFolder folder;
  const std::string path = folder.Path("live.iff");
  size_t fileBytes = 0;
  {
    const Bytes image = bench::LiveLikeImage();
    fileBytes = image.size();
    bench::WriteFile(path, image);
  }

  const size_t before = gLive;
  gPeak = gLive;
  bool ok = true;
  {
    IffFile file;
    StringTable tables[bench::kNameTableIds.size()];
    try {
      gsReadIFF(file, path);
      for (size_t i = 0; i < bench::kNameTableIds.size(); ++i) {
        gsReadSTRSegment(file, tables[i], bench::NameTableIdFlags(bench::kNameTableIds[i]), false);
      }
    } catch (const IffError&) {
      ok = false;
    }
  }
  const size_t peak = gPeak - before;
  std::printf("{\"file_bytes\": %zu, \"peak_heap_bytes\": %zu, \"load_ok\": %s}\n", fileBytes, peak,
              ok ? "true" : "false");
  return ok ? 0 : 1;
}
