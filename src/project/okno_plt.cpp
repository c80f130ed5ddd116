// The project window model: figure list ownership, the small list operations,
// the text dump and the program-wide hooks of the project windows.
#include "project/okno_plt.h"

#include <QFile>
#include <limits>

#include "drawing/errors.h"
#include "drawing/hpgl.h"
#include "project/figure_parameters.h"
#include "shell/interfejs.h"

namespace vm {

TProjectHooks& ProjectHooks() {
  static TProjectHooks hooks;
  return hooks;
}

void ResetProjectHooks() { ProjectHooks() = TProjectHooks{}; }

TWaitCursor::TWaitCursor() {
  if (const auto& set = ProjectHooks().SetWaitCursor) set();
}

TWaitCursor::~TWaitCursor() { Restore(); }

void TWaitCursor::Restore() {
  if (!active_) return;
  active_ = false;
  if (const auto& restore = ProjectHooks().RestoreCursor) restore();
}

TMDIChild::TMDIChild() = default;
TMDIChild::~TMDIChild() = default;

void TMDIChild::licz_parametry(tfigura& figure) const { vm::licz_parametry(figure); }

std::int32_t TMDIChild::AddFigure(std::unique_ptr<tfigura> figure) {
  if (!figure) throw Error("AddFigure: no figure");
  vm::licz_parametry(*figure);
  figure->oryg = true;
  Figures.push_back(std::move(figure));
  return FigureCount() - 1;
}

std::int32_t TMDIChild::AddLacznik(std::unique_ptr<tfigura> figure, std::uint8_t closed) {
  if (!figure) throw Error("AddLacznik: no figure");
  vm::licz_parametry(*figure);
  figure->typ = closed;
  figure->oryg = false;
  Figures.push_back(std::move(figure));
  return FigureCount() - 1;
}

void TMDIChild::Ustaw_PPiPK() {
  // An empty list leaves these start values. Otherwise the first figure's box
  // starts the extremes, so a box on the smallest 32-bit value is kept whole.
  MaxX = std::numeric_limits<std::int32_t>::min() + 1;
  MaxY = std::numeric_limits<std::int32_t>::min() + 1;
  MinX = std::numeric_limits<std::int32_t>::max();
  MinY = std::numeric_limits<std::int32_t>::max();
  if (!Figures.empty()) {
    MinX = Figures.front()->fig_pp.X;
    MinY = Figures.front()->fig_pp.Y;
    MaxX = Figures.front()->fig_pk.X;
    MaxY = Figures.front()->fig_pk.Y;
  }
  std::int32_t i = 0;
  for (const auto& f : Figures) {
    for (const TPointI& p : {f->fig_pp, f->fig_pk}) {
      if (p.X < MinX) MinX = p.X;
      if (p.Y < MinY) MinY = p.Y;
      if (p.X > MaxX) MaxX = p.X;
      if (p.Y > MaxY) MaxY = p.Y;
    }
    f->Index = i++;
  }
}

void TMDIChild::KeepDrawing() {
  drawing_.Kept = true;
  drawing_.Figures.clear();
  drawing_.Figures.reserve(Figures.size());
  for (const auto& f : Figures) drawing_.Figures.push_back(*f);
  drawing_.MinX = MinX;
  drawing_.MinY = MinY;
  drawing_.MaxX = MaxX;
  drawing_.MaxY = MaxY;
  drawing_.Width = Width;
  drawing_.Height = Height;
  drawing_.SingleOpenFigure = SingleOpenFigure;
}

bool TMDIChild::StartFromDrawing() {
  if (!drawing_.Kept) return false;
  TFigureList figures;
  figures.reserve(drawing_.Figures.size());
  for (const tfigura& f : drawing_.Figures) figures.push_back(std::make_unique<tfigura>(f));
  Figures = std::move(figures);
  MinX = drawing_.MinX;
  MinY = drawing_.MinY;
  MaxX = drawing_.MaxX;
  MaxY = drawing_.MaxY;
  Width = drawing_.Width;
  Height = drawing_.Height;
  SingleOpenFigure = drawing_.SingleOpenFigure;
  // What the preparations and the savers work out, as a new window has it.
  AxisFigure = -1;
  ConnectorsDone = false;
  EntryLeft = EntryRight = EntryTop = EntryBottom = 0;
  SelectedFigure = -1;
  RoughingPass = 0;
  MaxDepth = 0;
  PathLength = 0;
  ProfileOnAxis = false;
  CutFrame = false;
  HasFrame = false;
  FrameAdded = false;
  HorizontalAxis = false;
  VerticalAxis = false;
  FirstFigure = 0;
  return true;
}

void TMDIChild::ZapiszFiguryDoPliku(const QString& fileName) const {
  QByteArray text;
  // The closed-figure word in the program's 8-bit code page (e with ogonek is 0xEA).
  const QByteArray closedWord = QByteArray("zamkni") + char(0xEA) + "ta";
  QByteArray word;  // a typ other than 0 or 1 repeats the previous line's word
  std::int32_t i = 0;
  for (const auto& f : Figures) {
    if (f->typ == 0) word = "otwarta";
    if (f->typ == 1) word = closedWord;
    text += "Figura" + QByteArray::number(i) + "   [fig_pp:(" + QByteArray::number(f->fig_pp.X) +
            "," + QByteArray::number(f->fig_pp.Y) + ") fig_pk:(" + QByteArray::number(f->fig_pk.X) +
            "," + QByteArray::number(f->fig_pk.Y) + ")] oryg: " + (f->oryg ? "T" : "F") +
            " typ: " + word + "\r\n";
    for (const TPointI& p : f->Points)
      text += QByteArray::number(p.X) + ", " + QByteArray::number(p.Y) + ", 0\r\n";
    ++i;
  }
  QFile file(fileName);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size() ||
      !file.flush())
    throw IoError("cannot write " + fileName.toStdString());
}

bool TMDIChild::toczenie() {
  const auto& prepare = ProjectHooks().toczenie;
  return prepare ? prepare(*this) : true;
}

bool TMDIChild::ciecie_obrotowe() {
  const auto& prepare = ProjectHooks().ciecie_obrotowe;
  return prepare ? prepare(*this) : true;
}

bool TMDIChild::ciecie() {
  const auto& prepare = ProjectHooks().ciecie;
  return prepare ? prepare(*this) : true;
}

void TMDIChild::FormClose(TCloseAction& action) { action = TCloseAction::Free; }

void TMDIChild::TntFormCreate() {
  const tInterfejs* lang = Interfejs();
  RightToLeft = lang != nullptr && lang->RightToLeft();
}

}  // namespace vm
