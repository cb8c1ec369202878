// Loading and saving against the disk's own speed, and the map update at
// two sizes. Every case times wall-clock time: the writes wait for the
// device (Commit flushes), which CPU time would not show.

#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <string>

#include "1-platform/FileSystem.h"
#include "2-iff/IffFile.h"
#include "2-iff/StringTable.h"
#include "BenchInputs.h"

namespace qm::bench {
namespace {

struct Inputs {
  TempFolder folder;
  std::string livePath = folder.Path("live.iff");
  Bytes liveImage = LiveLikeImage();
  Bytes mapped3277 = MappedImage(3277);
  Bytes mapped32767 = MappedImage(32767);
  Inputs() { WriteFile(livePath, liveImage); }
};

Inputs* gInputs = nullptr;

using Tables = std::array<StringTable, kNameTableIds.size()>;

bool ReadTables(const IffFile& file, Tables& tables) {
  for (size_t i = 0; i < tables.size(); ++i) {
    if (!gsReadSTRSegment(file, tables[i], NameTableIdFlags(kNameTableIds[i]), false)) return false;
  }
  return true;
}

bool WriteTables(IffFile& file, const Tables& tables) {
  for (size_t i = 0; i < tables.size(); ++i) {
    if (!gsWriteSTRSegment(file, tables[i], NameTableIdFlags(kNameTableIds[i]), false)) {
      return false;
    }
  }
  return true;
}

void SetBytes(benchmark::State& state, size_t perIteration) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(perIteration));
}

// The limit for a load: the file's bytes into memory and nothing more.
void RawRead(benchmark::State& state) {
  FileSystem& fs = SystemFileSystem();
  for (auto _ : state) {
    std::string bytes;
    if (fs.ReadAll(gInputs->livePath, bytes) != syserr::kOk) {
      state.SkipWithError("read failed");
      break;
    }
    benchmark::DoNotOptimize(bytes.data());
  }
  SetBytes(state, gInputs->liveImage.size());
}

// What the editor does on opening the game: read the file, decode the seven
// name tables.
void Load(benchmark::State& state) {
  for (auto _ : state) {
    IffFile file;
    Tables tables;
    if (!gsReadIFF(file, gInputs->livePath) || !ReadTables(file, tables)) {
      state.SkipWithError("load failed");
      break;
    }
    benchmark::DoNotOptimize(file.Chunks.data());
  }
  SetBytes(state, gInputs->liveImage.size());
}

// The limit for a save: the same number of bytes created, written and
// flushed to the device.
void RawWrite(benchmark::State& state) {
  FileSystem& fs = SystemFileSystem();
  const std::string path = gInputs->folder.Path("raw.iff");
  const Bytes& bytes = gInputs->liveImage;
  for (auto _ : state) {
    std::unique_ptr<OutputFile> out;
    if (fs.Create(path, out) != syserr::kOk || out->Write(bytes) != syserr::kOk ||
        out->Commit() != syserr::kOk) {
      state.SkipWithError("write failed");
      break;
    }
  }
  SetBytes(state, bytes.size());
}

// What the editor does on saving, up to the final replace: encode the seven
// name tables and write the file (which flushes it).
void Save(benchmark::State& state) {
  IffFile file;
  Tables tables;
  if (!gsReadIFF(file, gInputs->livePath) || !ReadTables(file, tables)) {
    state.SkipWithError("load failed");
    return;
  }
  const std::string path = gInputs->folder.Path("save.iff");
  for (auto _ : state) {
    if (!WriteTables(file, tables) || !gsWriteIFF(file, path)) {
      state.SkipWithError("save failed");
      break;
    }
  }
  SetBytes(state, gInputs->liveImage.size());
}

// The map update alone, for a file of state.range(0) chunks, each with its
// map entry.
void UpdateRsmp(benchmark::State& state) {
  const Bytes& image = state.range(0) == 3277 ? gInputs->mapped3277 : gInputs->mapped32767;
  IffFile file;
  if (!gsReadIFFImage(file, image) || file.Chunks.size() != static_cast<size_t>(state.range(0))) {
    state.SkipWithError("load failed");
    return;
  }
  for (auto _ : state) {
    if (!gsUpdateRsmp(file)) {
      state.SkipWithError("update failed");
      break;
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

BENCHMARK(RawRead)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(Load)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(RawWrite)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(Save)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(UpdateRsmp)->Arg(3277)->Arg(32767)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
}  // namespace qm::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  qm::bench::Inputs inputs;
  qm::bench::gInputs = &inputs;
  benchmark::AddCustomContext("live_iff_bytes", std::to_string(inputs.liveImage.size()));
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
