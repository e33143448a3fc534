#pragma once
// The analysis heads and tables the extraction stages fill and hand on to
// matching and the writers. They start empty at every run (reset_run).
#include "classic/netlist/index_table.h"

struct NODELIST;
struct MOSLIST;
struct TRANSLIST;
struct WIRELIST;
struct RESULTLIST;
class CGate;

extern TRANSLIST* TransHead;
extern WIRELIST* WireHead;
extern RESULTLIST* ResultHead;
extern int node_biggest;
extern int device_biggest;
extern IndexTable<NODELIST> hash_node_list;
extern IndexTable<MOSLIST> hash_mos_list;
extern CGate** hash_gate_list;
extern IndexTable<TRANSLIST> hash_trans_list;
extern int num_of_gates;
extern int num_of_trans;
