// A program that writes into a block it has just freed: the heap checker of
// the test environment must report it. Without the checker nothing shows.
#include <windows.h>
#include <gtest/gtest.h>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct Node {
  int index = 0;
  char payload[60] = {};
};

TEST(FreedWrite, AWriteIntoAFreedBlockIsReported) {
  std::vector<std::unique_ptr<Node>> nodes;
  for (int i = 0; i < 64; ++i) nodes.push_back(std::make_unique<Node>());
  Node *volatile gone = nodes.back().get();
  nodes.pop_back();
  // The fault: the node is written after its owner freed it (past the
  // heap's own links in the free block, so that an unchecked heap goes on).
  std::memset(gone->payload + 32, 0x11, 16);
  for (int i = 0; i < 64; ++i) nodes.push_back(std::make_unique<Node>());
  EXPECT_EQ(nodes.size(), 127u);
}

}  // namespace
