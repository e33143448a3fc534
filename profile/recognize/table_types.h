#pragma once
// The gate types of the header table as canonical functions: a stage whose
// label equals a type's is that type, and the type's canonical input order
// tells which module pin each of the stage's inputs goes to.
#include <string>
#include <unordered_map>

namespace recognize {

struct TableType {
  int module = -1;   // index into kHeaderModules
  std::string pins;  // module pin letter for each canonical input
};

class TableTypes {
 public:
  // The table built once from the header modules.
  static const TableTypes& instance();

  // The type with this label, or null. Of two types with one function the
  // first in header order is taken.
  const TableType* find(const std::string& label) const;

 private:
  TableTypes();
  std::unordered_map<std::string, TableType> by_label_;
};

}  // namespace recognize
