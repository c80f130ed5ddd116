// The frame of the drawing reader: opening and closing the drawing, the
// buffered byte source, mode dispatch and the common end of a figure.
#include "drawing/hpgl.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <climits>

#include "drawing/errors.h"
#include "drawing/rounding.h"

namespace vm {

namespace {
constexpr std::size_t kBufferSize = 256 * 1024;

// Result codes of a failed open, as the callers know them.
int OpenResultCode(int err) {
  switch (err) {
    case ENOENT:
      return 2;  // file not found
    case ENOTDIR:
    case ENAMETOOLONG:
      return 3;  // path not found
    case EMFILE:
    case ENFILE:
      return 4;  // too many open files
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
      return 5;  // access denied
    case EBUSY:
    case ETXTBSY:
    case EAGAIN:
      return 32;  // used by another process
    default:
      return 31;  // general failure
  }
}
}  // namespace

Thpgl::Thpgl() = default;

Thpgl::~Thpgl() {
  if (fd_ >= 0) ::close(fd_);
}

int Thpgl::OpenFile(const QString& fileName) {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  bufPos_ = bufLen_ = 0;
  const QByteArray path = QFile::encodeName(fileName);
  if (path.isEmpty()) return 2;
  int fd;
  do {
    fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    const int err = errno;
    if (err == ENOENT && !QFileInfo(fileName).absoluteDir().exists()) return 3;
    return OpenResultCode(err);
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return 5;
  }
  fd_ = fd;
  if (buf_.size() != kBufferSize) buf_.resize(kBufferSize);
  return 0;
}

bool Thpgl::Refill() {
  if (fd_ < 0) return false;
  ssize_t n;
  do {
    n = ::read(fd_, buf_.data(), buf_.size());
  } while (n < 0 && errno == EINTR);
  if (n < 0) throw IoError("read error in the drawing file (errno " + std::to_string(errno) + ")");
  bufPos_ = 0;
  bufLen_ = static_cast<std::size_t>(n);
  return n > 0;
}

int Thpgl::Open(const QString& fileName, int mode) {
  if (mode != 1 && mode != 2) return 0;
  Mode = mode;
  const int code = OpenFile(fileName);
  if (code != 0) return code;
  if (mode == 1) {
    OpenHpgl();
  } else {
    OpenDxf();
  }
  return 0;
}

void Thpgl::ReadFigure(tfigura& figure) {
  if (Mode == 1) {
    ReadFigureHpgl(figure);
  } else if (Mode == 2) {
    ReadFigureDxf(figure);
  }
}

void Thpgl::Close() {
  if (fd_ < 0) return;
  const int r = ::close(fd_);
  fd_ = -1;
  bufPos_ = bufLen_ = 0;
  if (r != 0) throw IoError("the drawing file could not be closed");
}

void Thpgl::FinishFigure(tfigura& figure) {
  const auto& pts = figure.Points;
  if (pts.empty()) {
    figure.Valid = false;
    return;
  }
  std::int32_t minX = INT32_MAX, minY = INT32_MAX, maxX = INT32_MIN, maxY = INT32_MIN;
  for (const TPointI& p : pts) {
    if (p.X < minX) minX = p.X;
    if (p.X > maxX) maxX = p.X;
    if (p.Y < minY) minY = p.Y;
    if (p.Y > maxY) maxY = p.Y;
  }
  // A figure wider or higher than the largest coordinate cannot be measured.
  if (std::int64_t{maxX} - minX > INT32_MAX || std::int64_t{maxY} - minY > INT32_MAX)
    throw MessageError("Project_window", "figuraPozaZakresem");
  figure.Width = maxX - minX;
  figure.Height = maxY - minY;
  figure.fig_pp = {minX, minY};
  figure.fig_pk = {maxX, maxY};
  figure.Depth = 0;
  figure.Open = !(pts.size() > 2 && pts.front() == pts.back());
  figure.Valid = true;
}

}  // namespace vm
