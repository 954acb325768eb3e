// The program's entry: chooses how the window system runs, then hands over
// to the main routine.
//
//   quillon                 the program in its window on the desktop
//   quillon --script FILE   a headless run driven by an input script
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/Quillon.h"
#include "platform/os/Os.h"
#include "platform/test/Test.h"
#include "platform/win/Window.h"

namespace {

void Usage(const char* program) {
  std::fprintf(stderr, "usage: %s [--script FILE]\n", program);
}

bool HaveDisplay() {
  const char* x = std::getenv("DISPLAY");
  const char* w = std::getenv("WAYLAND_DISPLAY");
  return (x != nullptr && *x != '\0') || (w != nullptr && *w != '\0');
}

}  // namespace

int main(int argc, char** argv) {
  plat::SetArguments(argc, argv);
  const std::string program = plat::ProgramPath();
  std::string script;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--script" && i + 1 < argc) {
      script = argv[++i];
    } else {
      Usage(argv[0]);
      return 2;
    }
  }
  if (!script.empty()) {
    std::string error;
    if (!plat::test::loadInputScript(script, error)) {
      std::fprintf(stderr, "quillon: %s\n", error.c_str());
      return 2;
    }
  } else {
    if (!HaveDisplay()) {
      std::fprintf(stderr,
                   "quillon: no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                   "Run it under a virtual X server:  xvfb-run -a -s \"-screen 0 1280x1024x24\" %s\n"
                   "or headless with an input script: %s --script FILE\n",
                   program.c_str(), program.c_str());
      return 1;
    }
    std::fprintf(stderr,
                 "quillon: this build has no display backend yet; run it headless with an input script:\n"
                 "  %s --script FILE\n",
                 program.c_str());
    return 1;
  }
  try {
    return QUILLON();
  } catch (const plat::FatalError& e) {
    std::fprintf(stderr, "quillon: %s\n", e.what());
    return 1;
  }
}
