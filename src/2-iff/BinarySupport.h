#pragma once
// Conversions between 32-bit values and the 4-byte fields of the game's
// files, and between an id-and-flags field and its spaced hex text.
// Byte strings hold one byte per char, with no character-set conversion.
// Failures are thrown as qm::Failure into the caller.

#include <cstdint>
#include <string>
#include <string_view>

namespace qm {

using Bytes = std::string;

// Read bytes 1 to 4 (further bytes are ignored); fewer than 4 is an
// invalid-argument failure. Values above 0x7FFFFFFF read as negative.
int32_t LEBytesToLong(std::string_view bytes);
int32_t BEBytesToLong(std::string_view bytes);

Bytes LongToLEBytes(int32_t value);
Bytes LongToBEBytes(int32_t value);

// The 4 bytes reversed; any other length gives four spaces.
Bytes ReverseBytes4(std::string_view bytes);

// 1 or 2 hex digits (either case) to 0..255; non-digits count as 0; an empty
// text or one longer than 2 gives -1.
int32_t HexPairToByte(std::string_view text);

// "00 96 00 10" to the bytes 00 96 00 10. Fewer than three spaces, or a group
// HexPairToByte refuses, is an invalid-argument failure.
Bytes HexTextToBytes(std::string_view text);

// Upper-case, two digits: 0 -> "00", 10 -> "0A".
std::string ByteToHexPair(uint8_t byte);

// Bytes as "00 96 00 10"; more than 32767 bytes is an overflow failure.
std::string BytesToHexText(std::string_view bytes);

}  // namespace qm
