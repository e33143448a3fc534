#include "extract/branch.h"

bool branch_recog = true;

Branch::Branch(int _branch_type) : branch_type(_branch_type) {}
