// Projects for the turning, rotary-cutting and outline suites, built in code:
// figures as a drawing would give them, with their parameters and the box.
#pragma once

#include <memory>
#include <ostream>
#include <vector>

#include "drawing/rounding.h"
#include "project/turning.h"
#include "project_fixture.h"

namespace vm::test {

using Pts = std::vector<TPointI>;

inline std::unique_ptr<TMDIChild> Project(const std::vector<Pts>& figures) {
  auto w = std::make_unique<TMDIChild>();
  for (const Pts& points : figures) {
    auto f = std::make_unique<tfigura>();
    f->Points = points;
    f->TurnParent = -1;
    w->AddFigure(std::move(f));
  }
  w->Ustaw_PPiPK();
  w->Width = w->MaxX - w->MinX;
  w->Height = w->MaxY - w->MinY;
  return w;
}

inline const Pts& PointsOf(const TMDIChild& w, std::int32_t i) {
  return w.Figures.at(static_cast<std::size_t>(i))->Points;
}

class TurningFixture : public ProjectFixture {
 protected:
  void SetUp() override {
    ProjectFixture::SetUp();
    InstallTurning();
  }
};

}  // namespace vm::test
