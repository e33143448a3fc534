#include "classic/match/occurrence_check.h"

#include <algorithm>
#include <array>

#include "classic/algo/run_state.h"
#include "classic/algo/tables.h"
#include "classic/extract/node.h"
#include "core/gates/expression.h"
#include "classic/match/logic_type.h"
#include "classic/match/macromodel.h"
#include "classic/match/patternmatch.h"
#include "classic/messages/messages.h"
#include "classic/netlist/netlist.h"

const char* occurrence_fault_text(int fault) {
  switch (fault) {
    case kSharedCircuitGate:
      return msg::kFaultSharedGate;
    case kGatesDiffer:
      return msg::kFaultGatesDiffer;
    case kInternalNetShared:
      return msg::kFaultInternalNet;
    case kOutputNotDriven:
      return msg::kFaultOutputUndriven;
    case kLoneMosfetMissing:
      return msg::kFaultLoneMosfet;
    default:
      return "";
  }
}

OccurrenceCheck::OccurrenceCheck(Macromodel* macromodel, Patternmatch* search) : mm_(macromodel), search_(search) {}

std::string_view OccurrenceCheck::net(const char* name) {
  if (!name) return {};
  NODELIST* node = search_->get_node(name);
  return node && node->nodename ? node->nodename : name;
}

std::string_view OccurrenceCheck::image(const char* mname) {
  if (images_ready_) {
    auto it = net_at_.find(mname);
    if (it != net_at_.end()) return images_of_[it->second];
  }
  return net(mm_->return_node_from_nodestack(mname));
}

void OccurrenceCheck::add_definition_net(const char* mname) {
  if (!mname) return;
  auto [it, added] = seen_.try_emplace(mname, definition_nets_.size());
  if (added) definition_nets_.push_back(mname);
  net_at_.emplace(mname, it->second);
}

int OccurrenceCheck::failed_condition() {
  images_.clear();
  images_ready_ = false;
  if (!distinct_gates()) return kSharedCircuitGate;
  if (!nets_mapped() || !gates_correspond()) return kGatesDiffer;
  if (!internal_nets_private()) return kInternalNetShared;
  if (!outputs_driven()) return kOutputNotDriven;
  if (!lone_mosfets_present()) return kLoneMosfetMissing;
  return kOccurrenceSound;
}

bool OccurrenceCheck::distinct_gates() {
  std::unordered_set<std::string_view> used;
  for (GATESTACK* r = mm_->gate_stack; r; r = r->next) {
    if (!r->circuit_name || !used.insert(r->circuit_name).second) return false;
  }
  return true;
}

void OccurrenceCheck::list_definition_nets() {
  for (GATESTACK* r = mm_->gate_stack; r; r = r->next) {
    if (is_gate_name(r->macromodel_name)) {
      MCGate* g = mm_->gate_named(r->macromodel_name);
      if (!g) {
        gate_missing_ = true;
        break;
      }
      add_definition_net(output_node_of(g));
      // A pseudo gate's function is its n-branch; its p-branch is a load
      // whose gate may sit on a rail, which has no counterpart.
      for (MBranch* b : {g->n_branch, g->cmos_gate ? g->p_branch : nullptr}) {
        for (NAMELIST* n = b ? b->name_list : nullptr; n; n = n->next) add_definition_net(n->gatename);
      }
    } else if (TRANSLIST* t = mm_->trans_named(r->macromodel_name)) {
      for (const char* n : {t->input, t->output, t->p_g, t->n_g}) add_definition_net(n);
    }
  }
  for (INOUTLIST* p = mm_->inputhead; p; p = p->next) add_definition_net(p->pinname);
  for (INOUTLIST* p = mm_->outputhead; p; p = p->next) add_definition_net(p->pinname);
  for (const char* m : definition_nets_) is_terminal_.push_back(mm_->query_terminal(m));
  nets_listed_ = true;
}

bool OccurrenceCheck::nets_mapped() {
  // The definition's nets are the same for every attempt.
  if (!nets_listed_) list_definition_nets();
  if (gate_missing_) return false;
  images_of_.clear();
  for (const char* m : definition_nets_) {
    std::string_view c = image(m);
    if (c.empty()) return false;
    ++images_[c];
    images_of_.push_back(c);
  }
  images_ready_ = true;
  // Two definition nets on one circuit net are only possible for pins tied
  // together outside; an internal net has its circuit net to itself.
  for (std::size_t i = 0; i < definition_nets_.size(); ++i) {
    if (!is_terminal_[i] && images_[images_of_[i]] > 1) return false;
  }
  return true;
}

const OccurrenceCheck::LetterTable& OccurrenceCheck::letter_table(const char* expr) {
  static const LetterTable kUnreadable;
  if (!expr) return kUnreadable;
  auto [it, added] = letter_tables_.try_emplace(expr);
  if (added) {
    // Every gate of a type has the same few texts, so each is read once.
    for (unsigned letters = 0; letters < 64; ++letters) {
      std::optional<bool> r = evaluate_expression(expr, letters);
      if (!r) continue;
      it->second.readable |= uint64_t{1} << letters;
      if (*r) it->second.value |= uint64_t{1} << letters;
    }
  }
  return it->second;
}

// Both branches compute one function of the same circuit nets. The letters
// of a branch stand for transistor gates; comparing truth tables over the
// distinct nets accepts exactly the input orders the gate's function allows.
template <class MB, class CB>
bool OccurrenceCheck::branches_correspond(const MB* m, const CB* c) {
  if (!m || !c) return !m && !c;
  const char* m_expr = m->mos_list ? m->mos_list->g : nullptr;
  const char* c_expr = c->mos_list ? c->mos_list->g : nullptr;
  constexpr int kLetters = 6;
  std::array<int, kLetters> m_net{}, c_net{};
  m_net.fill(-1);
  c_net.fill(-1);
  std::vector<std::string_view> nets;
  auto index_of = [&](std::string_view n) {
    for (size_t i = 0; i < nets.size(); ++i) {
      if (nets[i] == n) return static_cast<int>(i);
    }
    return -1;
  };
  for (const NAMELIST* n = c->name_list; n; n = n->next) {
    int k = n->virtual_name - 'a';
    if (k < 0 || k >= kLetters) return false;
    std::string_view cn = net(n->gatename);
    int i = index_of(cn);
    if (i < 0) {
      i = static_cast<int>(nets.size());
      nets.push_back(cn);
    }
    c_net[k] = i;
  }
  for (const NAMELIST* n = m->name_list; n; n = n->next) {
    int k = n->virtual_name - 'a';
    if (k < 0 || k >= kLetters) return false;
    m_net[k] = index_of(image(n->gatename));
    if (m_net[k] < 0) return false;
  }
  auto table = [&](const char* expr, const std::array<int, kLetters>& letter_net, uint64_t& out) {
    out = 0;
    const LetterTable& values = letter_table(expr);
    for (unsigned v = 0; v < (1u << nets.size()); ++v) {
      unsigned letters = 0;
      for (int k = 0; k < kLetters; ++k) {
        if (letter_net[k] >= 0 && ((v >> letter_net[k]) & 1u)) letters |= 1u << k;
      }
      if (!((values.readable >> letters) & 1u)) return false;
      if ((values.value >> letters) & 1u) out |= uint64_t{1} << v;
    }
    return true;
  };
  uint64_t mt = 0, ct = 0;
  if (table(m_expr, m_net, mt) && table(c_expr, c_net, ct)) return mt == ct;
  // An expression recognition left unreadable: only the same text with the
  // same nets letter by letter is known to agree.
  return same_text(m_expr, c_expr) && m_net == c_net;
}

bool OccurrenceCheck::gates_correspond() {
  for (GATESTACK* r = mm_->gate_stack; r; r = r->next) {
    if (is_gate_name(r->macromodel_name)) {
      MCGate* m = mm_->gate_named(r->macromodel_name);
      CGate* c = search_->circuit_gate(r->circuit_name);
      if (!m || !c || image(output_node_of(m)) != net(output_node_of(c))) return false;
      if (m->cmos_gate != c->cmos_gate || !branches_correspond(m->n_branch, c->n_branch) ||
          (m->cmos_gate && !branches_correspond(m->p_branch, c->p_branch))) {
        return false;
      }
    } else {
      TRANSLIST* m = mm_->trans_named(r->macromodel_name);
      TRANSLIST* c = search_->circuit_trans(r->circuit_name);
      if (!m || !c) return false;
      std::string_view mi = image(m->input), mo = image(m->output);
      std::string_view ci = net(c->input), co = net(c->output);
      // A transmission gate conducts both ways.
      bool ends = (mi == ci && mo == co) || (mi == co && mo == ci);
      if (!ends || image(m->p_g) != net(c->p_g) || image(m->n_g) != net(c->n_g)) return false;
    }
  }
  return true;
}

bool OccurrenceCheck::is_port(std::string_view cnet) {
  if (!ports_ready_) {
    for (INOUTLIST* p = InputHead ? InputHead->next : nullptr; p; p = p->next) ports_.insert(net(p->pinname));
    for (INOUTLIST* p = OutputHead; p; p = p->next) ports_.insert(net(p->pinname));
    ports_ready_ = true;
  }
  return ports_.count(cnet) != 0;
}

bool OccurrenceCheck::net_private(const char* mname) {
  const char* cname = mm_->return_node_from_nodestack(mname);
  if (is_port(net(cname))) return false;
  // A placed instance reads or drives it through a pin; its gates have left
  // the node's lists, so only the placed pins tell.
  if (run_state().placed_pin_nets.count(net(cname)) != 0) return false;
  NODELIST* node = search_->get_node(cname);
  if (!node) return true;
  auto inside = [&](const char* g) { return !g || mm_->query_gate_has_been_found(g); };
  if (!inside(node->output_of_gate_name) || !inside(node->output_of_trans_name) ||
      !inside(node->input_of_trans_name)) {
    return false;
  }
  // Stops at the first reader outside, so a net of many readers costs no
  // more than the occurrence's own gates.
  for (PINLIST* p = node->input_of_gate_list.list(); p; p = p->next) {
    if (!inside(p->NodeName)) return false;
  }
  return true;
}

bool OccurrenceCheck::internal_nets_private() {
  for (std::size_t i = 0; i < definition_nets_.size(); ++i) {
    if (!is_terminal_[i] && !net_private(definition_nets_[i])) return false;
  }
  return true;
}

bool OccurrenceCheck::outputs_driven() {
  for (INOUTLIST* p = mm_->outputhead; p; p = p->next) {
    NODELIST* node = mm_->first_node_named(p->pinname);
    if (!node) continue;
    std::string_view want = image(p->pinname);
    if (const char* g = node->output_of_gate_name) {
      if (net(output_node_of(search_->circuit_gate(mm_->find_circuit_gate_name(g)))) != want) return false;
    } else if (const char* t = node->output_of_trans_name) {
      TRANSLIST* c = search_->circuit_trans(mm_->find_circuit_gate_name(t));
      if (!c || (net(c->output) != want && net(c->input) != want)) return false;
    }
  }
  return true;
}

void OccurrenceCheck::list_lone_mosfets() {
  lone_listed_ = true;
  rail_[0] = find_rail(mm_->mos_list, false);
  rail_[1] = find_rail(mm_->mos_list, true);
  circuit_rail_[0] = find_rail(MosHead, false);
  circuit_rail_[1] = find_rail(MosHead, true);
  // A branch's MOSFETs have a channel end on its gate's output or on one of
  // its internal nodes; recognition rewrites the branch's own MOSFET list, so
  // the cards are told apart by those nets.
  std::unordered_set<std::string_view> gate_nets;
  for (int i = 0; i < mm_->num_of_gates; ++i) {
    MCGate* g = mm_->hash_gate_list ? mm_->hash_gate_list[i] : nullptr;
    if (!g) continue;
    if (const char* out = output_node_of(g)) gate_nets.insert(out);
    for (MBranch* b : {g->n_branch, g->p_branch}) {
      for (BRANCHNODELIST* n = b ? b->node_list : nullptr; n; n = n->next) {
        if (n->nodename) gate_nets.insert(n->nodename);
      }
    }
  }
  auto on_gate_net = [&](const char* n) { return n && gate_nets.count(n) != 0; };
  auto is_rail = [&](const char* n) { return same_text(n, rail_[0]) || same_text(n, rail_[1]); };
  for (MOSLIST* m = mm_->mos_list; m; m = m->next) {
    if (!m->mosname || (m->in_branch && (on_gate_net(m->d) || on_gate_net(m->s)))) continue;
    bool in_trans = false;
    for (TRANSLIST* t = mm_->trans_list; t && !in_trans; t = t->next) {
      bool ends = (same_text(t->input, m->d) && same_text(t->output, m->s)) ||
                  (same_text(t->input, m->s) && same_text(t->output, m->d));
      in_trans = ends && same_text(m->nptype != 0 ? t->p_g : t->n_g, m->g);
    }
    // A channel that joins no logic net (both ends on rails, or on one net)
    // changes no value, so it needs no counterpart.
    bool joins_logic = !same_text(m->d, m->s) && !(is_rail(m->d) && is_rail(m->s));
    if (!in_trans && joins_logic) lone_.push_back(m);
  }
}

bool OccurrenceCheck::lone_mosfets_present() {
  if (!lone_listed_) list_lone_mosfets();
  lone_images_.clear();
  if (lone_.empty()) return true;
  RunState& rs = run_state();
  // Nets only such MOSFETs touch have no image from the gates: each is bound
  // to the net of the first counterpart that reaches it.
  std::unordered_map<std::string_view, std::string_view> bound;
  auto circuit_net = [&](const char* m) -> std::string_view {
    for (int k = 0; k < 2; ++k) {
      if (rail_[k] && same_text(m, rail_[k])) return net(circuit_rail_[k]);
    }
    std::string_view c = image(m);
    if (!c.empty() || !m) return c;
    auto it = bound.find(m);
    return it == bound.end() ? std::string_view{} : it->second;
  };
  auto is_circuit_rail = [&](std::string_view c) {
    return c == net(circuit_rail_[0]) || c == net(circuit_rail_[1]);
  };
  auto taken = [&](const MOSLIST* c) {
    return rs.placed_lone_mosfets.count(c) != 0 ||
           std::find(lone_images_.begin(), lone_images_.end(), c) != lone_images_.end();
  };
  std::vector<char> done(lone_.size(), 0);
  std::size_t left = lone_.size();
  // Each round pairs every MOSFET that has a known logic net to start from;
  // a bound net can give a start to another in the next round.
  for (bool progress = true; left && progress;) {
    progress = false;
    for (std::size_t i = 0; i < lone_.size(); ++i) {
      if (done[i]) continue;
      const MOSLIST* m = lone_[i];
      const char* term[3] = {m->g, m->d, m->s};
      std::string_view want[3];
      int start = -1;
      for (int k = 0; k < 3; ++k) {
        want[k] = circuit_net(term[k]);
        // A rail's node lists every device on it: never walked.
        if (start < 0 && !want[k].empty() && !is_circuit_rail(want[k])) start = k;
      }
      if (start < 0) continue;
      NODELIST* node = search_->get_node(want[start].data());
      const int type = m->nptype != 0 ? 1 : 0;
      auto fits = [&](std::string_view w, std::string_view c) { return w.empty() ? !images_.count(c) : w == c; };
      for (DEVICELIST* dev = node ? node->devicelist : nullptr; dev; dev = dev->next) {
        const MOSLIST* c = dev->mos();
        if (dev->devicetype() != type || taken(c)) continue;
        std::string_view cg = net(dev->g()), cd = net(dev->d()), cs = net(dev->s());
        if (!fits(want[0], cg)) continue;
        bool straight = fits(want[1], cd) && fits(want[2], cs);
        if (!straight && !(fits(want[1], cs) && fits(want[2], cd))) continue;
        std::string_view got[3] = {cg, straight ? cd : cs, straight ? cs : cd};
        for (int k = 0; k < 3; ++k) {
          if (want[k].empty() && term[k]) bound.emplace(term[k], got[k]);
        }
        lone_images_.push_back(c);
        done[i] = 1;
        --left;
        progress = true;
        break;
      }
    }
  }
  return left == 0;
}

void OccurrenceCheck::place(const EQUALNAMELIST* inputs, const EQUALNAMELIST* outputs) {
  RunState& rs = run_state();
  for (const EQUALNAMELIST* list : {inputs, outputs}) {
    for (const EQUALNAMELIST* e = list; e; e = e->next) {
      std::string_view c = net(e->circuit_name);
      if (!c.empty()) rs.placed_pin_nets.insert(c);
    }
  }
  rs.placed_lone_mosfets.insert(lone_images_.begin(), lone_images_.end());
}
