// The resource compiler's checks of dialogs: each fault the dialog manager
// would misread silently is refused with the dialog's place.
#include <gtest/gtest.h>

#include "platform/res/ResourceParser.h"
#include "tools/rescomp/ExtrasCheck.h"

namespace {

std::vector<std::string> Check(const std::string& text) {
  plat::res::ResourceSet set;
  std::vector<plat::res::ParseError> errors;
  EXPECT_TRUE(plat::res::parseResources(text, "t.qres", ".", set, errors)) << (errors.empty() ? "" : errors[0].text());
  return rescomp::checkDialogs(set);
}

// A dialog with a few fields and the given extras.
std::string Dialog(const std::string& extras, const std::string& more = "") {
  return "DIALOG 300\n RECT 0 0 100 100\n"
         " CONTROL INTEGEREDIT 1351 \"\" 0 0 10 10\n"
         " CONTROL LISTBOX 1200 \"\" 0 0 10 10\n"
         " CONTROL SysTabControl32 1089 \"\" 0 0 10 10\n"
         " CONTROL QVZGRID 1364 \"\" 0 0 10 10 BITS(0x400)\n" +
         more + "EXTRAS\n" + extras + "END\n";
}

const char* kPage = "DIALOG 121\n RECT 0 0 10 10\n STYLE CHILD\nEND\n";
const char* kTemplate =
    "DIALOG 208\n RECT 0 0 10 10\n CONTROL INTEGEREDIT 101 \"\" 0 0 5 5\n CONTROL REALEDIT 102 \"\" 5 0 5 5\nEND\n";

TEST(ResourceCheck, SoundDialogsPass) {
  EXPECT_TRUE(Check(std::string(kPage) + kTemplate +
                    Dialog("[Ranges] \n 1351 1 2147483647 \n[Menus] \n 1200 2 1 \n Red \n Blue \n"
                           "[Tabs] \n 1089 1 121 \n  121 Rho-A \n[Grids] \n 1364 2 2 208 \n 30\nOne\nTwo\n"))
                  .empty());
}

TEST(ResourceCheck, FaultsAreRefusedWithTheirPlace) {
  const std::pair<std::string, const char*> cases[] = {
      {Dialog("[Ranges] \n 1351 1 2147483647\n"), "extras line 2: a data line must end with a blank"},
      {Dialog("[Ranges] \n 1352 1 5 \n"), "control 1352 is not in the dialog"},
      {Dialog("[Menus] \n 1200 3 1 \n Red \n Blue \n"), "option count does not match"},
      {Dialog("[Menus] \n 1351 0 0 \n"), "no list or combo box"},
      {Dialog("[Tabs] \n 1089 1 122 \n  122 Time \n"), "page dialog 122 does not exist"},
      {std::string(kPage) + Dialog("[Tabs] \n 1089 2 121 \n  121 Rho-A \n"), "page count does not match"},
      {Dialog("[Grids] \n 1364 2 2 209 \n 30\nOne\nTwo\n"), "column template dialog 209 does not exist"},
      {std::string(kTemplate) + Dialog("[Grids] \n 1364 3 2 208 \n 30\nOne\nTwo\n"), "needs 3 column controls"},
      {std::string(kTemplate) + Dialog("[Grids] \n 1364 2 3 208 \n 30\nOne\nTwo\n"), "one label line per row"},
      {Dialog("[Fonts] \n 1351 10 Arial 700 0 \n"), "without the comma"},
      {Dialog("[Dialog] \n 1 1999 0 \n"), "stretch field 1999"},
      {Dialog("", " CONTROL BUTTON 1 \"a\" 0 0 5 5 AUTORADIOBUTTON\n CONTROL BUTTON 2 \"b\" 0 0 5 5 AUTORADIOBUTTON\n"),
       "radio group of control 1"},
      {Dialog("", " CONTROL BUTTON 1 \"a\" 0 0 5 5 AUTORADIOBUTTON GROUP\n CONTROL BUTTON 2 \"ok\" 0 0 5 5\n"),
       "hold radio buttons only (control 2)"},
  };
  for (const auto& [text, fault] : cases) {
    SCOPED_TRACE(text);
    const std::vector<std::string> errors = Check(text);
    ASSERT_FALSE(errors.empty());
    EXPECT_NE(errors[0].find("t.qres:"), std::string::npos);
    EXPECT_NE(errors[0].find(fault), std::string::npos) << errors[0];
  }
}

}  // namespace
