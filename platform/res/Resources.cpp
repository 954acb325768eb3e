// Resource lookups over the overlays (newest first) and the compiled set.
#include "platform/res/Resources.h"

#include <utility>
#include <memory>
#include <unordered_map>

#include "platform/res/ResourceParser.h"
#include "platform/win/WinState.h"

namespace plat::res {

// Made by the resource compiler from resources/ (a generated source).
void fillBuiltinResources(ResourceSet& s);

namespace {

// A resource set with its data kept followed by a zero byte, so readers of
// zero-ended text never run past the end.
struct Layer {
  ResourceSet set;
  std::map<std::pair<std::string, int>, std::vector<uint8_t>> padded;

  explicit Layer(ResourceSet s) : set(std::move(s)) {
    for (const auto& [key, bytes] : set.data) {
      std::vector<uint8_t> p = bytes;
      p.push_back(0);
      padded.emplace(key, std::move(p));
    }
  }
};

struct ResState {
  std::vector<std::unique_ptr<Layer>> overlays;   // newest last
  std::unordered_map<uint32_t, Surface> icons;
};

ResState& resState() {
  static ResState s;
  return s;
}

const Layer& builtin() {
  static const Layer layer([] {
    ResourceSet s;
    fillBuiltinResources(s);
    return s;
  }());
  return layer;
}

template <class F>
auto search(F&& f) -> decltype(f(builtin())) {
  auto& ov = resState().overlays;
  for (auto it = ov.rbegin(); it != ov.rend(); ++it)
    if (auto r = f(**it)) return r;
  return f(builtin());
}

template <class Map, class Key>
auto findIn(const Map& m, const Key& k) -> const typename Map::mapped_type* {
  auto it = m.find(k);
  return it == m.end() ? nullptr : &it->second;
}

}  // namespace

const ResourceSet& builtinResources() { return builtin().set; }

const MenuTemplate* findMenu(int id) {
  return search([&](const Layer& l) { return findIn(l.set.menus, id); });
}

const std::vector<Accel>* findAccelerators(int id) {
  return search([&](const Layer& l) { return findIn(l.set.accelerators, id); });
}

bool loadString(int id, std::string& out) {
  const std::string* s = search([&](const Layer& l) { return findIn(l.set.strings, id); });
  if (!s) return false;
  out = *s;
  return true;
}

std::span<const uint8_t> findData(std::string_view type, int id) {
  const std::pair<std::string, int> key{detail::upper(type), id};
  const std::vector<uint8_t>* p = search([&](const Layer& l) { return findIn(l.padded, key); });
  if (!p) return {};
  return std::span<const uint8_t>(p->data(), p->size() - 1);
}

bool hasData(std::string_view type, int id) {
  const std::pair<std::string, int> key{detail::upper(type), id};
  return search([&](const Layer& l) { return findIn(l.padded, key); }) != nullptr;
}

const Surface* findBitmap(int id) {
  return search([&](const Layer& l) { return findIn(l.set.bitmaps, id); });
}

const Surface* findBitmap(std::string_view name) {
  const std::string key = detail::upper(name);
  return search([&](const Layer& l) { return findIn(l.set.namedBitmaps, key); });
}

const Surface* findIcon(int id) {
  return search([&](const Layer& l) { return findIn(l.set.icons, id); });
}

const Surface* findIcon(std::string_view name) {
  const std::string key = detail::upper(name);
  return search([&](const Layer& l) { return findIn(l.set.namedIcons, key); });
}

const DialogTemplate* findDialog(int id) {
  return search([&](const Layer& l) { return findIn(l.set.dialogs, id); });
}

void pushOverlay(std::string_view text, std::string_view sourceName, std::string_view baseDir) {
  ResourceSet set;
  std::vector<ParseError> errors;
  if (!parseResources(text, sourceName, baseDir, set, errors))
    throw ResourceError(errors.empty() ? std::string(sourceName) + ": resource error" : errors.front().text());
  resState().overlays.push_back(std::make_unique<Layer>(std::move(set)));
}

void popOverlay() {
  auto& ov = resState().overlays;
  if (!ov.empty()) ov.pop_back();
}

void clearOverlays() { resState().overlays.clear(); }

}  // namespace plat::res

namespace plat {

namespace {
Hicon keepIcon(const Surface* img) {
  if (!img) return {};
  Hicon h{detail::newHandleValue()};
  res::resState().icons.emplace(h.value, *img);
  return h;
}
}  // namespace

Hicon loadIcon(int resourceId) { return keepIcon(res::findIcon(resourceId)); }
Hicon loadIcon(std::string_view name) { return keepIcon(res::findIcon(name)); }

const Surface* iconImage(Hicon icon) {
  auto& m = res::resState().icons;
  auto it = m.find(icon.value);
  return it == m.end() ? nullptr : &it->second;
}

bool destroyIcon(Hicon icon) { return res::resState().icons.erase(icon.value) > 0; }

namespace detail {
void resetResources() { res::resState() = res::ResState{}; }
int iconCount() { return static_cast<int>(res::resState().icons.size()); }
}  // namespace detail

}  // namespace plat
