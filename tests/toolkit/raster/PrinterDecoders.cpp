#include "PrinterDecoders.h"

#include <algorithm>
#include <cstdlib>

namespace rastertest {

namespace {

constexpr char ESC = 27;

uint8_t At(std::string_view s, size_t i) { return static_cast<uint8_t>(s[i]); }

}  // namespace

bool Dot(const std::string& bytes, int32_t i) {
  const size_t k = static_cast<size_t>(i / 8);
  return k < bytes.size() && ((static_cast<uint8_t>(bytes[k]) >> (7 - i % 8)) & 1u) != 0;
}

bool UnpackBits(std::string_view packed, std::string& out) {
  out.clear();
  for (size_t i = 0; i < packed.size();) {
    const int n = static_cast<int8_t>(packed[i++]);
    if (n >= 0) {
      if (i + static_cast<size_t>(n) + 1 > packed.size()) return false;
      out.append(packed.substr(i, static_cast<size_t>(n) + 1));
      i += static_cast<size_t>(n) + 1;
    } else if (n != -128) {
      if (i >= packed.size()) return false;
      out.append(static_cast<size_t>(1 - n), packed[i++]);
    }
  }
  return true;
}

bool UnpackRunLength(std::string_view packed, std::string& out) {
  out.clear();
  if (packed.size() % 2 != 0) return false;
  for (size_t i = 0; i < packed.size(); i += 2) out.append(static_cast<size_t>(At(packed, i)) + 1, packed[i + 1]);
  return true;
}

PclPage DecodePcl(std::string_view s) {
  PclPage page;
  int32_t compression = 0;
  std::vector<std::string> planes;
  size_t i = 0;
  while (i < s.size()) {
    if (s[i] != ESC) {
      page.error = "byte outside a command at " + std::to_string(i);
      return page;
    }
    if (i + 1 >= s.size()) {
      page.error = "lone escape";
      return page;
    }
    const char c = s[i + 1];
    if (c < 33 || c > 47) {  // two-character command
      page.commands.push_back({std::string(1, c), 0});
      i += 2;
      continue;
    }
    if (i + 2 >= s.size()) {
      page.error = "cut command";
      return page;
    }
    const char group = s[i + 2];
    i += 3;
    for (;;) {
      size_t start = i;
      if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
      while (i < s.size() && ((s[i] >= '0' && s[i] <= '9') || s[i] == '.')) ++i;
      const int64_t value = i > start ? std::strtoll(std::string(s.substr(start, i - start)).c_str(), nullptr, 10) : 0;
      if (i >= s.size()) {
        page.error = "command without its letter";
        return page;
      }
      const char p = s[i++];
      const bool last = p >= 64 && p <= 94;
      const char upper = last ? p : static_cast<char>(p - 32);
      std::string name{c, group, upper};
      page.commands.push_back({name, value});
      if (name == "*bM") compression = static_cast<int32_t>(value);
      if (name == "*bW" || name == "*bV") {
        if (i + static_cast<size_t>(value) > s.size()) {
          page.error = "row data past the end";
          return page;
        }
        const std::string_view data = s.substr(i, static_cast<size_t>(value));
        i += static_cast<size_t>(value);
        std::string row;
        const bool ok = compression == 0   ? (row = std::string(data), true)
                        : compression == 1 ? UnpackRunLength(data, row)
                                           : UnpackBits(data, row);
        if (!ok) {
          page.error = "bad packed row";
          return page;
        }
        planes.push_back(row);
        if (name == "*bW") {
          page.rows.push_back(planes);
          planes.clear();
        }
      }
      if (last) break;
    }
  }
  return page;
}

InkJetPage DecodeInkJet(std::string_view s) {
  InkJetPage page;
  int32_t y = 0, colour = -1, left = 0;
  size_t i = 0;
  auto need = [&](size_t n) {
    if (i + n > s.size()) {
      page.error = "cut command at " + std::to_string(i);
      return false;
    }
    return true;
  };
  while (i < s.size()) {
    const char b = s[i];
    if (b == '\r' || b == '\f') {
      ++i;
      continue;
    }
    if (b != ESC || !need(2)) {
      if (page.error.empty()) page.error = "byte outside a command at " + std::to_string(i);
      return page;
    }
    const char c = s[i + 1];
    i += 2;
    if (c == '@') {
      page.commands.push_back({"@", 0});
    } else if (c == '(') {
      if (!need(3)) return page;
      const char sub = s[i];
      const size_t n = At(s, i + 1) + 256u * At(s, i + 2);
      i += 3;
      if (!need(n)) return page;
      int64_t v = 0;
      for (size_t k = 0; k < n; ++k) v |= int64_t{At(s, i + k)} << (8 * k);
      if (sub == 'v') v = static_cast<int16_t>(v);
      page.commands.push_back({std::string("(") + sub, v});
      if (sub == 'V') y = 0;
      if (sub == 'v') y += static_cast<int32_t>(v);
      i += n;
    } else if (c == '\\') {
      if (!need(2)) return page;
      left = At(s, i) + 256 * At(s, i + 1);
      page.commands.push_back({"\\", left});
      i += 2;
    } else if (c == 'r') {
      if (!need(1)) return page;
      colour = At(s, i++);
      page.commands.push_back({"r", colour});
    } else if (c == '.') {
      if (!need(6)) return page;
      InkJetRow row;
      row.compression = At(s, i);
      const int32_t lines = At(s, i + 3);
      row.columns = At(s, i + 4) + 256 * At(s, i + 5);
      i += 6;
      const size_t want = static_cast<size_t>((row.columns + 7) / 8) * static_cast<size_t>(lines);
      if (row.compression == 0) {
        if (!need(want)) return page;
        row.bytes = std::string(s.substr(i, want));
        i += want;
      } else {
        // Runs until the row's bytes are there.
        while (row.bytes.size() < want) {
          if (!need(1)) return page;
          const int n = static_cast<int8_t>(s[i++]);
          if (n >= 0) {
            if (!need(static_cast<size_t>(n) + 1)) return page;
            row.bytes.append(s.substr(i, static_cast<size_t>(n) + 1));
            i += static_cast<size_t>(n) + 1;
          } else {
            if (!need(1)) return page;
            row.bytes.append(static_cast<size_t>(1 - n), s[i++]);
          }
        }
        if (row.bytes.size() != want) {
          page.error = "packed row longer than its columns";
          return page;
        }
      }
      row.y = y;
      row.colour = colour;
      row.left = left;
      page.commands.push_back({".", row.columns});
      page.rows.push_back(row);
    } else {
      page.error = std::string("unknown command ") + c;
      return page;
    }
  }
  return page;
}

DotMatrixPage DecodeDotMatrix(std::string_view s) {
  DotMatrixPage page;
  int64_t position = 0, spacing = 36;
  int32_t colour = -1;
  bool rowOpen = false;  // the last row waits for its line end
  size_t i = 0;
  auto need = [&](size_t n) {
    if (i + n > s.size()) {
      page.error = "cut command at " + std::to_string(i);
      return false;
    }
    return true;
  };
  auto graphics = [&](size_t bytes, int32_t perColumn) {
    if (!need(bytes)) return false;
    DotRow row;
    row.position = position;
    row.colour = colour;
    row.bytesPerColumn = perColumn;
    for (size_t k = 0; k < bytes; k += static_cast<size_t>(perColumn)) {
      std::string column(s.substr(i + k, std::min<size_t>(static_cast<size_t>(perColumn), bytes - k)));
      column.resize(static_cast<size_t>(perColumn), '\0');
      row.columns.push_back(column);
    }
    i += bytes;
    page.rows.push_back(row);
    rowOpen = true;
    return true;
  };
  while (i < s.size()) {
    const char b = s[i];
    if (b == '\r') {
      ++i;
      if (i < s.size() && s[i] == '\n') {
        ++i;
        if (rowOpen) page.rows.back().lineFeed = true;
        position += spacing;
      }
      rowOpen = false;
      continue;
    }
    if (b == '\n') {
      ++i;
      position += spacing;
      continue;
    }
    if (b == '\f') {
      page.commands.push_back({"FF", 0});
      ++i;
      continue;
    }
    if (b != ESC || !need(2)) {
      if (page.error.empty()) page.error = "byte outside a command at " + std::to_string(i);
      return page;
    }
    const char c = s[i + 1];
    i += 2;
    switch (c) {
      case 'U':
      case 'J':
      case '3':
      case 'r': {
        if (!need(1)) return page;
        const int32_t v = At(s, i++);
        page.commands.push_back({std::string(1, c), v});
        if (c == 'J') position += v;
        if (c == '3') spacing = v;
        if (c == 'r') colour = v;
        break;
      }
      case '2':
        spacing = 36;
        page.commands.push_back({"2", 0});
        break;
      case '@': page.commands.push_back({"@", 0}); break;
      case 'K':
      case 'L':
      case 'Y':
      case 'Z': {
        if (!need(2)) return page;
        const size_t n = At(s, i) + 256u * At(s, i + 1);
        i += 2;
        page.commands.push_back({std::string(1, c), static_cast<int64_t>(n)});
        if (!graphics(n, 1)) return page;
        break;
      }
      case '*': {
        if (!need(3)) return page;
        const int32_t mode = At(s, i);
        const size_t n = At(s, i + 1) + 256u * At(s, i + 2);
        i += 3;
        const int32_t perColumn = mode >= 32 ? 3 : 1;
        page.commands.push_back({"*" + std::to_string(mode), static_cast<int64_t>(n)});
        if (!graphics(n * static_cast<size_t>(perColumn), perColumn)) return page;
        break;
      }
      case '[': {
        if (!need(4) || s[i] != 'g') {
          page.error = "unknown ESC [ command";
          return page;
        }
        const size_t n = At(s, i + 1) + 256u * At(s, i + 2);
        const int32_t mode = At(s, i + 3);
        i += 4;
        page.commands.push_back({"[g" + std::to_string(mode), static_cast<int64_t>(n)});
        if (n < 1 || !graphics(n - 1, 3)) return page;
        break;
      }
      default: page.error = std::string("unknown command ") + c; return page;
    }
  }
  return page;
}

std::vector<std::vector<bool>> DotMatrixLines(const DotMatrixPage& page) {
  struct Placed {
    size_t band, pass;
  };
  std::vector<Placed> placed;
  size_t band = 0, pass = 0, passes = 1, pins = 8, dots = 0;
  for (size_t q = 0; q < page.rows.size(); ++q) {
    const DotRow& row = page.rows[q];
    if (q > 0) {
      if (row.position == page.rows[q - 1].position + 1) {
        ++pass;
      } else {
        ++band;
        pass = 0;
      }
    }
    passes = std::max(passes, pass + 1);
    pins = static_cast<size_t>(row.bytesPerColumn) * 8;
    dots = std::max(dots, row.columns.size());
    placed.push_back({band, pass});
  }
  std::vector<std::vector<bool>> lines(page.rows.empty() ? 0 : (band + 1) * pins * passes, std::vector<bool>(dots));
  for (size_t q = 0; q < page.rows.size(); ++q) {
    const DotRow& row = page.rows[q];
    for (size_t x = 0; x < row.columns.size(); ++x)
      for (size_t pin = 0; pin < pins; ++pin) {
        const auto byte = static_cast<uint8_t>(row.columns[x][pin / 8]);
        if (((byte >> (7 - pin % 8)) & 1u) != 0)
          lines[placed[q].band * pins * passes + placed[q].pass + pin * passes][x] = true;
      }
  }
  return lines;
}

}  // namespace rastertest
