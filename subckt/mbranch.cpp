#include "subckt/mbranch.h"

bool branch_recog_m = true;

MBranch::MBranch(int branch_type_, MOSLIST* moshead_, NODELIST* nodehead_)
    : moshead(moshead_), nodehead(nodehead_), branch_type(branch_type_) {}
