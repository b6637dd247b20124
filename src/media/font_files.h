// The two faces the game's texts are drawn in, and where their files are.
#pragma once

#include <string>
#include <vector>

namespace soft {

enum class FaceKind { Gothic, Mincho };

// The files to try for a face, in order: a copy shipped beside the program
// (fonts/ipag.ttf, fonts/ipam.ttf) first, then where Debian's IPA font
// packages put them.
std::vector<std::string> FontFileCandidates(FaceKind kind);

}  // namespace soft
