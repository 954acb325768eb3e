// The parser of resource text. The format is described in platform/README.md.
//
// Every number, size and text it reads is bounded, and it stops at the
// first error, naming the file and line. It refuses what the toolkit would
// otherwise misread: clashing ids (including a dialog whose id is also an
// RCDATA id, which the dialog manager would read as the dialog's extras),
// unbalanced menus, templates with unknown keywords, classes' style names or
// missing fields, bitmaps whose rows do not match their size.
#include "platform/res/ResourceParser.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <iterator>
#include <optional>

#include "platform/win/Keys.h"
#include "platform/win/Styles.h"

namespace plat::res {

std::string ParseError::text() const { return file + ":" + std::to_string(line) + ": " + message; }

namespace {

constexpr size_t kMaxText = 4096;                 // any quoted text
constexpr size_t kMaxDataBytes = 16u << 20;       // a data resource or file
constexpr int kMaxImageSide = 4096;
constexpr int kMaxMenuDepth = 16;
constexpr size_t kMaxControls = 1024;

struct Failure {
  int line;
  std::string message;
};

std::string upperCase(std::string_view s) {
  std::string u(s);
  for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return u;
}

struct Token {
  std::string text;
  bool quoted = false;
};

class Lines {
 public:
  explicit Lines(std::string_view text) {
    size_t start = 0;
    while (start <= text.size()) {
      size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      std::string_view l = text.substr(start, end - start);
      if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
      lines_.emplace_back(l);
      if (end == text.size()) break;
      start = end + 1;
    }
  }
  bool done() const { return next_ >= lines_.size(); }
  const std::string& take() { return lines_[next_++]; }
  int lineNo() const { return static_cast<int>(next_); }   // number of the line taken last

 private:
  std::vector<std::string> lines_;
  size_t next_ = 0;
};

[[noreturn]] void fail(int line, std::string message) { throw Failure{line, std::move(message)}; }

// Splits a line into words and quoted texts; '#' outside quotes starts a comment.
std::vector<Token> tokenize(const std::string& line, int lineNo) {
  std::vector<Token> out;
  size_t i = 0;
  while (i < line.size()) {
    unsigned char c = static_cast<unsigned char>(line[i]);
    if (std::isspace(c)) {
      ++i;
      continue;
    }
    if (c == '#') break;
    Token t;
    if (c == '"') {
      t.quoted = true;
      ++i;
      bool closed = false;
      while (i < line.size()) {
        char d = line[i++];
        if (d == '"') {
          closed = true;
          break;
        }
        if (d == '\\') {
          if (i >= line.size()) fail(lineNo, "unterminated text");
          char e = line[i++];
          switch (e) {
            case 'n': t.text += '\n'; break;
            case 'r': t.text += '\r'; break;
            case 't': t.text += '\t'; break;
            case '\\': t.text += '\\'; break;
            case '"': t.text += '"'; break;
            case 'x': {
              if (i + 2 > line.size() || !std::isxdigit(static_cast<unsigned char>(line[i])) ||
                  !std::isxdigit(static_cast<unsigned char>(line[i + 1])))
                fail(lineNo, "bad \\x escape");
              t.text += static_cast<char>(std::stoi(line.substr(i, 2), nullptr, 16));
              i += 2;
              break;
            }
            default: fail(lineNo, std::string("unknown escape \\") + e);
          }
        } else {
          t.text += d;
        }
        if (t.text.size() > kMaxText) fail(lineNo, "text longer than " + std::to_string(kMaxText) + " characters");
      }
      if (!closed) fail(lineNo, "unterminated text");
    } else {
      while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i])) && line[i] != '"') t.text += line[i++];
    }
    out.push_back(std::move(t));
  }
  return out;
}

std::optional<long long> toNumber(const std::string& s) {
  if (s.empty() || s.size() > 20) return std::nullopt;
  long long v = 0;
  const char* b = s.data();
  const char* e = s.data() + s.size();
  bool neg = false;
  if (*b == '-') {
    neg = true;
    ++b;
  }
  int base = 10;
  if (e - b > 2 && b[0] == '0' && (b[1] == 'x' || b[1] == 'X')) {
    base = 16;
    b += 2;
  }
  if (b == e) return std::nullopt;
  auto r = std::from_chars(b, e, v, base);
  if (r.ec != std::errc() || r.ptr != e) return std::nullopt;
  return neg ? -v : v;
}

// Reading the tokens of one line.
class Args {
 public:
  Args(std::vector<Token> t, int line) : t_(std::move(t)), line_(line) {}
  bool more() const { return i_ < t_.size(); }
  size_t left() const { return t_.size() - i_; }
  const Token& peek() const { return t_[i_]; }
  std::string word(const char* what) {
    if (!more() || t_[i_].quoted) fail(line_, std::string("expected ") + what);
    return t_[i_++].text;
  }
  std::string text(const char* what) {
    if (!more() || !t_[i_].quoted) fail(line_, std::string("expected ") + what + " in quotes");
    return t_[i_++].text;
  }
  long long number(const char* what, long long lo, long long hi) {
    if (!more() || t_[i_].quoted) fail(line_, std::string("expected ") + what);
    auto v = toNumber(t_[i_].text);
    if (!v) fail(line_, std::string("bad number for ") + what + ": " + t_[i_].text);
    if (*v < lo || *v > hi)
      fail(line_, std::string(what) + " " + t_[i_].text + " out of range " + std::to_string(lo) + ".." + std::to_string(hi));
    ++i_;
    return *v;
  }
  void end() {
    if (more()) fail(line_, "unexpected \"" + t_[i_].text + "\"");
  }
  int line() const { return line_; }

 private:
  std::vector<Token> t_;
  size_t i_ = 0;
  int line_;
};

// The next line with tokens (blank lines and comments skipped); null at the end.
std::optional<Args> nextArgs(Lines& lines) {
  while (!lines.done()) {
    const std::string& l = lines.take();
    std::vector<Token> t = tokenize(l, lines.lineNo());
    if (!t.empty()) return Args(std::move(t), lines.lineNo());
  }
  return std::nullopt;
}

bool isEnd(const Args& a) { return a.left() == 1 && !a.peek().quoted && upperCase(a.peek().text) == "END"; }

// ---------------------------------------------------------------- style names

struct Name {
  const char* name;
  uint32_t bits;
  uint32_t mask;   // bits cleared first (a kind field), 0 for a plain flag
};

constexpr Name kWindowStyles[] = {
    {"CHILD", ws::Child, 0}, {"POPUP", ws::Popup, 0}, {"VISIBLE", ws::Visible, 0}, {"DISABLED", ws::Disabled, 0},
    {"MINIMIZE", ws::Minimize, 0}, {"MAXIMIZE", ws::Maximize, 0}, {"CLIPSIBLINGS", ws::ClipSiblings, 0},
    {"CLIPCHILDREN", ws::ClipChildren, 0}, {"BORDER", ws::Border, 0}, {"DLGFRAME", ws::DlgFrame, 0},
    {"CAPTION", ws::Caption, 0}, {"THICKFRAME", ws::ThickFrame, 0}, {"SYSMENU", ws::SysMenu, 0},
    {"VSCROLL", ws::VScroll, 0}, {"HSCROLL", ws::HScroll, 0}, {"MINIMIZEBOX", ws::MinimizeBox, 0},
    {"MAXIMIZEBOX", ws::MaximizeBox, 0}, {"GROUP", ws::Group, 0}, {"TABSTOP", ws::TabStop, 0},
};
constexpr Name kExStyles[] = {
    {"DLGMODALFRAME", wsx::DlgModalFrame, 0}, {"NOPARENTNOTIFY", wsx::NoParentNotify, 0},
    {"TOPMOST", wsx::TopMost, 0}, {"TRANSPARENT", wsx::Transparent, 0}, {"TOOLWINDOW", wsx::ToolWindow, 0},
    {"WINDOWEDGE", wsx::WindowEdge, 0}, {"CLIENTEDGE", wsx::ClientEdge, 0}, {"STATICEDGE", wsx::StaticEdge, 0},
    {"APPWINDOW", wsx::AppWindow, 0}, {"CONTROLPARENT", wsx::ControlParent, 0}, {"CONTEXTHELP", wsx::ContextHelp, 0},
    {"NOACTIVATE", wsx::NoActivate, 0},
};
constexpr Name kDialogStyles[] = {
    {"MODALFRAME", ds::ModalFrame, 0}, {"CENTER", ds::Center, 0}, {"CONTROL", ds::Control, 0},
    {"SETFOREGROUND", ds::SetForeground, 0}, {"NOFAILCREATE", ds::NoFailCreate, 0},
    {"CENTERMOUSE", ds::CenterMouse, 0}, {"ABSALIGN", ds::AbsAlign, 0}, {"SYSMODAL", ds::SysModal, 0},
    {"CONTEXTHELP", ds::ContextHelp, 0}, {"3DLOOK", ds::Look3D, 0}, {"FIXEDSYS", ds::FixedSys, 0},
};
constexpr Name kButton[] = {
    {"PUSHBUTTON", bs::PushButton, bs::TypeMask}, {"DEFPUSHBUTTON", bs::DefPushButton, bs::TypeMask},
    {"CHECKBOX", bs::CheckBox, bs::TypeMask}, {"AUTOCHECKBOX", bs::AutoCheckBox, bs::TypeMask},
    {"RADIOBUTTON", bs::RadioButton, bs::TypeMask}, {"3STATE", bs::ThreeState, bs::TypeMask},
    {"AUTO3STATE", bs::AutoThreeState, bs::TypeMask}, {"GROUPBOX", bs::GroupBox, bs::TypeMask},
    {"USERBUTTON", bs::UserButton, bs::TypeMask}, {"AUTORADIOBUTTON", bs::AutoRadioButton, bs::TypeMask},
    {"OWNERDRAW", bs::OwnerDraw, bs::TypeMask}, {"LEFTTEXT", bs::LeftText, 0}, {"ICON", bs::Icon, 0},
    {"BITMAP", bs::Bitmap, 0}, {"LEFT", bs::Left, 0}, {"RIGHT", bs::Right, 0}, {"CENTER", bs::Center, 0},
    {"TOP", bs::Top, 0}, {"BOTTOM", bs::Bottom, 0}, {"VCENTER", bs::VCenter, 0}, {"PUSHLIKE", bs::PushLike, 0},
    {"MULTILINE", bs::MultiLine, 0}, {"NOTIFY", bs::Notify, 0}, {"FLAT", bs::Flat, 0},
};
constexpr Name kEdit[] = {
    {"LEFT", es::Left, es::AlignMask}, {"CENTER", es::Center, es::AlignMask}, {"RIGHT", es::Right, es::AlignMask},
    {"MULTILINE", es::MultiLine, 0}, {"UPPERCASE", es::UpperCase, 0}, {"LOWERCASE", es::LowerCase, 0},
    {"PASSWORD", es::Password, 0}, {"AUTOVSCROLL", es::AutoVScroll, 0}, {"AUTOHSCROLL", es::AutoHScroll, 0},
    {"NOHIDESEL", es::NoHideSel, 0}, {"READONLY", es::ReadOnly, 0}, {"WANTRETURN", es::WantReturn, 0},
    {"NUMBER", es::Number, 0},
};
constexpr Name kStatic[] = {
    {"LEFT", ss::Left, ss::TypeMask}, {"CENTER", ss::Center, ss::TypeMask}, {"RIGHT", ss::Right, ss::TypeMask},
    {"SIMPLE", ss::Simple, ss::TypeMask}, {"LEFTNOWORDWRAP", ss::LeftNoWordWrap, ss::TypeMask},
    {"ICON", ss::Icon, ss::TypeMask}, {"BITMAP", ss::Bitmap, ss::TypeMask},
    {"ENHMETAFILE", ss::EnhMetafile, ss::TypeMask}, {"BLACKRECT", ss::BlackRect, ss::TypeMask},
    {"GRAYRECT", ss::GrayRect, ss::TypeMask}, {"WHITERECT", ss::WhiteRect, ss::TypeMask},
    {"BLACKFRAME", ss::BlackFrame, ss::TypeMask}, {"GRAYFRAME", ss::GrayFrame, ss::TypeMask},
    {"WHITEFRAME", ss::WhiteFrame, ss::TypeMask}, {"ETCHEDHORZ", ss::EtchedHorz, ss::TypeMask},
    {"ETCHEDVERT", ss::EtchedVert, ss::TypeMask}, {"ETCHEDFRAME", ss::EtchedFrame, ss::TypeMask},
    {"NOPREFIX", ss::NoPrefix, 0}, {"NOTIFY", ss::Notify, 0}, {"CENTERIMAGE", ss::CenterImage, 0},
    {"REALSIZEIMAGE", ss::RealSizeImage, 0}, {"SUNKEN", ss::Sunken, 0},
};
constexpr Name kListBox[] = {
    {"NOTIFY", lbs::Notify, 0}, {"SORT", lbs::Sort, 0}, {"NOREDRAW", lbs::NoRedraw, 0},
    {"MULTIPLESEL", lbs::MultipleSel, 0}, {"EXTENDEDSEL", lbs::ExtendedSel, 0}, {"HASSTRINGS", lbs::HasStrings, 0},
    {"USETABSTOPS", lbs::UseTabStops, 0}, {"NOINTEGRALHEIGHT", lbs::NoIntegralHeight, 0},
    {"WANTKEYBOARDINPUT", lbs::WantKeyboardInput, 0}, {"DISABLENOSCROLL", lbs::DisableNoScroll, 0},
    {"NOSEL", lbs::NoSel, 0},
};
constexpr Name kComboBox[] = {
    {"SIMPLE", cbs::Simple, cbs::TypeMask}, {"DROPDOWN", cbs::DropDown, cbs::TypeMask},
    {"DROPDOWNLIST", cbs::DropDownList, cbs::TypeMask}, {"AUTOHSCROLL", cbs::AutoHScroll, 0},
    {"SORT", cbs::Sort, 0}, {"HASSTRINGS", cbs::HasStrings, 0}, {"NOINTEGRALHEIGHT", cbs::NoIntegralHeight, 0},
    {"DISABLENOSCROLL", cbs::DisableNoScroll, 0}, {"UPPERCASE", cbs::UpperCase, 0}, {"LOWERCASE", cbs::LowerCase, 0},
};
constexpr Name kScrollBar[] = {
    {"HORZ", sbs::Horz, sbs::TypeMask}, {"VERT", sbs::Vert, sbs::TypeMask}, {"SIZEGRIP", sbs::SizeGrip, sbs::TypeMask},
    {"TOPALIGN", sbs::TopAlign, 0}, {"BOTTOMALIGN", sbs::BottomAlign, 0},
};
constexpr Name kProgress[] = {{"SMOOTH", pbs::Smooth, 0}, {"VERTICAL", pbs::Vertical, 0}};
constexpr Name kTrackbar[] = {
    {"AUTOTICKS", tbs::AutoTicks, 0}, {"VERT", tbs::Vert, 0}, {"TOP", tbs::Top, 0}, {"BOTH", tbs::Both, 0},
    {"NOTICKS", tbs::NoTicks, 0}, {"ENABLESELRANGE", tbs::EnableSelRange, 0}, {"FIXEDLENGTH", tbs::FixedLength, 0},
    {"NOTHUMB", tbs::NoThumb, 0},
};
constexpr Name kTab[] = {
    {"BUTTONS", tcs::Buttons, 0}, {"MULTILINE", tcs::MultiLine, 0}, {"FIXEDWIDTH", tcs::FixedWidth, 0},
    {"FOCUSNEVER", tcs::FocusNever, 0}, {"BOTTOM", tcs::Bottom, 0},
};
constexpr Name kUpDown[] = {
    {"WRAP", uds::Wrap, 0}, {"SETBUDDYINT", uds::SetBuddyInt, 0}, {"ALIGNRIGHT", uds::AlignRight, 0},
    {"ALIGNLEFT", uds::AlignLeft, 0}, {"AUTOBUDDY", uds::AutoBuddy, 0}, {"ARROWKEYS", uds::ArrowKeys, 0},
    {"HORZ", uds::Horz, 0}, {"NOTHOUSANDS", uds::NoThousands, 0},
};
constexpr Name kHeader[] = {
    {"BUTTONS", hds::Buttons, 0}, {"HOTTRACK", hds::HotTrack, 0}, {"DRAGDROP", hds::DragDrop, 0},
    {"FULLDRAG", hds::FullDrag, 0},
};
constexpr Name kTreeView[] = {
    {"HASBUTTONS", tvs::HasButtons, 0}, {"HASLINES", tvs::HasLines, 0}, {"LINESATROOT", tvs::LinesAtRoot, 0},
    {"EDITLABELS", tvs::EditLabels, 0}, {"SHOWSELALWAYS", tvs::ShowSelAlways, 0},
    {"DISABLEDRAGDROP", tvs::DisableDragDrop, 0},
};
constexpr Name kBars[] = {
    {"CCS_TOP", ccs::Top, 0}, {"CCS_BOTTOM", ccs::Bottom, 0}, {"NORESIZE", ccs::NoResize, 0},
    {"NOPARENTALIGN", ccs::NoParentAlign, 0}, {"NODIVIDER", ccs::NoDivider, 0}, {"CCS_VERT", ccs::Vert, 0},
    {"SIZEGRIP", sbars::SizeGrip, 0}, {"TOOLTIPS", tbstyle::Tooltips, 0}, {"WRAPABLE", tbstyle::Wrapable, 0},
    {"FLAT", tbstyle::Flat, 0}, {"LIST", tbstyle::List, 0},
};

struct ClassNames {
  const char* cls;
  const Name* names;
  size_t count;
};
template <size_t N>
constexpr ClassNames names(const char* cls, const Name (&n)[N]) {
  return {cls, n, N};
}
constexpr ClassNames kClassNames[] = {
    names("BUTTON", kButton), names("EDIT", kEdit), names("STATIC", kStatic), names("LISTBOX", kListBox),
    names("COMBOBOX", kComboBox), names("SCROLLBAR", kScrollBar), names("MSCTLS_PROGRESS32", kProgress),
    names("MSCTLS_TRACKBAR32", kTrackbar), names("SYSTABCONTROL32", kTab), names("MSCTLS_UPDOWN32", kUpDown),
    names("SYSHEADER32", kHeader), names("SYSTREEVIEW32", kTreeView), names("MSCTLS_STATUSBAR32", kBars),
    names("TOOLBARWINDOW32", kBars),
};

const Name* lookup(const Name* table, size_t n, const std::string& name) {
  for (size_t i = 0; i < n; ++i)
    if (name == table[i].name) return &table[i];
  return nullptr;
}
template <size_t N>
const Name* lookup(const Name (&table)[N], const std::string& name) {
  return lookup(table, N, name);
}

void apply(uint32_t& style, const Name& n) { style = (style & ~n.mask) | n.bits; }

// BITS(0x...) and EXBITS(0x...) give raw style bits.
bool rawBits(const std::string& word, const char* prefix, uint32_t& into, int line) {
  std::string p = std::string(prefix) + "(";
  if (word.rfind(p, 0) != 0) return false;
  if (word.back() != ')') fail(line, "bad " + std::string(prefix) + "(...)");
  auto v = toNumber(word.substr(p.size(), word.size() - p.size() - 1));
  if (!v || *v < 0 || *v > 0xFFFFFFFFLL) fail(line, "bad " + std::string(prefix) + " value in " + word);
  into |= static_cast<uint32_t>(*v);
  return true;
}

// ---------------------------------------------------------------- resources

struct Parser {
  std::string file;
  std::string baseDir;
  ResourceSet& out;
  Lines lines;

  std::string here(int line) const { return file + ":" + std::to_string(line); }

  void claim(const std::string& key, int line) {
    auto it = out.origins.find(key);
    if (it != out.origins.end()) fail(line, key + " is defined twice (first at " + it->second + ")");
    out.origins.emplace(key, here(line));
  }
  std::string rcKey(int id) const { return "RCDATA " + std::to_string(id); }
  // A dialog reads the RCDATA of its own id as its extras: the two must not
  // meet by accident.
  void claimRcData(int id, int line) {
    if (auto it = out.origins.find("DIALOG " + std::to_string(id)); it != out.origins.end())
      fail(line, "RCDATA " + std::to_string(id) + " clashes with the extras of DIALOG " + std::to_string(id) +
                     " (at " + it->second + ")");
    claim(rcKey(id), line);
  }

  std::vector<uint8_t> readFile(const std::string& name, int line) {
    std::string path = name;
    if (!name.empty() && name[0] != '/') path = baseDir + "/" + name;
    std::ifstream in(path, std::ios::binary);
    if (!in) fail(line, "cannot read " + path);
    std::vector<uint8_t> bytes;
    char buf[65536];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
      bytes.insert(bytes.end(), buf, buf + in.gcount());
      if (bytes.size() > kMaxDataBytes) fail(line, path + " is larger than " + std::to_string(kMaxDataBytes) + " bytes");
    }
    return bytes;
  }

  Args mustNext(const char* inWhat, int startLine) {
    std::optional<Args> a = nextArgs(lines);
    if (!a) fail(startLine, std::string("missing END of ") + inWhat);
    return std::move(*a);
  }

  // MENU id ... END
  void menu(Args& a) {
    const int id = static_cast<int>(a.number("menu id", 1, 65535));
    a.end();
    claim("MENU " + std::to_string(id), a.line());
    MenuTemplate t;
    menuItems(t.items, a.line(), 0);
    out.menus[id] = std::move(t);
  }

  uint32_t itemFlags(Args& a) {
    uint32_t f = 0;
    while (a.more()) {
      std::string w = upperCase(a.word("item option"));
      if (w == "GRAYED") f |= mf::Grayed;
      else if (w == "DISABLED") f |= mf::Disabled;
      else if (w == "CHECKED") f |= mf::Checked;
      else fail(a.line(), "unknown menu item option " + w);
    }
    return f;
  }

  void menuItems(std::vector<MenuItemTemplate>& items, int startLine, int depth) {
    if (depth > kMaxMenuDepth) fail(startLine, "menus nested deeper than " + std::to_string(kMaxMenuDepth));
    while (true) {
      Args a = mustNext(depth == 0 ? "MENU" : "POPUP", startLine);
      if (isEnd(a)) return;
      std::string kw = upperCase(a.word("ITEM, POPUP, SEPARATOR or END"));
      MenuItemTemplate it;
      if (kw == "ITEM") {
        it.text = a.text("item text");
        it.id = static_cast<uint32_t>(a.number("item id", 1, 65535));
        it.flags = itemFlags(a);
      } else if (kw == "SEPARATOR") {
        a.end();
        it.flags = mf::Separator;
      } else if (kw == "POPUP") {
        it.text = a.text("pop-up text");
        if (a.more() && upperCase(a.peek().text) == "ID" && !a.peek().quoted) {
          a.word("ID");
          it.id = static_cast<uint32_t>(a.number("pop-up id", 1, 65535));
        }
        it.flags = mf::Popup | itemFlags(a);
        menuItems(it.items, a.line(), depth + 1);
      } else {
        fail(a.line(), "unknown menu keyword " + kw);
      }
      items.push_back(std::move(it));
    }
  }

  // MENUSTRINGS id: "QVZMENUSTRING" records (16-bit id, text, zero byte), ended by id 0.
  void menuStrings(Args& a) {
    const int id = static_cast<int>(a.number("menu id", 1, 65535));
    a.end();
    claim(std::string(kMenuStringType) + " " + std::to_string(id), a.line());
    std::vector<uint8_t> bytes;
    while (true) {
      Args l = mustNext("MENUSTRINGS", a.line());
      if (isEnd(l)) break;
      uint32_t cmd = static_cast<uint32_t>(l.number("command id", 1, 65535));
      std::string text = l.text("help text");
      l.end();
      if (text.find('\0') != std::string::npos) fail(l.line(), "help text holds a zero byte");
      bytes.push_back(static_cast<uint8_t>(cmd & 0xFF));
      bytes.push_back(static_cast<uint8_t>(cmd >> 8));
      bytes.insert(bytes.end(), text.begin(), text.end());
      bytes.push_back(0);
    }
    bytes.push_back(0);
    bytes.push_back(0);
    out.data[{kMenuStringType, id}] = std::move(bytes);
  }

  void accelerators(Args& a) {
    const int id = static_cast<int>(a.number("accelerator table id", 1, 65535));
    a.end();
    claim("ACCELERATORS " + std::to_string(id), a.line());
    std::vector<Accel> table;
    while (true) {
      Args l = mustNext("ACCELERATORS", a.line());
      if (isEnd(l)) break;
      std::string kind = upperCase(l.word("VIRTKEY or CHAR"));
      Accel e;
      if (kind == "VIRTKEY") {
        e.flags = fvirt::VirtKey;
        std::string key = upperCase(l.word("key name"));
        e.key = static_cast<uint16_t>(keyCode(key, l.line()));
      } else if (kind == "CHAR") {
        std::string c = l.text("character");
        if (c.size() != 1) fail(l.line(), "CHAR takes one character");
        e.key = static_cast<uint8_t>(c[0]);
      } else {
        fail(l.line(), "expected VIRTKEY or CHAR, not " + kind);
      }
      e.cmd = static_cast<uint16_t>(l.number("command id", 1, 65535));
      while (l.more()) {
        std::string m = upperCase(l.word("modifier"));
        if (m == "CTRL") e.flags |= fvirt::Control;
        else if (m == "SHIFT") e.flags |= fvirt::Shift;
        else if (m == "ALT") e.flags |= fvirt::Alt;
        else if (m == "NOINVERT") e.flags |= fvirt::NoInvert;
        else fail(l.line(), "unknown accelerator modifier " + m);
      }
      if (!(e.flags & fvirt::VirtKey) && (e.flags & (fvirt::Control | fvirt::Shift)))
        fail(l.line(), "a CHAR accelerator takes only ALT");
      table.push_back(e);
    }
    out.accelerators[id] = std::move(table);
  }

  static int keyCode(const std::string& key, int line) {
    struct K {
      const char* n;
      uint32_t v;
    };
    static constexpr K kKeys[] = {
        {"BACK", vk::Back}, {"TAB", vk::Tab}, {"RETURN", vk::Return}, {"ENTER", vk::Return}, {"ESCAPE", vk::Escape},
        {"SPACE", vk::Space}, {"PGUP", vk::Prior}, {"PGDN", vk::Next}, {"END", vk::End}, {"HOME", vk::Home},
        {"LEFT", vk::Left}, {"UP", vk::Up}, {"RIGHT", vk::Right}, {"DOWN", vk::Down}, {"INSERT", vk::Insert},
        {"DELETE", vk::Delete}, {"PAUSE", vk::Pause}, {"ADD", vk::Add}, {"SUBTRACT", vk::Subtract},
        {"MULTIPLY", vk::Multiply}, {"DIVIDE", vk::Divide},
    };
    for (const K& k : kKeys)
      if (key == k.n) return static_cast<int>(k.v);
    if (key.size() == 1 && (std::isupper(static_cast<unsigned char>(key[0])) || std::isdigit(static_cast<unsigned char>(key[0]))))
      return key[0];
    if (key.size() >= 2 && key[0] == 'F') {
      auto n = toNumber(key.substr(1));
      if (n && *n >= 1 && *n <= 24) return static_cast<int>(vk::fn(static_cast<int>(*n)));
    }
    auto n = toNumber(key);
    if (n && *n > 0 && *n < 256) return static_cast<int>(*n);
    fail(line, "unknown key " + key);
  }

  void stringTable(Args& a) {
    a.end();
    while (true) {
      Args l = mustNext("STRINGTABLE", a.line());
      if (isEnd(l)) break;
      int id = static_cast<int>(l.number("string id", 0, 65535));
      std::string text = l.text("string");
      l.end();
      claim("STRING " + std::to_string(id), l.line());
      out.strings[id] = std::move(text);
    }
  }

  // RCDATA id: 16-bit little-endian words.
  void rcdata(Args& a) {
    const int id = static_cast<int>(a.number("RCDATA id", 1, 65535));
    a.end();
    claimRcData(id, a.line());
    std::vector<uint8_t> bytes;
    while (true) {
      Args l = mustNext("RCDATA", a.line());
      if (isEnd(l)) break;
      while (l.more()) {
        long long v = l.number("word", -32768, 65535);
        uint16_t w = static_cast<uint16_t>(v);
        bytes.push_back(static_cast<uint8_t>(w & 0xFF));
        bytes.push_back(static_cast<uint8_t>(w >> 8));
        if (bytes.size() > kMaxDataBytes) fail(l.line(), "RCDATA too large");
      }
    }
    out.data[{kRcData, id}] = std::move(bytes);
  }

  // DATA "TYPE" id FILE "path" | DATA "TYPE" id <hex bytes lines> END
  void data(Args& a) {
    std::string type = upperCase(a.text("data type"));
    if (type.empty()) fail(a.line(), "empty data type");
    const int id = static_cast<int>(a.number("data id", 1, 65535));
    std::vector<uint8_t> bytes;
    if (a.more()) {
      if (upperCase(a.word("FILE")) != "FILE") fail(a.line(), "expected FILE");
      std::string path = a.text("file name");
      a.end();
      bytes = readFile(path, a.line());
    } else {
      while (true) {
        Args l = mustNext("DATA", a.line());
        if (isEnd(l)) break;
        while (l.more()) {
          std::string h = l.word("hex byte");
          if (h.size() != 2 || !std::isxdigit(static_cast<unsigned char>(h[0])) ||
              !std::isxdigit(static_cast<unsigned char>(h[1])))
            fail(l.line(), "bad hex byte " + h);
          bytes.push_back(static_cast<uint8_t>(std::stoi(h, nullptr, 16)));
          if (bytes.size() > kMaxDataBytes) fail(l.line(), "DATA too large");
        }
      }
    }
    if (type == kRcData) claimRcData(id, a.line());
    else claim(type + " " + std::to_string(id), a.line());
    out.data[{type, id}] = std::move(bytes);
  }

  // BITMAP/ICON id-or-name FILE "x.bmp" | BITMAP id w h, COLOR lines, ROWS, rows, END
  void image(Args& a, bool icon) {
    const char* kw = icon ? "ICON" : "BITMAP";
    int id = 0;
    std::string name;
    if (a.more() && !a.peek().quoted && toNumber(a.peek().text)) {
      id = static_cast<int>(a.number("id", 1, 65535));
    } else {
      name = upperCase(a.more() && a.peek().quoted ? a.text("name") : a.word("id or name"));
      if (name.empty()) fail(a.line(), "empty name");
    }
    claim(std::string(kw) + " " + (id ? std::to_string(id) : name), a.line());
    Surface img;
    if (a.more() && !a.peek().quoted && upperCase(a.peek().text) == "FILE") {
      a.word("FILE");
      std::string path = a.text("file name");
      a.end();
      std::string err;
      if (!decodeBmp(readFile(path, a.line()), img, err)) fail(a.line(), path + ": " + err);
    } else {
      int w = static_cast<int>(a.number("width", 1, kMaxImageSide));
      int h = static_cast<int>(a.number("height", 1, kMaxImageSide));
      a.end();
      pixelArt(img, w, h, a.line(), kw);
    }
    if (icon) {
      if (id) out.icons[id] = std::move(img);
      else out.namedIcons[name] = std::move(img);
    } else {
      if (id) out.bitmaps[id] = std::move(img);
      else out.namedBitmaps[name] = std::move(img);
    }
  }

  // COLOR lines are read as they stand, so that any character (even '#')
  // can name a colour: COLOR <character> <RRGGBB>.
  void pixelArt(Surface& img, int w, int h, int startLine, const char* kw) {
    uint32_t colours[256];
    bool known[256] = {};
    while (true) {
      if (lines.done()) fail(startLine, std::string("missing ROWS of ") + kw);
      std::string l = lines.take();
      const int ln = lines.lineNo();
      size_t s = l.find_first_not_of(" \t");
      if (s == std::string::npos || l[s] == '#') continue;
      std::string rest = l.substr(s);
      std::string k = upperCase(rest.substr(0, rest.find_first_of(" \t")));
      if (k == "ROWS") {
        if (rest.find_first_not_of(" \t", 4) != std::string::npos) fail(ln, "unexpected text after ROWS");
        break;
      }
      if (k != "COLOR") fail(ln, "expected COLOR or ROWS, not " + k);
      size_t c = rest.find_first_not_of(" \t", 5);
      if (rest.size() < 6 || (rest[5] != ' ' && rest[5] != '\t') || c == std::string::npos)
        fail(ln, "expected a colour character");
      size_t after = c + 1;
      if (after < rest.size() && rest[after] != ' ' && rest[after] != '\t') fail(ln, "a colour is named by one character");
      std::vector<Token> t = tokenize(rest.substr(std::min(after, rest.size())), ln);
      if (t.size() != 1 || t[0].quoted) fail(ln, "expected the colour as RRGGBB");
      const std::string& hex = t[0].text;
      auto v = toNumber("0x" + hex);
      if (hex.size() != 6 || !v) fail(ln, "bad colour " + hex);
      unsigned char ch = static_cast<unsigned char>(rest[c]);
      if (known[ch]) fail(ln, std::string("colour ") + rest[c] + " given twice");
      known[ch] = true;
      colours[ch] = static_cast<uint32_t>(*v);
    }
    img.resize(w, h);
    for (int y = 0; y < h; ++y) {
      if (lines.done()) fail(startLine, std::string(kw) + " has fewer than " + std::to_string(h) + " rows");
      std::string row = lines.take();
      const int ln = lines.lineNo();
      while (!row.empty() && std::isspace(static_cast<unsigned char>(row.back()))) row.pop_back();
      size_t s = row.find_first_not_of(" \t");
      row = s == std::string::npos ? std::string() : row.substr(s);
      if (static_cast<int>(row.size()) != w)
        fail(ln, "row of " + std::to_string(row.size()) + " pixels in a " + std::to_string(w) + "-pixel-wide image");
      for (int x = 0; x < w; ++x) {
        unsigned char ch = static_cast<unsigned char>(row[static_cast<size_t>(x)]);
        if (!known[ch]) fail(ln, std::string("unknown colour ") + static_cast<char>(ch));
        img.at(x, y) = colours[ch];
      }
    }
    Args e = mustNext(kw, startLine);
    if (!isEnd(e)) fail(e.line(), std::string("expected END after the rows of ") + kw);
  }

  // ---------------------------------------------------------------- dialogs

  uint32_t controlStyle(Args& a, const std::string& cls, uint32_t& exStyle) {
    uint32_t style = ws::Child | ws::Visible;
    const std::string ucls = upperCase(cls);
    const ClassNames* own = nullptr;
    for (const ClassNames& c : kClassNames)
      if (ucls == c.cls) own = &c;
    while (a.more()) {
      std::string w = upperCase(a.word("style name"));
      if (rawBits(w, "BITS", style, a.line()) || rawBits(w, "EXBITS", exStyle, a.line())) continue;
      if (w == "HIDDEN") {
        style &= ~ws::Visible;
        continue;
      }
      if (own) {
        if (const Name* n = lookup(own->names, own->count, w)) {
          apply(style, *n);
          continue;
        }
      }
      if (const Name* n = lookup(kWindowStyles, w)) {
        apply(style, *n);
        continue;
      }
      if (const Name* n = lookup(kExStyles, w)) {
        apply(exStyle, *n);
        continue;
      }
      fail(a.line(), "unknown style " + w + " for a " + cls + " control");
    }
    return style;
  }

  void dialog(Args& a) {
    const int id = static_cast<int>(a.number("dialog id", 1, 65535));
    a.end();
    const int start = a.line();
    const std::string key = "DIALOG " + std::to_string(id);
    claim(key, start);
    if (auto it = out.origins.find(rcKey(id)); it != out.origins.end())
      fail(start, key + " clashes with RCDATA " + std::to_string(id) + " (at " + it->second +
                      "), which the dialog would read as its extras");
    DialogTemplate d;
    d.id = id;
    bool haveRect = false;
    std::optional<std::vector<uint8_t>> extras;
    std::vector<int> ids;
    while (true) {
      Args l = mustNext("DIALOG", start);
      if (isEnd(l)) break;
      std::string kw = upperCase(l.word("dialog keyword"));
      if (kw == "CAPTION") {
        d.caption = l.text("caption");
        l.end();
      } else if (kw == "STYLE") {
        while (l.more()) {
          std::string w = upperCase(l.word("style name"));
          if (rawBits(w, "BITS", d.style, l.line())) continue;
          if (const Name* n = lookup(kDialogStyles, w)) apply(d.style, *n);
          else if (const Name* n2 = lookup(kWindowStyles, w)) apply(d.style, *n2);
          else fail(l.line(), "unknown dialog style " + w);
        }
      } else if (kw == "EXSTYLE") {
        while (l.more()) {
          std::string w = upperCase(l.word("extended style name"));
          if (rawBits(w, "BITS", d.exStyle, l.line())) continue;
          const Name* n = lookup(kExStyles, w);
          if (!n) fail(l.line(), "unknown extended style " + w);
          apply(d.exStyle, *n);
        }
      } else if (kw == "FONT") {
        d.pointSize = static_cast<int>(l.number("point size", 1, 144));
        d.face = l.text("face name");
        if (l.more() && toNumber(l.peek().text)) d.weight = static_cast<int>(l.number("weight", 1, 1000));
        if (l.more()) {
          if (upperCase(l.word("ITALIC")) != "ITALIC") fail(l.line(), "expected ITALIC");
          d.italic = true;
        }
        l.end();
      } else if (kw == "RECT") {
        d.x = static_cast<int>(l.number("x", -32768, 32767));
        d.y = static_cast<int>(l.number("y", -32768, 32767));
        d.cx = static_cast<int>(l.number("width", 0, 32767));
        d.cy = static_cast<int>(l.number("height", 0, 32767));
        l.end();
        haveRect = true;
      } else if (kw == "MENU") {
        d.menuId = static_cast<int>(l.number("menu id", 1, 65535));
        l.end();
      } else if (kw == "CLASS") {
        d.className = l.text("class name");
        l.end();
      } else if (kw == "CONTROL") {
        if (d.controls.size() >= kMaxControls) fail(l.line(), "more than " + std::to_string(kMaxControls) + " controls");
        ControlTemplate c;
        c.className = l.more() && l.peek().quoted ? l.text("class") : l.word("class");
        if (c.className.empty()) fail(l.line(), "empty class name");
        c.id = static_cast<int>(l.number("control id", -1, 65535));
        c.text = l.text("control text");
        c.x = static_cast<int>(l.number("x", -32768, 32767));
        c.y = static_cast<int>(l.number("y", -32768, 32767));
        c.cx = static_cast<int>(l.number("width", 0, 32767));
        c.cy = static_cast<int>(l.number("height", 0, 32767));
        c.style = controlStyle(l, c.className, c.exStyle);
        if (c.id != -1) {
          if (std::find(ids.begin(), ids.end(), c.id) != ids.end())
            fail(l.line(), "control id " + std::to_string(c.id) + " used twice in " + key);
          ids.push_back(c.id);
        }
        d.controls.push_back(std::move(c));
      } else if (kw == "EXTRAS") {
        l.end();
        if (extras) fail(l.line(), "second EXTRAS block");
        extras = extrasBlock(l.line());
        break;   // EXTRAS is the last part of a dialog; its END ends the dialog
      } else {
        fail(l.line(), "unknown dialog keyword " + kw);
      }
    }
    if (!haveRect) fail(start, key + " has no RECT");
    if (extras) {
      claim(rcKey(id), start);
      out.data[{kRcData, id}] = std::move(*extras);
    }
    out.dialogs[id] = std::move(d);
  }

  // The lines up to a line holding END alone, kept byte for byte, each
  // ended by a line feed.
  std::vector<uint8_t> extrasBlock(int startLine) {
    std::vector<uint8_t> bytes;
    while (true) {
      if (lines.done()) fail(startLine, "missing END of EXTRAS");
      const std::string& l = lines.take();
      std::string trimmed = l;
      trimmed.erase(0, trimmed.find_first_not_of(" \t"));
      while (!trimmed.empty() && std::isspace(static_cast<unsigned char>(trimmed.back()))) trimmed.pop_back();
      if (trimmed == "END") return bytes;
      if (l.find('\0') != std::string::npos) fail(lines.lineNo(), "a zero byte in the extras");
      bytes.insert(bytes.end(), l.begin(), l.end());
      bytes.push_back('\n');
      if (bytes.size() > kMaxDataBytes) fail(lines.lineNo(), "extras too large");
    }
  }

  void run() {
    while (std::optional<Args> a = nextArgs(lines)) {
      std::string kw = upperCase(a->word("a resource keyword"));
      if (kw == "MENU") menu(*a);
      else if (kw == "MENUSTRINGS") menuStrings(*a);
      else if (kw == "ACCELERATORS") accelerators(*a);
      else if (kw == "STRINGTABLE") stringTable(*a);
      else if (kw == "RCDATA") rcdata(*a);
      else if (kw == "DATA") data(*a);
      else if (kw == "BITMAP") image(*a, false);
      else if (kw == "ICON") image(*a, true);
      else if (kw == "DIALOG") dialog(*a);
      else fail(a->line(), "unknown resource keyword " + kw);
    }
  }

  // ---------------------------------------------------------------- BMP files

  static uint32_t le(const std::vector<uint8_t>& b, size_t at, int n) {
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | b[at + static_cast<size_t>(i)];
    return v;
  }

  static bool decodeBmp(const std::vector<uint8_t>& b, Surface& img, std::string& err) {
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') { err = "not a BMP file"; return false; }
    const uint32_t offset = le(b, 10, 4), header = le(b, 14, 4);
    if (header < 40 || 14 + static_cast<size_t>(header) > b.size()) { err = "unsupported BMP header"; return false; }
    const int32_t w = static_cast<int32_t>(le(b, 18, 4)), hRaw = static_cast<int32_t>(le(b, 22, 4));
    const uint32_t bpp = le(b, 28, 2), compression = le(b, 30, 4);
    if (w <= 0 || w > kMaxImageSide || hRaw == 0 || hRaw < -kMaxImageSide || hRaw > kMaxImageSide)
      { err = "BMP size out of range"; return false; }
    if (compression != 0 && !(compression == 3 && bpp == 32)) { err = "compressed BMP files are not supported"; return false; }
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) { err = "unsupported BMP depth"; return false; }
    const bool topDown = hRaw < 0;
    const int h = topDown ? -hRaw : hRaw;
    std::vector<uint32_t> palette;
    if (bpp <= 8) {
      uint32_t n = le(b, 46, 4);
      if (n == 0 || n > (1u << bpp)) n = 1u << bpp;
      const size_t at = 14 + header;
      if (at + 4 * static_cast<size_t>(n) > b.size()) { err = "BMP palette cut short"; return false; }
      for (uint32_t i = 0; i < n; ++i) palette.push_back(le(b, at + 4 * i, 3));
    }
    const size_t stride = ((static_cast<size_t>(w) * bpp + 31) / 32) * 4;
    if (offset > b.size() || stride * static_cast<size_t>(h) > b.size() - offset) { err = "BMP pixels cut short"; return false; }
    img.resize(w, h);
    for (int y = 0; y < h; ++y) {
      const size_t row = offset + stride * static_cast<size_t>(topDown ? y : h - 1 - y);
      for (int x = 0; x < w; ++x) {
        uint32_t px;
        if (bpp == 24 || bpp == 32) {
          px = le(b, row + static_cast<size_t>(x) * (bpp / 8), 3);
        } else {
          const size_t bit = static_cast<size_t>(x) * bpp;
          uint32_t idx = (b[row + bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
          if (idx >= palette.size()) { err = "BMP colour index outside the palette"; return false; }
          px = palette[idx];
        }
        img.at(x, y) = px & 0x00FFFFFF;
      }
    }
    return true;
  }
};

}  // namespace

bool parseResources(std::string_view text, std::string_view fileName, std::string_view baseDir, ResourceSet& out,
                    std::vector<ParseError>& errors) {
  ResourceSet work = out;
  Parser p{std::string(fileName), std::string(baseDir), work, Lines(text)};
  try {
    p.run();
  } catch (const Failure& f) {
    errors.push_back({std::string(fileName), f.line, f.message});
    return false;
  }
  out = std::move(work);
  return true;
}

}  // namespace plat::res
