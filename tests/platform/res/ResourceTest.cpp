// Resource text: what it becomes, what is refused, and the compiled tables.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "platform/menu/Menu.h"
#include "platform/os/Os.h"
#include "platform/res/ResourceParser.h"
#include "platform/res/Resources.h"
#include "platform/test/Test.h"

namespace plat::res {
void fillTestResources(ResourceSet& s);   // compiled from tests/data/platform/compiled.qres
}

namespace plat {
namespace {

namespace fs = std::filesystem;

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class ResourceTest : public ::testing::Test {
 protected:
  void SetUp() override { test::reset(); }
  void TearDown() override { test::reset(); }
};

TEST_F(ResourceTest, EveryKindFromText) {
  const std::string dir = QUILLON_TEST_DATA "/platform";
  res::pushOverlay(readFile(dir + "/compiled.qres"), "compiled.qres", dir);

  const res::MenuTemplate* m = res::findMenu(10);
  ASSERT_TRUE(m);
  ASSERT_EQ(m->items.size(), 2u);
  EXPECT_EQ(m->items[0].id, 11u);
  EXPECT_EQ(m->items[0].flags, mf::Popup);
  EXPECT_EQ(m->items[0].items[0].text, "&Open\tCtrl+O");
  EXPECT_EQ(m->items[0].items[0].flags, mf::Checked);
  EXPECT_EQ(m->items[0].items[1].flags, mf::Separator);
  EXPECT_EQ(m->items[1].flags, mf::Disabled);

  auto strings = res::findData(res::kMenuStringType, 10);
  const uint8_t want[] = {12, 0, 'O', 'p', 'e', 'n', 's', ' ', 'a', ' ', 'f', 'i', 'l', 'e', 0, 0, 0};
  EXPECT_EQ(std::vector<uint8_t>(strings.begin(), strings.end()), std::vector<uint8_t>(std::begin(want), std::end(want)));

  auto words = res::findData(res::kRcData, 20);
  const uint8_t le[] = {16, 0, 16, 0, 12, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
  EXPECT_EQ(std::vector<uint8_t>(words.begin(), words.end()), std::vector<uint8_t>(std::begin(le), std::end(le)));
  EXPECT_EQ(res::findData("qvzmetafile", 21).size(), 3u) << "types compare without case";

  std::string s;
  ASSERT_TRUE(res::loadString(12, s));
  EXPECT_EQ(s, "Open \"it\"\x01");

  const std::vector<Accel>* a = res::findAccelerators(10);
  ASSERT_TRUE(a);
  ASSERT_EQ(a->size(), 2u);
  EXPECT_EQ((*a)[0].flags, fvirt::VirtKey | fvirt::Control);
  EXPECT_EQ((*a)[0].key, 'O');
  EXPECT_EQ((*a)[1].flags, fvirt::Alt);
  EXPECT_EQ((*a)[1].key, 'q');

  const Surface* bmp = res::findBitmap(22);
  ASSERT_TRUE(bmp);
  ASSERT_EQ(bmp->width, 3);
  EXPECT_EQ(bmp->pixels, (std::vector<uint32_t>{0xFF0000, 0x00FF00, 0x0000FF, 0x0000FF, 0x000000, 0xFF0000}))
      << "an 8-bit bottom-up file, rows top first";
  const Surface* icon = res::findIcon("ICON1");
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->pixels, (std::vector<uint32_t>{0x102030, 0xFFFFFF}));
  Hicon h = loadIcon("icon1");
  ASSERT_TRUE(h);
  EXPECT_EQ(iconImage(h)->width, 2);

  const res::DialogTemplate* d = res::findDialog(30);
  ASSERT_TRUE(d);
  EXPECT_EQ(d->style, ws::Popup | ws::Caption | ws::SysMenu | ds::ModalFrame);
  EXPECT_EQ(d->face, "MS Sans Serif");
  EXPECT_EQ(d->weight, 700);
  EXPECT_TRUE(d->italic);
  EXPECT_EQ((Rect{d->x, d->y, d->cx, d->cy}), (Rect{1, 2, 200, 64}));
  ASSERT_EQ(d->controls.size(), 3u);
  EXPECT_EQ(d->controls[0].style, ws::Child | ws::Visible | bs::DefPushButton | ws::TabStop | ws::Group);
  EXPECT_EQ(d->controls[1].style, ws::Child | pbs::Smooth) << "hidden";
  EXPECT_EQ(d->controls[1].exStyle, wsx::ClientEdge);
  EXPECT_EQ(d->controls[2].style, ws::Child | ws::Visible | 0x1200u);
  auto extras = res::findData(res::kRcData, 30);
  const std::string text = "[Ranges] \n 1371 0 100 \n";
  EXPECT_EQ(std::string(extras.begin(), extras.end()), text) << "kept byte for byte";
  EXPECT_EQ(extras.data()[extras.size()], 0) << "a zero byte follows";
}

TEST_F(ResourceTest, CompiledTablesEqualTheParsedText) {
  res::ResourceSet compiled, parsed;
  res::fillTestResources(compiled);
  const std::string dir = QUILLON_TEST_DATA "/platform";
  std::vector<res::ParseError> errors;
  ASSERT_TRUE(res::parseResources(readFile(dir + "/compiled.qres"), "compiled.qres", dir, parsed, errors));
  EXPECT_EQ(compiled.menus, parsed.menus);
  EXPECT_EQ(compiled.strings, parsed.strings);
  EXPECT_EQ(compiled.data, parsed.data);
  EXPECT_EQ(compiled.dialogs, parsed.dialogs);
  ASSERT_EQ(compiled.accelerators.size(), parsed.accelerators.size());
  for (const auto& [id, table] : parsed.accelerators)
    for (size_t i = 0; i < table.size(); ++i) {
      EXPECT_EQ(compiled.accelerators[id][i].flags, table[i].flags);
      EXPECT_EQ(compiled.accelerators[id][i].key, table[i].key);
      EXPECT_EQ(compiled.accelerators[id][i].cmd, table[i].cmd);
    }
  ASSERT_EQ(compiled.bitmaps.count(22), 1u);
  EXPECT_EQ(compiled.bitmaps[22].pixels, parsed.bitmaps[22].pixels);
  EXPECT_EQ(compiled.namedIcons["ICON1"].pixels, parsed.namedIcons["ICON1"].pixels);
}

TEST_F(ResourceTest, LaterOverlaysWinUntilPopped) {
  res::pushOverlay("STRINGTABLE\n 5 \"first\"\nEND\n");
  res::pushOverlay("STRINGTABLE\n 5 \"second\"\nEND\n");
  std::string s;
  res::loadString(5, s);
  EXPECT_EQ(s, "second");
  res::popOverlay();
  res::loadString(5, s);
  EXPECT_EQ(s, "first");
  res::popOverlay();
  EXPECT_FALSE(res::loadString(5, s));
}

// Each refusal, with the smallest text that shows it.
TEST_F(ResourceTest, MalformedTextIsRefusedWithItsLine) {
  struct Case {
    const char* text;
    int line;
    const char* message;
  } cases[] = {
      {"FOO 1", 1, "unknown resource keyword FOO"},
      {"MENU 1", 1, "missing END of MENU"},
      {"MENU 0\nEND", 1, "menu id 0 out of range 1..65535"},
      {"MENU 1\n ITEM \"a\"\nEND", 2, "expected item id"},
      {"MENU 1\n ITEM \"a\" 5 BLUE\nEND", 2, "unknown menu item option BLUE"},
      {"MENU 1\n BOGUS\nEND", 2, "unknown menu keyword BOGUS"},
      {"MENU 1\n POPUP \"a\"\nEND", 1, "missing END of MENU"},
      {"MENU 1\nEND\nMENU 1\nEND", 3, "MENU 1 is defined twice (first at t:1)"},
      {"STRINGTABLE\n 1 \"abc\nEND", 2, "unterminated text"},
      {"STRINGTABLE\n 1 \"a\\q\"\nEND", 2, "unknown escape \\q"},
      {"STRINGTABLE\n 3 \"a\"\n 3 \"b\"\nEND", 3, "STRING 3 is defined twice"},
      {"RCDATA 5\n 70000\nEND", 2, "word 70000 out of range"},
      {"RCDATA 5\n 1x\nEND", 2, "bad number for word: 1x"},
      {"DATA \"X\" 1\n ZZ\nEND", 2, "bad hex byte ZZ"},
      {"ACCELERATORS 1\n VIRTKEY NOPE 5\nEND", 2, "unknown key NOPE"},
      {"ACCELERATORS 1\n CHAR \"a\" 5 CTRL\nEND", 2, "a CHAR accelerator takes only ALT"},
      {"BITMAP 1 2 1\n COLOR a FFFFFF\n ROWS\n a\nEND", 4, "row of 1 pixels in a 2-pixel-wide image"},
      {"BITMAP 1 1 1\n COLOR a FFFFFF\n ROWS\n b\nEND", 4, "unknown colour b"},
      {"BITMAP 1 1 1\n COLOR a FFFFFG\n ROWS\n a\nEND", 2, "bad colour FFFFFG"},
      {"BITMAP 1 FILE \"nope.bmp\"", 1, "cannot read ./nope.bmp"},
      {"DIALOG 5\n CAPTION \"x\"\nEND", 1, "DIALOG 5 has no RECT"},
      {"DIALOG 5\n RECT 0 0 1 1\n SIZE 2 2\nEND", 3, "unknown dialog keyword SIZE"},
      {"DIALOG 5\n RECT 0 0 1 1\n CONTROL BUTTON 1 \"a\" 0 0 1 1 BOGUS\nEND", 3, "unknown style BOGUS for a BUTTON control"},
      {"DIALOG 5\n RECT 0 0 1 1\n CONTROL EDIT 1 \"\" 0 0 1 1\n CONTROL EDIT 1 \"\" 0 0 1 1\nEND", 4,
       "control id 1 used twice in DIALOG 5"},
      {"DIALOG 5\n RECT 0 0 1 1\n CONTROL EDIT 1 \"\" 0 0 1\nEND", 3, "expected height"},
      {"DIALOG 5\n RECT 0 0 1 1\nEXTRAS\n[Ranges] ", 3, "missing END of EXTRAS"},
      {"RCDATA 7\n 1\nEND\nDIALOG 7\n RECT 0 0 1 1\nEND", 4, "DIALOG 7 clashes with RCDATA 7"},
      {"DIALOG 7\n RECT 0 0 1 1\nEND\nRCDATA 7\n 1\nEND", 4, "RCDATA 7 clashes with the extras of DIALOG 7"},
  };
  for (const Case& c : cases) {
    res::ResourceSet set;
    std::vector<res::ParseError> errors;
    EXPECT_FALSE(res::parseResources(c.text, "t", ".", set, errors)) << c.text;
    ASSERT_EQ(errors.size(), 1u) << c.text;
    EXPECT_EQ(errors[0].line, c.line) << c.text;
    EXPECT_NE(errors[0].message.find(c.message), std::string::npos) << c.text << "\n got: " << errors[0].message;
  }
  EXPECT_THROW(res::pushOverlay("FOO 1", "inline"), res::ResourceError);
}

TEST_F(ResourceTest, BmpFilesOfEachDepthAndDirection) {
  // A 2 x 2 picture: red, green / blue, white.
  auto bmp = [](int bpp, bool topDown) {
    const int w = 2, h = 2;
    const uint32_t px[2][2] = {{0xFF0000, 0x00FF00}, {0x0000FF, 0xFFFFFF}};
    std::vector<uint32_t> palette;
    if (bpp == 8) palette = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    const int stride = (w * bpp + 31) / 32 * 4;
    const int off = 54 + 4 * static_cast<int>(palette.size());
    std::vector<uint8_t> b(static_cast<size_t>(off + stride * h));
    auto put = [&](size_t at, uint32_t v, int n) {
      for (int i = 0; i < n; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put(2, static_cast<uint32_t>(b.size()), 4);
    put(10, static_cast<uint32_t>(off), 4);
    put(14, 40, 4);
    put(18, w, 4);
    put(22, static_cast<uint32_t>(topDown ? -h : h), 4);
    put(26, 1, 2);
    put(28, static_cast<uint32_t>(bpp), 2);
    put(46, static_cast<uint32_t>(palette.size()), 4);
    for (size_t i = 0; i < palette.size(); ++i) put(54 + 4 * i, palette[i], 4);
    for (int y = 0; y < h; ++y) {
      size_t row = static_cast<size_t>(off + stride * (topDown ? y : h - 1 - y));
      for (int x = 0; x < w; ++x) {
        if (bpp == 8) b[row + static_cast<size_t>(x)] = static_cast<uint8_t>(y * 2 + x);
        else put(row + static_cast<size_t>(x * bpp / 8), px[y][x], 3);
      }
    }
    return b;
  };
  const fs::path dir = fs::temp_directory_path() / ("platres_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  for (int bpp : {8, 24, 32})
    for (bool topDown : {false, true}) {
      auto bytes = bmp(bpp, topDown);
      std::ofstream(dir / "p.bmp", std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                            static_cast<std::streamsize>(bytes.size()));
      res::ResourceSet set;
      std::vector<res::ParseError> errors;
      ASSERT_TRUE(res::parseResources("BITMAP 1 FILE \"p.bmp\"", "t", dir.string(), set, errors))
          << bpp << (errors.empty() ? "" : errors[0].text());
      EXPECT_EQ(set.bitmaps[1].pixels, (std::vector<uint32_t>{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}))
          << bpp << " bits, top-down " << topDown;
    }
  // A file cut short is refused, not read past its end.
  auto cut = bmp(24, false);
  cut.resize(cut.size() - 4);
  std::ofstream(dir / "p.bmp", std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(cut.data()), static_cast<std::streamsize>(cut.size()));
  res::ResourceSet set;
  std::vector<res::ParseError> errors;
  EXPECT_FALSE(res::parseResources("BITMAP 1 FILE \"p.bmp\"", "t", dir.string(), set, errors));
  fs::remove_all(dir);
}

TEST_F(ResourceTest, CompilerStopsOnAnErrorAndWritesNothing) {
  const fs::path dir = fs::temp_directory_path() / ("rescomp_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "good.qres") << "STRINGTABLE\n 1 \"x\"\nEND\n";
  std::ofstream(dir / "bad.qres") << "MENU 1\n";
  SpawnOutcome out;
  ASSERT_EQ(Spawn({RESCOMP_PATH, (dir / "good.cpp").string(), (dir / "good.qres").string()}, true, 60, out), 0);
  EXPECT_TRUE(out.ended);
  EXPECT_EQ(out.exitStatus, 0);
  EXPECT_TRUE(fs::exists(dir / "good.cpp"));
  ASSERT_EQ(Spawn({RESCOMP_PATH, (dir / "bad.cpp").string(), (dir / "bad.qres").string()}, true, 60, out), 0);
  EXPECT_EQ(out.exitStatus, 1);
  EXPECT_FALSE(fs::exists(dir / "bad.cpp"));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace plat
