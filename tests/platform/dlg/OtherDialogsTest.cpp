// The colour, font and folder dialogs as real dialogs driven by mouse and
// keys (each answering as the queued answer of the same choice), and the
// modeless find and replace dialogs telling their owner. Goldens:
// QUILLON_UPDATE_GOLDENS=1 writes them again; look at each.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "platform/ctl/Controls.h"
#include "platform/dlg/CommonDialogs.h"
#include "platform/dlg/CommonInternal.h"
#include "platform/test/Test.h"
#include "platform/win/Window.h"
#include "tests/platform/dlg/DialogDriver.h"
#include "tests/support/GoldenPicture.h"
#include "tests/support/ScratchDir.h"

namespace plat {
namespace {

namespace fs = std::filesystem;
using testing::activeDialog;
using testing::clickItem;
using testing::clickListItem;
using testing::DialogDriver;
using testing::retype;


class OtherDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::reset();
    owner = testing::openPlainOwner("Quillon", 100, 100, 600, 450);
  }
  void TearDown() override {
    setIdleHook({});
    test::reset();
  }
  // Runs `dialog` driven by `steps`; every step must be taken.
  template <class F>
  auto driven(const std::function<void(DialogDriver&)>& steps, F dialog) {
    test::clearShownDialogs();
    DialogDriver d;
    steps(d);
    d.install();
    auto result = dialog();
    setIdleHook({});
    EXPECT_EQ(d.done(), d.size()) << "every step was taken";
    return result;
  }
  Hwnd owner;
};

void typeInto(int id, const std::string& text) {
  clickItem(id);
  retype(text);
}

// ---------------------------------------------------------------- colour

constexpr int kBasic = 1001, kCustom = 1002, kHue = 1010, kSat = 1011, kLum = 1012, kRed = 1013, kGreen = 1014,
              kBlue = 1015, kAddCustom = 1020;

Point wellCell(int well, int index, int perRow = 8, int rowsOf = 6) {
  Hwnd w = getDlgItem(activeDialog(), well);
  Rect r;
  getClientRect(w, r);
  const int cw = r.width() / perRow, ch = r.height() / rowsOf;
  return test::at(w, {(index % perRow) * cw + cw / 2, (index / perRow) * ch + ch / 2});
}

uint32_t wellColour(int well, int index) {
  return static_cast<uint32_t>(
      sendDlgItemMessage(activeDialog(), well, detail::kWellGetColour, static_cast<WParam>(index)));
}

TEST_F(OtherDialogsTest, ColourChoicesAnswerAsTheirQueuedAnswers) {
  struct Case {
    const char* name;
    std::function<void(DialogDriver&, uint32_t&)> drive;   // sets the colour a queued answer gives for it
    bool ok;
  };
  const Case cases[] = {
      {"a basic colour clicked, then OK",
       [](DialogDriver& d, uint32_t& expect) {
         d.then([&expect] {
            expect = wellColour(kBasic, 19);
            test::click(test::Button::Left, wellCell(kBasic, 19));
          }).then([] { clickItem(kIdOk); });
       },
       true},
      {"a basic colour double-clicked",
       [](DialogDriver& d, uint32_t& expect) {
         d.then([&expect] {
           expect = wellColour(kBasic, 44);
           test::doubleClick(test::Button::Left, wellCell(kBasic, 44));
         });
       },
       true},
      {"red, green and blue typed",
       [](DialogDriver& d, uint32_t& expect) {
         expect = makeRgb(255, 128, 0);
         d.then([] { typeInto(kRed, "255"); })
             .then([] { typeInto(kGreen, "128"); })
             .then([] { typeInto(kBlue, "0"); })
             .then([] { test::key(vk::Return); });
       },
       true},
      {"hue, saturation and luminosity typed",
       [](DialogDriver& d, uint32_t& expect) {
         expect = makeRgb(0, 0, 255);
         d.then([] { typeInto(kHue, "160"); })
             .then([] { typeInto(kSat, "240"); })
             .then([] { typeInto(kLum, "120"); })
             .then([] { test::key(vk::Return); });
       },
       true},
      {"arrow keys in the basic colours",
       [](DialogDriver& d, uint32_t& expect) {
         d.then([] { test::click(test::Button::Left, wellCell(kBasic, 0)); })
             .then([&expect] {
               expect = wellColour(kBasic, 9);
               test::key(vk::Right);
               test::key(vk::Down);
             })
             .then([] { test::key(vk::Return); });
       },
       true},
      {"Cancel", [](DialogDriver& d, uint32_t&) { d.then([] { clickItem(kIdCancel); }); }, false},
      {"Escape", [](DialogDriver& d, uint32_t&) { d.then([] { test::key(vk::Escape); }); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    uint32_t expect = 0;
    ChooseColor real;
    real.owner = owner;
    real.rgb = makeRgb(1, 2, 3);
    const bool realOk = driven([&](DialogDriver& d) { c.drive(d, expect); }, [&] { return chooseColor(real); });
    const test::ShownDialog realShown = test::shownDialogs().back();
    ChooseColor queued;
    queued.owner = owner;
    queued.rgb = makeRgb(1, 2, 3);
    test::answerColour(c.ok, expect);
    EXPECT_EQ(chooseColor(queued), realOk);
    EXPECT_EQ(realOk, c.ok);
    EXPECT_EQ(real.rgb, queued.rgb);
    EXPECT_EQ(realShown.answer, test::shownDialogs().back().answer);
    EXPECT_EQ(commDlgExtendedError(), 0u);
  }
}

TEST_F(OtherDialogsTest, AColourAddedToTheCustomColoursStaysWithTheCaller) {
  ChooseColor cc;
  cc.owner = owner;
  cc.custom.fill(makeRgb(255, 255, 255));
  std::string hue, lum;
  const bool ok = driven(
      [&](DialogDriver& d) {
        d.then([] { typeInto(kRed, "10"); })
            .then([] { typeInto(kGreen, "20"); })
            .then([] { typeInto(kBlue, "30"); })
            .then([&] {
              hue = getDlgItemText(activeDialog(), kHue);
              lum = getDlgItemText(activeDialog(), kLum);
              clickItem(kAddCustom);
            })
            .then([] { test::click(test::Button::Left, wellCell(kCustom, 5, 8, 2)); })
            .then([] { clickItem(kAddCustom); })
            .then([] { test::key(vk::Escape); });
      },
      [&] { return chooseColor(cc); });
  EXPECT_FALSE(ok);
  EXPECT_EQ(cc.custom[0], makeRgb(10, 20, 30));
  EXPECT_EQ(cc.custom[5], makeRgb(255, 255, 255)) << "the selected custom swatch took white again";
  EXPECT_EQ(cc.custom[1], makeRgb(255, 255, 255));
  EXPECT_EQ(hue, "140");
  EXPECT_EQ(lum, "19");
}

TEST_F(OtherDialogsTest, ColourHlsRoundTrips) {
  struct Case {
    uint32_t rgb;
    int h, l, s;
  } cases[] = {{makeRgb(255, 0, 0), 0, 120, 240},   {makeRgb(0, 255, 0), 80, 120, 240},
               {makeRgb(0, 0, 255), 160, 120, 240}, {makeRgb(128, 128, 128), 0, 120, 0},
               {makeRgb(255, 255, 255), 0, 240, 0}, {makeRgb(0, 0, 0), 0, 0, 0}};
  for (const Case& c : cases) {
    int h = -1, l = -1, s = -1;
    detail::hlsFromRgb(c.rgb, h, l, s);
    EXPECT_EQ(h, c.h);
    EXPECT_EQ(l, c.l);
    EXPECT_EQ(s, c.s);
    EXPECT_EQ(detail::rgbFromHls(c.h, c.l, c.s), c.rgb);
  }
}

// ---------------------------------------------------------------- font

constexpr int kFaceEdit = 1152, kStyleEdit = 1153, kSizeEdit = 1154, kFaces = 1136, kStyles = 1137, kSizes = 1138,
              kColours = 1139, kUnderline = 1041;

void pickText(int list, const std::string& text) {
  const int i = static_cast<int>(sendDlgItemMessage(activeDialog(), list, lb::FindStringExact, static_cast<WParam>(-1),
                                                    reinterpret_cast<LParam>(text.c_str())));
  ASSERT_GE(i, 0) << text;
  clickListItem(list, i);
}

bool sameFont(const FontChoice& a, const FontChoice& b) {
  return a.face == b.face && a.height == b.height && a.weight == b.weight && a.italic == b.italic &&
         a.underline == b.underline && a.strikeOut == b.strikeOut && a.charSet == b.charSet &&
         a.pointSize10 == b.pointSize10 && a.color == b.color;
}

TEST_F(OtherDialogsTest, FontChoicesAnswerAsTheirQueuedAnswers) {
  // A font as its size in tenths of a point chooses it.
  auto font = [](const char* face, int tenths, int weight = 400, bool italic = false) {
    FontChoice f;
    f.face = face;
    f.pointSize10 = tenths;
    f.height = -static_cast<int>(std::lround(tenths * 96.0 / 720.0));
    f.weight = weight;
    f.italic = italic;
    return f;
  };
  FontChoice effects = font("Liberation Mono", 100);
  effects.underline = true;
  effects.color = makeRgb(255, 0, 0);
  FontChoice symbol = font("Standard Symbols PS", 120);
  symbol.charSet = kSymbolCharSet;
  FontChoice kept = font("Arial", 120, 400, true);
  kept.pointSize10 = 0;   // the caller gives the height alone
  struct Case {
    const char* name;
    uint32_t flags;
    FontChoice start;
    std::function<void(DialogDriver&)> drive;
    bool ok;
    FontChoice queued;   // what a script's answer for the same choice says
  } cases[] = {
      {"face, style and size from the lists", cf::ScreenFonts, {},
       [](DialogDriver& d) {
         d.then([] { pickText(kFaces, "Liberation Serif"); })
             .then([] { pickText(kStyles, "Bold"); })
             .then([] { pickText(kSizes, "12"); })
             .then([] { clickItem(kIdOk); });
       },
       true, font("Liberation Serif", 120, 700)},
      {"a typed size in tenths", cf::ScreenFonts, {},
       [](DialogDriver& d) { d.then([] { typeInto(kSizeEdit, "10.5"); }).then([] { test::key(vk::Return); }); }, true,
       font("Liberation Sans", 105)},
      {"underline and colour", cf::ScreenFonts | cf::Effects, {},
       [](DialogDriver& d) {
         d.then([] { pickText(kFaces, "Liberation Mono"); })
             .then([] { clickItem(kUnderline); })
             .then([] { clickItem(kColours); })
             .then([] {
               test::typeText("R");
               test::key(vk::Return);
             })
             .then([] { typeInto(kSizeEdit, "10"); })
             .then([] { test::key(vk::Return); });
       },
       true, effects},
      {"the symbol face", cf::ScreenFonts, {},
       [](DialogDriver& d) {
         d.then([] { pickText(kFaces, "Standard Symbols PS"); }).then([] { typeInto(kSizeEdit, "12"); }).then([] {
           test::key(vk::Return);
         });
       },
       true, symbol},
      {"the caller's font kept as it is", cf::ScreenFonts | cf::InitToLogFont, kept,
       [](DialogDriver& d) { d.then([] { test::key(vk::Return); }); }, true, kept},
      {"a size that is no number, then one", cf::ScreenFonts, {},
       [](DialogDriver& d) {
         d.then([] { typeInto(kSizeEdit, "big"); })
             .then([] { test::key(vk::Return); })
             .then([] { test::key(vk::Return); })   // the notice; the size field has the focus
             .then([] { retype("9"); })
             .then([] { test::key(vk::Return); });
       },
       true, font("Liberation Sans", 90)},
      {"Cancel", cf::ScreenFonts, {}, [](DialogDriver& d) { d.then([] { clickItem(kIdCancel); }); }, false, {}},
      {"Escape", cf::ScreenFonts, {}, [](DialogDriver& d) { d.then([] { test::key(vk::Escape); }); }, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ChooseFont real;
    real.owner = owner;
    real.flags = c.flags;
    real.font = c.start;
    const bool realOk = driven(c.drive, [&] { return chooseFont(real); });
    ChooseFont queued;
    queued.owner = owner;
    queued.flags = c.flags;
    queued.font = c.start;
    test::answerFont(c.ok, c.queued);
    EXPECT_EQ(chooseFont(queued), realOk);
    EXPECT_EQ(realOk, c.ok);
    EXPECT_TRUE(sameFont(real.font, queued.font))
        << real.font.face << " " << real.font.height << " " << real.font.weight << " " << real.font.pointSize10 << " "
        << real.font.charSet << " " << real.font.color;
  }
}

uintptr_t hookCalls = 0;
Hwnd hookDialog;
uintptr_t fontHook(Hwnd dialog, uint32_t message, WParam, LParam data) {
  if (message == kHookInit) {
    hookDialog = dialog;
    hookCalls += static_cast<uintptr_t>(data);
    // Restricted underline: the hook takes the check box away.
    showWindow(getDlgItem(dialog, kUnderline), ShowCmd::Hide);
  }
  return 0;
}

TEST_F(OtherDialogsTest, TheFontHookSeesTheRealDialog) {
  ChooseFont f;
  f.owner = owner;
  f.flags = cf::Effects | cf::EnableHook;
  f.hook = fontHook;
  f.hookData = 7;
  hookCalls = 0;
  bool underlineShown = true;
  driven(
      [&](DialogDriver& d) {
        d.then([&] {
          EXPECT_EQ(hookDialog, activeDialog());
          underlineShown = isWindowVisible(getDlgItem(activeDialog(), kUnderline));
          test::key(vk::Escape);
        });
      },
      [&] { return chooseFont(f); });
  EXPECT_EQ(hookCalls, 7u);
  EXPECT_FALSE(underlineShown);
}

// ---------------------------------------------------------------- folder

constexpr int kFolderEdit = 1102;

struct BrowseCalls {
  std::vector<uint32_t> messages;
  std::vector<std::string> paths;
  std::string start;
};
int browseCallback(Hwnd browser, uint32_t m, LParam lp, LParam data) {
  auto* b = reinterpret_cast<BrowseCalls*>(data);
  b->messages.push_back(m);
  if (m == bffm::Initialized) sendMessage(browser, bffm::SetSelection, 0, reinterpret_cast<LParam>(b->start.c_str()));
  if (m == bffm::SelChanged) b->paths.emplace_back(reinterpret_cast<const char*>(lp));
  return 0;
}

class FolderDialogTest : public OtherDialogsTest {
 protected:
  void SetUp() override {
    OtherDialogsTest::SetUp();
    for (const char* d : {"sub", "deep dir/inner", ".cache", "a/b"}) fs::create_directories(fs::path(dir.path()) / d);
  }
  testsupport::ScratchDir dir;
};

std::vector<std::string> childTexts(HTreeItem parent) {
  Hwnd tree = getDlgItem(activeDialog(), 1101);
  std::vector<std::string> out;
  for (auto k = static_cast<HTreeItem>(sendMessage(tree, tvm::GetNextItem, kTvgnChild, static_cast<LParam>(parent)));
       k; k = static_cast<HTreeItem>(sendMessage(tree, tvm::GetNextItem, kTvgnNext, static_cast<LParam>(k)))) {
    TvItem it;
    it.mask = tvif::Text;
    it.item = k;
    sendMessage(tree, tvm::GetItem, 0, reinterpret_cast<LParam>(&it));
    out.push_back(it.text);
  }
  return out;
}

HTreeItem selectedItem() {
  return static_cast<HTreeItem>(sendMessage(getDlgItem(activeDialog(), 1101), tvm::GetNextItem, kTvgnCaret, 0));
}
HTreeItem parentItem(HTreeItem i) {
  return static_cast<HTreeItem>(
      sendMessage(getDlgItem(activeDialog(), 1101), tvm::GetNextItem, kTvgnParent, static_cast<LParam>(i)));
}

TEST_F(FolderDialogTest, FolderChoicesAnswerAsTheirQueuedAnswers) {
  const std::string d = dir.path();
  struct Case {
    const char* name;
    std::function<void(DialogDriver&)> drive;
    bool ok;
    std::string path;
  } cases[] = {
      {"the folder the caller selected, OK", [](DialogDriver& r) { r.then([] { clickItem(kIdOk); }); }, true,
       d + "/sub"},
      {"a sibling by the arrow keys, Enter",
       [](DialogDriver& r) { r.then([] { test::key(vk::Up); }).then([] { test::key(vk::Return); }); }, true,
       d + "/deep dir"},
      {"into a folder by the keys",
       [](DialogDriver& r) {
         r.then([] { test::key(vk::Up); })
             .then([] { test::key(vk::Right); })   // opens "deep dir"
             .then([] { test::key(vk::Right); })   // its first subfolder
             .then([] { test::key(vk::Return); });
       },
       true, d + "/deep dir/inner"},
      {"a typed path that does not exist yet",
       [d](DialogDriver& r) {
         r.then([d] { typeInto(kFolderEdit, d + "/new one"); }).then([] { test::key(vk::Return); });
       },
       true, d + "/new one"},
      {"Cancel", [](DialogDriver& r) { r.then([] { clickItem(kIdCancel); }); }, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BrowseCalls realCalls;
    realCalls.start = d + "/sub";
    BrowseInfo bi;
    bi.owner = owner;
    bi.title = "Where to";
    bi.callback = browseCallback;
    bi.data = reinterpret_cast<LParam>(&realCalls);
    std::string realPath = "unchanged";
    const bool realOk = driven(c.drive, [&] { return browseForFolder(bi, realPath); });
    BrowseCalls queuedCalls;
    queuedCalls.start = d + "/sub";
    bi.data = reinterpret_cast<LParam>(&queuedCalls);
    std::string queuedPath = "unchanged";
    test::answerFolder(c.ok, c.path);
    EXPECT_EQ(browseForFolder(bi, queuedPath), realOk);
    EXPECT_EQ(realOk, c.ok);
    EXPECT_EQ(realPath, queuedPath);
    EXPECT_EQ(realCalls.messages.front(), bffm::Initialized);
    if (c.ok) {
      EXPECT_EQ(realCalls.paths.back().substr(0, d.size()), d);
    }
  }
}

TEST_F(FolderDialogTest, HiddenFoldersAreLeftOutAndAVanishedOneIsReported) {
  BrowseCalls calls;
  calls.start = dir.path() + "/sub";
  BrowseInfo bi;
  bi.owner = owner;
  bi.callback = browseCallback;
  bi.data = reinterpret_cast<LParam>(&calls);
  std::vector<std::string> siblings;
  std::string path;
  driven(
      [&](DialogDriver& r) {
        r.then([&] {
           siblings = childTexts(parentItem(selectedItem()));
           // "a" is selected, then goes before it is opened.
           sendMessage(activeDialog(), bffm::SetSelection, 0, reinterpret_cast<LParam>((dir.path() + "/a").c_str()));
              fs::remove_all(fs::path(dir.path()) / "a");
              test::key(vk::Right);
            })
            .then([] { test::key(vk::Return); })   // the notice
            .then([] { test::key(vk::Escape); });
      },
      [&] { return browseForFolder(bi, path); });
  EXPECT_EQ(siblings, (std::vector<std::string>{"a", "deep dir", "sub"}));
  bool reported = false;
  for (const test::ShownDialog& s : test::shownDialogs())
    reported |= s.kind == "message box" && s.text == dir.path() + "/a\nThe folder no longer exists.";
  EXPECT_TRUE(reported);
}

// ---------------------------------------------------------------- find and replace

std::vector<FindReplace> notices;
LResult findOwnerProc(Hwnd w, uint32_t m, WParam wp, LParam lp) {
  if (m == registerWindowMessage(kFindMsgString)) {
    notices.push_back(*reinterpret_cast<FindReplace*>(lp));
    return 0;
  }
  return defWindowProc(w, m, wp, lp);
}

// The owner's loop: the dialog's keys pass through its navigation.
void pumpWith(Hwnd dialog) {
  Msg m;
  while (peekMessage(m, {}, 0, 0, kPmRemove)) {
    if (isWindow(dialog) && isDialogMessage(dialog, m)) continue;
    translateMessage(m);
    dispatchMessage(m);
  }
}

class FindDialogTest : public OtherDialogsTest {
 protected:
  void SetUp() override {
    OtherDialogsTest::SetUp();
    WindowClass wc;
    wc.name = "FindOwner";
    wc.proc = findOwnerProc;
    registerClass(wc);
    editor = createWindow("FindOwner", "Editor", ws::OverlappedWindow | ws::Visible, 50, 50, 500, 400);
    notices.clear();
  }
  Hwnd editor;
};

TEST_F(FindDialogTest, FindTellsTheOwnerWhatToFindAndHowAndEndsWithEscape) {
  FindReplace f;
  f.owner = editor;
  f.flags = fr::Down;
  const Hwnd d = findText(f);
  ASSERT_TRUE(d);
  pumpWith(d);
  EXPECT_FALSE(isWindowEnabled(getDlgItem(d, kIdOk))) << "nothing to find yet";
  test::typeText("depth");
  pumpWith(d);
  test::click(test::Button::Left, testing::centreOf(getDlgItem(d, 1041)));   // match case
  test::click(test::Button::Left, testing::centreOf(getDlgItem(d, kIdOk)));
  pumpWith(d);
  test::click(test::Button::Left, testing::centreOf(getDlgItem(d, 1056)));   // up
  pumpWith(d);
  test::click(test::Button::Left, testing::centreOf(getDlgItem(d, 1152)));
  test::key(vk::Return);
  pumpWith(d);
  test::key(vk::Escape);
  pumpWith(d);
  ASSERT_EQ(notices.size(), 3u);
  EXPECT_EQ(notices[0].findWhat, "depth");
  EXPECT_EQ(notices[0].flags, fr::FindNext | fr::Down | fr::MatchCase);
  EXPECT_EQ(notices[1].flags, fr::FindNext | fr::MatchCase) << "searching up";
  EXPECT_EQ(notices[2].flags & fr::DialogTerm, fr::DialogTerm);
  EXPECT_FALSE(isWindow(d));
}

// What the find dialog's hook saw: the messages and the data it opened with.
struct FindHookLog {
  static inline std::vector<uint32_t> messages;
  static inline LParam opened = 0;
  static uintptr_t hook(Hwnd, uint32_t message, WParam wp, LParam lp) {
    messages.push_back(message);
    if (message == kHookInit) opened = lp;
    // it takes Find Next for itself
    return message == wm::Command && loWord(wp) == kIdOk ? 1 : 0;
  }
};

TEST_F(FindDialogTest, AHookHearsTheOpeningAndMayTakeAButtonForItself) {
  FindHookLog::messages.clear();
  FindReplace f;
  f.owner = editor;
  f.findWhat = "rho";
  f.flags = fr::Down | fr::EnableHook;
  f.hook = FindHookLog::hook;
  f.hookData = 77;
  const Hwnd d = findText(f);
  ASSERT_TRUE(d);
  pumpWith(d);
  ASSERT_FALSE(FindHookLog::messages.empty());
  EXPECT_EQ(FindHookLog::messages.front(), kHookInit);
  EXPECT_EQ(FindHookLog::opened, 77);
  test::click(test::Button::Left, testing::centreOf(getDlgItem(d, kIdOk)));
  pumpWith(d);
  EXPECT_TRUE(notices.empty()) << "the hook took Find Next";
  test::key(vk::Escape);
  pumpWith(d);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].flags & fr::DialogTerm, fr::DialogTerm);
  // without the flag the hook is not called
  FindHookLog::messages.clear();
  f.flags = fr::Down;
  const Hwnd plain = findText(f);
  pumpWith(plain);
  test::click(test::Button::Left, testing::centreOf(getDlgItem(plain, kIdOk)));
  pumpWith(plain);
  EXPECT_TRUE(FindHookLog::messages.empty());
  EXPECT_EQ(notices.size(), 2u);
  destroyWindow(plain);
}

TEST_F(FindDialogTest, ReplaceTellsReplaceAndReplaceAllAndHidesWhatTheCallerDoesNotWant) {
  FindReplace f;
  f.owner = editor;
  f.findWhat = "rho";
  f.flags = fr::HideWholeWord | fr::NoMatchCase;
  const Hwnd d = replaceText(f);
  ASSERT_TRUE(d);
  pumpWith(d);
  EXPECT_FALSE(isWindowVisible(getDlgItem(d, 1040)));
  EXPECT_FALSE(isWindowEnabled(getDlgItem(d, 1041)));
  test::click(test::Button::Left, testing::centreOf(getDlgItem(d, 1153)));
  test::typeText("sigma");
  test::click(test::Button::Left, testing::centreOf(getDlgItem(d, 1024)));
  test::click(test::Button::Left, testing::centreOf(getDlgItem(d, 1025)));
  test::clickCloseBox(d);
  pumpWith(d);
  ASSERT_EQ(notices.size(), 3u);
  EXPECT_EQ(notices[0].replaceWith, "sigma");
  EXPECT_EQ(notices[0].flags & (fr::Replace | fr::Down), fr::Replace | fr::Down);
  EXPECT_EQ(notices[1].flags & fr::ReplaceAll, fr::ReplaceAll);
  EXPECT_EQ(notices[2].flags & fr::DialogTerm, fr::DialogTerm);
  EXPECT_FALSE(isWindow(d));
}

// ---------------------------------------------------------------- pictures

TEST_F(FolderDialogTest, EachDialogLooksLikeItsGolden) {
  Surface colour, font, folder, find;
  ChooseColor cc;
  cc.owner = owner;
  cc.rgb = makeRgb(0, 128, 128);
  driven(
      [&](DialogDriver& d) {
        d.then([&] { ASSERT_TRUE(test::windowPicture(activeDialog(), true, colour)); }).then([] {
          test::key(vk::Escape);
        });
      },
      [&] { return chooseColor(cc); });
  ChooseFont cf;
  cf.owner = owner;
  cf.flags = cf::Effects | cf::InitToLogFont;
  cf.font.face = "Liberation Serif";
  cf.font.height = -16;
  cf.font.weight = 700;
  driven(
      [&](DialogDriver& d) {
        d.then([&] { ASSERT_TRUE(test::windowPicture(activeDialog(), true, font)); }).then([] {
          test::key(vk::Escape);
        });
      },
      [&] { return chooseFont(cf); });
  // The tree shows the scratch folder's path, which differs from run to
  // run: the picture is taken of a fixed folder tree only, "/" selected.
  BrowseInfo bi;
  bi.owner = owner;
  bi.title = "Choose the folder for the plot files.";
  std::string path;
  driven(
      [&](DialogDriver& d) {
        d.then([&] {
           sendMessage(activeDialog(), bffm::SetSelection, 0, reinterpret_cast<LParam>("/"));
           sendMessage(getDlgItem(activeDialog(), 1101), tvm::Expand, kTveCollapse, static_cast<LParam>(selectedItem()));
         })
            .then([&] { ASSERT_TRUE(test::windowPicture(activeDialog(), true, folder)); })
            .then([] { test::key(vk::Escape); });
      },
      [&] { return browseForFolder(bi, path); });
  FindReplace f;
  f.owner = owner;
  f.findWhat = "resistivity";
  f.flags = fr::Down;
  const Hwnd d = findText(f);
  pumpWith(d);
  ASSERT_TRUE(test::windowPicture(d, true, find));
  destroyWindow(d);
  testsupport::ExpectGoldenPicture(colour, "platform_colour.png");
  testsupport::ExpectGoldenPicture(font, "platform_font.png");
  testsupport::ExpectGoldenPicture(folder, "platform_folder.png");
  testsupport::ExpectGoldenPicture(find, "platform_find.png");
}

}  // namespace
}  // namespace plat
