// Reading the game's plain-text files the way their format is defined: lines
// of at most 159 characters from a text-mode stream, scanned field by field
// so that fields a line does not supply keep their previous values.
#pragma once

#include <cstdint>
#include <cstdio>

namespace textfile {

constexpr int kLineBuffer = 160;  // 159 characters and the terminator

// Reads a text-mode stream in lines of at most 159 characters: a CR LF pair
// reads as LF, the newline is kept when it fits, and a longer line comes
// back in pieces.
class LineReader {
 public:
  explicit LineReader(std::FILE* file) : file_(file) {}
  // The next line or piece into `text`; false at the end of the file.
  bool Next();

  char text[kLineBuffer] = {};
  int number = 1;          // of the line the piece belongs to, from 1
  bool continued = false;  // a piece after the first of a longer line

 private:
  std::FILE* file_;
  bool started_ = false;
  bool ended_ = false;  // the last piece ended its line
};

// Ends the line at its first '#', then turns its first ',' and its first
// '=' into spaces.
void StripCommentAndSeparators(char* line);

// What a scan found: how many of its two fields the line supplied (the
// others are left as they were), and whether a number lay beyond the
// 32-bit range (it is taken as the nearest limit).
struct Scan {
  int fields = 0;
  bool beyondRange = false;
};

// Scans "word integer" into the given fields.
Scan ScanWordAndInt(const char* line, char (&word)[kLineBuffer], std::int32_t& value);

// Scans "integer integer" likewise.
Scan ScanTwoInts(const char* line, std::int32_t& first, std::int32_t& second);

}  // namespace textfile
