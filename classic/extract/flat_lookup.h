#pragma once
// Flat-circuit node lookup.
#include "classic/algo/records.h"
#include "classic/algo/tables.h"

// Nodes whose names carry a number live at that number in hash_node_list;
// the others live past node_biggest, the k-th distinct one met at
// node_biggest + k. These helpers find the unnumbered ones by name without
// scanning, and with no limit on how many there are.

// The node of a flat-circuit net name, or null.
NODELIST* flat_get_node(const char* name);
// Table index of an unnumbered node name, or -1.
long long flat_unnumbered_index(const char* name);
// Files an unnumbered node name at its table index.
void flat_register_unnumbered(const char* name, long long index);
