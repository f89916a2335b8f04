#pragma once
#include <cstdlib>

// A broken invariant is a crash the fuzzer keeps, like any other.
inline void check(bool condition) {
  if (!condition) std::abort();
}
