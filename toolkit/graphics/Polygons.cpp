#include "toolkit/graphics/Polygons.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "VOZUVar/NumericHelpers.h"
#include "toolkit/core/ErrorReporter.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsArea.h"

namespace {

struct Decomposer {
  std::span<const float> x, y;
  int32_t n;
  std::vector<int32_t> mark;  // 0 untested, -1 reflex, -2 removed, k > 0 blocked by k

  int32_t Next(int32_t v) const { return v + 1 < n ? v + 1 : 0; }
  int32_t Prev(int32_t v) const { return v > 0 ? v - 1 : n - 1; }
  bool Same(int32_t a, int32_t b) const { return x[a] == x[b] && y[a] == y[b]; }

  // True when d blocks the ear (a, b, c).
  bool Blocks(int32_t a, int32_t b, int32_t c, int32_t d) const {
    const float e = 1.0f / 8388608.0f;  // 2^-23
    float xmin = std::min({x[a], x[b], x[c]}), xmax = std::max({x[a], x[b], x[c]});
    float ymin = std::min({y[a], y[b], y[c]}), ymax = std::max({y[a], y[b], y[c]});
    xmin -= std::fabs(xmin) * e;
    xmax += std::fabs(xmax) * e;
    ymin -= std::fabs(ymin) * e;
    ymax += std::fabs(ymax) * e;
    const float dx = x[d], dy = y[d];
    if (!(dx > xmin && dx < xmax && dy > ymin && dy < ymax)) return false;
    const int32_t edges[3][2] = {{a, b}, {b, c}, {c, a}};
    for (const auto& ed : edges) {
      const int32_t p = ed[0], q = ed[1];
      if (x[p] == dx && x[q] == dx)
        return dy >= std::min(y[p], y[q]) && dy <= std::max(y[p], y[q]);
      if (y[p] == dy && y[q] == dy)
        return dx >= std::min(x[p], x[q]) && dx <= std::max(x[p], x[q]);
    }
    auto differ = [&](int32_t v, int32_t u, int32_t w) {
      const float vx = dx - x[v], vy = dy - y[v];
      const float c1 = vx * (y[u] - y[v]) - vy * (x[u] - x[v]);
      const float c2 = vx * (y[w] - y[v]) - vy * (x[w] - x[v]);
      return (c1 < 0.0f) != (c2 < 0.0f);
    };
    return differ(a, c, b) && differ(b, c, a) && differ(c, a, b);
  }

  // One attempt from start s; true when it completed.
  bool Attempt(int32_t s, std::span<int32_t> tri, int32_t& count) {
    std::fill(mark.begin(), mark.end(), 0);
    count = 0;
    int32_t i = -1;
    {
      int32_t v = s;
      for (int32_t k = 0; k < n - 2; ++k) {
        v = Next(v);
        if (!Same(v, s)) {
          i = v;
          break;
        }
      }
    }
    if (i < 0) return true;  // all vertices coincide: nothing to do
    int32_t j = -1;
    for (int32_t v = Prev(s); v != i; v = Prev(v)) {
      if (!Same(v, s)) {
        j = v;
        break;
      }
    }
    if (j < 0) return true;
    const bool clockwise =
        (y[s] - y[j]) * (x[i] - x[s]) > (x[s] - x[j]) * (y[i] - y[s]);

    int32_t a = s, b = i;
    int32_t pass = n, remaining = n;
    for (;;) {
      // Find c: the next vertex still in the polygon that differs from b.
      int32_t c = Next(b);
      for (int32_t skipped = 0; skipped < n - 2 && c != a; ++skipped) {
        if (mark[c] == -2) {
          c = Next(c);
        } else if (Same(c, b)) {
          mark[c] = -2;
          c = Next(c);
        } else {
          break;
        }
      }
      if (c == a) return true;

      bool ear = true;
      int32_t& mb = mark[b];
      if (mb == -1 || (mb > 0 && mark[mb - 1] != -2)) {
        ear = false;
      } else {
        if (mb > 0) mb = 0;
        const float q = (y[b] - y[a]) * (x[c] - x[b]);
        const float p = (x[b] - x[a]) * (y[c] - y[b]);
        const bool convex = clockwise ? q > p : q <= p;
        if (!convex) {
          mb = -1;
          ear = false;
        } else {
          int32_t d = Next(c);
          for (int32_t k = 0; k < n && d != a; ++k, d = Next(d)) {
            if (Blocks(a, b, c, d)) {
              mb = d + 1;
              ear = false;
              break;
            }
          }
        }
      }
      if (ear) {
        if (3 * count + 2 < static_cast<int32_t>(tri.size())) {
          tri[3 * count] = a + 1;
          tri[3 * count + 1] = b + 1;
          tri[3 * count + 2] = c + 1;
          ++count;
        }
        mark[b] = -2;
        mark[a] = 0;
        mark[c] = 0;
        if (--remaining == 0) return true;
        pass = n;
        b = c;
      } else {
        if (--pass <= 0) return false;
        a = b;
        b = c;
      }
    }
  }
};

int32_t Channel(int32_t colour, int shift) { return (colour >> shift) & 0xFF; }

}  // namespace

void YYPolygonDecompose(std::span<const float> x, std::span<const float> y, int32_t n,
                        std::span<int32_t> triangles, int32_t& count) {
  count = 0;
  n = std::min<int32_t>(n, static_cast<int32_t>(std::min(x.size(), y.size())));
  if (n < 3) return;
  Decomposer dc{x, y, n, std::vector<int32_t>(static_cast<size_t>(n), 0)};
  int32_t top = 0;
  for (int32_t v = 1; v < n; ++v)
    if (y[v] > y[top]) top = v;
  int32_t s = top;
  for (int32_t attempt = 0; attempt <= n; ++attempt) {
    if (dc.Attempt(s, triangles, count)) return;
    s = dc.Next(s);
  }
  YYERRREP(28, "YYPolygonDecompose");
}

void YYShadedTriangleFill(const int32_t* triangle, int32_t left, int32_t top, int32_t right,
                          int32_t bottom, ShadePixelRoutine pixel) {
  const DriverParamsRecord& p = DriverParams();
  int32_t vx[3], vy[3];
  float col[3][3];
  for (int k = 0; k < 3; ++k) {
    const int32_t v = triangle[k] - 1;
    if (v < 0 || v >= kShadedMaxVertices) return;
    vx[k] = p.ShadedX[v];
    vy[k] = p.ShadedRow[v];
    for (int c = 0; c < 3; ++c) col[k][c] = Channel(p.ShadedColour[v], 8 * c) / 255.0f;
  }
  int32_t ymin = std::min({vy[0], vy[1], vy[2]}), ymax = std::max({vy[0], vy[1], vy[2]});
  if (ymin > bottom || ymax < top) return;
  ymin = std::max(ymin, top);
  ymax = std::min(ymax, bottom);
  const int edges[3][2] = {{2, 0}, {0, 1}, {1, 2}};
  for (int32_t row = ymin; row <= ymax; ++row) {
    int32_t lx = right + 1, rx = left - 1;
    float lc[3] = {0, 0, 0}, rc[3] = {0, 0, 0};
    for (const auto& e : edges) {
      const int a = e[0], b = e[1];
      if (vy[a] == vy[b]) continue;
      if (row < std::min(vy[a], vy[b]) || row > std::max(vy[a], vy[b])) continue;
      // corners may lie anywhere in 32 bits: differences in 64
      const float t = static_cast<float>(int64_t{row} - vy[a]) / static_cast<float>(int64_t{vy[b]} - vy[a]);
      const int32_t cx = TruncSaturated(vx[b] * t + vx[a] * (1.0f - t) + 0.5f);
      float cc[3];
      for (int c = 0; c < 3; ++c) cc[c] = col[b][c] * t + col[a][c] * (1.0f - t);
      if (cx < lx) {
        lx = cx;
        std::copy(cc, cc + 3, lc);
      }
      if (cx > rx) {
        rx = cx;
        std::copy(cc, cc + 3, rc);
      }
    }
    if (lx > right || rx < left) continue;
    float step[3] = {0, 0, 0};
    if (rx > lx)
      for (int c = 0; c < 3; ++c) step[c] = (rc[c] - lc[c]) / static_cast<float>(int64_t{rx} - lx);
    const int32_t from = std::max(lx, left), to = std::min(rx, right);
    float cur[3];
    for (int c = 0; c < 3; ++c) cur[c] = lc[c] + static_cast<float>(int64_t{from} - lx) * step[c];
    for (int32_t xx = from; xx <= to; ++xx) {
      pixel(xx, row,
            TruncSaturated(cur[0] * 255.99f) + 256 * TruncSaturated(cur[1] * 255.99f) +
                65536 * TruncSaturated(cur[2] * 255.99f));
      for (int c = 0; c < 3; ++c) cur[c] += step[c];
    }
  }
}

void YYShadedPolygon(int32_t mode, int32_t left, int32_t top, int32_t right, int32_t bottom,
                     ShadePixelRoutine pixel, ShadeTriangleRoutine triangle) {
  DriverParamsRecord& p = DriverParams();
  int32_t n = p.ShadedVertexCount;
  // The block holds at most 1000 vertices; the page-unit lists must match.
  if (n < 3 || n > kShadedMaxVertices) return;
  if (static_cast<int32_t>(p.PointListX.size()) < n || static_cast<int32_t>(p.PointListY.size()) < n)
    return;
  auto same = [&](int32_t a, int32_t b) {
    return p.ShadedX[a] == p.ShadedX[b] && p.ShadedRow[a] == p.ShadedRow[b];
  };
  auto remove = [&](int32_t i) {
    for (int32_t k = i; k + 1 < n; ++k) {
      p.ShadedX[k] = p.ShadedX[k + 1];
      p.ShadedRow[k] = p.ShadedRow[k + 1];
      p.ShadedColour[k] = p.ShadedColour[k + 1];
      p.PointListX[k] = p.PointListX[k + 1];
      p.PointListY[k] = p.PointListY[k + 1];
    }
    --n;
  };
  int32_t sum[3] = {0, 0, 0}, run = 0;
  auto average = [&](int32_t i) {
    p.ShadedColour[i] = sum[0] / run + 256 * (sum[1] / run) + 65536 * (sum[2] / run);
    sum[0] = sum[1] = sum[2] = 0;
    run = 0;
  };
  for (int32_t i = 0; i < n - 1;) {
    if (same(i, i + 1)) {
      if (n == 3) return;
      if (run == 0) {
        for (int c = 0; c < 3; ++c) sum[c] += Channel(p.ShadedColour[i], 8 * c);
        run = 1;
      }
      for (int c = 0; c < 3; ++c) sum[c] += Channel(p.ShadedColour[i + 1], 8 * c);
      ++run;
      remove(i);
    } else {
      if (run > 0) average(i);
      ++i;
    }
  }
  if (run > 0) average(n - 1);
  if (same(0, n - 1)) {
    if (n == 3) return;
    int32_t c = 0;
    for (int k = 0; k < 3; ++k)
      c += ((Channel(p.ShadedColour[0], 8 * k) + Channel(p.ShadedColour[n - 1], 8 * k)) / 2) << (8 * k);
    p.ShadedColour[0] = c;
    --n;
  }
  p.ShadedVertexCount = n;
  if (n < 3) return;
  if (n == 3) {
    const int32_t tri[3] = {1, 2, 3};
    if (mode == 2 && triangle) {
      int32_t status = 1;
      triangle(p.ShadedX.data(), p.ShadedRow.data(), p.ShadedColour.data(), tri, 3, 1, status);
      if (status == 0) return;
    }
    YYShadedTriangleFill(tri, left, top, right, bottom, pixel);
    return;
  }
  int32_t count = 0;
  YYPolygonDecompose(std::span<const float>(p.PointListX.data(), static_cast<size_t>(n)),
                     std::span<const float>(p.PointListY.data(), static_cast<size_t>(n)), n,
                     p.ShadedTriangles, count);
  p.ShadedTriangleCount = count;
  if (count == 0) return;
  if (mode == 2 && triangle) {
    int32_t status = 1;
    triangle(p.ShadedX.data(), p.ShadedRow.data(), p.ShadedColour.data(),
             p.ShadedTriangles.data(), n, count, status);
    if (status == 0) return;
  }
  for (int32_t t = 0; t < count; ++t)
    YYShadedTriangleFill(&p.ShadedTriangles[3 * t], left, top, right, bottom, pixel);
}
