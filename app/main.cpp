// The program's entry: chooses how the window system runs, then hands over
// to the main routine.
//
//   quillon                 the program in its window on the desktop
//   quillon --script FILE   a headless run driven by an input script
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/Quillon.h"
#include "platform/display/Display.h"
#include "platform/os/Os.h"
#include "platform/test/Test.h"
#include "platform/win/Window.h"

namespace {

void Usage(const char* program) {
  std::fprintf(stderr, "usage: %s [--script FILE]\n", program);
}

// SDL would open a screenless video driver of its own where no desktop is
// named; the program's window belongs on the user's desktop.
bool HaveDisplay() {
  const char* x = std::getenv("DISPLAY");
  const char* w = std::getenv("WAYLAND_DISPLAY");
  return (x != nullptr && *x != '\0') || (w != nullptr && *w != '\0');
}

// A lost display ends the program; what the user set is kept if the
// settings can still be written (before the main window opened they were
// not read yet, and the user's file stays as it is).
void SaveSettingsOnLostDisplay() {
  if (MainState().WindowOpen && !MainState().Ended) QuillonSaveSettings();
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
    // Without a script the program needs the desktop: its window opens
    // there. With no display it says so, and how to run it without one.
    std::string why;
    if (!HaveDisplay() || !plat::display::open(&why)) {
      std::fprintf(stderr,
                   "quillon: no display to open the window on (%s).\n"
                   "Run it under a virtual X server:  xvfb-run -a -s \"-screen 0 1280x1024x24\" %s\n"
                   "or headless with an input script: %s --script FILE\n",
                   why.empty() ? "neither DISPLAY nor WAYLAND_DISPLAY is set" : why.c_str(), program.c_str(),
                   program.c_str());
      return 1;
    }
    plat::display::setLostHandler(SaveSettingsOnLostDisplay);
  }
  int status = 1;
  try {
    status = QUILLON();
  } catch (const plat::FatalError& e) {
    std::fprintf(stderr, "quillon: %s\n", e.what());
  }
  // The desktop's windows go with the process; the display stays open to
  // the end, as its libraries expect.
  return status;
}
