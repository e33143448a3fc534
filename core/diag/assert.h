#pragma once
// EXTRACTOR_ASSERT(cond) states an invariant the code relies on. Debug and
// sanitizer builds (EXTRACTOR_CHECKS) stop at a broken one, naming the
// condition and the place; other builds do not evaluate it.
#include <cstdio>
#include <cstdlib>

#ifdef EXTRACTOR_CHECKS
[[noreturn]] inline void extractor_assert_fail(const char* cond, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, cond);
  std::abort();
}
#define EXTRACTOR_ASSERT(cond) ((cond) ? static_cast<void>(0) : extractor_assert_fail(#cond, __FILE__, __LINE__))
#else
#define EXTRACTOR_ASSERT(cond) static_cast<void>(sizeof(static_cast<bool>(cond)))
#endif
