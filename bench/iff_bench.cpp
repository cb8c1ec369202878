// Loading and saving against the disk's own speed, and the map update at
// two sizes. Every case times wall-clock time: the writes wait for the
// device (Commit flushes), which CPU time would not show.

#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <memory>
#include <string>

#include "1-platform/FileSystem.h"
#include "2-iff/IffFile.h"
#include "2-iff/StringTable.h"
#include "3-state/AppState.h"
#include "4-behaviour/LanguageBlocks.h"
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

// A procedure that fails throws IffError, which ends the run: the inputs are
// well-formed.
void ReadTables(const IffFile& file, Tables& tables) {
  for (size_t i = 0; i < tables.size(); ++i) {
    gsReadSTRSegment(file, tables[i], NameTableIdFlags(kNameTableIds[i]), false);
  }
}

void WriteTables(IffFile& file, const Tables& tables) {
  for (size_t i = 0; i < tables.size(); ++i) {
    gsWriteSTRSegment(file, tables[i], NameTableIdFlags(kNameTableIds[i]), false);
  }
}

// Whether each table's language blocks are the 17 of the game's languages.
bool FindEveryLanguage(const Tables& tables) {
  for (size_t i = 0; i < tables.size(); ++i) {
    const size_t shown = static_cast<size_t>(kNameListInfo[i].namesUsed);
    if (FindLanguageBlocks(tables[i], shown).codes.size() != 17) return false;
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
// name tables and find their language blocks.
void Load(benchmark::State& state) {
  for (auto _ : state) {
    IffFile file;
    Tables tables;
    gsReadIFF(file, gInputs->livePath);
    ReadTables(file, tables);
    if (!FindEveryLanguage(tables)) {
      state.SkipWithError("load failed");
      break;
    }
    benchmark::DoNotOptimize(file.Chunks.data());
  }
  SetBytes(state, gInputs->liveImage.size());
}

// The limit for a save: the file's bytes created, written and flushed to the
// device.
bool RawWriteOnce(const std::string& path) {
  std::unique_ptr<OutputFile> out;
  return SystemFileSystem().Create(path, out) == syserr::kOk &&
         out->Write(gInputs->liveImage) == syserr::kOk && out->Commit() == syserr::kOk;
}

// What the editor does on saving, up to the final replace: encode the seven
// name tables and write the file (which flushes it), against a raw write.
// The device's flush takes a time that drifts with the disk's other work, so
// the two take turns in one loop, each timed on its own, which goes first
// changing every time: both are measured over the same stretch of time. The
// counters are each one's time per write.
void SaveAndRawWrite(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  IffFile file;
  Tables tables;
  gsReadIFF(file, gInputs->livePath);
  ReadTables(file, tables);
  const std::string savePath = gInputs->folder.Path("save.iff");
  const std::string rawPath = gInputs->folder.Path("raw.iff");
  Clock::duration saveTime{}, rawTime{};
  const auto save = [&] {
    const auto start = Clock::now();
    WriteTables(file, tables);
    gsWriteIFF(file, savePath);
    saveTime += Clock::now() - start;
    return true;
  };
  const auto raw = [&] {
    const auto start = Clock::now();
    const bool ok = RawWriteOnce(rawPath);
    rawTime += Clock::now() - start;
    return ok;
  };
  bool saveFirst = true;
  for (auto _ : state) {
    const bool ok = saveFirst ? save() && raw() : raw() && save();
    saveFirst = !saveFirst;
    if (!ok) {
      state.SkipWithError("write failed");
      break;
    }
  }
  const auto us = [](Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
  };
  SetBytes(state, 2 * gInputs->liveImage.size());
  state.counters["save_us"] = benchmark::Counter(us(saveTime), benchmark::Counter::kAvgIterations);
  state.counters["raw_write_us"] =
      benchmark::Counter(us(rawTime), benchmark::Counter::kAvgIterations);
}

// The map update alone, for a file of state.range(0) chunks, each with its
// map entry.
void UpdateRsmp(benchmark::State& state) {
  const Bytes& image = state.range(0) == 3277 ? gInputs->mapped3277 : gInputs->mapped32767;
  IffFile file;
  gsReadIFFImage(file, image);
  if (file.Chunks.size() != static_cast<size_t>(state.range(0))) {
    state.SkipWithError("load failed");
    return;
  }
  for (auto _ : state) gsUpdateRsmp(file);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

BENCHMARK(RawRead)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(Load)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(SaveAndRawWrite)->Unit(benchmark::kMicrosecond)->UseRealTime();
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
