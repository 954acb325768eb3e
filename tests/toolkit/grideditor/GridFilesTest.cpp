// Grid files: the CSV text written for every cell kind with and without
// quotes, header line and row labels; reading it back (check-box
// spellings, empty and bad numbers, unknown options, rows to clear, rows
// to add); the reader's limits (a last line without a line feed, a line
// too wide, a field longer than the line buffer, blanks at a block end);
// the HTML table for its options; files replaced only when complete; and
// Debian's python3 csv and html.parser and xmllint reading what we write.
#include "tests/support/FileSizeLimit.h"
#include "tests/toolkit/grideditor/GridFilesFixture.h"


#include "toolkit/core/NumberText.h"

namespace gridedtest {
namespace {

TEST_F(GridFilesTest, CsvFieldsByCellKindWithAndWithoutQuotes) {
  Row(1, "a\"b", 42, 1.5f, 2.25, 1, 2);
  Row(2, "trail  ", -7, 99.125f, -1e-30, 0, 3);
  WGridClearCell(kFilesGrid, 2, 3);
  WGridClearCell(kFilesGrid, 3, 3);
  WGridClearCell(kFilesGrid, 4, 3);
  WGridSave(kFilesGrid, "quoted.csv", std::nullopt, std::nullopt, std::nullopt, 3);
  EXPECT_EQ(testsupport::ReadFile("quoted.csv"),
            "\"a\"\"b\",42,1.500,2.2500,Yes,\"Beta\"\r\n"
            "\"trail  \",-7,99.125,-0.10000E-29,No,\"Gamma\"\r\n"
            "\"\",,,,No,\"Alpha\"\r\n");
  WGridSave(kFilesGrid, "plain.csv", 1, 2, 1, 2, 1);
  EXPECT_EQ(testsupport::ReadFile("plain.csv"), "a\"\"b,42\r\ntrail  ,-7\r\n");
  EXPECT_EQ(LastErrorCode(), 0);

  // Read back into emptied cells: the same values, trailing blanks gone;
  // the empty numbers of row 3 say "No substring found" (10).
  YYGridClearAll(Grid(kFilesGrid));
  WGridLoad(kFilesGrid, "quoted.csv");
  EXPECT_EQ(Cell(1, 1), "a\"b");
  EXPECT_EQ(Cell(1, 2), "trail");
  EXPECT_EQ(Cell(1, 3), "");
  EXPECT_EQ(Cell(2, 1), "42");
  EXPECT_EQ(Cell(3, 2), "99.125");
  EXPECT_EQ(Cell(4, 2), "-0.10000E-29");
  EXPECT_EQ(Cell(2, 3), "");
  EXPECT_EQ(WInfoGridCell(kFilesGrid, 2, 3, 1), 0);
  EXPECT_EQ(Check(1), 1);
  EXPECT_EQ(Check(2), 0);
  EXPECT_EQ(Option(1), 2);
  EXPECT_EQ(Option(2), 3);
  EXPECT_EQ(LastErrorCode(), 10);
}

TEST_F(GridFilesTest, HeaderLineAndRowLabels) {
  WGridLabelColumn(kFilesGrid, 0, "Corner");
  WGridLabelRow(kFilesGrid, 1, "first");
  WGridLabelRow(kFilesGrid, 2, "say \"2\"");
  Row(1, "x", 1, 1.0f, 1.0, 0, 1);
  Row(2, "y", 2, 2.0f, 2.0, 1, 1);
  WGridSave(kFilesGrid, "labels.csv", 1, 2, 1, 2, 2);
  EXPECT_EQ(testsupport::ReadFile("labels.csv"),
            "\"Corner\",\"Name\",\"Count\"\r\n"
            "\"first\",\"x\",1\r\n"
            "\"say \"\"2\"\"\",\"y\",2\r\n");
  // Without option 2 neither is written.
  WGridSave(kFilesGrid, "bare.csv", 1, 2, 1, 2);
  EXPECT_EQ(testsupport::ReadFile("bare.csv"), "\"x\",1\r\n\"y\",2\r\n");

  testsupport::WriteFile("in.csv", "Here,Who,How many\r\nR1,p,5\r\nR2,q,6\r\n");
  WGridLoad(kFilesGrid, "in.csv", std::nullopt, 2);
  EXPECT_EQ(Header(0), "Here");
  EXPECT_EQ(Header(1), "Who");
  EXPECT_EQ(Header(2), "How many");
  EXPECT_EQ(Header(3), "");   // the rest of the header line is emptied
  EXPECT_EQ(Label(1), "R1");
  EXPECT_EQ(Label(2), "R2");
  EXPECT_EQ(Label(3), "");
  EXPECT_EQ(Cell(1, 2), "q");
  EXPECT_EQ(Cell(2, 2), "6");
}

TEST_F(GridFilesTest, ReadingCheckBoxesNumbersAndOptions) {
  for (int r = 1; r <= 10; ++r) WGridPutCellOption(kFilesGrid, 6, r, 3);
  testsupport::WriteFile("in.csv",
                         "a,1,,,yes,beta\n"
                         "b,2,,,Yes   ,\"GAMMA\"\n"
                         "c,x3,,,YES,Delta\n"
                         "d,4,,,1,alpha\n"
                         "e,5,,,true\n"
                         "f,6,,,\n"
                         "\"g\nh\",7\n");
  WGridLoad(kFilesGrid, "in.csv");
  EXPECT_EQ(Check(1), 1);
  EXPECT_EQ(Check(2), 1);
  EXPECT_EQ(Check(3), 1);
  EXPECT_EQ(Check(4), 0);
  EXPECT_EQ(Check(5), 0);
  EXPECT_EQ(Check(6), 0);
  EXPECT_EQ(Option(1), 2);
  EXPECT_EQ(Option(2), 3);
  EXPECT_EQ(Option(3), 1);   // no such option: the first, and 1055
  EXPECT_EQ(Option(4), 1);
  EXPECT_EQ(Option(5), 3);   // a short line keeps its options
  // "x3" is no integer: the cell stays empty.
  EXPECT_EQ(Cell(2, 3), "");
  EXPECT_EQ(Cell(2, 4), "4");
  // A line feed inside quotes belongs to the text, as in a spreadsheet's
  // file: the line goes on after it.
  EXPECT_EQ(Cell(1, 7), "g\nh");
  EXPECT_EQ(Cell(2, 7), "7");
  EXPECT_EQ(Cell(1, 8), "");
  EXPECT_EQ(gridtest::Reported(), (std::vector<std::string>{"WGridLoad 1055"}));
}

TEST_F(GridFilesTest, RowsAfterTheFileAreEmptiedOrAdded) {
  for (int r = 1; r <= 10; ++r) Row(r, "old", r, 1.0f, 1.0, 1, 2);
  testsupport::WriteFile("three.csv", "a,1\r\nb,2\r\nc,3\r\n");
  WGridLoad(kFilesGrid, "three.csv");
  EXPECT_EQ(WGridInfoItem(kFilesGrid, 3), 10);
  EXPECT_EQ(Cell(1, 3), "c");
  EXPECT_EQ(Cell(3, 3), "");       // the rest of a short line is emptied
  EXPECT_EQ(Option(3), 2);         // but its option stays
  for (int r = 4; r <= 10; ++r) {
    EXPECT_EQ(Cell(1, r), "") << r;
    EXPECT_EQ(Cell(2, r), "") << r;
    EXPECT_EQ(Check(r), 0) << r;
    EXPECT_EQ(Option(r), 1) << r;  // rows after the file: the first option
  }

  std::string twelve;
  for (int r = 1; r <= 12; ++r) twelve += "n" + std::to_string(r) + "\r\n";
  testsupport::WriteFile("twelve.csv", twelve);
  WGridLoad(kFilesGrid, "twelve.csv", 1);
  EXPECT_EQ(WGridInfoItem(kFilesGrid, 3), 12);
  EXPECT_EQ(Cell(1, 12), "n12");
  EXPECT_EQ(LastErrorCode(), 0);
  // Without grow the rows stay as they are: 1054, the rows in use filled.
  WGridRows(kFilesGrid, 10);
  WGridLoad(kFilesGrid, "twelve.csv");
  EXPECT_EQ(WGridInfoItem(kFilesGrid, 3), 10);
  EXPECT_EQ(Cell(1, 10), "n10");
  EXPECT_EQ(gridtest::Reported(), (std::vector<std::string>{"WGridLoad 1054"}));
  EXPECT_EQ(GridGlobals().ImmediateRepaint, 1);   // the bulk update ended
}

// A load that grows the grid line by line paints the grid once, at its
// end, and leaves it with as many rows as the file has lines.
TEST_F(GridFilesTest, AGrowingLoadPaintsOnce) {
  std::string lines;
  for (int r = 1; r <= 17; ++r) lines += "n" + std::to_string(r) + "," + std::to_string(r) + "\r\n";
  testsupport::WriteFile("grow.csv", lines);
  WGridRows(kFilesGrid, 1);
  GridRecord& g = G(kFilesGrid);
  plat::updateWindow(g.Client);
  int32_t paints = 0;
  plat::test::MessageLog log([&](const plat::test::LoggedMessage& m) {
    if (m.hwnd == g.Client && m.message == plat::wm::Paint) ++paints;
    return false;
  });
  WGridLoad(kFilesGrid, "grow.csv", 1);
  EXPECT_EQ(paints, 1);
  EXPECT_EQ(WGridInfoItem(kFilesGrid, 3), 17);
  EXPECT_EQ(Cell(1, 17), "n17");
  EXPECT_EQ(Cell(2, 16), "16");
}

// Files as people make them: the reader keeps what it can.
TEST_F(GridFilesTest, ReaderLimitsLoseNothingThatFits) {
  WGridSetCell(kFilesGrid, 5, 10);   // long texts go to cells, not to the editor
  // The last line without a line feed is kept.
  testsupport::WriteFile("nolf.csv", "a,1\r\nb,2");
  WGridLoad(kFilesGrid, "nolf.csv");
  EXPECT_EQ(Cell(1, 2), "b");
  EXPECT_EQ(Cell(2, 2), "2");

  // A line too wide for the grid: its extra fields go, the next lines stay.
  testsupport::WriteFile("wide.csv", "a,1,,,No,Beta,x,y,z\r\nb,2\r\nc,3\r\n");
  gridtest::Reported().clear();
  WGridLoad(kFilesGrid, "wide.csv");
  EXPECT_EQ(Cell(1, 1), "a");
  EXPECT_EQ(Cell(1, 2), "b");
  EXPECT_EQ(Cell(2, 3), "3");
  EXPECT_EQ(gridtest::Reported(), (std::vector<std::string>{"WGridLoad 1054"}));
  EXPECT_EQ(LastErrorCode(), 1054);

  // A field longer than the line buffer keeps its first 65000 bytes (of
  // which the column keeps what it can hold) and the line goes on; blanks
  // of a field across the end of the first block stay.
  testsupport::WriteFile("big.csv", "a\r\n" + std::string(70000, 'x') + ",9\r\nc,3\r\n");
  gridtest::Reported().clear();
  WGridLoad(kFilesGrid, "big.csv");
  const size_t limit = static_cast<size_t>(G(kFilesGrid).Cols[0].TextLimit);
  EXPECT_EQ(Cell(1, 2), std::string(std::min<size_t>(limit, 65000), 'x'));
  EXPECT_EQ(Cell(2, 2), "9");
  EXPECT_EQ(Cell(1, 3), "c");
  EXPECT_TRUE(gridtest::Reported().empty());

  testsupport::WriteFile("block.csv", std::string(64990, 'y') + "\r\nab" + std::string(10, ' ') + "cd,4\r\n");
  WGridLoad(kFilesGrid, "block.csv");
  EXPECT_EQ(Cell(1, 2), "ab          cd");
  EXPECT_EQ(Cell(2, 2), "4");
}

// Everything a cell can hold comes back from its file: numbers the column's
// format cannot show (written at full precision instead of the format's
// stars or rounding), texts with separators, quotes and line ends; the file
// read as written (CR LF), after a spreadsheet tool rewrote it with LF or
// CR line ends, and with a byte-order mark in front. The same cases stand
// in rows on screen and in rows scrolled out of view: they read back alike.
TEST_F(GridFilesTest, SavedCellsReadBackTheSameOnScreenAndOff) {
  struct Case {
    std::string text;
    float real;      // the column shows (F8.3)
    double exact;
    int32_t count;
  };
  const std::vector<Case> cases = {
      {"a,b", 10000.5f, 1e300, 2147483647},
      {"say \"hi\"", 1.23456f, 0.1, -2147483647},
      {"two\nlines", 3.4e38f, 1.0 / 3.0, 0},
      {"cr\r\nlf", -1e-30f, -123456789.123456789, 42},
      {"\"lead", 0.1f, 2.5e-300, 7},
      {"", 99.125f, 2.25, -1},
      {"tab\there, \"both\"\r\nend,", 16777216.0f, 9007199254740993.0, 100},
  };
  WGridRows(kFilesGrid, 20);
  WGridSetCell(kFilesGrid, 5, 1);   // the editor on a check box, out of the way
  for (int32_t r = 1; r <= 20; ++r) WGridPutCellOption(kFilesGrid, 6, r, 1);
  const int32_t first = WGridInfoItem(kFilesGrid, 9), shown = WGridInfoItem(kFilesGrid, 101);
  ASSERT_LE(first + shown, 14) << "rows 14 on lie out of view";
  for (size_t k = 0; k < cases.size(); ++k) {
    for (const int32_t r : {static_cast<int32_t>(k) + 1, static_cast<int32_t>(k) + 14}) {
      const Case& c = cases[k];
      Row(r, c.text, c.count, c.real, c.exact, static_cast<int32_t>(k % 2), static_cast<int32_t>(k % 3) + 1);
    }
  }
  struct Cells {
    std::vector<std::string> shown;
    std::vector<float> reals;
    std::vector<double> doubles;
    std::vector<int32_t> counts, checks, options;
    bool operator==(const Cells&) const = default;
  };
  auto cells = [&] {
    Cells out;
    for (int32_t r = 1; r <= 20; ++r) {
      for (int32_t c = 1; c <= 4; ++c) out.shown.push_back(Cell(c, r));
      float x = 0.0f;
      double d = 0.0;
      int32_t n = 0;
      WGridGetCellReal(kFilesGrid, 3, r, x);
      WGridGetCellDouble(kFilesGrid, 4, r, d);
      WGridGetCellInteger(kFilesGrid, 2, r, n);
      out.reals.push_back(x);
      out.doubles.push_back(d);
      out.counts.push_back(n);
      out.checks.push_back(Check(r));
      out.options.push_back(Option(r));
    }
    return out;
  };
  const Cells before = cells();
  // The format has no room for 10000.5: the cell shows it in its shortest form.
  EXPECT_EQ(before.shown[0 * 4 + 2], "10000.5");
  WGridSave(kFilesGrid, "trip.csv");
  const std::string saved = testsupport::ReadFile("trip.csv");
  EXPECT_EQ(saved.find('*'), std::string::npos) << saved;
  EXPECT_NE(saved.find(",10000.5,"), std::string::npos) << saved;

  // Python's csv module reads the texts as they are in the cells, and
  // rewrites the file with the other line ends.
  testsupport::WriteFile("csvtool.py",
                         "import csv, sys\n"
                         "rows = list(csv.reader(open(sys.argv[1], newline='', encoding='latin-1')))\n"
                         "if len(sys.argv) > 2:\n"
                         "    with open(sys.argv[2], 'w', newline='', encoding='latin-1') as f:\n"
                         "        csv.writer(f, lineterminator=sys.argv[3], quoting=csv.QUOTE_ALL).writerows(rows)\n"
                         "for row in rows: print(row[0].encode('latin-1').hex())\n");
  int status = 0;
  std::string out = Run("/usr/bin/python3 csvtool.py trip.csv", status);
  ASSERT_EQ(status, 0) << out;
  std::string expected;
  for (int32_t r = 1; r <= 20; ++r) {
    for (const unsigned char ch : Cell(1, r)) {
      static constexpr char kHex[] = "0123456789abcdef";
      expected += kHex[ch >> 4];
      expected += kHex[ch & 15];
    }
    expected += "\n";
  }
  EXPECT_EQ(out, expected);
  out = Run("/usr/bin/python3 csvtool.py trip.csv lf.csv '\n'", status);
  ASSERT_EQ(status, 0) << out;
  out = Run("/usr/bin/python3 csvtool.py trip.csv cr.csv '\r'", status);
  ASSERT_EQ(status, 0) << out;
  testsupport::WriteFile("bom.csv", "\xEF\xBB\xBF" + saved);
  ASSERT_EQ(testsupport::ReadFile("lf.csv").find("\r\n"), testsupport::ReadFile("lf.csv").find("cr\r\nlf") + 2);
  ASSERT_EQ(testsupport::ReadFile("cr.csv").find('\n'), testsupport::ReadFile("cr.csv").find("two\nlines") + 3);

  for (const char* file : {"trip.csv", "lf.csv", "cr.csv", "bom.csv"}) {
    YYGridClearAll(Grid(kFilesGrid));
    gridtest::Reported().clear();
    WGridLoad(kFilesGrid, file);
    EXPECT_TRUE(gridtest::Reported().empty()) << file;
    const Cells after = cells();
    EXPECT_EQ(after.shown, before.shown) << file;
    EXPECT_EQ(after.reals, before.reals) << file;
    EXPECT_EQ(after.doubles, before.doubles) << file;
    EXPECT_EQ(after.counts, before.counts) << file;
    EXPECT_EQ(after.checks, before.checks) << file;
    EXPECT_EQ(after.options, before.options) << file;
  }
  // A file that began with a byte-order mark keeps it when it is rewritten.
  WGridSave(kFilesGrid, "bom.csv");
  EXPECT_EQ(testsupport::ReadFile("bom.csv"), "\xEF\xBB\xBF" + saved);
}

// Without quotes (option 1) a text that would not read back as one field
// is quoted all the same.
TEST_F(GridFilesTest, UnquotedTextsThatNeedQuotesKeepThem) {
  const std::vector<std::string> texts = {"plain", "a,b", "line\nend", "\"lead", "mid\"quote"};
  for (size_t k = 0; k < texts.size(); ++k) WGridPutCellString(static_cast<int32_t>(k) + 1, texts[k]);
  WGridSave(kFilesGrid, "bare.csv", 1, 1, 1, static_cast<int32_t>(texts.size()), 1);
  EXPECT_EQ(testsupport::ReadFile("bare.csv"),
            "plain\r\n\"a,b\"\r\n\"line\nend\"\r\n\"\"\"lead\"\r\nmid\"\"quote\r\n");
  YYGridClearAll(Grid(kFilesGrid));
  WGridLoad(kFilesGrid, "bare.csv");
  for (size_t k = 0; k < texts.size(); ++k) EXPECT_EQ(Cell(1, static_cast<int32_t>(k) + 1), texts[k]);
}

TEST_F(GridFilesTest, ANumberWithADecimalCommaIsQuoted) {
  LocaleDecimal().Separator = ',';
  LocaleDecimal().UseIt = 1;
  Row(1, "c", 3, 2.5f, 0.75, 0, 1);
  WGridSave(kFilesGrid, "comma.csv", 2, 4, 1, 1);
  const std::string text = testsupport::ReadFile("comma.csv");
  LocaleDecimal() = {};
  EXPECT_EQ(text, "3,\"2,500\",\"0,75000\"\r\n");
}

TEST_F(GridFilesTest, AFileIsReplacedOnlyWhenComplete) {
  for (int r = 1; r <= 10; ++r) Row(r, std::string(200, 'w'), r, 1.0f, 1.0, 0, 1);
  testsupport::WriteFile("kept.csv", "old");
  testsupport::WriteFile("kept.htm", "old");
  {
    const testsupport::FileSizeLimit limit(500);
    WGridSave(kFilesGrid, "kept.csv");
    WGridSaveHTML(kFilesGrid, "kept.htm");
  }
  EXPECT_EQ(testsupport::ReadFile("kept.csv"), "old");
  EXPECT_EQ(testsupport::ReadFile("kept.htm"), "old");
  EXPECT_EQ(gridtest::Reported(), (std::vector<std::string>{"WGridSave 2", "WGridSaveHTML 2"}));
  gridtest::Reported().clear();
  WGridSave(kFilesGrid, "no/such/dir/x.csv");
  WGridSaveHTML(kFilesGrid, "no/such/dir/x.htm");
  WGridLoad(kFilesGrid, "no/such/file.csv");
  EXPECT_EQ(gridtest::Reported(),
            (std::vector<std::string>{"WGridSave 1", "WGridSaveHTML 1", "IFileOpen 1"}));
  EXPECT_EQ(Cell(1, 1), std::string(200, 'w'));
}

TEST_F(GridFilesTest, AddressingFailures) {
  WGridSave(4711, "x.csv");
  WGridLoad(0, "x.csv");
  WDialogUnload();
  WGridSaveHTML(kFilesGrid, "x.htm");
  EXPECT_EQ(gridtest::Reported(), (std::vector<std::string>{"WGridSave 1006", "WGridLoad 1006", "WGridSaveHTML 1005"}));
}

TEST_F(GridFilesTest, PythonsCsvModuleReadsWhatWeWrite) {
  Row(1, "comma, inside", 1, 0.5f, 1.0, 1, 1);
  Row(2, "quote \" and \"\"two\"\"", 2, 0.25f, 2.0, 0, 2);
  Row(3, "  lead", 3, 0.125f, 3.0, 1, 3);
  WGridSave(kFilesGrid, "py.csv", std::nullopt, std::nullopt, std::nullopt, 3);
  testsupport::WriteFile("read.py",
                         "import csv, sys\n"
                         "with open(sys.argv[1], newline='') as f:\n"
                         "    for row in csv.reader(f):\n"
                         "        print('|'.join(row))\n");
  int status = 0;
  const std::string out = Run("/usr/bin/python3 read.py py.csv", status);
  ASSERT_EQ(status, 0) << out;
  std::string expected;
  for (int r = 1; r <= 3; ++r) {
    expected += Cell(1, r) + "|" + Cell(2, r) + "|" + Cell(3, r) + "|" + Cell(4, r) + "|" +
                (Check(r) == 1 ? "Yes" : "No") + "|" + std::string(Option(r) == 1 ? "Alpha" : Option(r) == 2 ? "Beta" : "Gamma") +
                "\n";
  }
  EXPECT_EQ(out, expected);
}

TEST_F(GridFilesTest, HtmlDocumentAndTable) {
  WGridLabelColumn(kFilesGrid, 1, "A & B");
  WGridLabelRow(kFilesGrid, 1, "<one>");
  Row(1, "x < y & z", 5, 1.5f, 2.0, 1, 2);
  Row(2, "", 6, 2.5f, 3.0, 0, 1);
  WGridClearCell(kFilesGrid, 3, 2);
  int32_t f = kFilesGrid;
  YYGridCellColoursSet(f, 0, 0, 255, 0, 0, 0, 0, 255);
  WGridSaveHTML(kFilesGrid, "doc.htm", 1, 6, 1, 2, 0, "Results  ", 2, 255);
  EXPECT_EQ(testsupport::ReadFile("doc.htm"),
            "<html>\r\n<head>\r\n<title>Results</title>\r\n</head>\r\n<body bgcolor=#ff0000>\r\n"
            "<h2>Results</h2>\r\n<table border=2 cellpadding=5>\r\n"
            "<tr>\r\n<td></td>\r\n"
            "<td align=center>\r\nA &amp; B\r\n</td>\r\n<td align=center>\r\nCount\r\n</td>\r\n"
            "<td align=center>\r\nValue\r\n</td>\r\n<td align=center>\r\nExact\r\n</td>\r\n"
            "<td align=center>\r\n\r\n</td>\r\n<td align=center>\r\nChoice\r\n</td>\r\n</tr>\r\n"
            "<tr>\r\n<td align=left>\r\n&lt;one&gt;\r\n</td>\r\n"
            "<td align=left bgcolor=#0000ff>\r\n<font color=#ff0000>\r\nx &lt; y &amp; z\r\n</font>\r\n</td>\r\n"
            "<td align=left>\r\n5\r\n</td>\r\n<td align=left>\r\n1.500\r\n</td>\r\n<td align=left>\r\n2.0000\r\n</td>\r\n"
            "<td align=center>\r\n<font face=\"Symbol\">&middot;</font>\r\n</td>\r\n<td align=left>\r\nBeta\r\n</td>\r\n</tr>\r\n"
            "<tr>\r\n<td align=left>\r\n\r\n</td>\r\n"
            "<td align=left>\r\n\r\n</td>\r\n"
            "<td align=left>\r\n6\r\n</td>\r\n<td align=left>\r\n\r\n</td>\r\n<td align=left>\r\n3.0000\r\n</td>\r\n"
            "<td align=center>\r\n&nbsp;\r\n</td>\r\n<td align=left>\r\nAlpha\r\n</td>\r\n</tr>\r\n"
            "</table>\r\n</body>\r\n</html>\r\n");

  // Table only, centred, Y and N, no colours, a blank title, border -3.
  WGridSaveHTML(kFilesGrid, "table.htm", 5, 6, 1, 1, 1 + 2 + 4 + 8, "   ", -3);
  EXPECT_EQ(testsupport::ReadFile("table.htm"),
            "<center>\r\n<table border=0 cellpadding=5>\r\n"
            "<tr>\r\n<td></td>\r\n<td align=center>\r\n\r\n</td>\r\n<td align=center>\r\nChoice\r\n</td>\r\n</tr>\r\n"
            "<tr>\r\n<td align=left>\r\n&lt;one&gt;\r\n</td>\r\n"
            "<td align=center>\r\nY\r\n</td>\r\n<td align=left>\r\nBeta\r\n</td>\r\n</tr>\r\n"
            "</table>\r\n</center>\r\n");
  // A blank title as a page: an empty title line and no heading.
  WGridSaveHTML(kFilesGrid, "blank.htm", 1, 1, 1, 1, 0, "   ");
  const std::string blank = testsupport::ReadFile("blank.htm");
  EXPECT_NE(blank.find("<title></title>\r\n"), std::string::npos);
  EXPECT_EQ(blank.find("<h2>"), std::string::npos);
  EXPECT_NE(blank.find("<body>\r\n"), std::string::npos);
}

TEST_F(GridFilesTest, PythonsHtmlParserAndXmllintReadTheTable) {
  WGridLabelColumn(kFilesGrid, 1, "Name <&>");
  for (int r = 1; r <= 4; ++r) {
    Row(r, "cell " + std::to_string(r) + (r == 2 ? " <b>&amp;</b>" : ""), r * 10, 0.5f * r, r / 4.0, r % 2, r % 3 + 1);
    WGridLabelRow(kFilesGrid, r, "row " + std::to_string(r));
  }
  WGridSaveHTML(kFilesGrid, "py.htm", std::nullopt, std::nullopt, 1, 4, 4, "Grid & co");
  testsupport::WriteFile("read.py",
                         "import html.parser, sys\n"
                         "class P(html.parser.HTMLParser):\n"
                         "    def __init__(self):\n"
                         "        super().__init__(convert_charrefs=True)\n"
                         "        self.cell = None; self.row = []\n"
                         "    def handle_starttag(self, tag, attrs):\n"
                         "        if tag == 'td': self.cell = ''\n"
                         "    def handle_endtag(self, tag):\n"
                         "        if tag == 'td': self.row.append(self.cell.strip('\\r\\n')); self.cell = None\n"
                         "        if tag == 'tr': print('|'.join(self.row)); self.row = []\n"
                         "    def handle_data(self, data):\n"
                         "        if self.cell is not None: self.cell += data\n"
                         "p = P(); p.feed(open(sys.argv[1], encoding='latin-1').read()); p.close()\n");
  int status = 0;
  std::string out = Run("/usr/bin/python3 read.py py.htm", status);
  ASSERT_EQ(status, 0) << out;
  std::string expected = "|" + Header(1) + "|" + Header(2) + "|" + Header(3) + "|" + Header(4) + "|" + Header(5) + "|" + Header(6) + "\n";
  for (int r = 1; r <= 4; ++r)
    expected += Label(r) + "|" + Cell(1, r) + "|" + Cell(2, r) + "|" + Cell(3, r) + "|" + Cell(4, r) + "|" +
                (Check(r) == 1 ? "Y" : "N") + "|" + std::string(Option(r) == 1 ? "Alpha" : Option(r) == 2 ? "Beta" : "Gamma") +
                "\n";
  EXPECT_EQ(out, expected);
  out = Run("xmllint --html --noout py.htm", status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out, "");
  WGridSaveHTML(kFilesGrid, "part.htm", std::nullopt, std::nullopt, 1, 4, 1 + 2);
  out = Run("xmllint --html --noout part.htm", status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out, "");
}

TEST(GridQuotes, DoubledAndUndoubled) {
  std::string t = "a\"b\"\"c  ";
  YYQuotesDouble(t);
  EXPECT_EQ(t, "a\"\"b\"\"\"\"c  ");
  YYQuotesUndouble(t);
  EXPECT_EQ(t, "a\"b\"\"c  ");
  t = "\"\"\"";
  YYQuotesUndouble(t);
  EXPECT_EQ(t, "\"\"");
}

}  // namespace
}  // namespace gridedtest
