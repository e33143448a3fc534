#include "profile/recognize/function_canon.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace recognize {

namespace {

using Signature = std::vector<std::uint32_t>;

Signature signature(const FunctionTable& t, std::uint32_t input) {
  std::vector<std::array<std::uint32_t, 4>> per_output(t.outputs, std::array<std::uint32_t, 4>{});
  for (std::uint32_t c = 0; c < t.combos(); ++c)
    if ((c >> input) & 1u)
      for (std::uint32_t o = 0; o < t.outputs; ++o) ++per_output[o][static_cast<int>(t.at(c, o))];
  // Output order must not matter.
  std::sort(per_output.begin(), per_output.end());
  Signature s;
  for (const auto& a : per_output) s.insert(s.end(), a.begin(), a.end());
  return s;
}

// Output columns of a table in a given input order, sorted, one after the
// other: all columns are equally long, so comparing the concatenations
// compares the column lists.
struct Candidate {
  std::vector<Value> columns;
  std::vector<std::uint32_t> output_order;
};

// Fills `cand` (its storage reused; `raw` is scratch): the search tries
// many orders per table.
void columns_for(const FunctionTable& t, const std::vector<std::uint32_t>& order, Candidate& cand,
                 std::vector<Value>& raw) {
  const std::size_t combos = t.combos();
  raw.resize(combos * t.outputs);
  for (std::uint32_t nc = 0; nc < combos; ++nc) {
    std::uint32_t c = 0;
    for (std::uint32_t k = 0; k < order.size(); ++k) c |= ((nc >> k) & 1u) << order[k];
    for (std::uint32_t o = 0; o < t.outputs; ++o) raw[o * combos + nc] = t.at(c, o);
  }
  cand.output_order.resize(t.outputs);
  std::iota(cand.output_order.begin(), cand.output_order.end(), 0u);
  auto column = [&](std::uint32_t o) { return raw.begin() + static_cast<std::ptrdiff_t>(o * combos); };
  if (t.outputs > 1)
    std::stable_sort(cand.output_order.begin(), cand.output_order.end(), [&](std::uint32_t x, std::uint32_t y) {
      return std::lexicographical_compare(column(x), column(x) + static_cast<std::ptrdiff_t>(combos), column(y),
                                          column(y) + static_cast<std::ptrdiff_t>(combos));
    });
  cand.columns.resize(raw.size());
  for (std::uint32_t j = 0; j < t.outputs; ++j)
    std::copy(column(cand.output_order[j]), column(cand.output_order[j]) + static_cast<std::ptrdiff_t>(combos),
              cand.columns.begin() + static_cast<std::ptrdiff_t>(j * combos));
}

class Search {
 public:
  Search(const FunctionTable& t, std::vector<std::vector<std::uint32_t>> groups, std::uint64_t budget)
      : t_(t), groups_(std::move(groups)), budget_(budget) {
    for (const auto& g : groups_) {
      // Class of each member: the first member it is symmetric with.
      std::vector<std::uint32_t> cls(g.size());
      for (std::uint32_t i = 0; i < g.size(); ++i) {
        cls[i] = i;
        for (std::uint32_t j = 0; j < i; ++j)
          if (cls[j] == j && FunctionCanon::symmetric(t, g[i], g[j])) {
            cls[i] = j;
            break;
          }
      }
      classes_.push_back(cls);
    }
  }

  void run() {
    order_.clear();
    if (t_.outputs == 1) {
      start_pruned();
      descend();
      best_.columns = best_column_;
      best_.output_order = {0};
    } else {
      recurse(0);
    }
  }

  bool exact() const { return exact_; }
  const Candidate& best() const { return best_; }
  const std::vector<std::uint32_t>& best_order() const { return best_order_; }

 private:
  void recurse(std::size_t g) {
    if (g == groups_.size()) {
      if (tried_ == budget_) {
        exact_ = false;
        return;
      }
      ++tried_;
      columns_for(t_, order_, trial_, raw_);
      if (best_order_.empty() || trial_.columns < best_.columns) {
        std::swap(best_, trial_);
        best_order_ = order_;
      }
      return;
    }
    std::vector<std::uint32_t> seq = classes_[g];
    std::sort(seq.begin(), seq.end());
    do {
      std::size_t mark = order_.size();
      std::vector<std::uint32_t> next_member(groups_[g].size(), 0);
      for (std::uint32_t cl : seq) {
        // Members of a class go in ascending order: they are interchangeable.
        std::uint32_t& m = next_member[cl];
        while (classes_[g][m] != cl) ++m;
        order_.push_back(groups_[g][m]);
        ++m;
      }
      recurse(g + 1);
      order_.resize(mark);
      if (!exact_) return;
    } while (std::next_permutation(seq.begin(), seq.end()));
  }

  // One output: entry nc of the column depends only on the canonical
  // inputs set in nc, so the first 2^(k+1) entries are known once k + 1
  // inputs are placed. Orders are visited in the same sequence as above,
  // and an order whose known entries already compare greater than the
  // best column is dropped with all its completions, which are counted as
  // tried: the same best is found, and the same budget ends the search.
  void start_pruned() {
    column_.assign(t_.combos(), Value::Zero);
    combo_.assign(t_.combos(), 0);
    column_[0] = t_.at(0, 0);
    group_of_.clear();
    remaining_.assign(groups_.size(), {});
    next_.assign(groups_.size(), {});
    class_ids_.assign(groups_.size(), {});
    orders_after_.assign(groups_.size() + 1, 1);
    for (std::size_t g = 0; g < groups_.size(); ++g) {
      group_of_.insert(group_of_.end(), groups_[g].size(), static_cast<std::uint32_t>(g));
      remaining_[g].assign(groups_[g].size(), 0);
      next_[g].assign(groups_[g].size(), 0);
      for (std::uint32_t cl : classes_[g]) ++remaining_[g][cl];
      for (std::uint32_t cl = 0; cl < groups_[g].size(); ++cl)
        if (remaining_[g][cl] > 0) class_ids_[g].push_back(cl);
    }
    for (std::size_t g = groups_.size(); g-- > 0;) orders_after_[g] = orders_of(remaining_[g]) * orders_after_[g + 1];
  }

  // Distinct orders of a multiset with these counts: at most 14! here.
  static std::uint64_t orders_of(const std::vector<std::uint32_t>& counts) {
    std::uint64_t orders = 1, placed = 0;
    for (std::uint32_t c : counts)
      for (std::uint32_t i = 1; i <= c; ++i) orders = orders * ++placed / i;
    return orders;
  }

  void descend() {
    const std::size_t p = order_.size();
    if (p == t_.inputs) {
      if (tried_ == budget_) {
        exact_ = false;
        return;
      }
      ++tried_;
      if (!have_best_ || column_ < best_column_) {
        best_column_ = column_;
        best_order_ = order_;
        have_best_ = true;
      }
      return;
    }
    const std::uint32_t g = group_of_[p];
    const std::size_t known = std::size_t{2} << p;
    for (std::uint32_t cl : class_ids_[g]) {
      if (remaining_[g][cl] == 0) continue;
      // Members of a class go in ascending order: they are interchangeable.
      std::uint32_t& next = next_[g][cl];
      const std::uint32_t saved = next;
      std::uint32_t member = next;
      while (classes_[g][member] != cl) ++member;
      next = member + 1;
      --remaining_[g][cl];
      order_.push_back(groups_[g][member]);
      for (std::size_t nc = known / 2; nc < known; ++nc) {
        combo_[nc] = combo_[nc - known / 2] | (1u << order_[p]);
        column_[nc] = t_.at(combo_[nc], 0);
      }
      if (have_best_ && std::lexicographical_compare(best_column_.begin(), best_column_.begin() + known,
                                                     column_.begin(), column_.begin() + known)) {
        const std::uint64_t leaves = orders_of(remaining_[g]) * orders_after_[g + 1];
        if (tried_ + leaves > budget_) exact_ = false;
        else tried_ += leaves;
      } else {
        descend();
      }
      order_.pop_back();
      ++remaining_[g][cl];
      next = saved;
      if (!exact_) return;
    }
  }

  const FunctionTable& t_;
  std::vector<std::vector<std::uint32_t>> groups_;
  std::vector<std::vector<std::uint32_t>> classes_;
  std::uint64_t budget_;
  std::uint64_t tried_ = 0;
  bool exact_ = true;
  std::vector<std::uint32_t> order_;
  Candidate best_, trial_;
  std::vector<Value> raw_;
  std::vector<std::uint32_t> best_order_;
  // The pruned search's state: the column so far and the table row of each
  // of its entries, each position's group, per group and class the members
  // left and the next one, the classes present, and the orders of the
  // groups after each.
  std::vector<Value> column_, best_column_;
  std::vector<std::uint32_t> combo_, group_of_;
  std::vector<std::vector<std::uint32_t>> remaining_, next_, class_ids_;
  std::vector<std::uint64_t> orders_after_;
  bool have_best_ = false;
};

}  // namespace

bool FunctionCanon::symmetric(const FunctionTable& t, std::uint32_t i, std::uint32_t j) {
  const std::uint32_t bi = 1u << i, bj = 1u << j;
  for (std::uint32_t c = 0; c < t.combos(); ++c) {
    if ((c & bi) == 0 || (c & bj) != 0) continue;
    std::uint32_t s = c ^ bi ^ bj;
    for (std::uint32_t o = 0; o < t.outputs; ++o)
      if (t.at(c, o) != t.at(s, o)) return false;
  }
  return true;
}

FunctionTable FunctionCanon::permute(const FunctionTable& t, const std::vector<std::uint32_t>& order,
                                     const std::vector<std::uint32_t>* output_order) {
  FunctionTable r;
  r.inputs = t.inputs;
  r.outputs = t.outputs;
  r.values.resize(t.values.size());
  for (std::uint32_t nc = 0; nc < t.combos(); ++nc) {
    std::uint32_t c = 0;
    for (std::uint32_t k = 0; k < order.size(); ++k) c |= ((nc >> k) & 1u) << order[k];
    for (std::uint32_t o = 0; o < t.outputs; ++o)
      r.values[std::size_t{nc} * t.outputs + o] = t.at(c, output_order ? (*output_order)[o] : o);
  }
  return r;
}

std::string FunctionCanon::label_of(const FunctionTable& t) {
  static const char kHex[] = "0123456789abcdef";
  std::string s = std::to_string(t.inputs) + "." + std::to_string(t.outputs) + ":";
  // Two bits per value, column by column, four values per two hex digits.
  unsigned acc = 0, bits = 0;
  for (std::uint32_t o = 0; o < t.outputs; ++o)
    for (std::uint32_t c = 0; c < t.combos(); ++c) {
      acc = acc << 2 | static_cast<unsigned>(t.at(c, o));
      bits += 2;
      if (bits == 4) {
        s += kHex[acc];
        acc = bits = 0;
      }
    }
  if (bits) s += kHex[acc << (4 - bits)];
  return s;
}

CanonicalForm FunctionCanon::canonicalize(const FunctionTable& t) {
  std::vector<Signature> sig;
  for (std::uint32_t i = 0; i < t.inputs; ++i) sig.push_back(signature(t, i));
  std::vector<std::uint32_t> sorted(t.inputs);
  std::iota(sorted.begin(), sorted.end(), 0u);
  std::stable_sort(sorted.begin(), sorted.end(), [&](std::uint32_t x, std::uint32_t y) { return sig[x] < sig[y]; });
  std::vector<std::vector<std::uint32_t>> groups;
  for (std::uint32_t k = 0; k < sorted.size(); ++k) {
    if (k == 0 || sig[sorted[k]] != sig[sorted[k - 1]]) groups.emplace_back();
    groups.back().push_back(sorted[k]);
  }
  std::uint64_t cells = std::uint64_t{t.combos()} * std::max<std::uint32_t>(t.outputs, 1);
  std::uint64_t budget = std::max<std::uint64_t>(1, (std::uint64_t{1} << 22) / cells);
  Search search(t, std::move(groups), budget);
  search.run();

  CanonicalForm f;
  f.order = search.best_order();
  f.output_order = search.best().output_order;
  f.exact = search.exact();
  f.table = permute(t, f.order, &f.output_order);
  f.label = label_of(f.table);
  // Interchangeable inputs, numbered by first appearance in canonical order.
  f.input_class.assign(t.inputs, 0);
  std::uint32_t classes = 0;
  for (std::uint32_t k = 0; k < t.inputs; ++k) {
    f.input_class[k] = classes;
    for (std::uint32_t j = 0; j < k; ++j)
      if (symmetric(f.table, j, k)) {
        f.input_class[k] = f.input_class[j];
        break;
      }
    if (f.input_class[k] == classes) ++classes;
  }
  return f;
}

}  // namespace recognize
