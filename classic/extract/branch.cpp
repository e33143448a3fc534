#include "classic/extract/branch.h"

#include "classic/algo/growth.h"
#include "classic/algo/recognition.h"
#include "classic/algo/run_state.h"
#include "classic/extract/node.h"


Branch::Branch(int _branch_type) : branch_type(_branch_type) {}

NODELIST* Branch::get_node(const char* nodename) { return flat_get_node(nodename); }

char* Branch::get_vdd(MOSLIST* moshead) { return find_rail(moshead, true); }

char* Branch::get_gnd(MOSLIST* moshead) { return find_rail(moshead, false); }

int Branch::return_number(const char* name) { return ::return_number(name); }

int Branch::query_moslist(MOSLIST* mos) { return growth::query_moslist(this, mos); }

int Branch::node_exist(const char* node) { return growth::node_exist(this, node); }

MOSLIST* Branch::insert_mos(MOSLIST* head, MOSLIST* mos) { return lists::insert_mos(head, mos); }

BRANCHNODELIST* Branch::insert_node(BRANCHNODELIST* head, char* node) { return lists::insert_node(head, node); }

NAMELIST* Branch::insert_name(NAMELIST* head, char* name, char virtual_name) {
  return recognition::insert_name(head, name, virtual_name);
}

void Branch::use_lookup(const FlatNets& nets) {
  nets_ = &nets;
}

const FlatNets& Branch::nets() {
  if (!nets_) nets_ = arena_new<FlatNets>(get_vdd(MosHead), get_gnd(MosHead));
  return *nets_;
}

BRANCHNODELIST* Branch::find_new_node(BRANCHNODELIST* branchnode_list, int p_n_type) {
  return growth::find_new_node(this, branchnode_list, p_n_type, nets(), nullptr, run_state().branch_recog);
}

bool Branch::generate_branch(MOSLIST* mos, int p_n_type) {
  return growth::generate_branch(this, mos, p_n_type, nets(), run_state().branch_recog);
}
