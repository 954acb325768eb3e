// Queued answers for menus and dialogs, shared by the test interface, the
// input script and the modules that consume them. Internal to platform/.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/test/Test.h"
#include "platform/win/WinState.h"

namespace plat::detail {

struct MenuAnswer {
  enum Kind { Command, Path, Dismiss } kind = Dismiss;
  uint32_t command = 0;
  std::vector<int> path;
  std::function<void()> whileOpen;
};
struct BoxAnswer {
  int button = 0;
  bool fail = false;
  std::function<void()> whileOpen;
};
struct FileAnswerEntry {
  test::FileAnswer answer;
  std::function<void()> whileOpen;
};
struct PageSetupAnswerEntry {
  test::PageSetupAnswer answer;
  std::function<void()> whileOpen;
};
struct ColourAnswer {
  bool ok = false;
  uint32_t rgb = 0;
};
struct FontAnswer {
  bool ok = false;
  FontChoice font;
};
struct FolderAnswer {
  bool ok = false;
  std::string path;
};

struct Answers {
  std::deque<MenuAnswer> menus;
  std::deque<BoxAnswer> boxes;
  std::deque<FileAnswerEntry> files;
  std::deque<PageSetupAnswerEntry> pageSetups;
  std::deque<ColourAnswer> colours;
  std::deque<FontAnswer> fonts;
  std::deque<FolderAnswer> folders;
  std::vector<test::ShownDialog> shown;
};
Answers& answers();

// The next answer of a queue; when there is none the idle hook (a test or
// the input script) may supply it; otherwise the run fails loudly.
template <class T>
T takeAnswer(std::deque<T>& q, const char* what) {
  int rounds = 0;
  while (q.empty()) {
    auto& idle = state().idle;
    if (!idle || ++rounds > 100000 || !idle()) fatal(std::string("no answer for ") + what);
  }
  T t = std::move(q.front());
  q.pop_front();
  return t;
}

}  // namespace plat::detail
