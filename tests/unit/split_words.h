// The argument vector SplitCommandLine makes of a command-line text, for the
// tests of the splitting and of the text the POSIX layer joins.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <tcl.h>

#include "shell/split_command_line.h"

inline std::vector<std::string> split(const std::string &line) {
  int argc = -1;
  char **argv = nullptr;
  SplitCommandLine(line.c_str(), &argc, &argv);
  std::vector<std::string> out;
  for (int i = 0; i < argc; ++i) out.push_back(argv[i]);
  EXPECT_EQ(argv[argc], nullptr);
  Tcl_Free(reinterpret_cast<char *>(argv));
  return out;
}

using Args = std::vector<std::string>;
