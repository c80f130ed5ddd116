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

namespace {

// Packed points: per figure its point count, then each point as its step
// from the one before (from 0, 0 for the first), every number zigzag-coded
// (0, -1, 1, -2, ... as 0, 1, 2, 3, ...) in 7-bit groups, low group first,
// the high bit set on every group but the last.
std::uint64_t Zigzag(std::int64_t v) {
  return (static_cast<std::uint64_t>(v) << 1) ^ static_cast<std::uint64_t>(v >> 63);
}

std::int64_t Unzigzag(std::uint64_t u) {
  return static_cast<std::int64_t>(u >> 1) ^ -static_cast<std::int64_t>(u & 1);
}

std::size_t PackedSize(std::uint64_t u) {
  std::size_t n = 1;
  while (u >= 0x80) {
    u >>= 7;
    ++n;
  }
  return n;
}

void Pack(std::uint64_t u, std::uint8_t*& out) {
  while (u >= 0x80) {
    *out++ = static_cast<std::uint8_t>(u | 0x80);
    u >>= 7;
  }
  *out++ = static_cast<std::uint8_t>(u);
}

std::uint64_t Unpack(const std::uint8_t*& in) {
  std::uint64_t u = 0;
  for (int shift = 0;; shift += 7) {
    const std::uint8_t b = *in++;
    u |= static_cast<std::uint64_t>(b & 0x7f) << shift;
    if (b < 0x80) return u;
  }
}

// Calls fn with every number of the packed form of a figure's points.
template <typename Fn>
void ForPackedNumbers(const std::vector<TPointI>& points, Fn&& fn) {
  fn(static_cast<std::uint64_t>(points.size()));
  std::int64_t x = 0, y = 0;
  for (const TPointI& p : points) {
    fn(Zigzag(p.X - x));
    fn(Zigzag(p.Y - y));
    x = p.X;
    y = p.Y;
  }
}

}  // namespace

void TMDIChild::KeepDrawing() {
  drawing_ = TKeptDrawing{};
  drawing_.Figures.reserve(Figures.size());
  std::size_t bytes = 0;
  for (const auto& f : Figures)
    ForPackedNumbers(f->Points, [&](std::uint64_t u) { bytes += PackedSize(u); });
  drawing_.Points.resize(bytes);
  std::uint8_t* out = drawing_.Points.data();
  for (const auto& f : Figures) {
    ForPackedNumbers(f->Points, [&](std::uint64_t u) { Pack(u, out); });
    // Everything but the points is copied as it stands; the points are
    // moved aside for the copy and back, where they stay in place.
    std::vector<TPointI> points = std::move(f->Points);
    f->Points.clear();
    try {
      drawing_.Figures.push_back(*f);
    } catch (...) {
      f->Points = std::move(points);
      drawing_ = TKeptDrawing{};
      throw;
    }
    f->Points = std::move(points);
  }
  drawing_.Kept = true;
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
  const std::uint8_t* in = drawing_.Points.data();
  for (const tfigura& f : drawing_.Figures) {
    auto copy = std::make_unique<tfigura>(f);
    const auto n = static_cast<std::size_t>(Unpack(in));
    copy->Points.resize(n);
    std::int64_t x = 0, y = 0;
    for (TPointI& p : copy->Points) {
      x += Unzigzag(Unpack(in));
      y += Unzigzag(Unpack(in));
      p = {static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
    }
    figures.push_back(std::move(copy));
  }
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
