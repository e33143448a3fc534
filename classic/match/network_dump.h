#pragma once
// The flat gate network as text, one line per object, for tests that check a
// whole extraction in one comparison:
//   gate NAME cmos|pseudo N-TYPE P-TYPE out=NET in=NET,NET...
//   trans NAME in=NET out=NET n=NET p=NET
//   instance DEFINITION PIN=NET,PIN=NET...
// Gates and transmission gates in table order, leaving out those an
// occurrence replaced; instances in the order they were found.
#include <string>

std::string dump_gate_network();
