#pragma once
#include "classic/netlist/netlist.h"

typedef struct WIRELIST {
  char* wirename;
  struct WIRELIST* next;
} WireList;
