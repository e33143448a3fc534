#include "classic/verilog/header_writer.h"

#include <fstream>
#include <sstream>

#include "circuit_fixture.h"

TEST(HeaderWriter, MatchesTheReferenceLibraryByteForByte) {
  std::ifstream in(VERILOG_TEST_DATA "/header.v", std::ios::binary);
  std::stringstream expected;
  expected << in.rdbuf();
  EXPECT_EQ(written(write_header_file), expected.str());
}
