#include "platform/os/Modules.h"

#include <algorithm>
#include <cctype>

#include "platform/ctl/Controls.h"
#include "platform/mail/Mapi.h"

namespace plat {

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

struct Loaded {
  std::string name;
  int count = 0;
};

struct ModuleTable {
  std::map<std::string, std::map<std::string, ModuleEntry>> registered;   // by lower-case name
  std::map<Hmodule, Loaded> loaded;
  Hmodule next = 1;
};

ModuleTable& Table() {
  static ModuleTable t;
  return t;
}

// The built-in modules present on this machine. The mail module is there
// when a mail program is; the rich-edit modules as offered (the controls
// themselves are classes of the layer).
bool BuiltinEntries(const std::string& name, std::map<std::string, ModuleEntry>& entries) {
  if (name == "riched32.dll") return true;
  if (name == "riched20.dll") return offeredRichEditLevel() != 1;
  if (name == "mapi32.dll" && MailProgramAvailable()) {
    entries = {{"MAPISendMail", reinterpret_cast<ModuleEntry>(&mapiSendMail)},
               {"MAPIResolveName", reinterpret_cast<ModuleEntry>(&mapiResolveName)},
               {"MAPIFreeBuffer", reinterpret_cast<ModuleEntry>(&mapiFreeBuffer)}};
    return true;
  }
  return false;
}

bool EntriesOf(const std::string& name, std::map<std::string, ModuleEntry>& entries) {
  auto it = Table().registered.find(name);
  if (it != Table().registered.end()) {
    entries = it->second;
    return true;
  }
  return BuiltinEntries(name, entries);
}

}  // namespace

Hmodule loadLibrary(std::string_view name) {
  const std::string key = Lower(name);
  std::map<std::string, ModuleEntry> entries;
  if (!EntriesOf(key, entries)) return 0;
  ModuleTable& t = Table();
  for (auto& [handle, l] : t.loaded) {
    if (l.name == key) {
      ++l.count;
      return handle;
    }
  }
  const Hmodule h = t.next++;
  t.loaded[h] = Loaded{key, 1};
  return h;
}

ModuleEntry getProcAddress(Hmodule module, std::string_view entry) {
  auto it = Table().loaded.find(module);
  if (it == Table().loaded.end()) return nullptr;
  std::map<std::string, ModuleEntry> entries;
  if (!EntriesOf(it->second.name, entries)) return nullptr;
  auto e = entries.find(std::string(entry));
  return e == entries.end() ? nullptr : e->second;
}

bool freeLibrary(Hmodule module) {
  auto it = Table().loaded.find(module);
  if (it == Table().loaded.end()) return false;
  if (--it->second.count <= 0) Table().loaded.erase(it);
  return true;
}

void registerModule(std::string_view name, std::map<std::string, ModuleEntry> entries) {
  Table().registered[Lower(name)] = std::move(entries);
}

void resetModules() {
  const Hmodule next = Table().next;
  Table() = ModuleTable{};
  Table().next = next;   // handles are never reused
}

}  // namespace plat
