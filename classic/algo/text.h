#pragma once
// The one rule for comparing and printing names that may be missing.
#include <cstring>

// Equal texts; a missing text equals only another missing one.
inline bool same_text(const char* a, const char* b) { return a == b || (a && b && std::strcmp(a, b) == 0); }

// Equal names where a missing name (an absent rail) equals nothing, not even
// another missing one.
inline bool same_name(const char* a, const char* b) { return a && same_text(a, b); }

// The text, or `none` for a missing one: never hand a null to %s.
inline const char* text(const char* s, const char* none = "") { return s ? s : none; }
