#include "verilog/header_writer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "circuit_fixture.h"

TEST(HeaderWriter, MatchesTheReferenceLibraryByteForByte) {
  std::ifstream in(VERILOG_TEST_DATA "/header.v", std::ios::binary);
  ASSERT_TRUE(in.good());
  std::stringstream expected;
  expected << in.rdbuf();
  std::string first = written(write_header_file);
  EXPECT_EQ(first, expected.str());
  EXPECT_EQ(written(write_header_file), first);  // independent of any state
  EXPECT_EQ(kNumHeaderModules, 34);
  EXPECT_STREQ(find_header_module("AOOI112")->expr, "~((a & b) | c | d)");
  EXPECT_EQ(find_header_module("N_Model_a"), nullptr);
}
