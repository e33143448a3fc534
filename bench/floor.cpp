// The least work any extractor must do on a deck: read it, split the MOSFET
// cards into words, number the node names (drain, gate, source, bulk) with
// one hash table and build the node-to-MOSFET adjacency. Timing the
// extractor beside it shows what the rest of the work costs.
//
// Usage: floor [--x-devices] DECK...   (read as one stream, as the extractor
//        reads its files; --x-devices counts `X` cards as devices too, as a
//        layout tool writes every MOSFET as a call of a device subcircuit)
// Prints one line: MOSFETs, nodes and the largest number of gates on one
// node, which is read from the adjacency so none of the work can be dropped.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace {

// Node names, each kept once in one character pool, numbered in order of
// first appearance. Open addressing on a power-of-two table; a slot holds a
// name's hash beside its id, so a probe reads the text only on a full match.
class NameTable {
 public:
  NameTable() : slots_(1024, kEmpty) {}

  uint32_t intern(std::string_view name) {
    uint32_t h = hash(name);
    std::size_t mask = slots_.size() - 1;
    for (std::size_t i = h & mask;; i = (i + 1) & mask) {
      uint64_t slot = slots_[i];
      if (slot == kEmpty) return add(name, h, i);
      auto id = static_cast<uint32_t>(slot);
      if (slot >> 32 == h && text(id) == name) return id;
    }
  }

  std::size_t size() const { return starts_.size() - 1; }

 private:
  static constexpr uint64_t kEmpty = UINT64_MAX;

  // FNV-1a: short names, no setup cost.
  static uint32_t hash(std::string_view s) {
    uint32_t h = 2166136261u;
    for (unsigned char c : s) h = (h ^ c) * 16777619u;
    return h;
  }

  std::string_view text(uint32_t id) const {
    return {pool_.data() + starts_[id], starts_[id + 1] - starts_[id]};
  }

  uint32_t add(std::string_view name, uint32_t h, std::size_t slot) {
    auto id = static_cast<uint32_t>(size());
    slots_[slot] = uint64_t{h} << 32 | id;
    pool_.insert(pool_.end(), name.begin(), name.end());
    starts_.push_back(static_cast<uint32_t>(pool_.size()));
    // At most half full, so probes stay short.
    if (2 * size() > slots_.size()) grow();
    return id;
  }

  void grow() {
    std::vector<uint64_t> wider(2 * slots_.size(), kEmpty);
    std::size_t mask = wider.size() - 1;
    for (uint64_t slot : slots_) {
      if (slot == kEmpty) continue;
      std::size_t i = (slot >> 32) & mask;
      while (wider[i] != kEmpty) i = (i + 1) & mask;
      wider[i] = slot;
    }
    slots_.swap(wider);
  }

  std::vector<uint64_t> slots_;      // hash << 32 | id
  std::vector<uint32_t> starts_{0};  // id's text is pool_[starts_[id], starts_[id + 1])
  std::vector<char> pool_;
};

enum Terminal : uint32_t { kDrain, kGate, kSource, kBulk, kTerminals };

// The four node ids of every MOSFET, in card order.
struct Deck {
  NameTable names;
  std::vector<uint32_t> terminals;  // 4 per MOSFET

  std::size_t mosfets() const { return terminals.size() / kTerminals; }
};

// Splits lines into cards. A card's words may go on over `+` lines; `*`
// lines are comments and leave the card open; any other line starts a card,
// a MOSFET card when its first letter is M or m (or X or x, when asked).
class CardReader {
 public:
  CardReader(Deck& deck, bool x_devices) : deck_(deck), x_devices_(x_devices) {}

  void line(const char* p, const char* end) {
    while (p < end && is_blank(*p)) ++p;
    if (p == end || *p == '*') return;
    if (*p == '+') {
      ++p;
    } else {
      in_mosfet_ = *p == 'M' || *p == 'm' || (x_devices_ && (*p == 'X' || *p == 'x'));
      word_ = 0;
    }
    if (!in_mosfet_) return;
    while (p < end && word_ <= kTerminals) {
      while (p < end && is_blank(*p)) ++p;
      if (p == end) break;
      const char* start = p;
      while (p < end && !is_blank(*p)) ++p;
      // Word 0 is the MOSFET's name; words 1 to 4 are its nodes, kept once
      // the card has all four.
      if (word_ > 0) nodes_[word_ - 1] = deck_.names.intern({start, static_cast<std::size_t>(p - start)});
      if (++word_ == kTerminals + 1) deck_.terminals.insert(deck_.terminals.end(), nodes_, nodes_ + kTerminals);
    }
  }

 private:
  static bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

  Deck& deck_;
  bool x_devices_;
  bool in_mosfet_ = false;
  uint32_t word_ = 0;
  uint32_t nodes_[kTerminals] = {};
};

// Reads the file in large blocks; a line cut by a block's end is moved to the
// front and completed by the next read.
bool read_file(const char* path, CardReader& cards) {
  int fd = open(path, O_RDONLY);
  if (fd < 0) return false;
  std::vector<char> block(1 << 20);
  std::size_t held = 0;
  for (;;) {
    if (held == block.size()) block.resize(2 * block.size());
    ssize_t got = read(fd, block.data() + held, block.size() - held);
    if (got < 0) {
      close(fd);
      return false;
    }
    const char* p = block.data();
    const char* end = p + held + got;
    for (const char* nl; (nl = static_cast<const char*>(std::memchr(p, '\n', end - p))); p = nl + 1)
      cards.line(p, nl);
    if (got == 0) {
      cards.line(p, end);  // a last line with no newline
      break;
    }
    held = end - p;
    std::memmove(block.data(), p, held);
  }
  close(fd);
  return true;
}

// Compressed rows: node n's entries are entries[offsets[n], offsets[n + 1]),
// each MOSFET * 4 + terminal, in MOSFET order.
struct Adjacency {
  std::vector<uint32_t> offsets;
  std::unique_ptr<uint32_t[]> entries;
};

Adjacency build_adjacency(const Deck& deck) {
  Adjacency a;
  a.offsets.assign(deck.names.size() + 1, 0);
  for (uint32_t node : deck.terminals) ++a.offsets[node];
  // Each node's end, then filled from the back: every offset steps down to
  // its node's start and the rows keep MOSFET order.
  for (std::size_t n = 1; n < a.offsets.size(); ++n) a.offsets[n] += a.offsets[n - 1];
  a.entries = std::make_unique_for_overwrite<uint32_t[]>(deck.terminals.size());
  for (auto i = static_cast<uint32_t>(deck.terminals.size()); i-- > 0;) a.entries[--a.offsets[deck.terminals[i]]] = i;
  return a;
}

uint32_t largest_fanout(const Adjacency& a) {
  uint32_t most = 0;
  for (std::size_t n = 0; n + 1 < a.offsets.size(); ++n) {
    uint32_t gates = 0;
    for (uint32_t k = a.offsets[n]; k < a.offsets[n + 1]; ++k) gates += a.entries[k] % kTerminals == kGate;
    if (gates > most) most = gates;
  }
  return most;
}

}  // namespace

int main(int argc, char** argv) {
  int first = 1;
  bool x_devices = argc > 1 && std::strcmp(argv[1], "--x-devices") == 0;
  if (x_devices) ++first;
  if (argc <= first) {
    std::fprintf(stderr, "usage: floor [--x-devices] DECK...\n");
    return 2;
  }
  Deck deck;
  CardReader cards(deck, x_devices);
  for (int i = first; i < argc; ++i) {
    if (!read_file(argv[i], cards)) {
      std::perror(argv[i]);
      return 1;
    }
  }
  Adjacency adjacency = build_adjacency(deck);
  std::printf("%zu MOSFETs, %zu nodes, largest fan-out %u\n", deck.mosfets(), deck.names.size(),
              largest_fanout(adjacency));
  return 0;
}
