// Checks a written plain-cutting job against its drawing: the job is decoded
// (the emulator's decoder), its moves are laid over the drawn figures, and
// the check reports every drawn edge the wire never cuts and every move off
// the drawn edges (a connector, the frame, the start point) that passes
// through a drawn figure away from its own ends.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "drawing/figury.h"
#include "project/okno_plt.h"
#include "sim/job_decoder.h"

namespace vm::test {

struct MPoint {
  std::int64_t x = 0, y = 0;
  friend bool operator==(const MPoint&, const MPoint&) = default;
  friend auto operator<=>(const MPoint&, const MPoint&) = default;
};

// A drawing point in machine units (1/100 mm) from the project's lower-left
// corner, at scale 100 % and no calibration, as the job writer rounds it.
inline MPoint ToMachine(const TMDIChild& w, TPointI p) {
  auto axis = [](double units) {
    return static_cast<std::int64_t>(std::nearbyint(units * 1000.0 / 40000.0 * 100));
  };
  return {axis(double(p.X) - w.MinX), axis(double(p.Y) - w.MinY)};
}

// Where segment s meets segment e, as a parameter range [t0, t1] along s
// (t1 < t0: they do not meet). Doubles: the check needs no exactness beyond
// its tolerance.
inline std::pair<double, double> MeetRange(MPoint s0, MPoint s1, MPoint e0, MPoint e1) {
  const double dx = double(s1.x - s0.x), dy = double(s1.y - s0.y);
  const double ex = double(e1.x - e0.x), ey = double(e1.y - e0.y);
  const double len2 = dx * dx + dy * dy;
  const double denom = dx * ey - dy * ex;
  const double qx = double(e0.x - s0.x), qy = double(e0.y - s0.y);
  if (denom == 0) {
    if (qx * dy - qy * dx != 0) return {1, 0};  // parallel, apart
    // On one line: the overlap of the two along s.
    const double a = (qx * dx + qy * dy) / len2;
    const double b = (double(e1.x - s0.x) * dx + double(e1.y - s0.y) * dy) / len2;
    return {std::max(0.0, std::min(a, b)), std::min(1.0, std::max(a, b))};
  }
  const double t = (qx * ey - qy * ex) / denom;
  const double u = (qx * dy - qy * dx) / denom;
  if (t < 0 || t > 1 || u < 0 || u > 1) return {1, 0};
  return {t, t};
}

inline std::int64_t Apart(MPoint a, MPoint b) {
  return std::max(std::abs(a.x - b.x), std::abs(a.y - b.y));
}

// Problems of a job written from the prepared project w (scale 100 %, no
// calibration): empty when the job cuts every drawn edge and every other move
// meets the drawn figures only within `tolerance` machine units of its ends.
// A figure joined where it touches another is entered from the other's
// vertex, up to the contact tolerance (10 units, 25 machine units) away, so
// an edge counts as cut by a move whose ends lie that close to its own.
inline QStringList JobProblems(const TMDIChild& w, const QByteArray& job, double tolerance = 26.0) {
  QStringList problems;
  const sim::JobDecodeResult decoded = sim::DecodeJob(job);
  if (!decoded.ok()) return {QStringLiteral("job does not decode: ") + decoded.error};
  const tfigura& first = *w.Figures.at(static_cast<std::size_t>(w.FirstFigure));
  MPoint at = ToMachine(w, first.Points.at(static_cast<std::size_t>(first.EntryVertex)));
  std::vector<std::pair<MPoint, MPoint>> moves;
  std::vector<MPoint> visited{at};
  for (const sim::JobCommand& c : decoded.commands) {
    if (c.letter != 'a' || (c.dx == 0 && c.dy == 0)) continue;
    const MPoint to{at.x + c.dx, at.y + c.dy};
    moves.emplace_back(at, to);
    visited.push_back(to);
    at = to;
  }
  // Moves by the cell of each end, to find those that run between two points.
  const auto near = static_cast<std::int64_t>(std::ceil(tolerance));
  const std::int64_t cell = 4 * near;
  auto cellOf = [&](MPoint p) {
    return std::pair{p.x >= 0 ? p.x / cell : -((-p.x + cell - 1) / cell),
                     p.y >= 0 ? p.y / cell : -((-p.y + cell - 1) / cell)};
  };
  std::multimap<std::pair<std::int64_t, std::int64_t>, std::size_t> byEnd;
  for (std::size_t k = 0; k < moves.size(); ++k) {
    byEnd.emplace(cellOf(moves[k].first), k);
    byEnd.emplace(cellOf(moves[k].second), k);
  }
  auto movesBetween = [&](MPoint a, MPoint b, auto&& fn) {
    const auto [cx, cy] = cellOf(a);
    for (std::int64_t dx = -1; dx <= 1; ++dx)
      for (std::int64_t dy = -1; dy <= 1; ++dy) {
        const auto range = byEnd.equal_range({cx + dx, cy + dy});
        for (auto it = range.first; it != range.second; ++it) {
          const auto& [s0, s1] = moves[it->second];
          if ((Apart(s0, a) <= near && Apart(s1, b) <= near) ||
              (Apart(s1, a) <= near && Apart(s0, b) <= near))
            fn(it->second);
        }
      }
  };

  struct Edge {
    MPoint a, b;
    int figure;
  };
  std::vector<Edge> edges;
  std::vector<char> alongDrawn(moves.size(), 0);
  for (int q = 0; q < w.FigureCount(); ++q) {
    const tfigura& f = *w.Figures[static_cast<std::size_t>(q)];
    if (f.Kind != 0) continue;
    const auto& p = f.Points;
    if (p.size() == 1) {
      const MPoint m = ToMachine(w, p[0]);
      if (std::none_of(visited.begin(), visited.end(),
                       [&](MPoint v) { return Apart(v, m) <= near; }))
        problems << QStringLiteral("point figure %1 not reached").arg(q);
    }
    std::vector<std::pair<TPointI, TPointI>> pairs;
    for (std::size_t k = 0; k + 1 < p.size(); ++k) pairs.emplace_back(p[k], p[k + 1]);
    if (f.typ == 1 && p.size() > 2 && p.back() != p.front())
      pairs.emplace_back(p.back(), p.front());
    for (const auto& [pa, pb] : pairs) {
      const MPoint a = ToMachine(w, pa), b = ToMachine(w, pb);
      edges.push_back({a, b, q});
      if (Apart(a, b) <= near) continue;  // too short to tell from a touch
      bool isCut = false;
      movesBetween(a, b, [&](std::size_t k) {
        isCut = true;
        alongDrawn[k] = 1;
      });
      if (!isCut)
        problems << QStringLiteral("edge (%1,%2)-(%3,%4) of figure %5 not cut")
                        .arg(pa.X)
                        .arg(pa.Y)
                        .arg(pb.X)
                        .arg(pb.Y)
                        .arg(q);
    }
  }
  for (std::size_t k = 0; k < moves.size(); ++k) {
    if (alongDrawn[k]) continue;
    const auto& [s0, s1] = moves[k];
    const double len = double(Apart(s0, s1));
    for (const Edge& e : edges) {
      const auto [t0, t1] = MeetRange(s0, s1, e.a, e.b);
      if (t1 < t0) continue;
      // Along the move the distance (in X or Y) from its start is t * len:
      // contact with the figure farther than the tolerance from both ends.
      const double a = tolerance / len;
      if (a < 0.5 && t1 > a && t0 < 1 - a) {
        problems << QStringLiteral("move (%1,%2)-(%3,%4) passes through figure %5")
                        .arg(s0.x)
                        .arg(s0.y)
                        .arg(s1.x)
                        .arg(s1.y)
                        .arg(e.figure);
        break;
      }
    }
  }
  return problems;
}

}  // namespace vm::test
