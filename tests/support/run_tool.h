// A program of the build run as from a shell in the current directory: its
// exit status and what it wrote.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "support/test_support.h"

namespace testing_support {

struct ToolRun {
  int status = -1;  // -1 when it did not exit
  std::string out, err;
};

inline ToolRun RunTool(const std::string& program, const std::string& args) {
  const int raw = std::system((program + " " + args + " > tool_out.txt 2> tool_err.txt").c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile("tool_out.txt"), ReadFile("tool_err.txt")};
}

}  // namespace testing_support
