#pragma once
// The fixed gate-type vocabulary: which marked branch expressions name which
// gate type, and which pairs of n-branch and p-branch types are complementary.

struct GateTypeRow {
  const char* name;
  const char* forms[9];  // accepted expressions, ended by a null
};

// Rows in lookup order.
extern const GateTypeRow kGateTypeTable[];
extern const int kNumGateTypeRows;

// The type name of a marked expression such as "~((a & b) | c)", or null.
const char* lookup_gate_type(const char* marked_expression);

// True when an n-branch of type `ntype` and a p-branch of type `ptype` form a
// static CMOS gate. Null names pair with nothing.
bool is_dual_pair(const char* ntype, const char* ptype);
