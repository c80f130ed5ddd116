// Walker of the plain-cutting tree (see cut_path.h).
#include "project/cut_path.h"

#include <algorithm>
#include <string>
#include <utility>

#include "drawing/errors.h"
#include "drawing/figury.h"
#include "project/okno_plt.h"

namespace vm {

namespace {

// One figure being walked. Vertices are counted in walking order ("virtual"
// numbering): for a figure walked reversed, walking vertex u is stored vertex
// n - u.
struct TWalkFrame {
  std::int32_t figure = 0;
  std::int32_t n = 0;  // point count - 1
  bool reversed = false;
  // An open figure entered at an inner vertex: cut to its last point, back
  // along it to its first point and on to the entry.
  bool inner = false;
  std::int32_t v = 0;      // current walking vertex
  std::int32_t start = 0;  // walking vertex where the walk began
  std::int32_t step = 0;   // +1 forward, -1 backward
  std::int32_t i = 0;      // step number
  std::int32_t steps = 0;
  // Figures hanging at the current vertex still to walk: [childPos, childEnd)
  // in the parent's sorted child list; childPos < 0 before they are looked up.
  std::int32_t childPos = -1;
  std::int32_t childEnd = 0;
  // The serial pass's steps are done; only the figures hanging at the vertex
  // it ended on are still to be walked.
  bool tail = false;

  std::int32_t Stored(std::int32_t u) const { return reversed ? n - u : u; }
};

// (LinkVertex, child index) of every figure hanging from one parent, sorted.
using TChildList = std::vector<std::pair<std::int32_t, std::int32_t>>;

class TWalker {
 public:
  TWalker(const TMDIChild& w, const TCutPathRules& rules) : w_(w), rules_(rules) {}

  TCutPath Run() {
    TCutPath path;
    const std::int32_t count = w_.FigureCount();
    if (count == 0) return path;
    const std::int32_t first = w_.FirstFigure;
    if (first < 0 || first >= count)
      throw RangeError("cutting path: first figure " + std::to_string(first) + " out of range");
    const tfigura& f = Fig(first);
    if (f.Points.empty()) return path;
    const std::int32_t entry = rules_.FirstEntry ? *rules_.FirstEntry : f.EntryVertex;
    CheckEntry(first, entry);
    BuildChildren();
    visited_.assign(static_cast<std::size_t>(count), false);
    visited_[static_cast<std::size_t>(first)] = true;
    path.FirstFigure = first;
    path.FirstEntry = entry;
    path.Start = f.Points[static_cast<std::size_t>(entry)];
    Walk(first, entry, path.Items);
    return path;
  }

 private:
  const tfigura& Fig(std::int32_t i) const { return *w_.Figures[static_cast<std::size_t>(i)]; }

  void CheckEntry(std::int32_t figure, std::int32_t entry) const {
    const auto n = static_cast<std::int32_t>(Fig(figure).Points.size());
    if (entry < 0 || entry >= n)
      throw RangeError("cutting path: entry vertex " + std::to_string(entry) + " of figure " +
                       std::to_string(figure) + " out of range");
  }

  void BuildChildren() {
    const std::int32_t count = w_.FigureCount();
    children_.assign(static_cast<std::size_t>(count), {});
    for (std::int32_t c = 0; c < count; ++c) {
      const tfigura& f = Fig(c);
      if (c == w_.FirstFigure || f.Unlinked) continue;
      if (f.LinkParent < 0 || f.LinkParent >= count || f.LinkParent == c) continue;
      children_[static_cast<std::size_t>(f.LinkParent)].emplace_back(f.LinkVertex, c);
    }
    for (auto& list : children_) std::sort(list.begin(), list.end());
  }

  TWalkFrame Begin(std::int32_t figure, std::int32_t entry) const {
    const tfigura& f = Fig(figure);
    const auto& p = f.Points;
    TWalkFrame fr;
    fr.figure = figure;
    fr.n = static_cast<std::int32_t>(p.size()) - 1;
    fr.step = 1;
    // The wire leaves the entry towards the neighbour with the larger Y
    // (equal Y goes forward); at either end the neighbours are points 1 and
    // n - 1, the first point being repeated at the end of a closed figure.
    if (fr.n > 1) {
      const bool atEnd = entry == 0 || entry == fr.n;
      const TPointI next = p[static_cast<std::size_t>(atEnd ? 1 : entry + 1)];
      const TPointI prev = p[static_cast<std::size_t>(atEnd ? fr.n - 1 : entry - 1)];
      if (next.Y < prev.Y) fr.step = -1;
    }
    fr.v = entry;
    // Open figures of more than two points are cut forward: one entered at
    // its last point is walked from there as if reversed. One entered at an
    // inner vertex is walked forward from it and comes back along the figure
    // at its end (taken in one straight line it would cut through the part).
    if (f.typ == 0 && p.size() > 2) {
      fr.step = 1;
      if (entry == fr.n) {
        fr.reversed = true;
        fr.v = 0;
      } else if (entry > 0) {
        fr.inner = true;
      }
    }
    fr.start = fr.v;
    fr.steps = Steps(fr, figure);
    return fr;
  }

  // n + 1 steps: a closed figure is cut all round back to its entry (one of
  // the steps joins its last point to the equal first point), an open one out
  // and back. A serial pass leaves out the step that would follow the last
  // cut: the return of the first figure when it is open, the closing step of
  // a closed figure when that step would be the joining one. Every other
  // figure of a serial pass is still cut all round or back to where it hangs,
  // so the wire never leaves a closed outline open or crosses the part from a
  // child to its parent's next vertex.
  std::int32_t Steps(const TWalkFrame& fr, std::int32_t figure) const {
    if (!rules_.Serial || fr.inner) return fr.n + 1;
    if (Fig(figure).typ == 0) return figure == w_.FirstFigure ? fr.n : fr.n + 1;
    const bool joinLast = (fr.step > 0 && fr.v == 0) || (fr.step < 0 && fr.v == fr.n);
    return joinLast ? fr.n : fr.n + 1;
  }

  void Walk(std::int32_t first, std::int32_t entry, std::vector<TCutItem>& out) {
    std::vector<TWalkFrame> stack;
    out.push_back(Item(TCutItem::Kind::Enter, first, entry));
    stack.push_back(Begin(first, entry));
    while (!stack.empty()) {
      const std::size_t top = stack.size() - 1;
      if (stack[top].i >= stack[top].steps) {
        // A serial pass ends one step early: the figures hanging at its last
        // vertex would otherwise never be cut.
        if (!rules_.Serial) {
          stack.pop_back();
          continue;
        }
        if (!stack[top].tail) {
          stack[top].tail = true;
          stack[top].childPos = -1;
        }
      }
      // Figures hanging at this vertex are walked first, in list order.
      if (stack[top].childPos < 0) LookUpChildren(stack[top]);
      bool descended = false;
      while (stack[top].childPos < stack[top].childEnd) {
        const TChildList& list = children_[static_cast<std::size_t>(stack[top].figure)];
        const std::int32_t c = list[static_cast<std::size_t>(stack[top].childPos++)].second;
        if (visited_[static_cast<std::size_t>(c)] || Fig(c).Points.empty()) continue;
        visited_[static_cast<std::size_t>(c)] = true;
        const std::int32_t e = Fig(c).EntryVertex;
        CheckEntry(c, e);
        out.push_back(Item(TCutItem::Kind::Enter, c, e));
        stack.push_back(Begin(c, e));
        descended = true;
        break;
      }
      if (descended) continue;
      if (stack[top].tail) {
        stack.pop_back();
        continue;
      }
      Advance(stack[top], out);
    }
  }

  void LookUpChildren(TWalkFrame& fr) const {
    const TChildList& list = children_[static_cast<std::size_t>(fr.figure)];
    const std::int32_t at = fr.Stored(fr.v);
    const auto lo = std::lower_bound(list.begin(), list.end(), std::pair{at, -1});
    auto hi = lo;
    while (hi != list.end() && hi->first == at) ++hi;
    fr.childPos = static_cast<std::int32_t>(lo - list.begin());
    fr.childEnd = static_cast<std::int32_t>(hi - list.begin());
  }

  void Advance(TWalkFrame& fr, std::vector<TCutItem>& out) const {
    const tfigura& f = Fig(fr.figure);
    const bool wrapped = fr.step > 0 && fr.v == fr.n;
    if (fr.step < 0) {
      fr.v = fr.v == 0 ? fr.n : fr.v - 1;
    } else {
      fr.v = fr.v == fr.n ? 0 : fr.v + 1;
    }
    const bool open = f.typ == 0;
    if (fr.inner && wrapped) {
      for (std::int32_t k = fr.n; k >= 0; --k)
        out.push_back(Item(TCutItem::Kind::Return, fr.figure, k));
      // A project of one open figure ends at the figure's far end.
      if (w_.SingleOpenFigure) {
        fr.i = fr.steps;
        return;
      }
    }
    // After the last vertex of an open figure the wire comes back along it
    // (in a serial pass only to a parent: the pass ends on the first figure).
    if (!fr.inner && !w_.SingleOpenFigure && open && fr.i == fr.n && f.Points.size() > 2 &&
        !(rules_.Serial && fr.figure == w_.FirstFigure)) {
      for (std::int32_t k = fr.n; k >= 0; --k)
        out.push_back(Item(TCutItem::Kind::Return, fr.figure, fr.Stored(k)));
    }
    // A project of one open figure does not come back to its start.
    const bool skip = (w_.SingleOpenFigure && fr.v == fr.start) ||
                      (!rules_.CutFirstFigure && fr.figure == w_.FirstFigure);
    if (!skip) {
      TCutItem item = Item(TCutItem::Kind::Cut, fr.figure, fr.Stored(fr.v));
      item.walkVertexZero = fr.v == 0;
      out.push_back(item);
    }
    ++fr.i;
    fr.childPos = -1;
  }

  TCutItem Item(TCutItem::Kind kind, std::int32_t figure, std::int32_t vertex) const {
    TCutItem p;
    p.kind = kind;
    p.figure = figure;
    p.vertex = vertex;
    p.point = Fig(figure).Points[static_cast<std::size_t>(vertex)];
    return p;
  }

  const TMDIChild& w_;
  const TCutPathRules& rules_;
  std::vector<TChildList> children_;
  std::vector<bool> visited_;
};

}  // namespace

TCutPath WalkCutPath(const TMDIChild& w, const TCutPathRules& rules) {
  return TWalker(w, rules).Run();
}

std::int32_t SingleOpenFigureEntry(const TMDIChild& w, std::uint8_t feedDirection) {
  const std::int32_t first = w.FirstFigure;
  if (first < 0 || first >= w.FigureCount()) return -1;
  const auto& p = w.Figures[static_cast<std::size_t>(first)]->Points;
  if (p.empty()) return -1;
  const auto last = static_cast<std::int32_t>(p.size()) - 1;
  const bool rising = p.front().X < p.back().X;
  if (feedDirection == 255) return rising ? last : 0;
  return rising ? 0 : last;
}

}  // namespace vm
