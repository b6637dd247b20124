#include "media/font_files.h"

#include <unistd.h>

namespace soft {
namespace {

std::string ExecutableDir() {
  char buffer[4096];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return {};
  std::string path(buffer, static_cast<std::size_t>(n));
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

std::vector<std::string> FontFileCandidates(FaceKind kind) {
  const bool gothic = kind == FaceKind::Gothic;
  std::vector<std::string> paths;
  const std::string dir = ExecutableDir();
  if (!dir.empty()) paths.push_back(dir + (gothic ? "/fonts/ipag.ttf" : "/fonts/ipam.ttf"));
  if (gothic) {
    paths.emplace_back("/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf");
    paths.emplace_back("/usr/share/fonts/truetype/fonts-japanese-gothic.ttf");
  } else {
    paths.emplace_back("/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf");
    paths.emplace_back("/usr/share/fonts/truetype/fonts-japanese-mincho.ttf");
  }
  return paths;
}

}  // namespace soft
