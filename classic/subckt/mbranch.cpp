#include "classic/subckt/mbranch.h"

#include "classic/algo/growth.h"
#include "classic/algo/recognition.h"
#include "classic/algo/run_state.h"
#include "classic/extract/node.h"


MBranch::MBranch(int branch_type_, MOSLIST* moshead_, NODELIST* nodehead_)
    : moshead(moshead_), nodehead(nodehead_), branch_type(branch_type_) {}

const MLookup& MBranch::nets() {
  if (!lookup_) lookup_ = std::make_shared<const MLookup>(moshead, nodehead);
  return *lookup_;
}

char* MBranch::get_vdd(MOSLIST* head) { return find_rail(head, true); }

char* MBranch::get_gnd(MOSLIST* head) { return find_rail(head, false); }

int MBranch::query_moslist(MOSLIST* mos) { return growth::query_moslist(this, mos); }

int MBranch::node_exist(const char* node) { return growth::node_exist(this, node); }

MOSLIST* MBranch::insert_mos(MOSLIST* head, MOSLIST* mos) { return lists::insert_mos(head, mos); }

BRANCHNODELIST* MBranch::insert_node(BRANCHNODELIST* head, char* node) { return lists::insert_node(head, node); }

NAMELIST* MBranch::insert_name(NAMELIST* head, char* name, char virtual_name) {
  return recognition::insert_name(head, name, virtual_name);
}


BRANCHNODELIST* MBranch::find_new_node(BRANCHNODELIST* branchnode_list, int p_n_type) {
  return growth::find_new_node(this, branchnode_list, p_n_type, nets(), nullptr, run_state().branch_recog_m);
}

bool MBranch::generate_branch(MOSLIST* mos, int p_n_type) {
  return growth::generate_branch(this, mos, p_n_type, nets(), run_state().branch_recog_m);
}
