// Files built in by velk_embed read back byte for byte.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "embed_fixtures.h"

namespace {

std::string fixture(const char* name) {
  const char* source = std::getenv("VELK_SOURCE_DIR");
  EXPECT_NE(source, nullptr) << "VELK_SOURCE_DIR is not set";
  std::ifstream in(std::string(source ? source : ".") + "/tests/install_tree/fixtures/" + name,
                   std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot open fixture " << name;
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Embed, EveryByteValueSurvivesIncludingZeroBytes) {
  const std::string expected = fixture("all-bytes.bin");
  ASSERT_EQ(expected.size(), 518u);
  // The name "all-bytes" becomes an identifier.
  const std::string_view embedded = velk::embed_fixtures::all_bytes;
  ASSERT_EQ(embedded.size(), expected.size());
  EXPECT_EQ(embedded, expected);
  EXPECT_EQ(embedded.front(), '\0');
  EXPECT_EQ(embedded.substr(embedded.size() - 6), std::string_view("\0\0tail", 6));
}

TEST(Embed, EmptyFileIsAnEmptyView) {
  EXPECT_TRUE(fixture("empty.bin").empty());
  EXPECT_TRUE(velk::embed_fixtures::empty.empty());
}

}  // namespace
