#pragma once
#include "netlist/netlist.h"

typedef struct WIRELIST {
  char* wirename;
  struct WIRELIST* next;
} WireList;
