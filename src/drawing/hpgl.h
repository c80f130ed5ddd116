// The drawing reader and job writer object `Thpgl`: one instance lives for one
// load or one save. The reader opens a drawing in HPGL (mode 1) or DXF (mode 2)
// and returns one figure per ReadFigure call; the frame (file, buffered byte
// source, common end of a figure) is shared by both modes.
//
// HPGL mode: hpgl_reader.cpp. DXF mode: dxf_reader.cpp. Job writer: job_writer.cpp.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/figury.h"
#include "drawing/job_writer.h"
#include "drawing/points.h"

namespace vm {

class Thpgl : public JobWriter {
 public:
  Thpgl();
  ~Thpgl();
  Thpgl(const Thpgl&) = delete;
  Thpgl& operator=(const Thpgl&) = delete;

  // Opens a drawing: mode 1 HPGL, 2 DXF. Returns 0 on success, else the
  // input/output result code of the failed open (2 not found, 3 path not found,
  // 5 access denied, 32 used by another process). Any other mode does nothing
  // and returns 0.
  int Open(const QString& fileName, int mode);

  // Reads the next figure into a newly created figure. On return the figure's
  // Valid tells whether it got points; stop calling once AtEof is set.
  void ReadFigure(tfigura& figure);

  // Closes the drawing; a failure raises IoError. Closing a closed reader does nothing.
  void Close();

  // ---- Reader state shared by both modes ----
  int Mode = 0;       // 1 HPGL, 2 DXF
  bool AtEof = true;  // the end of the drawing has been reached (HPGL: and no
                      // instruction read is still waiting to be executed)
  bool FigureDone = false;

  // ---- HPGL mode ----
  char Ch = ' ';          // look-ahead character, upper-cased; blank at the end
  std::string TokenText;  // text of the current token
  bool IsMnemonic = false;
  bool IsNumber = false;
  std::string Mnemonic;  // instruction in force, at most two letters
  int ParamCount = 0;    // numbers read for the current instruction: 0, 1 or 2
  double Param1 = 0;
  double Param2 = 0;
  TPointI Current;   // coordinate pair of the current instruction (absolute)
  TPointI Previous;  // Current of the previous instruction
  TPointI LastPos;   // last pen position (PD, PU, PA, M, C)
  bool PenIsDown = false;
  bool Relative = false;  // "PR" in force
  TPointI RelOrigin;      // absolute position relative coordinates are added to
  std::int32_t CurrentPen = 0;
  std::array<double, 257> PenWidths{};  // "PW" widths of pens 0..256

  // ---- DXF mode (dxf_reader.cpp) ----
  bool CodeLinePending = true;  // the next line read is a group code
  std::int32_t LineCount = 0;   // lines read so far
  bool InEntities = false;      // the line "ENTITIES" has been read
  TPointI LastAdded;            // last point appended by AddDxfPoint
  // What the drawing holds that is not read, for the operator: block
  // references (INSERT) of the model and polyface or polygon meshes. Entities
  // of the paper space (the sheet layout) are left out without a count.
  std::int32_t SkippedBlockRefs = 0;
  std::int32_t SkippedMeshes = 0;
  // HPGL: polylines in the encoded form of newer plotters ("PE"), which are
  // not read; their data is passed over whole, up to the ";" that ends it.
  std::int32_t SkippedEncodedPolylines = 0;

  // Group-pair reading. ReadLine returns the next line untrimmed (valid until
  // the next read); CR LF, LF CR, LF and CR all end a line.
  std::string_view ReadLine();
  // Read the next line as a number ("." or "," decimal point); an empty line
  // leaves the value unchanged, anything else that is no finite number raises
  // MessageError ("Project_window", "zbiorUszkodzony").
  void ReadDouble(double& x);
  void ReadInt(std::int32_t& n);
  // The last line read was a group-code line (value line) whose trimmed text
  // equals code (word), case-insensitively.
  bool IsGroupCode(std::string_view code) const;
  bool IsValue(std::string_view word) const;
  // The number of the last group-code line read ("0" or digits without a
  // leading zero), or -1 when it is none.
  int GroupCodeNumber() const;

  // ---- Job writer: the JobWriter base (job_writer.h) ----

 protected:
  // Buffered byte source over the open drawing. GetByte returns the next byte
  // (0..255) or -1 at the end; a read error raises IoError.
  int GetByte() {
    if (bufPos_ < bufLen_) return static_cast<unsigned char>(buf_[bufPos_++]);
    return Refill() ? static_cast<unsigned char>(buf_[bufPos_++]) : -1;
  }
  // The next byte without consuming it, or -1 at the end.
  int PeekByte() {
    if (bufPos_ < bufLen_ || Refill()) return static_cast<unsigned char>(buf_[bufPos_]);
    return -1;
  }
  bool FileIsOpen() const { return fd_ >= 0; }

  // Opens fileName for reading; 0 or the input/output result code.
  int OpenFile(const QString& fileName);

  // Common end of ReadFigure for both modes: box, closure (open unless more
  // than two points and the first equals the last), Valid.
  static void FinishFigure(tfigura& figure);

 private:
  bool Refill();

  // HPGL mode
  void OpenHpgl();
  void ReadFigureHpgl(tfigura& figure);
  void ReadChar() {
    // Fast path inside the buffer; the refill and the end of the file below.
    if (bufPos_ < bufLen_) {
      const char c = buf_[bufPos_++];
      Ch = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    } else {
      ReadCharRefill();
    }
  }
  void ReadCharRefill();
  void ScanToken();
  void NextToken();
  void ReadInstruction();
  void ExecuteInstruction(tfigura& figure);
  void SkipLabelText();
  void DefineLabelTerminator();
  void SkipEncodedPolyline();
  double NumberValue() const;

  // DXF mode entry points (dxf_reader.cpp)
  void OpenDxf();
  void ReadFigureDxf(tfigura& figure);
  // DXF helpers (dxf_reader.cpp)
  bool IsEntity(std::string_view name) const;
  bool FindCode(std::string_view code);
  bool ReadDxfPoint(TPointD& p);
  void SkipToVertexOrSeqend();
  TPointI DxfToPlotter(double x, double y) const;
  double DxfLengthToMm(double length) const;
  std::int32_t DxfSegmentCount(double lengthMm, double fraction) const;
  void AddDxfPoint(tfigura& figure, double x, double y);
  void AppendDxfPoint(tfigura& figure, double x, double y);
  void AddArcPoints(tfigura& figure, TPointD centre, double r, double a0, double w, double a1);
  void AddBulgeArc(tfigura& figure, TPointD p1, TPointD p2, double bulge);
  void AddSplineSegment(tfigura& figure, const std::vector<TPointD>& v, int i, int first, int last);
  [[noreturn]] void BadDxfValue(std::string_view text) const;
  [[noreturn]] void BadDxfValueAt(std::int32_t line, std::string_view text) const;
  [[noreturn]] void TooManyPoints() const;
  void SetExtrusion(const double* n, double elevation);
  void ReserveCurvePoints(const tfigura& figure, double count) const;
  void CheckCurveBox(TPointD centre, double extent) const;
  void AddPolylineVertices(tfigura& figure, const std::vector<TPointD>& v,
                           const std::vector<double>& bulges, bool closed);
  void AddFitSpline(tfigura& figure, const std::vector<TPointD>& fits, bool closed,
                    const TPointD* startTangent, const TPointD* endTangent);
  void SkipPolylineVertices();
  void ReadDxfInsert();
  void ReadDxfLine(tfigura& figure);
  void ReadDxfCircle(tfigura& figure);
  void ReadDxfEllipse(tfigura& figure);
  void ReadDxfArc(tfigura& figure);
  void ReadDxfPolyline(tfigura& figure, bool lightweight);
  void ReadDxfSplineFit(tfigura& figure, bool closed);
  void ReadDxfSpline(tfigura& figure);

  int fd_ = -1;
  std::vector<char> buf_;
  std::size_t bufPos_ = 0;
  std::size_t bufLen_ = 0;
  bool hpglEnd_ = true;              // the HPGL look-ahead has passed the last character
  std::uint16_t mnemonicCode_ = 0;   // Mnemonic as two letters in one number, for dispatch
  bool instructionPending_ = false;  // an instruction was read and not yet executed
  char labelTerminator_ = 3;         // ends the text of "LB"; set by "DT", ETX at start

  // DXF line state
  std::string_view dxfLine_;     // the last line read, untrimmed
  std::string_view dxfTrimmed_;  // the same, trimmed
  std::string dxfLineCopy_;      // holds a line that does not lie in one buffer fill
  bool dxfCodeZero_ = false;     // the last group-code line read was "0"
  bool dxfBinary_ = false;       // the file is a binary DXF file (its sentinel was found)
  bool dxfReuseLine_ = false;    // the last line read names an entity still to be read
  // Object coordinates of the entity being read (extrusion direction other
  // than +Z): X and Y components of the object's X axis, Y axis and normal,
  // and its elevation along the normal.
  bool ocsActive_ = false;
  double ocsAx_[2] = {1, 0};
  double ocsAy_[2] = {0, 1};
  double ocsN_[2] = {0, 0};
  double ocsZ_ = 0;
  std::int64_t dxfDrawingPoints_ = 0;  // points of the figures read so far
};

// Header value "$LTSCALE" of the DXF drawing being read: 1 until the drawing
// sets it, and back to 1 for every DXF drawing opened. A drawing whose value is
// 0.000394 is in inches.
extern double LtScale;

}  // namespace vm
