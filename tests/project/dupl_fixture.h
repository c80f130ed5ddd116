// Set-up of the duplication tests: a pattern project, the dialog's core with
// window services that record what they are asked, and a parameter file in
// the temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "project/duplication.h"
#include "project_fixture.h"

namespace vm::test {

class DuplicationFixture : public ProjectFixture {
 protected:
  void SetUp() override {
    ProjectFixture::SetUp();
    ProjectHooks().ciecie = [this](TMDIChild&) {
      ++preparations;
      return true;
    };
    dlg.Windows.Create = [this] {
      windows.push_back(std::make_unique<TMDIChild>());
      return windows.back().get();
    };
    dlg.Windows.Free = [this](TMDIChild* w) { freed.push_back(w); };
    dlg.Close = [this] { ++closes; };
    for (TControl* c : dlg.Components()) {
      auto* e = static_cast<TNumericEdit*>(c);
      e->OnFocusRequest = [this, e] { focused = e->Name(); };
    }
  }

  // A source window holding `figures` as a loaded drawing, captioned inside
  // the temporary folder.
  void MakeSource(const std::vector<std::vector<TPointI>>& figures, std::int32_t first = 0) {
    for (const auto& pts : figures) {
      auto f = std::make_unique<tfigura>();
      f->Points = pts;
      source.AddFigure(std::move(f));
    }
    source.Ustaw_PPiPK();
    source.Width = source.MaxX - source.MinX;
    source.Height = source.MaxY - source.MinY;
    source.FirstFigure = first;
    source.FileType = 2;
    source.Caption = dir.filePath("part.plt");
    dlg.Source = &source;
  }

  // 10 mm x 5 mm, entered at its lower-left corner.
  static std::vector<TPointI> Square() { return {{0, 0}, {400, 0}, {400, 200}, {0, 200}, {0, 0}}; }

  TMDIChild source;
  TfParDup dlg;
  std::vector<std::unique_ptr<TMDIChild>> windows;
  std::vector<TMDIChild*> freed;
  int closes = 0;
  int preparations = 0;
  QString focused;
};

}  // namespace vm::test
