#include "data/text_lines.h"

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
// beyond the 32-bit range are clamped to it. Returns null when no digit
// follows.
const char* ParseInt(const char* p, std::int32_t& out) {
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
  std::int64_t v = negative ? -magnitude : magnitude;
  if (v > INT32_MAX) v = INT32_MAX;
  if (v < INT32_MIN) v = INT32_MIN;
  out = static_cast<std::int32_t>(v);
  return p;
}

}  // namespace

bool ReadLine(std::FILE* file, char (&line)[kLineBuffer]) {
  int n = 0;
  while (n < kLineBuffer - 1) {
    int c = std::getc(file);
    if (c == EOF) break;
    if (c == '\r') {
      int next = std::getc(file);
      if (next == '\n') {
        c = '\n';
      } else if (next != EOF) {
        std::ungetc(next, file);
      }
    }
    line[n++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  line[n] = '\0';
  return n > 0;
}

void StripCommentAndSeparators(char* line) {
  if (char* hash = std::strchr(line, '#')) *hash = '\0';
  if (char* comma = std::strchr(line, ',')) *comma = ' ';
  if (char* equals = std::strchr(line, '=')) *equals = ' ';
}

void ScanWordAndInt(const char* line, char (&word)[kLineBuffer], std::int32_t& value) {
  const char* p = SkipSpace(line);
  if (*p == '\0') return;
  int n = 0;
  while (*p != '\0' && !IsSpace(*p) && n < kLineBuffer - 1) word[n++] = *p++;
  word[n] = '\0';
  ParseInt(p, value);
}

void ScanTwoInts(const char* line, std::int32_t& first, std::int32_t& second) {
  const char* p = ParseInt(line, first);
  if (p == nullptr) return;
  ParseInt(p, second);
}

}  // namespace textfile
