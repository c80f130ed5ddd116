// Loading a drawing into a project window: reading, joining and
// de-duplication, the project box, the working-area check and the
// preparation for the current work mode; also the first entry position.
#include <QFileInfo>
#include <QStringList>
#include <climits>
#include <exception>
#include <new>

#include "drawing/definicje.h"
#include "drawing/errors.h"
#include "drawing/hpgl.h"
#include "drawing/matma.h"
#include "drawing/rounding.h"
#include "project/drawing_errors.h"
#include "project/figure_collector.h"
#include "project/okno_plt.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/messages.h"

namespace vm {

namespace {

constexpr int kHpglMode = 1;
constexpr int kDxfMode = 2;
// Result code of an open that failed because another process uses the file.
constexpr int kFileInUse = 32;

void ShowMainStatus(const QString& text) {
  if (const auto& show = ProjectHooks().ShowMainStatus) show(text);
}

std::unique_ptr<tfigura> NewLoadFigure() {
  auto f = std::make_unique<tfigura>();
  f->TurnParent = -1;
  return f;
}

}  // namespace

int ReaderModeFor(const QString& fileName, int fileType) {
  const QString suffix = QFileInfo(fileName).suffix();
  if (suffix.compare(QLatin1String("dxf"), Qt::CaseInsensitive) == 0) return kDxfMode;
  if (suffix.compare(QLatin1String("plt"), Qt::CaseInsensitive) == 0) return kHpglMode;
  return fileType;
}

bool TMDIChild::Load(const QString& fileName) {
  FrameAdded = false;
  ConnectorsDone = false;
  const int catDir = Dlgkonfig().CatDir.ItemIndex();
  if (catDir == 0 || catDir == 2) FeedDirection = LoadFeedDirection = 1;
  if (catDir == 1) FeedDirection = LoadFeedDirection = 255;

  ShowMainStatus(Tr("Project_window", "otwieranyPlik") + fileName);
  Caption = fileName;
  TWaitCursor cursor;

  // Every failure leaves the window empty, without a reader, with the cursor
  // restored and its close requested.
  auto fail = [&](const QString& message) {
    Reader.reset();
    Figures.clear();
    cursor.Restore();
    ShowMainStatus(QString());
    ShowMessageBox(message, true);
    RequestClose();
    return false;
  };

  Figures.clear();
  drawing_ = TKeptDrawing{};
  // The file's extension decides the reader where it names one, so a DXF
  // file is never read as HPGL whatever filter the open dialog had.
  FileType = ReaderModeFor(fileName, FileType);
  Reader = std::make_unique<Thpgl>();
  std::int32_t blockRefs = 0;
  std::int32_t meshes = 0;
  std::int32_t encoded = 0;
  try {
    const int rc = Reader->Open(fileName, FileType);
    if (rc != 0) {
      if (rc == kFileInUse) return fail(Tr("Project_window", "zbioruUzywaInnyProces"));
      return fail(Tr("Universal", "zbioruNieMoznaOtworzyc") + fileName);
    }
    TFigureCollector collector;
    auto figure = NewLoadFigure();
    while (!Reader->AtEof) {
      Reader->ReadFigure(*figure);
      // A figure without points is reused for the next read.
      if (!figure->Valid) continue;
      collector.Add(std::move(figure));
      figure = NewLoadFigure();
    }
    figure.reset();
    PassAngle = 0;
    blockRefs = Reader->SkippedBlockRefs;
    meshes = Reader->SkippedMeshes;
    encoded = Reader->SkippedEncodedPolylines;
    Reader->Close();
    Reader.reset();
    Figures = collector.Take();
  } catch (const MessageError& e) {
    return fail(MessageErrorText(e));
  } catch (const OverflowError&) {
    // Pieces that each fit, joined into a figure wider than the largest
    // coordinate.
    return fail(Tr("Project_window", "figuraPozaZakresem"));
  } catch (const std::bad_alloc&) {
    return fail(Tr("Universal", "brakPamieci"));
  } catch (const std::exception& e) {
    return fail(DrawingErrorText(fileName, e, "bladOdczytuZbioru"));
  }

  // What the drawing holds but the reader leaves out: block references,
  // meshes and encoded plot lines. A drawing whose figures all lie in blocks,
  // or a plot whose lines are all encoded, is refused with that reason rather
  // than as an empty file.
  QStringList leftOut;
  if (blockRefs > 0 && !Figures.empty())
    leftOut << Tr("Project_window", "pominieteBloki") + QString::number(blockRefs);
  if (meshes > 0) leftOut << Tr("Project_window", "pominieteSiatki") + QString::number(meshes);
  if (encoded > 0 && !Figures.empty())
    leftOut << Tr("Project_window", "pominieteLinieKodowane") + QString::number(encoded);
  if (Figures.empty()) {
    QStringList reason = leftOut;
    if (blockRefs > 0) {
      reason.prepend(Tr("Project_window", "tylkoBloki") + QString::number(blockRefs));
    } else if (encoded > 0) {
      reason.prepend(Tr("Project_window", "tylkoLinieKodowane") + QString::number(encoded));
    } else {
      reason.prepend(Tr("Project_window", "zbiorPusty"));
    }
    return fail(reason.join(QStringLiteral("\r\n")));
  }

  Ustaw_PPiPK();
  // The project box of figures that each fit may still be wider than the
  // largest coordinate.
  if (std::int64_t{MaxX} - MinX > INT32_MAX || std::int64_t{MaxY} - MinY > INT32_MAX)
    return fail(Tr("Project_window", "figuraPozaZakresem"));
  Width = MaxX - MinX;
  Height = MaxY - MinY;
  MaxDepth = 0;
  SelectedFigure = -1;
  // Every later preparation (the settings changed) starts again from here.
  KeepDrawing();
  cursor.Restore();

  StatusBar.SimpleText = Tr("Project_window", "iloscFigur") + QString::number(FigureCount());
  ShowMainStatus(QString());
  if (!leftOut.isEmpty()) ShowMessageBox(leftOut.join(QStringLiteral("\r\n")), false);

  if (PlotterUnitsToMm(Width) > WorkingAreaLimits.X ||
      PlotterUnitsToMm(Height) > WorkingAreaLimits.Y)
    ShowMessageBox(Tr("Main_window", "projektZaDuzy"), true);

  JakiKierunek(-1);
  bool prepared = true;
  try {
    switch (Dlgkonfig().Mode.ItemIndex()) {
      case 0:
        prepared = Dlgkonfig().StolikSwitch.ItemIndex() == 2 ? ciecie() : toczenie();
        break;
      case 1:
        prepared = ciecie_obrotowe();
        break;
      case 2:
      case 3:
        prepared = ciecie();
        break;
      default:
        break;
    }
  } catch (const MessageError& e) {
    return fail(MessageErrorText(e));
  } catch (const std::bad_alloc&) {
    return fail(Tr("Universal", "brakPamieci"));
  } catch (const std::exception& e) {
    return fail(DrawingErrorText(fileName, e));
  }
  if (!prepared) {
    // The preparation has shown its reason; the window closes.
    Figures.clear();
    RequestClose();
    return false;
  }
  return true;
}

double TMDIChild::DajPoz1szegoWjazduWmat() const {
  const tfigura* first = nullptr;
  for (std::int32_t i = 0; i < FigureCount(); ++i) {
    if (i == AxisFigure) continue;
    first = Figures[static_cast<std::size_t>(i)].get();
    break;
  }
  if (first == nullptr || first->Points.empty()) return 0;
  switch (Dlgkonfig().StolikSwitch.ItemIndex()) {
    case 0:
      return PlotterUnitsToMm(first->Points.front().X);
    case 1:
      return PlotterUnitsToMm(first->Points.front().Y);
    default:
      return 0;
  }
}

}  // namespace vm
