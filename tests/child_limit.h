// Programs the tests run as child processes each get a time limit: a hung
// child and everything it started are killed, and only its own test fails
// (status 124), well before the test's own limit of 300 s.
#pragma once

#include <string>

constexpr int kChildLimitSeconds = 240;

// The shell command line `command`, run under that limit.
inline std::string limited(const std::string& command, int seconds = kChildLimitSeconds) {
  std::string quoted = "'";
  for (char c : command) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return "timeout -k 10 " + std::to_string(seconds) + " sh -c " + quoted + "'";
}
