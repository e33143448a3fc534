#pragma once
// Hands a flat SPICE circuit and its library cells to the classic engine.
// The classic database knows a net by the number in its name, so every net,
// cell and element gets a synthetic name, a letter and a number unique in the
// run (n7, c2, e3); the bridge keeps the way back to the original names.
// MOSFETs get their channel through two model records, and the rails as
// bulk, which is where the engine looks for them; the supply nets of a
// circuit become one net to the engine, and so do its ground nets.
#include <string>
#include <vector>

#include "netlist/netlist.h"
#include "spice/circuit.h"

class ClassicBridge {
 public:
  // Resets the database and fills it with the top circuit and the cells.
  void load(const spice::Circuit& top, const std::vector<spice::Circuit>& cells);

  // The original name a synthetic name of the database stands for; any other
  // name as it is. Valid for the bridge's lifetime.
  const char* text(const char* name);
  // The synthetic name of a net of the top circuit.
  const char* top_net(spice::NetId n) const { return top_nets_[n]; }

 private:
  // Synthetic names of a circuit's nets, one per net.
  std::vector<char*> name_nets(const spice::Circuit& c);
  char* synthetic(char letter, std::vector<std::string>& table, const std::string& original);
  MOSLIST* mosfets(const spice::Circuit& c, const std::vector<char*>& nets);

  std::vector<std::string> net_texts_, cell_texts_, element_texts_;
  std::vector<char*> top_nets_;
};
