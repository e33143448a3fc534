#pragma once
// Stores the names of a circuit: each is added once and kept, at a fixed
// address, until the pool goes; views of them stay valid when the pool is
// moved. A million names cost their characters and no string each.
#include <cstddef>
#include <string_view>
#include <vector>

namespace circuit {

class NamePool {
 public:
  NamePool() = default;
  NamePool(NamePool&& other) noexcept;
  NamePool& operator=(NamePool&& other) noexcept;
  NamePool(const NamePool&) = delete;
  NamePool& operator=(const NamePool&) = delete;
  ~NamePool();

  // `head` followed by `tail`, as one name.
  std::string_view add(std::string_view head, std::string_view tail = {});

 private:
  struct Block {
    char* data;
    std::size_t size;
  };
  void release() noexcept;

  std::vector<Block> blocks_;
  char* cur_ = nullptr;
  std::size_t left_ = 0;
};

}  // namespace circuit
