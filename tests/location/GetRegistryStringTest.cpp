// The registry lookup against a fake registry that answers as advapi32's
// 8-bit entry points do.

#include <gtest/gtest.h>

#include "1-platform/Failure.h"
#include "1-platform/Registry.h"
#include "support/UiFakes.h"

namespace qm::test {
namespace {

const std::string kKey = "Software\\Maxis\\The Sims";
const std::string kValue = "InstallPath";

class Registry : public ::testing::Test {
 protected:
  std::string Lookup(int32_t size = 0) {
    bufferSize = size;
    return GetRegistryString(kHkeyLocalMachine, kKey, kValue, bufferSize, registry);
  }
  void SetPath(const std::string& text) {
    registry.SetString(kHkeyLocalMachine, kKey, kValue, text);
  }
  FakeRegistry registry;
  int32_t bufferSize = -1;
};

TEST_F(Registry, OpensTheKeyReadOnlyInThe32BitView) {
  SetPath("C:\\Games\\Sims");
  Lookup();
  ASSERT_EQ(registry.opens.size(), 1u);
  EXPECT_EQ(registry.opens[0].hive, 0x80000002u);
  EXPECT_EQ(registry.opens[0].keyPath, kKey);
  EXPECT_EQ(registry.opens[0].options, 0u);
  // KEY_QUERY_VALUE | KEY_WOW64_32KEY: no write rights, the game's view.
  EXPECT_EQ(registry.opens[0].sam, 0x0201u);
}

TEST_F(Registry, ReturnsTheTextWithoutItsTerminatorAndTheReportedSize) {
  SetPath("C:\\Games\\Sims");
  EXPECT_EQ(Lookup(), "C:\\Games\\Sims");
  EXPECT_EQ(bufferSize, 14);  // 13 characters and the zero
  ASSERT_EQ(registry.queries.size(), 1u);
  EXPECT_EQ(registry.queries[0].valueName, kValue);
  EXPECT_EQ(registry.queries[0].typeIn, 1u);
  EXPECT_EQ(registry.queries[0].sizeIn, 255u);
  EXPECT_EQ(registry.queries[0].bufferIn, std::string(255, ' '));
  EXPECT_EQ(registry.order, (std::vector<std::string>{"open", "query", "close"}));
  EXPECT_EQ(registry.closes.size(), 1u);
}

TEST_F(Registry, MissingValueGivesERRORAndClosesTheKey) {
  registry.AddKey(kHkeyLocalMachine, kKey);
  EXPECT_EQ(Lookup(), "ERROR");
  EXPECT_EQ(registry.order, (std::vector<std::string>{"open", "query", "close"}));
}

TEST_F(Registry, MissingKeyGivesERRORWithoutAClose) {
  EXPECT_EQ(Lookup(), "ERROR");
  EXPECT_EQ(registry.order, std::vector<std::string>{"open"});
  EXPECT_EQ(bufferSize, 255);
}

TEST_F(Registry, EmptyValueIsEmptyTextNotERROR) {
  SetPath("");
  EXPECT_EQ(Lookup(), "");
  EXPECT_EQ(bufferSize, 1);
}

TEST_F(Registry, DefaultSizeTakes254CharactersAndRefuses255) {
  SetPath(std::string(254, 'x'));
  EXPECT_EQ(Lookup(), std::string(254, 'x'));
  SetPath(std::string(255, 'y'));
  EXPECT_EQ(Lookup(), "ERROR");
  EXPECT_EQ(bufferSize, 256);  // what the registry said it needs
  EXPECT_EQ(registry.closes.size(), 2u);
}

TEST_F(Registry, GivenSizeLimitsTheValue) {
  SetPath(std::string(99, 'a'));
  EXPECT_EQ(Lookup(100), std::string(99, 'a'));
  EXPECT_EQ(registry.queries.back().bufferIn, std::string(100, ' '));
  SetPath(std::string(100, 'a'));
  EXPECT_EQ(Lookup(100), "ERROR");
}

TEST_F(Registry, TypeIsNotExaminedAndNothingIsExpanded) {
  const uint32_t kExpandSz = 2;
  const uint32_t kMultiSz = 7;
  const uint32_t kDword = 4;
  registry.SetValue(kHkeyLocalMachine, kKey, kValue, kExpandSz,
                    std::string("%ProgramFiles%\\Sims\0", 20));
  EXPECT_EQ(Lookup(), "%ProgramFiles%\\Sims");
  registry.SetValue(kHkeyLocalMachine, kKey, kValue, kMultiSz, std::string("C:\\A\0D:\\B\0\0", 11));
  EXPECT_EQ(Lookup(), "C:\\A");
  registry.SetValue(kHkeyLocalMachine, kKey, kValue, kDword, std::string("\x41\x42\x00\x00", 4));
  EXPECT_EQ(Lookup(), "AB");
  // A zero inside a string value ends the result there.
  registry.SetValue(kHkeyLocalMachine, kKey, kValue, kRegSz, std::string("C:\\G\0ames\0", 10));
  EXPECT_EQ(Lookup(), "C:\\G");
  for (const auto& query : registry.queries) EXPECT_EQ(query.typeIn, 1u);
}

TEST_F(Registry, ValueWithoutTerminatorIsAnInvalidArgumentAfterTheKeyIsClosed) {
  registry.SetValue(kHkeyLocalMachine, kKey, kValue, kRegSz, "C:\\Sims");
  try {
    Lookup();
    ADD_FAILURE() << "no failure";
  } catch (const Failure& f) {
    EXPECT_EQ(f.number(), 87);
    EXPECT_EQ(f.description().rfind("Invalid argument: ", 0), 0u) << f.description();
  }
  EXPECT_EQ(registry.order, (std::vector<std::string>{"open", "query", "close"}));
  EXPECT_EQ(bufferSize, 7);

  // The same when the value fills the buffer exactly.
  registry.SetValue(kHkeyLocalMachine, kKey, kValue, kRegSz, std::string(100, 'z'));
  EXPECT_THROW(Lookup(100), Failure);
  EXPECT_EQ(registry.closes.size(), 2u);
}

TEST_F(Registry, SystemRegistryReportsAMissingKeyAsERROR) {
  int32_t size = 0;
  EXPECT_EQ(
      GetRegistryString(kHkeyLocalMachine, "Software\\Quillmark Tests\\No Such Key", kValue, size),
      "ERROR");
}

}  // namespace
}  // namespace qm::test
