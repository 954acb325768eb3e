// The registry key store: one text file, read whole for every call and
// replaced whole (through a temporary file and a rename) on every change,
// so a crash never leaves half a store behind.
//
// File lines:
//   K <root> <subkey in hex>
//   V <root> <subkey in hex> <value name in hex> <type> <data in hex>
// Keys and names are kept in hex so that any byte survives; lines that do
// not parse are skipped.
#include "platform/os/Os.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <sstream>

namespace plat {

namespace {

constexpr size_t kMaxLine = 4u << 20;      // longest line read (bytes)
constexpr size_t kMaxValueBytes = 1u << 20;

struct Value {
  std::string name;  // as written
  int type = 0;
  std::vector<uint8_t> data;
};

struct Key {
  int root = 0;
  std::string subkey;  // as written
  std::vector<Value> values;
};

std::string Lower(const std::string& s) {
  std::string r = s;
  for (auto& c : r) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return r;
}

std::string Normalise(const std::string& subkey) {
  size_t a = subkey.find_first_not_of('\\');
  if (a == std::string::npos) return std::string();
  size_t b = subkey.find_last_not_of('\\');
  return subkey.substr(a, b - a + 1);
}

std::string MapKey(int root, const std::string& subkey) {
  return std::to_string(root) + "\\" + Lower(subkey);
}

std::string Hex(const std::string& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string r;
  r.reserve(bytes.size() * 2 + 1);
  for (unsigned char c : bytes) {
    r += digits[c >> 4];
    r += digits[c & 15];
  }
  return r.empty() ? "-" : r;
}

bool Unhex(const std::string& text, std::string& out) {
  out.clear();
  if (text == "-") return true;
  if (text.size() % 2 != 0) return false;
  auto val = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  for (size_t i = 0; i < text.size(); i += 2) {
    int h = val(text[i]), l = val(text[i + 1]);
    if (h < 0 || l < 0) return false;
    out += static_cast<char>(h * 16 + l);
  }
  return true;
}

using Store = std::map<std::string, Key>;

// Reads the store. A store that does not exist yet is empty; one that
// exists but cannot be read (no permission, no regular file, a read
// error) is a failure, so that no write replaces the keys it holds.
int Load(Store& store) {
  store.clear();
  const std::string path = RegistryPath();
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? 0 : (errno != 0 ? errno : EIO);
  struct stat st;
  int err = ::fstat(fd, &st) != 0 ? (errno != 0 ? errno : EIO) : S_ISREG(st.st_mode) ? 0 : ENOTSUP;
  std::string text;
  char buf[1 << 14];
  while (err == 0) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) err = errno != 0 ? errno : EIO;
    if (n <= 0) break;
    text.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  if (err != 0) return err;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.size() > kMaxLine) continue;
    std::istringstream ls(line);
    std::string tag, hkey;
    int root = -1;
    if (!(ls >> tag >> root >> hkey) || root < 0 || root >= kRegistryRoots) continue;
    std::string subkey;
    if (!Unhex(hkey, subkey)) continue;
    Key& k = store[MapKey(root, subkey)];
    k.root = root;
    if (k.subkey.empty()) k.subkey = subkey;
    if (tag == "V") {
      std::string hname, hdata, name, data;
      int type = 0;
      if (!(ls >> hname >> type >> hdata)) continue;
      if (!Unhex(hname, name) || !Unhex(hdata, data) || data.size() > kMaxValueBytes) continue;
      auto it = std::find_if(k.values.begin(), k.values.end(),
                             [&](const Value& v) { return Lower(v.name) == Lower(name); });
      if (it == k.values.end()) it = k.values.insert(k.values.end(), Value{});
      it->name = name;
      it->type = type;
      it->data.assign(data.begin(), data.end());
    }
  }
  return 0;
}

int MakeDirectories(const std::string& dir) {
  for (size_t i = 1; i <= dir.size(); ++i) {
    if (i == dir.size() || dir[i] == '/') {
      std::string part = dir.substr(0, i);
      if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return errno;
    }
  }
  return 0;
}

int Save(const Store& store) {
  std::string path = RegistryPath();
  size_t slash = path.find_last_of('/');
  std::string dir = path.substr(0, slash);
  int err = MakeDirectories(dir);
  if (err != 0) return err;
  std::string text = "# Quillon key store: K root subkey / V root subkey name type data (hex)\n";
  for (const auto& [id, k] : store) {
    std::string hkey = Hex(k.subkey);
    text += "K " + std::to_string(k.root) + " " + hkey + "\n";
    for (const auto& v : k.values) {
      text += "V " + std::to_string(k.root) + " " + hkey + " " + Hex(v.name) + " " +
              std::to_string(v.type) + " " +
              Hex(std::string(v.data.begin(), v.data.end())) + "\n";
    }
  }
  return FileWriteWhole(path, text);
}

bool ValidRoot(int root) { return root >= 0 && root < kRegistryRoots; }

void AddKeyWithParents(Store& store, int root, const std::string& subkey) {
  size_t pos = 0;
  for (;;) {
    size_t next = subkey.find('\\', pos);
    std::string part = next == std::string::npos ? subkey : subkey.substr(0, next);
    Key& k = store[MapKey(root, part)];
    if (k.subkey.empty()) {
      k.root = root;
      k.subkey = part;
    }
    if (next == std::string::npos) break;
    pos = next + 1;
  }
}

}  // namespace

std::string RegistryPath() {
  std::string base;
  if (!EnvGet("XDG_CONFIG_HOME", base) || base.empty() || base[0] != '/') {
    std::string home;
    EnvGet("HOME", home);
    if (home.empty()) home = "/tmp";
    base = home + "/.config";
  }
  if (base.back() == '/') base.pop_back();
  return base + "/quillon/registry";
}

int RegistryRead(int root, const std::string& subkey, const std::string& valueName, int& type,
                 std::vector<uint8_t>& data) {
  data.clear();
  if (!ValidRoot(root)) return EINVAL;
  Store store;
  if (const int err = Load(store); err != 0) return err;
  auto it = store.find(MapKey(root, Normalise(subkey)));
  if (it == store.end()) return ENOENT;
  for (const auto& v : it->second.values) {
    if (Lower(v.name) == Lower(valueName)) {
      type = v.type;
      data = v.data;
      return 0;
    }
  }
  return ENODATA;
}

int RegistryCreateKey(int root, const std::string& subkey) {
  if (!ValidRoot(root)) return EINVAL;
  Store store;
  if (const int err = Load(store); err != 0) return err;
  std::string key = Normalise(subkey);
  if (store.count(MapKey(root, key)) != 0) return 0;
  AddKeyWithParents(store, root, key);
  return Save(store);
}

int RegistryWrite(int root, const std::string& subkey, const std::string& valueName, int type,
                  const std::vector<uint8_t>& data) {
  if (!ValidRoot(root)) return EINVAL;
  if (data.size() > kMaxValueBytes) return E2BIG;
  Store store;
  if (const int err = Load(store); err != 0) return err;
  std::string key = Normalise(subkey);
  AddKeyWithParents(store, root, key);
  Key& k = store[MapKey(root, key)];
  auto it = std::find_if(k.values.begin(), k.values.end(),
                         [&](const Value& v) { return Lower(v.name) == Lower(valueName); });
  if (it == k.values.end()) it = k.values.insert(k.values.end(), Value{valueName, 0, {}});
  it->type = type;
  it->data = data;
  return Save(store);
}

int RegistryDeleteKey(int root, const std::string& subkey) {
  if (!ValidRoot(root)) return EINVAL;
  Store store;
  if (const int err = Load(store); err != 0) return err;
  std::string id = MapKey(root, Normalise(subkey));
  auto it = store.find(id);
  if (it == store.end()) return ENOENT;
  std::string prefix = id + "\\";
  for (const auto& [other, k] : store) {
    if (other.compare(0, prefix.size(), prefix) == 0) return ENOTEMPTY;
  }
  store.erase(it);
  return Save(store);
}

int RegistryDeleteValue(int root, const std::string& subkey, const std::string& valueName) {
  if (!ValidRoot(root)) return EINVAL;
  Store store;
  if (const int err = Load(store); err != 0) return err;
  auto it = store.find(MapKey(root, Normalise(subkey)));
  if (it == store.end()) return ENOENT;
  auto& values = it->second.values;
  auto v = std::find_if(values.begin(), values.end(),
                        [&](const Value& x) { return Lower(x.name) == Lower(valueName); });
  if (v == values.end()) return ENODATA;
  values.erase(v);
  return Save(store);
}

}  // namespace plat
