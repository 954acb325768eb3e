// The message box and the file dialog on a real X server, answered from
// outside with xdotool as a user at the desktop does: the keys go to the
// dialog the desktop shows, and the toolkit gets what it gets from a
// queued answer.
#include <signal.h>
#include <sys/wait.h>

#include <filesystem>

#include "tests/platform/display/X11Fixture.h"
#include "toolkit/core/CommonDialogs.h"
#include "toolkit/core/MessageBox.h"
#include "toolkit/dialogs/DialogServices.h"

namespace {

using namespace x11test;

// Should a dialog not close (a key lost), Escape is pressed for the user
// after a while, so that a failing test ends instead of waiting forever.
class Guard {
 public:
  Guard() : p_(Start({"xdotool", "sleep", "20", "key", "Escape", "sleep", "2", "key", "Escape"})) {}
  ~Guard() {
    if (p_.pid > 0) {
      kill(p_.pid, SIGKILL);
      int st = 0;
      waitpid(p_.pid, &st, 0);
      ::close(p_.out);
    }
  }

 private:
  Process p_;
};

std::string Trim(const std::string& s) { return s.substr(0, s.find_last_not_of(' ') + 1); }

TEST_F(X11Test, TheSaveDialogOfWSelectFileTakesANewNameInANewFolder) {
  OpenShown();
  std::filesystem::create_directory(std::filesystem::path(dir_.path()) / "new folder");
  Guard guard;
  // The folder's name entered in the name field enters it; then the new name.
  // Once the dialog is on the desktop. (xdotool's "type" takes every word
  // after it as text: one command each.)
  Process user = Start({"sh", "-c",
                        "xdotool search --sync --onlyvisible --name '^Flat ASCII Data File$' >/dev/null; "
                        "xdotool type --delay 40 'new folder'; xdotool key Return; sleep 0.3; "
                        "xdotool type --delay 40 result; xdotool key Return"});
  std::string file(256, ' ');
  WSelectFileDefaults("Flat ASCII Data File|*.DAT|", 47, file, "Flat ASCII Data File");
  EXPECT_TRUE(Finish(user));
  EXPECT_EQ(WDialogInfoItem(4), 1);
  EXPECT_EQ(Trim(file), dir_.path() + "/new folder/result.DAT");
  EXPECT_EQ(std::filesystem::current_path().string(), dir_.path() + "/new folder") << "flag 8 keeps it";
}

TEST_F(X11Test, TheMessageBoxIsAnsweredByEnter) {
  OpenShown();
  Guard guard;
  Process user = Start({"sh", "-c", "xdotool search --sync --onlyvisible --name '^Save As$' >/dev/null; xdotool key Return"});
  // Yes and No with No the default: Enter answers No (2).
  WMessageBox(3, 2, 2, "Replace the existing file?", "Save As");
  EXPECT_TRUE(Finish(user));
  EXPECT_EQ(WDialogInfoItem(4), 2);
  EXPECT_TRUE(plat::isWindowEnabled(Frame())) << "the frame is enabled again";
}

}  // namespace
