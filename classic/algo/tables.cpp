#include "classic/algo/tables.h"

TRANSLIST* TransHead;
WIRELIST* WireHead;
RESULTLIST* ResultHead;
int node_biggest;
int device_biggest;
IndexTable<NODELIST> hash_node_list;
IndexTable<MOSLIST> hash_mos_list;
CGate** hash_gate_list;
IndexTable<TRANSLIST> hash_trans_list;
int num_of_gates;
int num_of_trans;
