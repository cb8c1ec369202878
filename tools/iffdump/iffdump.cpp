// iffdump: shows what an IFF file of the game holds, as this program reads
// it, or writes it back through the reader and writer.
//
//   iffdump FILE                 header, chunks, resource map, string tables
//   iffdump FILE --rewrite OUT   read FILE and write it to OUT

#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "2-iff/IffFile.h"
#include "2-iff/StringTable.h"

namespace qm {
namespace {

void Report(const std::string& path, const IffError& error) {
  std::cerr << "iffdump: " << path << ": " << error.procedure() << " failed at location "
            << error.location() << ": error " << error.number() << ": " << error.description()
            << "\n";
}

// Printable ASCII as is, everything else as \xNN.
std::string Escape(std::string_view bytes) {
  std::string out;
  for (char c : bytes) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7F && c != '\\' && c != '"') {
      out.push_back(c);
    } else {
      out += (c == '\\' || c == '"') ? std::string("\\") + c : "\\x" + ByteToHexPair(u);
    }
  }
  return out;
}

std::string_view UpTo(std::string_view bytes, std::string_view ends) {
  return bytes.substr(0, bytes.find_first_of(ends));
}

std::string Hex16(uint32_t v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "0x%04X", v & 0xFFFF);
  return buf;
}

uint32_t Byte(std::string_view bytes, size_t i) {
  return i < bytes.size() ? static_cast<uint8_t>(bytes[i]) : 0;
}

void ListHeader(const IffFile& file) {
  std::cout << "Signature: \"" << Escape(UpTo(file.Signature, std::string_view("\0", 1))) << "\"\n";
  const int32_t mapOffset = BEBytesToLong(file.RsmpOffset);
  std::cout << "Map offset: " << mapOffset
            << (file.HasRsmp ? ""
                             : (file.RsmpOffset == "0000" ? " (\"0000\": no map)" : " (no map)"))
            << "\n";
}

void ListChunks(const IffFile& file) {
  std::cout << "\nChunks: " << file.Chunks.size() << "\n";
  std::cout << "  offset      type  size        id      flags   label\n";
  for (const IffChunk& c : file.Chunks) {
    char line[96];
    std::snprintf(line, sizeof line, "  %-10d  ", c.Offset - 1);
    std::cout << line << Escape(c.Type) << "  ";
    std::snprintf(line, sizeof line, "%-10d  ", BEBytesToLong(c.Size));
    std::cout << line << Hex16(Byte(c.IdFlags, 0) << 8 | Byte(c.IdFlags, 1)) << "  "
              << Hex16(Byte(c.IdFlags, 2) << 8 | Byte(c.IdFlags, 3)) << "  \""
              << Escape(UpTo(c.Label, std::string_view("\0", 1))) << "\"\n";
  }
}

bool PointsAtChunk(const IffFile& file, const RsmpType& group, const RsmpEntry& entry) {
  const int32_t offset = LEBytesToLong(entry.Offset);
  const Bytes type = ReverseBytes4(group.Code);
  for (const IffChunk& c : file.Chunks) {
    if (c.Offset - 1 == offset && c.Type == type && Byte(c.IdFlags, 0) == Byte(entry.IdFlags, 1) &&
        Byte(c.IdFlags, 1) == Byte(entry.IdFlags, 0)) {
      return true;
    }
  }
  return false;
}

// Returns the number of entries that point at no chunk of their type and ID.
size_t ListMap(const IffFile& file) {
  if (file.RsmpHeader.empty()) {
    std::cout << "\nMap: none read\n";
    return 0;
  }
  std::cout << "\nMap: " << file.RsmpTypes.size() << " groups (type count " << file.RsmpTypeCount
            << ", size field " << file.RsmpSize << ")\n";
  size_t stray = 0;
  for (const RsmpType& group : file.RsmpTypes) {
    std::cout << "  " << Escape(ReverseBytes4(group.Code)) << ": " << group.Count << " entries\n";
    for (const RsmpEntry& entry : group.Entries) {
      const bool found = PointsAtChunk(file, group, entry);
      if (!found) ++stray;
      char line[64];
      std::snprintf(line, sizeof line, "    %-10d  ", LEBytesToLong(entry.Offset));
      std::cout << line << Hex16(Byte(entry.IdFlags, 1) << 8 | Byte(entry.IdFlags, 0)) << "  "
                << Hex16(Byte(entry.IdFlags, 3) << 8 | Byte(entry.IdFlags, 2)) << "  \""
                << Escape(UpTo(entry.Label, std::string_view("\0\xA3", 2))) << "\""
                << (found ? "" : "  <- no chunk of this type and ID here") << "\n";
    }
  }
  return stray;
}

// Decodes every STR# chunk whose format code is FD FF. Returns false when one
// of them fails to decode.
bool ListStringTables(const IffFile& file, const std::string& path) {
  bool ok = true;
  std::cout << "\nString tables (FD FF):\n";
  for (const IffChunk& c : file.Chunks) {
    if (c.Type != "STR#" || c.Data.compare(0, 2, "\xFD\xFF") != 0) continue;
    std::cout << "  STR# " << BytesToHexText(c.IdFlags) << " \""
              << Escape(UpTo(c.Label, std::string_view("\0", 1))) << "\"\n";
    StringTable table;
    try {
      gsReadSTRSegment(file, table, c.IdFlags, false);
    } catch (const IffError& error) {
      Report(path, error);
      ok = false;
      continue;
    }
    int k = 0;
    for (const StringEntry& e : table.Entries) {
      std::cout << "    " << ++k << " [" << BytesToHexText(e.LanguageCode) << "] \""
                << Escape(e.Value) << "\"";
      if (!e.Comment.empty()) std::cout << "  // \"" << Escape(e.Comment) << "\"";
      std::cout << "\n";
    }
    if (!table.Trailer.empty()) std::cout << "    trailer: " << table.Trailer.size() << " bytes\n";
  }
  return ok;
}

int Usage() {
  std::cerr << "usage: iffdump FILE\n"
               "       iffdump FILE --rewrite OUT\n";
  return 2;
}

int Run(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() != 1 && !(args.size() == 3 && args[1] == "--rewrite")) return Usage();
  const std::string& path = args[0];

  IffFile file;
  try {
    gsReadIFF(file, path);
  } catch (const IffError& error) {
    Report(path, error);
    return 1;
  }

  if (args.size() == 3) {
    try {
      gsWriteIFF(file, args[2]);
    } catch (const IffError& error) {
      Report(args[2], error);
      return 1;
    }
    std::cout << "Wrote " << args[2] << ": " << file.Chunks.size() << " chunks"
              << (file.HasRsmp && !file.RsmpHeader.empty() ? " and the map" : ", no map") << "\n";
    return 0;
  }

  std::cout << "File: " << path << "\n";
  ListHeader(file);
  ListChunks(file);
  const size_t stray = ListMap(file);
  const bool tablesOk = ListStringTables(file, path);
  if (stray > 0) {
    std::cout << "\n" << stray << " map entries point at no chunk of their type and ID\n";
  }
  return tablesOk ? 0 : 1;
}

}  // namespace
}  // namespace qm

int main(int argc, char** argv) {
  try {
    return qm::Run(argc, argv);
  } catch (const std::exception& e) {
    std::cerr << "iffdump: " << e.what() << "\n";
    return 1;
  }
}
