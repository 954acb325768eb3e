// The library's save-changes question: Yes, No and Cancel end its modal
// run with their answers.
#include "tests/toolkit/dialogs/DialogFixture.h"

#include "VOZUVar/SaveFileDialog.h"

namespace dlgtest {
namespace {

TEST_F(DialogTest, SaveChangesQuestionAnswers) {
  struct Case {
    int32_t button;   // 0: Escape
    bool save, cancel;
  };
  const Case cases[] = {{6, true, false}, {7, false, false}, {0, true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    plat::setIdleHook([this, c] {
      if (!plat::isWindowVisible(Dialog())) return false;
      if (c.button == 0) {
        plat::test::key(plat::vk::Escape);
      } else {
        ClickField(c.button);
      }
      return true;
    });
    bool save = true, cancel = false;
    SAVEFILEDLG("Save changes to model.dat?", save, cancel);
    plat::setIdleHook({});
    EXPECT_EQ(save, c.save);
    EXPECT_EQ(cancel, c.cancel);
    EXPECT_EQ(Text(1002), "Save changes to model.dat?");
  }
  EXPECT_EQ(DialogTable().Count, 1);   // loaded once, not unloaded
}

}  // namespace
}  // namespace dlgtest
