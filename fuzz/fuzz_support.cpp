// The shared set-up and checks of the fuzz targets.
#include "fuzz_support.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "drawing/definicje.h"
#include "drawing/errors.h"
#include "drawing/hpgl.h"
#include "machine/job_settings.h"
#include "machine/machine_globals.h"
#include "project/ciecie.h"
#include "project/okno_plt.h"
#include "project/turning.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "sim/job_decoder.h"

namespace vm::fuzz {

namespace {

std::vector<MessageRequest>& Recorded() {
  static std::vector<MessageRequest> messages;
  return messages;
}

ModalResult CautiousAnswer(MsgButtons buttons) {
  for (MsgButton b : {MsgButton::Cancel, MsgButton::No, MsgButton::Abort, MsgButton::Ignore,
                      MsgButton::OK, MsgButton::Yes}) {
    if (buttons.testFlag(b)) return ResultOfButton(b);
  }
  return ModalResult::None;
}

QTemporaryDir* folder = nullptr;

// Texts of C++ library errors, which the operator must never see bare.
bool CarriesLibraryText(const QString& text) {
  // Whole library texts only: settings and keys are Polish words, and
  // "stolik" must not count as "stol".
  static const char* const kMarkers[] = {"std::",
                                         "bad_alloc",
                                         "bad_array_new_length",
                                         "vector::",
                                         "basic_string",
                                         "::_M_",
                                         "map::at",
                                         "bad_function_call",
                                         "bad_optional_access",
                                         "bad_variant_access",
                                         "bitset::",
                                         "deque::",
                                         "array::at"};
  for (const char* m : kMarkers) {
    if (text.contains(QLatin1String(m))) return true;
  }
  return false;
}

// The job the road wrote is kept for the seed corpus of the job decoder when
// VM_FUZZ_KEEP_JOBS names a folder.
void KeepJob(const QByteArray& bytes) {
  const QByteArray dir = qgetenv("VM_FUZZ_KEEP_JOBS");
  if (dir.isEmpty()) return;
  const QString name =
      QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex());
  QFile f(QString::fromLocal8Bit(dir) + QStringLiteral("/") + name);
  if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

}  // namespace

void Init() {
  static bool done = false;
  if (done) return;
  done = true;
  static int argc = 1;
  static char arg0[] = "velmarosta-fuzz";
  static char* argv[] = {arg0, nullptr};
  new QCoreApplication(argc, argv);  // lives as long as the process

  // A folder of its own per process: the program keeps its files beside
  // itself, and parallel fuzzing runs must not share them.
  const QString base = QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                           ? QStringLiteral("/dev/shm/vm-fuzz-XXXXXX")
                           : QDir::tempPath() + QStringLiteral("/vm-fuzz-XXXXXX");
  folder = new QTemporaryDir(base);
  if (!folder->isValid()) {
    std::fprintf(stderr, "fuzz: cannot create a working folder\n");
    std::abort();
  }
  std::atexit([] { delete folder; });
  ExeDir = folder->path() + QStringLiteral("/");

  if (!InstallLanguageFile(QStringLiteral(VM_FUZZ_LANG_DIR "/Velmarosta_US.xml"))) {
    std::fprintf(stderr, "fuzz: the US language file did not load\n");
    std::abort();
  }
  SetMessageHandler([](const MessageRequest& r) {
    Recorded().push_back(r);
    return r.confirmation ? CautiousAnswer(r.buttons) : ModalResult::OK;
  });
}

QString Folder() { return ExeDir; }

QString WriteInput(const QString& name, const std::uint8_t* data, std::size_t size) {
  return WriteInput(name,
                    QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
}

QString WriteInput(const QString& name, const QByteArray& bytes) {
  const QString path = Folder() + name;
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
    std::fprintf(stderr, "fuzz: cannot write %s\n", qPrintable(path));
    std::abort();
  }
  return path;
}

const std::vector<MessageRequest>& Messages() { return Recorded(); }

void ClearMessages() { Recorded().clear(); }

void CheckMessages() {
  for (const MessageRequest& r : Recorded()) {
    if (r.text.startsWith(QLatin1String("error")))
      Finding("a message without its text in the language file: " + r.text.toStdString());
    if (CarriesLibraryText(r.text))
      Finding("a message carries a C++ library error: " + r.text.toStdString());
  }
}

void Finding(const std::string& what) {
  std::fprintf(stderr, "\n==FINDING== %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

void ReadDrawing(const QString& fileName, int mode) {
  Thpgl reader;
  try {
    if (reader.Open(fileName, mode) != 0) Finding("the drawing could not be opened");
    auto figure = std::make_unique<tfigura>();
    while (!reader.AtEof) {
      reader.ReadFigure(*figure);
      if (!figure->Valid) continue;
      if (figure->Points.empty()) Finding("a figure marked valid holds no point");
      figure = std::make_unique<tfigura>();
    }
    reader.Close();
  } catch (const Error&) {
    // The program's own refusal: the load shows it as a message.
  }
}

namespace {

// One work mode of the settings and, for turning and rotary cutting, where
// the project is fastened (0 spindle, 1 table, 2 none).
struct Road {
  int mode;
  int stolik;
};

// Writes the job the cut sequencer would write for the prepared project.
void WriteJob(TMDIChild& w, const Road& road, const QString& file) {
  const std::int32_t last = w.FigureCount() - 1;
  TJobOutputMode code = JobPlainCutting;
  double rotation = 0;
  if (road.mode == 0 && road.stolik == 0) {
    code = JobTurningSpindle;
  } else if (road.mode == 0 && road.stolik == 1) {
    code = JobTurningTable;
  } else if (road.mode == 1) {
    code = w.HorizontalAxis ? JobRotarySpindle : JobRotaryTable;
  } else if (road.mode == 3) {
    code = JobSerialCutting;
    rotation = 0.5;
    w.CutFrame = true;
  } else {
    w.CutFrame = true;
  }
  JobSettings job = CurrentJobSettings(code, &w, 1, false);
  job.ReadStatus = nullptr;  // no machine link here
  w.SaveJob(code, file, 0, last, rotation, job);
}

}  // namespace

void OpenRoad(const QString& fileName) {
  static const Road kRoads[] = {{2, 2}, {3, 2}, {0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}};
  const QString job = Folder() + QStringLiteral("out.cn");
  for (const Road& road : kRoads) {
    ResetDlgkonfig();
    Machine.Reset();
    ResetProjectHooks();
    InstallPlainCutting();
    InstallTurning();
    Dlgkonfig().Mode.SetItemIndex(road.mode);
    Dlgkonfig().StolikSwitch.SetItemIndex(road.stolik);
    ClearMessages();

    TMDIChild w;
    const bool loaded = w.Load(fileName);
    CheckMessages();
    if (!loaded) {
      if (!w.CloseRequested) Finding("a failed load does not close its window");
      continue;
    }
    QFile::remove(job);
    try {
      WriteJob(w, road, job);
    } catch (const Error&) {
      continue;  // refused with a message by the sequencer
    }
    QFile f(job);
    if (!f.open(QIODevice::ReadOnly)) Finding("the job file was not written");
    const QByteArray bytes = f.readAll();
    if (bytes.size() >= 4194304) Finding("a job of 4 MiB or more was written without refusal");
    KeepJob(bytes);
    const sim::JobDecodeResult decoded = sim::DecodeJob(bytes);
    if (!decoded.ok())
      Finding("the job written does not decode: " + decoded.error.toStdString() + " at byte " +
              std::to_string(decoded.errorOffset));
  }
}

}  // namespace vm::fuzz
