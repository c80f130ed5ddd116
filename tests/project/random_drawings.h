// Random drawings for comparing plain-cutting preparations: letter-like
// star polygons with holes, lead-in lines, touching squares, tiles, parents
// of many children, regular grids of one letter, and a line doubling back
// on itself with a point on it.
#pragma once

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "ciecie_fixture.h"

namespace vm::test {

// A closed star-shaped polygon (simple: vertices by rising angle) of radius
// between rMin and rMax about (cx, cy).
inline Polyline Star(std::mt19937& rng, int cx, int cy, double rMin, double rMax, int n) {
  std::uniform_real_distribution<double> radius(rMin, rMax);
  Polyline p;
  for (int k = 0; k < n; ++k) {
    const double a = 2 * 3.141592653589793 * k / n;
    const double r = radius(rng);
    p.push_back({cx + int(std::lround(r * std::cos(a))), cy + int(std::lround(r * std::sin(a)))});
  }
  p.push_back(p.front());
  return p;
}

inline Polyline Moved(const Polyline& p, int dx, int dy) {
  Polyline q = p;
  for (auto& pt : q) pt = {pt.X + dx, pt.Y + dy};
  return q;
}

// Copies of one letter (and its hole) on a grid with gaps: many pairs score
// the same, so the order among equal scores decides.
inline std::vector<Polyline> RegularDrawing(std::mt19937& rng) {
  std::uniform_int_distribution<int> verts(4, 12), pct(0, 99), side(3, 7);
  const bool squares = pct(rng) < 50;
  const Polyline letter =
      squares ? Rect(-500, -500, 500, 500) : Star(rng, 0, 0, 400, 600, verts(rng));
  const Polyline hole =
      squares ? Rect(-150, -150, 150, 150) : Star(rng, 0, 0, 100, 200, verts(rng));
  const int spacing = pct(rng) < 50 ? 1500 : 2000;
  const int cols = side(rng), rows = side(rng);
  std::vector<Polyline> figs;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) {
      if (pct(rng) < 15) continue;
      figs.push_back(Moved(letter, c * spacing, r * spacing));
      if (pct(rng) < 60) figs.push_back(Moved(hole, c * spacing, r * spacing));
    }
  if (pct(rng) < 50) figs.push_back(Rect(-1000, -1000, cols * spacing, rows * spacing));
  return figs;
}

inline std::vector<Polyline> RandomDrawing(std::mt19937& rng) {
  std::uniform_int_distribution<int> pos(0, 20000), groups(2, 30), verts(4, 14), pct(0, 99);
  if (pct(rng) < 40) return RegularDrawing(rng);
  std::vector<Polyline> figs;
  const int g = groups(rng);
  for (int k = 0; k < g; ++k) {
    const int cx = pos(rng), cy = pos(rng);
    const double r = 300 + pct(rng) * 5;
    Polyline letter = Star(rng, cx, cy, 0.6 * r, r, verts(rng));
    if (pct(rng) < 50) figs.push_back(Star(rng, cx, cy, 0.1 * r, 0.4 * r, verts(rng)));
    if (pct(rng) < 15) {
      // A small square touching one of the letter's vertices.
      const TPointI v = letter[1];
      const int d = 1 + pct(rng) % 11;
      figs.push_back(Rect(v.X + d, v.Y - d, v.X + 60, v.Y + 60));
    }
    figs.push_back(letter);
    // A lead-in line ending on one of the letter's vertices.
    if (pct(rng) < 10) figs.push_back({{letter[2].X - 1500, letter[2].Y - 700}, letter[2]});
    if (pct(rng) < 20)
      figs.push_back({{cx - 2000, cy}, {cx - 1500, cy + 300}, {cx - 1000, cy - 100}});
  }
  if (pct(rng) < 30) {
    // A parent with many children, so the candidate search of many children runs.
    const int cx = pos(rng), cy = pos(rng);
    figs.push_back({{cx, cy},
                    {cx + 6000, cy},
                    {cx + 6000, cy + 6000},
                    {cx + 3000, cy + 6500},
                    {cx, cy + 6000},
                    {cx, cy}});
    for (int k = 0; k < 22 + pct(rng) % 6; ++k)
      figs.push_back(Rect(cx + 200 + (k % 6) * 900, cy + 200 + (k / 6) * 1200,
                          cx + 700 + (k % 6) * 900, cy + 900 + (k / 6) * 1200));
  }
  if (pct(rng) < 30) {
    // Tiles sharing their edges: all reached by contact, one from another.
    // Gaps of up to 11 units: some touch, some do not.
    const int x = pos(rng), y = pos(rng), cols = 2 + pct(rng) % 8, rows = 1 + pct(rng) % 4;
    const int gap = pct(rng) % 12, p = 500 + gap;
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < cols; ++c)
        figs.push_back(Rect(x + c * p, y + r * p, x + c * p + 500, y + r * p + 500));
  }
  if (pct(rng) < 30) {
    // A line that doubles back on itself and a point on it, 20 units from its
    // nearest vertex: every cut the crossing walk tries between the two runs
    // along the line, so the search has to give that pair up.
    const int x = pos(rng), y = pos(rng);
    figs.push_back({{x, y}, {x + 100, y}, {x + 50, y}, {x + 150, y}});
    figs.push_back({{x + 120, y}});
  }
  if (pct(rng) < 25) figs.push_back(Rect(-1000, -1000, 40000, 40000));
  std::shuffle(figs.begin(), figs.end(), rng);
  return figs;
}

}  // namespace vm::test
