#include "profile/circuit/name_pool.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "core/memory/huge_allocator.h"

namespace circuit {

namespace {
constexpr std::size_t kFirstBlock = 4096, kLargestBlock = std::size_t{16} << 20;
}  // namespace

NamePool::NamePool(NamePool&& other) noexcept
    : blocks_(std::move(other.blocks_)), cur_(std::exchange(other.cur_, nullptr)), left_(std::exchange(other.left_, 0)) {
  other.blocks_.clear();
}

NamePool& NamePool::operator=(NamePool&& other) noexcept {
  if (this != &other) {
    release();
    blocks_ = std::move(other.blocks_);
    other.blocks_.clear();
    cur_ = std::exchange(other.cur_, nullptr);
    left_ = std::exchange(other.left_, 0);
  }
  return *this;
}

NamePool::~NamePool() { release(); }

void NamePool::release() noexcept {
  for (const Block& b : blocks_) core::free_block(b.data, b.size);
  blocks_.clear();
  cur_ = nullptr;
  left_ = 0;
}

std::string_view NamePool::add(std::string_view head, std::string_view tail) {
  std::size_t size = head.size() + tail.size();
  if (size > left_) {
    // Blocks double with the names held, so that a small circuit stays small
    // and a large one takes few blocks.
    std::size_t block = blocks_.empty() ? kFirstBlock : std::min(kLargestBlock, 2 * blocks_.back().size);
    block = std::max(block, size);
    blocks_.push_back(Block{static_cast<char*>(core::allocate_block(block)), block});
    cur_ = blocks_.back().data;
    left_ = block;
  }
  char* at = cur_;
  if (!head.empty()) std::memcpy(at, head.data(), head.size());
  if (!tail.empty()) std::memcpy(at + head.size(), tail.data(), tail.size());
  cur_ += size;
  left_ -= size;
  return std::string_view(at, size);
}

}  // namespace circuit
