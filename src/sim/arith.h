// Integer helpers for the fixed-point phases. The phases compute in 64 bits
// so that extreme settings cannot overflow: wherever the 32-bit products of
// the game's formulas fit, these give exactly the same results; beyond that
// they saturate instead of wrapping.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace arith {

using i64 = std::int64_t;
using i32 = std::int32_t;

constexpr i64 kI64Max = std::numeric_limits<i64>::max();
constexpr i64 kI64Min = std::numeric_limits<i64>::min();
constexpr i32 kI32Max = std::numeric_limits<i32>::max();
constexpr i32 kI32Min = std::numeric_limits<i32>::min();

inline i64 Mul(i64 a, i64 b) {
  i64 r;
  if (__builtin_mul_overflow(a, b, &r)) return ((a < 0) != (b < 0)) ? kI64Min : kI64Max;
  return r;
}

inline i64 Add(i64 a, i64 b) {
  i64 r;
  if (__builtin_add_overflow(a, b, &r)) return a < 0 ? kI64Min : kI64Max;
  return r;
}

inline i64 Sub(i64 a, i64 b) {
  i64 r;
  if (__builtin_sub_overflow(a, b, &r)) return a < 0 ? kI64Min : kI64Max;
  return r;
}

// Truncating division. A zero divisor (only reachable through settings the
// game cannot work with, such as SPEED 0) counts as 1.
inline i64 Div(i64 a, i64 b) {
  if (b == 0) return a;
  if (b == -1) return a == kI64Min ? kI64Max : -a;
  return a / b;
}

inline i64 Abs(i64 a) { return a < 0 ? (a == kI64Min ? kI64Max : -a) : a; }

inline i64 Neg(i64 a) { return a == kI64Min ? kI64Max : -a; }

// Stores a 64-bit result in a 32-bit field.
inline i32 Sat32(i64 v) {
  if (v > kI32Max) return kI32Max;
  if (v < kI32Min) return kI32Min;
  return static_cast<i32>(v);
}

// Double to integer, truncating toward zero; out of range saturates and
// NaN gives 0, where a plain conversion would be undefined.
inline i32 TruncToI32(double d) {
  if (!(d == d)) return 0;
  if (d >= 2147483647.0) return kI32Max;
  if (d <= -2147483648.0) return kI32Min;
  return static_cast<i32>(d);
}

inline i64 TruncToI64(double d) {
  if (!(d == d)) return 0;
  if (d >= 9223372036854775807.0) return kI64Max;
  if (d <= -9223372036854775808.0) return kI64Min;
  return static_cast<i64>(d);
}

}  // namespace arith
