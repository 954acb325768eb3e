// Paths longer than the fixed name fields of old (255, 256, 259 and 260
// characters), through every writer a user's path reaches: each writes the
// very file it was given, or refuses with a message naming it. None may act
// on a cut name: beside each path lie files named as its cuts would be,
// and they must come out as they went in.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/AsciiOut.h"
#include "tests/app/AppFixture.h"
#include "toolkit/core/OsServices.h"

namespace {

using apptest::AppTest;
namespace fs = std::filesystem;

constexpr size_t kCuts[] = {255, 256, 259, 260};

class LongPaths : public AppTest {
 protected:
  // Every regular file under the folder with its contents.
  static std::map<std::string, std::string> Files(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(folder))
      if (e.is_regular_file()) files[e.path().string()] = testsupport::ReadFile(e.path().string());
    return files;
  }
  static std::vector<std::string> Boxes() {
    std::vector<std::string> texts;
    for (const plat::test::ShownDialog& d : plat::test::shownDialogs())
      if (d.kind == "message box") texts.push_back(d.text);
    return texts;
  }
};

TEST_F(LongPaths, EveryWriterWritesTheWholeNameOrRefusesIt) {
  Start();
  // A folder whose name ends at column 240: the cuts fall inside the file
  // names that follow it.
  ASSERT_LT(dir_.path().size(), 200u);
  const std::string folder = dir_.path() + "/" + std::string(240 - dir_.path().size() - 1, 'f');
  const auto in = [&](const std::string& name) { return folder + "/" + name; };
  // A name longer than any path the system takes.
  std::string endless = folder;
  while (endless.size() < 4200) endless += "/" + std::string(200, 'e');
  endless += "/suite.DAT";

  struct Row {
    const char* what;
    std::map<std::string, std::string> before;  // files the user has
    std::vector<std::string> named;             // the names the writer is given
    std::function<void()> act;
    std::map<std::string, std::string> written;  // files that must then hold these (a prefix)
    std::vector<std::string> gone;               // files that must then be gone
    std::string message;                         // the start of the box that refuses
  };
  const std::string prt = in("suite-export-of-the-long-road.PRT");
  const std::string dat = in("suite-export-of-the-long-road.DAT");
  const std::string txt = in("suite-table-of-the-long-road.TXT");
  const std::string grid = in("grid-file-of-the-long-road.csv");
  const std::string from = in("renamed-from-the-long-road.dat"), to = in("renamed-to-the-long-road-file.dat");
  const std::string plot = in("deleted-plot-of-the-long-road.plt");
  const std::vector<Row> rows = {
      {".PRT export",
       {},
       {prt},
       [&] {
         plat::test::answerFileDialog({true, {prt}});
         Steps({[] {
           plat::test::typeText("long road");
           plat::test::key(plat::vk::Return);
         }});
         Menu(40016);
         EXPECT_TRUE(StepsDone());
         EXPECT_EQ(Status(1), "Exported to " + prt);
       },
       {{prt, " Output file: \r\n " + prt + "\r\n"}},
       {},
       ""},
      {".DAT export",
       {},
       {dat},
       [&] {
         plat::test::answerFileDialog({true, {dat}});
         Steps({[] {
           plat::test::key(plat::vk::Down);  // late time
           plat::test::key(plat::vk::Return);
         }});
         Menu(40004);
         EXPECT_TRUE(StepsDone());
         EXPECT_EQ(Status(1), "Exported to " + dat);
       },
       {{dat, "Parameter to vary is "}},
       {},
       ""},
      {".TXT table of the suite",
       {},
       {txt},
       [&] {
         plat::test::answerFileDialog({true, {txt}});
         WRITESUITE();
         EXPECT_EQ(LastExportFile(), txt);
       },
       {{txt, "  1.25893E-03  1.00000E+00"}},
       {},
       ""},
      {"a name longer than any path is refused by name, and the dialog cancelled",
       {},
       {endless},
       [&] {
         const std::string status = Status(1);
         plat::test::answerFileDialog({true, {endless}});
         plat::test::answerFileDialog({false, {}});
         Menu(40004);
         EXPECT_EQ(Status(1), status);
       },
       {},
       {},
       endless + "\nThe name is too long"},
      {"a copy to the backup beside it (the grid editor's save)",
       {{grid, "cells"}},
       {grid, grid + ".bak"},
       [&] { IOsCopyFile(grid, grid + ".bak"); },
       {{grid, "cells"}, {grid + ".bak", "cells"}},
       {},
       ""},
      {"a rename",
       {{from, "moved"}},
       {from, to},
       [&] { IOsRenameFile(from, to); },
       {{to, "moved"}},
       {from},
       ""},
      {"a delete (the plot file after a print command)",
       {{plot, "plot"}},
       {plot},
       [&] { IOsDeleteFile(plot); },
       {},
       {plot},
       ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    fs::remove_all(folder);
    fs::create_directories(folder);
    // The user's files, and others named as each name cut would be.
    std::map<std::string, std::string> twins;
    for (const std::string& name : row.named)
      for (size_t cut : kCuts)
        if (cut < name.size() && name.compare(0, folder.size() + 1, folder + "/") == 0 &&
            name.find('/', folder.size() + 1) == std::string::npos)
          twins[name.substr(0, cut)] = "another file cut at " + std::to_string(cut);
    ASSERT_FALSE(row.named.empty());
    for (const auto& [name, bytes] : row.before) testsupport::WriteFile(name, bytes);
    for (const auto& [name, bytes] : twins) testsupport::WriteFile(name, bytes);
    plat::test::clearShownDialogs();
    ErrorState().LastErrorCode = 0;

    row.act();

    std::map<std::string, std::string> expected = twins;
    for (const auto& [name, bytes] : row.before) expected[name] = bytes;
    for (const std::string& name : row.gone) expected.erase(name);
    const std::map<std::string, std::string> files = Files(folder);
    for (const auto& [name, start] : row.written) {
      if (files.count(name) == 0) {
        ADD_FAILURE() << "not written: " << name;
        continue;
      }
      EXPECT_EQ(files.at(name).rfind(start, 0), 0u) << files.at(name).substr(0, 400);
      expected[name] = files.at(name);
    }
    EXPECT_EQ(files, expected) << "a file written, changed or removed under another name";
    const std::vector<std::string> boxes = Boxes();
    if (row.message.empty()) {
      EXPECT_TRUE(boxes.empty()) << boxes.front();
    } else {
      EXPECT_EQ(boxes.size(), 1u);
      EXPECT_TRUE(!boxes.empty() && boxes[0].rfind(row.message, 0) == 0) << (boxes.empty() ? "no box" : boxes[0]);
    }
    EXPECT_EQ(LastErrorCode(), 0);
  }
}

}  // namespace
