// The entries of the readers of outside bytes (see FuzzEntries.h). Readers
// that take a file name get the bytes as a file in a directory of this
// process's own; the ones that draw get a small bitmap context. Error
// reports go nowhere: a refused file is an expected outcome.
#include "tests/fuzz/FuzzEntries.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/DisplaySettings.h"
#include "app/IniFile.h"
#include "engine/SuiteSettings.h"
#include "platform/ctl/Rtf.h"
#include "platform/gdi/Gdi.h"
#include "platform/help/Help.h"
#include "platform/os/Os.h"
#include "platform/res/Resources.h"
#include "platform/test/Answers.h"
#include "platform/test/Test.h"
#include "platform/win/Window.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/ChildWindows.h"
#include "toolkit/core/EditorWindow.h"
#include "toolkit/core/RootWindow.h"
#include "toolkit/core/Startup.h"
#include "toolkit/core/WindowApi.h"
#include "toolkit/core/WindowDrawing.h"
#include "toolkit/dialogs/DialogShow.h"
#include "toolkit/dialogs/GridFiles.h"
#include "toolkit/dialogs/DialogTable.h"
#include "toolkit/dialogs/GridInterface.h"
#include "toolkit/hardcopy/FileProbe.h"
#include "toolkit/hardcopy/ImageFiles.h"
#include "toolkit/hardcopy/WmfDriver.h"

namespace fuzz {
namespace {

// A directory of this process's own, removed when it ends (its name is
// kept for the whole run: the removal runs after static objects are gone).
const std::string& ScratchDirectory() {
  static const std::string* const dir = [] {
    std::string templ = (std::filesystem::temp_directory_path() / "quillon-fuzz-XXXXXX").string();
    if (::mkdtemp(templ.data()) == nullptr) std::abort();
    return new std::string(templ);
  }();
  static const bool removed = [] {
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(*dir, ec);
    });
    return true;
  }();
  (void)removed;
  return *dir;
}

// The bytes as the file `name` of the scratch directory; its path.
std::string AsFile(std::span<const uint8_t> bytes, const std::string& name) {
  const std::string path = ScratchDirectory() + "/" + name;
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  return path;
}

std::string_view AsText(std::span<const uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

void Quiet() {
  ErrorState().ReportMode = 0;
  ErrorState().LastErrorCode = 0;
}

// A 64 x 64 bitmap context made the current drawing surface.
void DrawOnBitmap() {
  static const plat::Hdc dc = [] {
    const plat::Hdc d = plat::createCompatibleDc(0);
    plat::selectObject(d, plat::createBitmap(64, 64, 32));
    return d;
  }();
  DrawingSurface().Dc = dc;
}

// A quarter turn chosen by the input, so that every turn is reached.
int32_t TurnOf(std::span<const uint8_t> bytes) { return 90 * static_cast<int32_t>(bytes.size() % 4); }

// Image files (BMP, PCX, PNG) into a pixel array and into a context, at
// their own size and scaled.
void Images(std::span<const uint8_t> bytes) {
  Quiet();
  const std::string path = AsFile(bytes, "image");
  std::vector<int32_t> pixels(64 * 64);
  IGrLoadImageData(path, pixels, 64, 64);
  DrawOnBitmap();
  for (const int32_t source : {1, 2, 15}) {
    for (const int32_t stretch : {0, 1}) {
      int32_t status = 0, error = 0;
      YYImageFileToDC(source, 0, 0, 0, 40, 40, stretch, TurnOf(bytes), 40, 40, status, error, path);
    }
  }
}

// The graphics file-type probe with every answer it gives, and the page
// and picture counters.
void Probe(std::span<const uint8_t> bytes) {
  Quiet();
  const std::string path = AsFile(bytes, "graphic");
  std::array<int32_t, 6> info{};
  YYGraphicsFileProbe(path, info, 6);
  int32_t count = 0;
  float aspect = 0.0f;
  YYINFOCGM(path, count, aspect);
  YYCNTPIC(path, count);
  YYCNTHPG(path, count);
}

// The plain-metafile player: a placeable file (by its key) or a plain one.
void PlainMetafile(std::span<const uint8_t> bytes) {
  Quiet();
  const std::string path = AsFile(bytes, "picture.wmf");
  DrawOnBitmap();
  const bool placeable = bytes.size() >= 4 && bytes[0] == 0xD7 && bytes[1] == 0xCD && bytes[2] == 0xC6 && bytes[3] == 0x9A;
  int32_t error = 0;
  YYWmfPlay(placeable ? 1 : 0, 0, 0, 50, 40, 0, TurnOf(bytes), 20, 50, path, error);
}

void EnhancedMetafile(std::span<const uint8_t> bytes) {
  Quiet();
  const std::string path = AsFile(bytes, "picture.emf");
  DrawOnBitmap();
  int32_t error = 0;
  YYWmfPlay(2, 0, 0, 50, 40, 0, TurnOf(bytes), 20, 50, path, error);
}

// Rich text as the rich-edit control reads it.
void RichText(std::span<const uint8_t> bytes) {
  plat::detail::RichText doc;
  plat::detail::readRtf(AsText(bytes), plat::CharFormat{}, plat::ParaFormat{}, doc);
}

void HelpFile(std::span<const uint8_t> bytes) {
  std::vector<plat::HelpTopic> topics;
  plat::readHelpFile(AsFile(bytes, "program.hlp"), topics);
}

// An input script is read whole before its first line runs: only the
// reading is fed here; the script is dropped again.
void InputScript(std::span<const uint8_t> bytes) {
  std::string error;
  plat::test::loadInputScriptText(AsText(bytes), "fuzz.script", error);
  plat::setIdleHook({});
}

// The settings file beside the program, read as at start-up from fresh
// settings. Its last directory is gone back from afterwards.
void SettingsFile(std::span<const uint8_t> bytes) {
  static const bool named = [] {
    plat::SetProgramPathForTest(ScratchDirectory() + "/quillon");
    return true;
  }();
  (void)named;
  Quiet();
  AsFile(bytes, "quillon.INI");
  std::error_code ec;
  const std::filesystem::path here = std::filesystem::current_path(ec);
  ResetDisplaySettings();
  ResetSuiteSettings();
  INIIN();
  std::filesystem::current_path(here, ec);
}

// A dialog with a grid of every kind of cell (text, integer, real with a
// format, double, check box, option list), 10 rows in use of 20.
constexpr const char* kGridResources = R"(
DIALOG 9500
  CAPTION "Grid"
  STYLE POPUP CAPTION SYSMENU MODALFRAME
  FONT 8 "MS Sans Serif"
  RECT 0 0 330 190
  CONTROL QVZGRID 9501 "" 7 7 316 160 BORDER VSCROLL HSCROLL TABSTOP BITS(0x0600)
EXTRAS
[Grids] 
 9501 6 20 9510 
 30 
END

DIALOG 9510
  STYLE POPUP
  FONT 8 "MS Sans Serif"
  RECT 0 0 300 14
  CONTROL EDIT 511 "Name" 0 0 44 12 AUTOHSCROLL
  CONTROL INTEGEREDIT 512 "Count" 50 0 44 12 BITS(0x0080)
  CONTROL REALEDIT 513 "Value" 94 0 50 12 BITS(0x0080)
  CONTROL DOUBLEEDIT 514 "Exact" 144 0 60 12 BITS(0x0080)
  CONTROL BUTTON 515 "" 204 0 24 12 AUTOCHECKBOX
  CONTROL COMBOBOX 516 "" 228 0 50 60 DROPDOWNLIST
EXTRAS
[Formats] 
 513 (F8.3) 
[Menus] 
 516 4 1 
Choice 
Alpha 
Beta 
Gamma 
END
)";
constexpr int32_t kGridDialog = 9500, kGrid = 9501;

// The toolkit started as the program starts it, with its main window open
// (once for the process: the entries that need windows share it).
void StartToolkit() {
  static const bool started = [] {
    WStartup(" ");
    // The start-up's temporary files are removed by the toolkit's shut-down,
    // which the shared toolkit never reaches: they go when the process ends.
    std::atexit([] {
      for (const std::string* temp : {&ToolkitSettings().TempPlotFile, &ToolkitSettings().TempDumpFile})
        if (!temp->empty()) plat::FileDelete(*temp);
    });
    const int32_t w = WInfoDisplay(1) / 2, h = WInfoDisplay(2) / 2;
    WindowTextRecord text;
    text.Font = 4;
    WindowTextSettings(text);
    WindowOpenRecordType record;
    record.Options = 39;
    record.X = w / 2;
    record.Y = h / 2;
    record.Width = w;
    record.Height = h;
    record.Title = "Quillon";
    record.Title.resize(80, ' ');
    WindowOpenRecord(record, 256);
    WindowPlace(w, h, w / 2, h / 2, 1);
    plat::res::pushOverlay(kGridResources, "fuzz grid");
    return true;
  }();
  (void)started;
}

// A CSV file loaded into the grid of a dialog shown for it (and unloaded
// again), growing it (files of odd length) or not, with a header line and
// row labels (every other length) or without.
void GridCsv(std::span<const uint8_t> bytes) {
  StartToolkit();
  Quiet();
  WDialogLoad(kGridDialog);
  WDialogShow(-1, -1, 0, 2);
  WGridRows(kGrid, 10);
  const int32_t grow = static_cast<int32_t>(bytes.size() % 2), options = static_cast<int32_t>(bytes.size() / 2 % 2) * 2;
  WGridLoad(kGrid, AsFile(bytes, "grid.csv"), grow, options);
  WDialogUnload();
}

// A file opened by the text editor in a child window of its own, as rich
// text when it looks like RTF, else as plain text; the window is closed
// again.
void EditorOpen(std::span<const uint8_t> bytes) {
  StartToolkit();
  Quiet();
  const bool rich = !bytes.empty() && bytes[0] == '{';
  const std::string path = AsFile(bytes, rich ? "document.rtf" : "document.txt");
  // A file the editor refuses is said in a message box, answered as a user
  // does; answers not taken and the boxes shown are dropped afterwards.
  struct Boxes {
    Boxes() {
      for (int i = 0; i < 4; ++i) plat::test::answerMessageBox(plat::kIdOk);
    }
    ~Boxes() {
      plat::detail::answers().boxes.clear();
      plat::test::clearShownDialogs();
    }
  } boxes;
  int32_t width = 420, height = 260, number = 0, dialog = 0;
  YYChildWindowOpen(40, 30, width, height, number, kOptionSystemMenu | kOptionStatusBar, 0, {}, dialog, 0, -1, "Editor");
  if (number <= 0) return;
  int32_t w = 0, h = 0;
  YYWindowSelect(w, h, number);
  int32_t status = 0, mode = 2;
  YYEditorOpen(status, mode, 0, (rich ? kEdRichText : 0) | kEdQuietOpen, 3, 10, -1, -1, path, "");
  YYWindowClose(number, dialog);
}

constexpr Entry kEntries[] = {
    {"images", Images},
    {"probe", Probe},
    {"wmf", PlainMetafile},
    {"emf", EnhancedMetafile},
    {"rtf", RichText},
    {"help", HelpFile},
    {"input_script", InputScript},
    {"settings", SettingsFile},
    {"grid_csv", GridCsv},
    {"editor_open", EditorOpen},
};

}  // namespace

std::span<const Entry> Entries() { return kEntries; }

const Entry* FindEntry(std::string_view name) {
  for (const Entry& e : kEntries)
    if (name == e.name) return &e;
  return nullptr;
}

}  // namespace fuzz
