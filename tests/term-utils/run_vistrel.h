// Runs the built oxavistrel with the given words after argv[0].
#pragma once

#include <string>
#include <vector>

#include "tests/support/run_program.h"

namespace vistrel_test {

inline test_support::ProgramResult run_vistrel(
    std::vector<std::string> words,
    test_support::Stdout stdout_mode = test_support::Stdout::captured) {
  words.insert(words.begin(), OXAVISTREL_PATH);
  test_support::ProgramRun run;
  run.argv = words;
  run.stdout_mode = stdout_mode;
  return test_support::run_program(run);
}

using test_support::bracketed;

}  // namespace vistrel_test
