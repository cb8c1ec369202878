#include "2-iff/BinarySupport.h"

#include <gtest/gtest.h>

#include <functional>

#include "1-platform/Failure.h"
#include "testkit/IffBuilder.h"

namespace qm {
namespace {

using test::B;

int32_t FailureNumber(const std::function<void()>& f) {
  try {
    f();
  } catch (const Failure& failure) {
    return failure.number();
  }
  return 0;
}

constexpr int32_t kInvalid = static_cast<int32_t>(Fault::InvalidArgument);

TEST(BinarySupport, ReadsFourByteFieldsInBothOrders) {
  EXPECT_EQ(LEBytesToLong(B({0xFF, 0xFF, 0xFF, 0x7F})), 2147483647);
  EXPECT_EQ(LEBytesToLong(B({0x00, 0x00, 0x00, 0x80})), INT32_MIN);
  EXPECT_EQ(LEBytesToLong(B({0x2C, 0x01, 0x00, 0x00})), 300);
  EXPECT_EQ(BEBytesToLong(B({0x00, 0x00, 0x01, 0x2C})), 300);
  EXPECT_EQ(LEBytesToLong(B({0xFF, 0xFF, 0xFF, 0xFF})), -1);
  EXPECT_EQ(BEBytesToLong(B({0xFF, 0xFF, 0xFF, 0xFF})), -1);
  EXPECT_EQ(BEBytesToLong(B({0x80, 0x00, 0x00, 0x00})), INT32_MIN);
  EXPECT_EQ(BEBytesToLong(B({0x30, 0x30, 0x30, 0x30})), 0x30303030);
}

TEST(BinarySupport, ReadingIgnoresBytesAfterTheFourth) {
  EXPECT_EQ(LEBytesToLong(B({0x2C, 0x01, 0x00, 0x00, 0x7F})), 300);
  EXPECT_EQ(BEBytesToLong(B({0x00, 0x00, 0x01, 0x2C, 0x7F})), 300);
}

TEST(BinarySupport, ReadingFewerThanFourBytesIsInvalidArgument) {
  EXPECT_EQ(FailureNumber([] { LEBytesToLong(B({1, 2, 3})); }), kInvalid);
  EXPECT_EQ(FailureNumber([] { BEBytesToLong(""); }), kInvalid);
}

TEST(BinarySupport, WritesFourByteFieldsInBothOrders) {
  EXPECT_EQ(LongToBEBytes(-1), B({0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(LongToBEBytes(300), B({0x00, 0x00, 0x01, 0x2C}));
  EXPECT_EQ(LongToLEBytes(INT32_MIN), B({0x00, 0x00, 0x00, 0x80}));
  EXPECT_EQ(LongToLEBytes(0x01020304), B({0x04, 0x03, 0x02, 0x01}));
}

TEST(BinarySupport, WritingInvertsReading) {
  for (int32_t v : {0, 1, -1, 300, -300, 76, INT32_MAX, INT32_MIN, 0x30303030, -0x12345678}) {
    EXPECT_EQ(LEBytesToLong(LongToLEBytes(v)), v);
    EXPECT_EQ(BEBytesToLong(LongToBEBytes(v)), v);
  }
}

TEST(BinarySupport, ReverseBytes4ReversesExactlyFourBytes) {
  EXPECT_EQ(ReverseBytes4("rsmp"), "pmsr");
  EXPECT_EQ(ReverseBytes4("STR#"), "#RTS");
  EXPECT_EQ(ReverseBytes4("abc"), "    ");
  EXPECT_EQ(ReverseBytes4("abcde"), "    ");
  EXPECT_EQ(ReverseBytes4(""), "    ");
}

TEST(BinarySupport, HexPairToByteCountsNonDigitsAsZero) {
  EXPECT_EQ(HexPairToByte(""), -1);
  EXPECT_EQ(HexPairToByte("100"), -1);
  EXPECT_EQ(HexPairToByte("ff"), 255);
  EXPECT_EQ(HexPairToByte("FF"), 255);
  EXPECT_EQ(HexPairToByte("0"), 0);
  EXPECT_EQ(HexPairToByte("1G"), 16);
  EXPECT_EQ(HexPairToByte("G1"), 1);
  EXPECT_EQ(HexPairToByte("zz"), 0);
  EXPECT_EQ(HexPairToByte("a"), 10);
  EXPECT_EQ(HexPairToByte("7f"), 127);
}

TEST(BinarySupport, HexTextToBytesTakesFourSpacedGroups) {
  EXPECT_EQ(HexTextToBytes("00 A1 00 10"), B({0x00, 0xA1, 0x00, 0x10}));
  EXPECT_EQ(HexTextToBytes("00 a1 00 10"), B({0x00, 0xA1, 0x00, 0x10}));
  EXPECT_EQ(HexTextToBytes("0 96 0 10"), B({0x00, 0x96, 0x00, 0x10}));
  EXPECT_EQ(HexTextToBytes("00 96 00 10"), B({0x00, 0x96, 0x00, 0x10}));
}

TEST(BinarySupport, HexTextToBytesRefusesMalformedText) {
  for (const char* text : {"0096 00 10", "00 96 00 10 ", "00 96 00 10 20", "00  96 00 10",
                           " 00 96 00", "00 96 00 ", "000 96 00 10", ""}) {
    EXPECT_EQ(FailureNumber([&] { HexTextToBytes(text); }), kInvalid) << '"' << text << '"';
  }
}

TEST(BinarySupport, HexTextOfBytes) {
  EXPECT_EQ(ByteToHexPair(0), "00");
  EXPECT_EQ(ByteToHexPair(10), "0A");
  EXPECT_EQ(ByteToHexPair(255), "FF");
  EXPECT_EQ(BytesToHexText(B({0x00, 0x96, 0x00, 0x10})), "00 96 00 10");
  EXPECT_EQ(BytesToHexText(B({0x05})), "05");
  EXPECT_EQ(BytesToHexText(""), "");
  EXPECT_EQ(BytesToHexText(Bytes(32767, 'a')).size(), 32767u * 3 - 1);
  EXPECT_EQ(FailureNumber([] { BytesToHexText(Bytes(32768, 'a')); }),
            static_cast<int32_t>(Fault::Overflow));
}

TEST(BinarySupport, HexTextRoundTripsEveryByteValue) {
  for (int v = 0; v < 256; ++v) {
    const Bytes bytes = B({v, 255 - v, v ^ 0x5A, 0});
    EXPECT_EQ(HexTextToBytes(BytesToHexText(bytes)), bytes);
  }
}

}  // namespace
}  // namespace qm
