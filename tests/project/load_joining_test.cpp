// Joining of open figures and dropping of duplicates while a drawing loads.
#include <gtest/gtest.h>

#include <deque>
#include <random>

#include "load_reference.h"
#include "project/figure_collector.h"
#include "project/point_sequence.h"
#include "project_fixture.h"

namespace vm::test {
namespace {

std::vector<std::vector<TPointI>> Collect(std::vector<std::unique_ptr<tfigura>> figures) {
  TFigureCollector c;
  for (auto& f : figures) c.Add(std::move(f));
  std::vector<std::vector<TPointI>> out;
  for (const auto& f : c.Take()) out.push_back(f->Points);
  return out;
}

template <typename... F>
std::vector<std::unique_ptr<tfigura>> List(F... f) {
  std::vector<std::unique_ptr<tfigura>> v;
  (v.push_back(std::move(f)), ...);
  return v;
}

using Pts = std::vector<TPointI>;

TEST(LoadJoining, EndsWithinNineUnitsJoinTenApartDoNot) {
  struct Case {
    int dx, dy;
    bool joined;
  };
  for (const Case c : {Case{9, 9, true}, Case{-9, -9, true}, Case{9, -9, true}, Case{10, 0, false},
                       Case{0, 10, false}, Case{-10, 0, false}, Case{0, -10, false}}) {
    SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy);
    const auto got =
        Collect(List(ReadFig({{0, 0}, {100, 0}}), ReadFig({{100 + c.dx, c.dy}, {200, 50}})));
    if (c.joined) {
      // Where the ends meet only the later figure's point remains.
      EXPECT_EQ(got, (std::vector<Pts>{{{0, 0}, {100 + c.dx, c.dy}, {200, 50}}}));
    } else {
      EXPECT_EQ(got.size(), 2u);
    }
  }
}

TEST(LoadJoining, FourEndOrders) {
  // The new figure F = (0,0)-(50,0); the kept G meets it in each of the orders.
  struct Case {
    Pts g;
    Pts joined;
  };
  const Case cases[] = {
      {{{50, 0}, {50, 50}, {90, 90}}, {{0, 0}, {50, 0}, {50, 50}, {90, 90}}},     // F1-G0
      {{{90, 90}, {50, 50}, {50, 0}}, {{0, 0}, {50, 0}, {50, 50}, {90, 90}}},     // F1-G1
      {{{0, 0}, {-50, 50}, {-90, 90}}, {{-90, 90}, {-50, 50}, {0, 0}, {50, 0}}},  // F0-G0
      {{{-90, 90}, {-50, 50}, {0, 0}}, {{-90, 90}, {-50, 50}, {0, 0}, {50, 0}}},  // F0-G1
  };
  for (const Case& c : cases) {
    auto g = std::make_unique<tfigura>();
    g->Points = c.g;
    g->Open = true;
    EXPECT_EQ(Collect(List(std::move(g), ReadFig({{0, 0}, {50, 0}}))), std::vector<Pts>{c.joined});
  }
}

TEST(LoadJoining, PiecesReadOutOfOrderEndAsOneFigure) {
  const TPointI P{0, 0}, Q{100, 0}, R{100, 100}, S{0, 100};
  EXPECT_EQ(Collect(List(ReadFig({P, Q}), ReadFig({R, S}), ReadFig({Q, R}))),
            (std::vector<Pts>{{P, Q, R, S}}));
}

TEST(LoadJoining, DuplicatesAndReversedCopies) {
  const Pts square = {{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}};
  const Pts reversed(square.rbegin(), square.rend());
  auto fig = [](const Pts& p) {
    auto f = ReadFig({});
    f->Points = p;
    f->Valid = true;
    f->Open = !(p.size() > 2 && p.front() == p.back());
    return f;
  };
  // Drawn twice: loaded once. Forward and reversed: two figures.
  EXPECT_EQ(Collect(List(fig(square), fig(square))).size(), 1u);
  EXPECT_EQ(Collect(List(fig(square), fig(reversed))).size(), 2u);
  // An open figure drawn twice is joined, not dropped: it runs there and back.
  EXPECT_EQ(Collect(List(ReadFig({{0, 0}, {100, 0}, {100, 100}}),
                         ReadFig({{0, 0}, {100, 0}, {100, 100}}))),
            (std::vector<Pts>{{{0, 0}, {100, 0}, {100, 100}, {100, 0}, {0, 0}}}));
}

TEST(LoadJoining, ClosureOfKeptFigures) {
  TFigureCollector c;
  c.Add(ReadFig({{5, 5}, {5, 5}}));                                             // two equal points
  c.Add(ReadFig({{0, 1000}, {100, 1000}, {100, 1100}, {0, 1100}, {5, 1005}}));  // 5 units short
  const auto list = c.Take();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_TRUE(list[0]->Open);
  EXPECT_EQ(list[0]->typ, 0);
  EXPECT_FALSE(list[1]->Open);
  EXPECT_EQ(list[1]->typ, 1);
  EXPECT_EQ(list[1]->Points.size(), 5u);  // closed by nearness, points unchanged
  EXPECT_EQ(list[1]->Points.back(), (TPointI{5, 1005}));
}

// The indexed collector gives the same figure list as the list-walking scans
// on drawings dense in near ends, duplicates, reversed and closed pieces.
TEST(LoadJoining, IndexedCollectorMatchesReferenceScans) {
  for (unsigned seed = 1; seed <= 400; ++seed) {
    std::mt19937 rng(seed);
    // Odd seeds: a small crowded area; even seeds: ends scattered around the
    // lines x, y = 128 k, where the collector's grid cells meet.
    auto coord = [&] {
      if (seed % 2) return static_cast<std::int32_t>(rng() % 9) * 6 - 3 + int(rng() % 3);
      return static_cast<std::int32_t>(rng() % 4) * 128 - 256 - 8 + int(rng() % 17);
    };
    std::vector<std::unique_ptr<tfigura>> a, b;
    std::vector<Pts> history;
    const int count = 20 + int(rng() % 60);
    for (int i = 0; i < count; ++i) {
      Pts p;
      const unsigned kind = rng() % 10;
      if (kind == 0 && !history.empty()) {
        p = history[rng() % history.size()];  // exact copy
      } else if (kind == 1 && !history.empty()) {
        p = history[rng() % history.size()];
        std::reverse(p.begin(), p.end());
      } else {
        const int n = 1 + int(rng() % 4);
        for (int k = 0; k < n; ++k) p.push_back({coord(), coord()});
        if (kind == 2) p.push_back(p.front());  // closed by equality
      }
      history.push_back(p);
      for (auto* list : {&a, &b}) {
        auto f = std::make_unique<tfigura>();
        f->Points = p;
        f->Valid = true;
        f->Open = !(p.size() > 2 && p.front() == p.back());
        list->push_back(std::move(f));
      }
    }
    TFigureList reference;
    for (auto& f : a) ReferenceAdd(reference, std::move(f));
    TFigureCollector c;
    for (auto& f : b) c.Add(std::move(f));
    const TFigureList indexed = c.Take();
    ASSERT_EQ(indexed.size(), reference.size()) << "seed " << seed;
    for (std::size_t i = 0; i < indexed.size(); ++i) {
      ASSERT_EQ(indexed[i]->Points, reference[i]->Points) << "seed " << seed << " figure " << i;
      ASSERT_EQ(indexed[i]->Open, reference[i]->Open) << "seed " << seed;
    }
  }
}

// The running hashes after any mix of growing, trimming, reversing and joining
// equal the hashes of the same points put in afresh: duplicates are found
// however a figure was built.
TEST(LoadJoining, PointSequenceKeepsItsPointsAndHash) {
  std::mt19937 rng(7);
  for (int round = 0; round < 200; ++round) {
    TPointSeq seq;
    std::deque<TPointI> model;
    for (int step = 0; step < 60; ++step) {
      const TPointI p{int(rng() % 50) - 25, int(rng() % 50) - 25};
      switch (rng() % 6) {
        case 0:
          seq.push_back(p), model.push_back(p);
          break;
        case 1:
          seq.push_front(p), model.push_front(p);
          break;
        case 2:
          if (!model.empty()) seq.pop_front(), model.pop_front();
          break;
        case 3:
          if (!model.empty()) seq.pop_back(), model.pop_back();
          break;
        case 4:
          seq.reverse();
          std::reverse(model.begin(), model.end());
          break;
        default: {
          const std::vector<TPointI> other = {p, {p.Y, p.X}, {1, 2}};
          if (rng() % 2) {
            seq = TPointSeq::Concat(std::move(seq), TPointSeq(other));
            model.insert(model.end(), other.begin(), other.end());
          } else {
            seq = TPointSeq::Concat(TPointSeq(other), std::move(seq));
            model.insert(model.begin(), other.begin(), other.end());
          }
        }
      }
      const std::vector<TPointI> expected(model.begin(), model.end());
      ASSERT_EQ(seq.ToVector(), expected);
      ASSERT_EQ(seq.Key(), TPointSeq(expected).Key());
    }
  }
}

}  // namespace
}  // namespace vm::test
