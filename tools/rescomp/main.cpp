// The resource compiler: rescomp [--function <name>] <output.cpp> <source>...
//
// Parses the resource sources into one set (ids are checked across all of
// them) and writes C++ that rebuilds the set in the program. On an error it
// prints "file:line: message" and exits with status 1, writing nothing.
// Dialog templates and their extras are checked too (ExtrasCheck.h).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/res/ResourceParser.h"
#include "tools/rescomp/CppWriter.h"
#include "tools/rescomp/ExtrasCheck.h"

int main(int argc, char** argv) {
  // The function the generated source defines; tests compile sets of their
  // own beside the program's.
  std::string function = "fillBuiltinResources";
  if (argc > 2 && std::string(argv[1]) == "--function") {
    function = argv[2];
    argv += 2;
    argc -= 2;
  }
  if (argc < 2) {
    std::fprintf(stderr, "usage: rescomp [--function <name>] <output.cpp> <source>...\n");
    return 2;
  }
  plat::res::ResourceSet set;
  std::vector<std::string> sources;
  for (int i = 2; i < argc; ++i) {
    const std::string path = argv[i];
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "%s: cannot read\n", path.c_str());
      return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::vector<plat::res::ParseError> errors;
    std::string dir = std::filesystem::path(path).parent_path().string();
    if (dir.empty()) dir = ".";
    if (!plat::res::parseResources(text.str(), path, dir, set, errors)) {
      for (const auto& e : errors) std::fprintf(stderr, "%s\n", e.text().c_str());
      return 1;
    }
    sources.push_back(std::filesystem::path(path).filename().string());
  }
  // Dialogs are checked once every file is read: pages and column
  // templates may be defined in other files.
  const std::vector<std::string> faults = rescomp::checkDialogs(set);
  for (const auto& f : faults) std::fprintf(stderr, "%s\n", f.c_str());
  if (!faults.empty()) return 1;
  const std::string out = argv[1];
  const std::string tmp = out + ".tmp";
  {
    std::ofstream o(tmp, std::ios::binary | std::ios::trunc);
    o << rescomp::writeCpp(set, sources, function);
    if (!o) {
      std::fprintf(stderr, "%s: cannot write\n", tmp.c_str());
      return 1;
    }
  }
  std::error_code ec;
  std::filesystem::rename(tmp, out, ec);
  if (ec) {
    std::fprintf(stderr, "%s: cannot write (%s)\n", out.c_str(), ec.message().c_str());
    return 1;
  }
  return 0;
}
