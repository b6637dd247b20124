#include "data/text_lines.h"

#include <algorithm>
#include <cstring>

namespace textfile {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

const char* SkipSpace(const char* p) {
  while (*p != '\0' && IsSpace(*p)) ++p;
  return p;
}

// A decimal integer with optional sign, as a scan of "%d" reads it. Numbers
// beyond the 32-bit range are clamped to it, which sets `beyond`. Returns
// null when no digit follows.
const char* ParseInt(const char* p, std::int32_t& out, bool& beyond) {
  p = SkipSpace(p);
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = (*p == '-');
    ++p;
  }
  if (*p < '0' || *p > '9') return nullptr;
  std::int64_t magnitude = 0;
  constexpr std::int64_t kCap = 1LL << 40;  // far beyond 32 bits; stop growing
  while (*p >= '0' && *p <= '9') {
    if (magnitude < kCap) magnitude = magnitude * 10 + (*p - '0');
    ++p;
  }
  const std::int64_t v = negative ? -magnitude : magnitude;
  beyond = beyond || v > INT32_MAX || v < INT32_MIN;
  out = static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
  return p;
}

}  // namespace

bool LineReader::Next() {
  // The line number moves on once the previous line has ended.
  if (ended_) ++number;
  continued = !ended_ && started_;
  int n = 0;
  while (n < kLineBuffer - 1) {
    int c = std::getc(file_);
    if (c == EOF) break;
    if (c == '\r') {
      int next = std::getc(file_);
      if (next == '\n') {
        c = '\n';
      } else if (next != EOF) {
        std::ungetc(next, file_);
      }
    }
    text[n++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  text[n] = '\0';
  ended_ = n > 0 && text[n - 1] == '\n';
  started_ = true;
  return n > 0;
}

void StripCommentAndSeparators(char* line) {
  if (char* hash = std::strchr(line, '#')) *hash = '\0';
  if (char* comma = std::strchr(line, ',')) *comma = ' ';
  if (char* equals = std::strchr(line, '=')) *equals = ' ';
}

Scan ScanWordAndInt(const char* line, char (&word)[kLineBuffer], std::int32_t& value) {
  Scan scan;
  const char* p = SkipSpace(line);
  if (*p == '\0') return scan;
  int n = 0;
  while (*p != '\0' && !IsSpace(*p) && n < kLineBuffer - 1) word[n++] = *p++;
  word[n] = '\0';
  scan.fields = ParseInt(p, value, scan.beyondRange) != nullptr ? 2 : 1;
  return scan;
}

Scan ScanTwoInts(const char* line, std::int32_t& first, std::int32_t& second) {
  Scan scan;
  const char* p = ParseInt(line, first, scan.beyondRange);
  if (p == nullptr) return scan;
  scan.fields = ParseInt(p, second, scan.beyondRange) != nullptr ? 2 : 1;
  return scan;
}

}  // namespace textfile
