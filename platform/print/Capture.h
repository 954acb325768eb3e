// Runs a program with an argument vector and keeps what it writes to its
// standard output. Internal to the printer catalogue (and its tests).
#pragma once

#include <string>
#include <vector>

namespace plat::print {

// Starts argv[0] (searched on PATH), never through a shell; standard input
// and error go to /dev/null. At most `limit` bytes of output are kept and a
// program still running after `timeoutSeconds` is killed. Returns the exit
// status, or -1 when it could not be run or did not end in time.
int runCapture(const std::vector<std::string>& argv, std::string& out, int timeoutSeconds = 10,
               size_t limit = 1 << 20);

}  // namespace plat::print
