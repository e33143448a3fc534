#pragma once
// Whether replacing a matched occurrence by a subcircuit instance leaves the
// circuit computing what its transistors compute. The search pairs gates by
// type and neighbourhood only, and later pairs can overwrite earlier ones, so
// a completed match can still be unsound; this check reads the final pairs
// once more and costs about the size of the definition.
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class Macromodel;
class Patternmatch;
struct NODELIST;
struct EQUALNAMELIST;
struct MOSLIST;

// The condition an unsound occurrence fails (0: none fails).
enum OccurrenceFault {
  kOccurrenceSound = 0,
  kSharedCircuitGate = 1,   // a circuit gate stands for two definition gates
  kGatesDiffer = 2,         // a net has no counterpart, or a gate's nets do not correspond
  kInternalNetShared = 3,   // an internal net is a port or is used outside the occurrence
  kOutputNotDriven = 4,     // an output terminal is not its counterpart gate's output
  kLoneMosfetMissing = 5,   // a definition MOSFET in no gate has no counterpart
};

// Text naming a condition in the rejection line.
const char* occurrence_fault_text(int fault);

class OccurrenceCheck {
 public:
  OccurrenceCheck(Macromodel* macromodel, Patternmatch* search);

  // Reads the stacks of the attempt just completed.
  int failed_condition();
  // Files the uses of the occurrence that just passed and is being placed:
  // the nets its pins lie on and the circuit MOSFETs outside gates it stands
  // for, so that no later occurrence takes them as its own.
  void place(const EQUALNAMELIST* inputs, const EQUALNAMELIST* outputs);

 private:
  // A circuit net by the identity of its node (names with one number are one
  // net); a name without a node stands for itself.
  std::string_view net(const char* name);
  // The circuit net of a definition net, or empty.
  std::string_view image(const char* mname);
  void add_definition_net(const char* mname);
  bool distinct_gates();
  void list_definition_nets();
  bool nets_mapped();
  bool gates_correspond();
  template <class MB, class CB>
  bool branches_correspond(const MB* m, const CB* c);
  // A branch text's value for each setting of the letters a-f (bit k of
  // the index is letter 'a' + k), and for which settings it reads at all.
  struct LetterTable {
    uint64_t value = 0;
    uint64_t readable = 0;
  };
  const LetterTable& letter_table(const char* expr);
  bool internal_nets_private();
  // The definition's internal net `mname` lies on a circuit net that only
  // the occurrence's gates touch.
  bool net_private(const char* mname);
  bool outputs_driven();
  // Every definition MOSFET that belongs to no gate or transmission gate
  // (a keeper, a lone pull-down) has its own counterpart in the circuit.
  bool lone_mosfets_present();
  void list_lone_mosfets();
  bool is_port(std::string_view cnet);

  Macromodel* mm_;
  Patternmatch* search_;
  // The definition's nets, each once, in the order its gates and pins name
  // them, and which of them are terminals.
  std::vector<const char*> definition_nets_;
  std::vector<char> is_terminal_;
  std::unordered_map<std::string_view, std::size_t> seen_;  // by text: index in definition_nets_
  // The same by the address of each name met, so that the definition's own
  // records find their net without reading its text.
  std::unordered_map<const char*, std::size_t> net_at_;
  bool nets_listed_ = false;
  bool gate_missing_ = false;  // a gate record names no gate of the definition
  std::vector<std::string_view> images_of_;  // the circuit net of each, this attempt
  bool images_ready_ = false;                // images_of_ holds every net's
  std::unordered_map<std::string_view, int> images_;  // circuit net -> definition nets mapped to it
  std::unordered_set<std::string_view> ports_;
  std::unordered_map<std::string_view, LetterTable> letter_tables_;
  bool ports_ready_ = false;
  std::vector<MOSLIST*> lone_;               // the definition's MOSFETs in no gate
  bool lone_listed_ = false;
  const char* rail_[2] = {nullptr, nullptr};  // definition's ground and supply
  const char* circuit_rail_[2] = {nullptr, nullptr};
  std::vector<const MOSLIST*> lone_images_;  // their counterparts, this attempt
};
