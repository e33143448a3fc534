#pragma once
// Search records of pattern matching and the recognised-occurrence records
// handed to the Verilog writer.
#include "classic/algo/records.h"

typedef struct GATESTACK {
  int type;  // 0 gate, 1 transmission gate
  char* macromodel_name;
  char* circuit_name;
  bool recognized_flag;
  bool search_flag;
  struct GATESTACK* next;
} GateStack;

typedef struct NODESTACK {
  char* macromodel_name;
  char* circuit_name;
  bool terminal_flag;
  bool recognized_flag;
  bool search_flag;
  struct NODESTACK* next;
} NodeStack;

typedef struct RGLIST {
  char* gatename;
  int type;  // 0 gate fed by the node, 1 transmission gate on the node
  bool unique;
  bool unique2;
  struct RGLIST* next;
} RgList;

typedef struct EQUALNAMELIST {
  char* macromodel_name;
  char* circuit_name;
  struct EQUALNAMELIST* next;
} EqualNameList;

typedef struct RESULTLIST {
  char* libname;
  EQUALNAMELIST* input_list;
  EQUALNAMELIST* output_list;
  struct RESULTLIST* next;
} ResultList;
