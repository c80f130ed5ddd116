// The job-file savers of the project window: they decide the order, the
// direction and the number of passes of the figures of each work mode and
// hand them to the job writer, which decides the bytes.
//
// Turning and rotary cutting write whole figures (Thpgl::WriteFigure), one or
// several passes a figure, each pass a turn step further. Plain and serial
// cutting write the cutting tree as moves, walked by the same walker as the
// on-screen replay, so the file cuts what the simulation shows.
#include <memory>
#include <string>

#include "drawing/errors.h"
#include "drawing/figury.h"
#include "drawing/hpgl.h"
#include "drawing/matma.h"
#include "drawing/rounding.h"
#include "project/ciecie.h"
#include "project/cut_path.h"
#include "project/okno_plt.h"
#include "shell/konfig.h"

namespace vm {

namespace {

void ShowMainStatus(const QString& text) {
  if (const auto& show = ProjectHooks().ShowMainStatus) show(text);
}

// Holds the frame of one save: the hourglass cursor, the writer in the
// window's Reader and the main status line. Every exit, an error included,
// restores the cursor, clears the status line and frees the writer.
class TSaveFrame {
 public:
  TSaveFrame(TMDIChild& w, const QString& status) : w_(w) {
    if (!status.isEmpty()) ShowMainStatus(status);
    w_.Reader = std::make_unique<Thpgl>();
  }
  ~TSaveFrame() {
    w_.Reader.reset();
    if (!cleared_) ShowMainStatus(QString());
  }
  TSaveFrame(const TSaveFrame&) = delete;
  TSaveFrame& operator=(const TSaveFrame&) = delete;

  Thpgl& Writer() { return *w_.Reader; }
  void ClearStatus() {
    ShowMainStatus(QString());
    cleared_ = true;
  }

 private:
  TMDIChild& w_;
  TWaitCursor cursor_;
  bool cleared_ = false;
};

// The three savers that write whole figures.
enum class TFigureSaver { Spindle, Table, Rotary };

// The settings the figure savers read from the settings store.
struct TPassSettings {
  double ilosckrokow = 1;
  int CatDir = 2;
  int direction = 1;  // +1 for KierunekObrotow 0, -1 for 1
  bool dopasujKierunek = false;
};

TPassSettings PassSettingsFromKonfig() {
  const TDlgkonfig& k = Dlgkonfig();
  TPassSettings s;
  s.ilosckrokow = k.ilosckrokow.Value();
  s.CatDir = k.CatDir.ItemIndex();
  s.direction = k.KierunekObrotow.ItemIndex() == 1 ? -1 : 1;
  s.dopasujKierunek = k.dopasujKierunek.Checked();
  return s;
}

void CheckRange(const TMDIChild& w, std::int32_t first, std::int32_t last) {
  if (first > last) return;
  if (first < 0 || last >= w.FigureCount())
    throw RangeError("figures " + std::to_string(first) + ".." + std::to_string(last) +
                     " outside a list of " + std::to_string(w.FigureCount()));
}

// One pass of figure `index`: in drawing order, or reversed for the pass
// (turned the other way when dopasujKierunek is set) and restored after it,
// also when the writer fails.
void WritePass(TMDIChild& w, Thpgl& writer, std::int32_t index, bool forward, int direction,
               bool matchDirection, double& angle) {
  if (forward) {
    writer.WriteFigure(*w.Figures[static_cast<std::size_t>(index)], 1, direction, angle, angle);
    return;
  }
  w.OdwrocKierunek(index);
  struct TRestore {
    TMDIChild& w;
    std::int32_t index;
    ~TRestore() { w.OdwrocKierunek(index); }
  } restore{w, index};
  if (matchDirection) direction = -direction;
  writer.WriteFigure(*w.Figures[static_cast<std::size_t>(index)], 1, direction, angle, angle);
}

// Where a turning job's wire starts, in the figures' own frame (plotter
// units relative to the rotation axis, before the job's scale): the job begins
// at the first entry along the axis and at the start position across it, in
// machine millimetres, where the figures stand moved by the axis offsets and
// scaled by skala.
TPointI TurningStartInFigureFrame(bool table, const JobSettings& job) {
  const double along = job.FirstEntryInMaterial;
  const double across = table ? job.RotaryStartX - (job.Xstolika - job.Xnarzedzia)
                              : job.RotaryStartY - (job.Ywrzeciona - job.Ynarzedzia);
  const double unscale = job.skala != 0 ? 100 / job.skala : 1;
  const std::int32_t a = Round(MmToPlotterUnits(along) * unscale);
  const std::int32_t h = Round(MmToPlotterUnits(across) * unscale);
  return table ? TPointI{h, a} : TPointI{a, h};
}

void SaveFigures(TMDIChild& w, TFigureSaver kind, const QString& fileName, std::int32_t first,
                 std::int32_t last, const JobSettings& job) {
  CheckRange(w, first, last);
  const TPassSettings s = PassSettingsFromKonfig();
  TSaveFrame frame(w, QStringLiteral("Write file ") + fileName);
  Thpgl& writer = frame.Writer();
  writer.BeginJob(fileName, job);

  const bool rotary = kind == TFigureSaver::Rotary;
  double angle = 0;
  // Where the last single pass ended: the nearer end of the next figure is
  // cut first. Before the first, it is where the wire starts: rotary cutting
  // measures from the axis, turning from the job's start position.
  TPointI reference{0, 0};
  if (!rotary) reference = TurningStartInFigureFrame(kind == TFigureSaver::Table, job);

  for (std::int32_t i = first; i <= last; ++i) {
    const tfigura& f = *w.Figures[static_cast<std::size_t>(i)];
    if (!f.Cut || (!rotary && f.OrderNo == 0)) continue;
    if (s.ilosckrokow > 1) {
      // Several passes, each one turn step of 1/N revolution further.
      const std::int32_t n = Round(s.ilosckrokow);
      bool forward = s.CatDir != 1;
      for (std::int32_t k = 1; k <= n; ++k) {
        if (forward) {
          angle = static_cast<double>(k - 1) / n;
        } else {
          angle += 1.0 / n;
        }
        const bool passForward = s.CatDir == 0 ? true : s.CatDir == 1 ? false : forward;
        WritePass(w, writer, i, passForward, s.direction, s.dopasujKierunek, angle);
        forward = s.CatDir == 0 ? true : s.CatDir == 1 ? false : !forward;
        if (rotary && k < n) writer.PauseIfHold();
      }
    } else {
      bool forward = s.CatDir != 1;
      if (s.CatDir == 2 && !f.Points.empty()) {
        const double d0 = Distance(reference, f.Points.front());
        const double d1 = Distance(reference, f.Points.back());
        forward = d1 >= d0;
        reference = forward ? f.Points.back() : f.Points.front();
      }
      WritePass(w, writer, i, forward, s.direction, s.dopasujKierunek, angle);
    }
  }

  frame.ClearStatus();
  if (rotary) writer.CornerPause();
  writer.EndJob();
}

}  // namespace

void TMDIChild::Save_toczenie_wrzeciono(const QString& fileName, std::int32_t first,
                                        std::int32_t last, const JobSettings& job) {
  SaveFigures(*this, TFigureSaver::Spindle, fileName, first, last, job);
}

void TMDIChild::Save_toczenie_stolik(const QString& fileName, std::int32_t first, std::int32_t last,
                                     const JobSettings& job) {
  SaveFigures(*this, TFigureSaver::Table, fileName, first, last, job);
}

void TMDIChild::Save_ciecie_obrotowe(const QString& fileName, std::int32_t first, std::int32_t last,
                                     const JobSettings& job) {
  SaveFigures(*this, TFigureSaver::Rotary, fileName, first, last, job);
}

void TMDIChild::save_ciecie(const QString& fileName, std::int32_t /*first*/, double closingRotation,
                            std::int32_t /*last*/, const JobSettings& job) {
  // A job that leaves figures uncut would ruin the block: it is refused, and
  // the message names the figures.
  const std::vector<std::int32_t> unreached = UnreachedFigures(*this);
  if (!unreached.empty())
    throw MessageError("Project_window", "sciezkaNiepelna", FigureNumbers(unreached));
  SimulationAborted = false;
  TCutPathRules rules;
  rules.Serial = job.Mode == 3;
  rules.CutFirstFigure = CutFrame;
  // The walk checks the tree before anything is written.
  const TCutPath path = WalkCutPath(*this, rules);

  TSaveFrame frame(*this, QString());
  Thpgl& writer = frame.Writer();
  writer.BeginJob(fileName, job);
  if (path.FirstFigure >= 0) {
    // The job starts at the first figure's entry point.
    writer.SetStart(Round(CheckedSub(path.Start.X, MinX) * job.CalibrationX),
                    Round(CheckedSub(path.Start.Y, MinY) * job.CalibrationY), 0);
    for (const TCutItem& item : path.Items) {
      if (item.kind == TCutItem::Kind::Enter) continue;
      writer.MoveTo(CheckedSub(item.point.X, MinX), CheckedSub(item.point.Y, MinY));
    }
  }
  writer.ReturnMove(closingRotation);
  frame.ClearStatus();
  writer.EndJob();
}

void TMDIChild::SaveJob(std::int32_t code, const QString& fileName, std::int32_t first,
                        std::int32_t last, double closingRotation, const JobSettings& job) {
  switch (code) {
    case JobTurningSpindle:
      Save_toczenie_wrzeciono(fileName, first, last, job);
      break;
    case JobTurningTable:
      Save_toczenie_stolik(fileName, first, last, job);
      break;
    case JobRotarySpindle:
    case JobRotaryTable:
      Save_ciecie_obrotowe(fileName, first, last, job);
      break;
    default:
      save_ciecie(fileName, first, closingRotation, last, job);
      break;
  }
}

}  // namespace vm
