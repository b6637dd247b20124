// Reading the game's plain-text files the way their format is defined: lines
// of at most 159 characters from a text-mode stream, scanned field by field
// so that fields a line does not supply keep their previous values.
#pragma once

#include <cstdint>
#include <cstdio>

namespace textfile {

constexpr int kLineBuffer = 160;  // 159 characters and the terminator

// Reads the next line into `line` as a text-mode line read of at most 159
// characters: a CR LF pair reads as LF, the newline is kept when it fits, and
// a longer line comes back in pieces. Returns false at end of file.
bool ReadLine(std::FILE* file, char (&line)[kLineBuffer]);

// Ends the line at its first '#', then turns its first ',' and its first
// '=' into spaces.
void StripCommentAndSeparators(char* line);

// Scans "word integer" into the given fields; whatever the line does not
// supply is left as it was.
void ScanWordAndInt(const char* line, char (&word)[kLineBuffer], std::int32_t& value);

// Scans "integer integer" likewise.
void ScanTwoInts(const char* line, std::int32_t& first, std::int32_t& second);

}  // namespace textfile
