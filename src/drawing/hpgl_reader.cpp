// HPGL mode of the drawing reader: the tokenizer, the instructions understood
// (PW, SP, PR, PD, PA, PU, C, M; LB text, quoted texts and PE data are
// skipped) and one figure per pen-down run. Coordinates are plotter units as they stand.
#include <QString>
#include <algorithm>
#include <climits>

#include "drawing/errors.h"
#include "drawing/hpgl.h"
#include "drawing/number_parse.h"
#include "drawing/rounding.h"

namespace vm {

namespace {
inline bool IsLetter(char c) { return c >= 'A' && c <= 'Z'; }
inline bool IsNumberChar(char c) {
  return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}
inline char Upper(int c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c); }

// The label terminator a plot starts with (ETX); "DT" chooses another.
constexpr char kLabelTerminator = 3;
constexpr char kQuote = '"';
// The data of an encoded polyline ends at the instruction terminator.
constexpr char kEncodedTerminator = ';';

// A mnemonic of one or two letters as one number: first letter in the high byte.
constexpr std::uint16_t Code(const char* m) {
  return static_cast<std::uint16_t>((static_cast<unsigned char>(m[0]) << 8) |
                                    static_cast<unsigned char>(m[1]));
}
constexpr std::uint16_t kPW = Code("PW"), kSP = Code("SP"), kPR = Code("PR"), kPD = Code("PD"),
                        kPA = Code("PA"), kPU = Code("PU"), kC = Code("C"), kM = Code("M"),
                        kLB = Code("LB"), kPE = Code("PE"), kDT = Code("DT"), kIN = Code("IN"),
                        kDF = Code("DF"), kCO = Code("CO"), kBP = Code("BP");
constexpr int kMaxPen = 256;

TPointI Add(TPointI a, TPointI b) { return {CheckedAdd(a.X, b.X), CheckedAdd(a.Y, b.Y)}; }

void CheckPen(std::int64_t pen) {
  if (pen < 0 || pen > kMaxPen) {
    throw RangeError("pen number " + std::to_string(pen) + " outside 0.." +
                     std::to_string(kMaxPen));
  }
}
}  // namespace

void Thpgl::OpenHpgl() {
  hpglEnd_ = false;
  instructionPending_ = false;
  labelTerminator_ = kLabelTerminator;
  ReadChar();
  Mnemonic.clear();
  mnemonicCode_ = 0;
  TokenText.clear();
  IsMnemonic = IsNumber = false;
  ParamCount = 0;
  Param1 = Param2 = 0;
  Relative = false;
  PenIsDown = false;
  FigureDone = false;
  Current = Previous = LastPos = RelOrigin = TPointI{};
  CurrentPen = 0;
  PenWidths.fill(0.0);
  AtEof = hpglEnd_;
}

void Thpgl::ReadCharRefill() {
  const int c = GetByte();
  if (c < 0) {
    hpglEnd_ = true;
    Ch = ' ';
  } else {
    Ch = Upper(c);
  }
}

void Thpgl::ScanToken() {
  IsMnemonic = IsNumber = false;
  if (IsLetter(Ch)) {
    // One or two letters; a third letter begins the next token.
    IsMnemonic = true;
    TokenText.assign(1, Ch);
    ReadChar();
    if (!hpglEnd_ && IsLetter(Ch)) {
      TokenText.push_back(Ch);
      ReadChar();
    }
  } else if (IsNumberChar(Ch)) {
    IsNumber = true;
    TokenText.assign(1, Ch);
    for (;;) {
      // The rest of the run that lies in the buffer is taken at once; a run
      // split by a refill goes on with the first character of the next fill.
      std::size_t i = bufPos_;
      while (i < bufLen_ && IsNumberChar(buf_[i])) ++i;
      TokenText.append(buf_.data() + bufPos_, i - bufPos_);
      bufPos_ = i;
      ReadChar();
      if (hpglEnd_ || !IsNumberChar(Ch)) break;
      TokenText.push_back(Ch);
    }
  } else if (Ch == kQuote && (mnemonicCode_ == kCO || mnemonicCode_ == kBP)) {
    // A quoted text (the comment of "CO", the picture name of "BP") is
    // text, not instructions: its letters and signs are passed over whole.
    // Only these instructions take one, so a stray quote elsewhere cannot
    // swallow the rest of the plot.
    ReadChar();
    while (!hpglEnd_ && Ch != kQuote) ReadChar();
    if (!hpglEnd_) ReadChar();
  } else {
    ReadChar();  // separators, blanks, line ends and anything else
  }
}

void Thpgl::NextToken() {
  do {
    ScanToken();
  } while (!IsMnemonic && !IsNumber && !hpglEnd_);
}

void Thpgl::SkipLabelText() {
  // The label text runs up to the terminator; none of it is an instruction.
  while (!hpglEnd_ && Ch != labelTerminator_) ReadChar();
  if (!hpglEnd_) ReadChar();
}

void Thpgl::DefineLabelTerminator() {
  // "DT" followed directly by a character makes it the end of label texts
  // (plots write "DT*,1;" and then "LBtext*"); "DT;" or "DT" alone restores
  // ETX. Without this, the first label would run to the end of the plot and
  // take every later line with it.
  if (hpglEnd_ || Ch == ';') {
    labelTerminator_ = kLabelTerminator;
    return;
  }
  labelTerminator_ = Ch;
  ReadChar();
}

void Thpgl::SkipEncodedPolyline() {
  // Encoded coordinates are letters and signs of a number base, not
  // instructions: read as instructions they would draw figures the plot
  // does not hold. The instruction is left out whole and counted.
  bool data = false;
  while (!hpglEnd_ && Ch != kEncodedTerminator) {
    data = data || Ch > ' ';
    ReadChar();
  }
  if (data) SkippedEncodedPolylines = CheckedAdd<std::int32_t>(SkippedEncodedPolylines, 1);
}

double Thpgl::NumberValue() const {
  const std::string& t = TokenText;
  if (t.size() == 1 && t[0] == '.') return 0.0;  // "." alone counts as 0
  // Plain integers are by far the most common; read them without the general parser.
  std::size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == '-' || t[i] == '+')) negative = t[i++] == '-';
  if (i < t.size() && t.size() - i <= 15) {
    std::int64_t v = 0;
    std::size_t j = i;
    for (; j < t.size() && t[j] >= '0' && t[j] <= '9'; ++j) v = v * 10 + (t[j] - '0');
    if (j == t.size()) return static_cast<double>(negative ? -v : v);
  }
  try {
    return ParseFileDouble(t);
  } catch (const ConversionError&) {
    // The operator is shown the text in the language of the program.
    throw MessageError(
        "Project_window", "plikHpglZlaLiczba",
        QString::fromLatin1(t.data(), static_cast<qsizetype>(std::min<std::size_t>(t.size(), 60))));
  }
}

void Thpgl::ReadInstruction() {
  ParamCount = 0;
  if (IsMnemonic) {
    Mnemonic = TokenText;
    mnemonicCode_ = Code(Mnemonic.c_str());
    instructionPending_ = true;
    if (mnemonicCode_ == kDT) DefineLabelTerminator();
    if (mnemonicCode_ == kIN || mnemonicCode_ == kDF) labelTerminator_ = kLabelTerminator;
    if (mnemonicCode_ == kLB) SkipLabelText();
    if (mnemonicCode_ == kPE) SkipEncodedPolyline();
    NextToken();
    if (!IsNumber) {
      if (Relative) Current = {0, 0};
      if (mnemonicCode_ == kPR) Current = LastPos;
      return;
    }
  } else if (IsNumber) {
    // A number continues the coordinate list of the instruction in force.
    instructionPending_ = true;
  } else {
    NextToken();  // nothing read yet (start) or the end of the drawing
    return;
  }
  Param1 = NumberValue();
  ParamCount = 1;
  NextToken();
  if (!IsNumber) return;
  Param2 = NumberValue();
  ParamCount = 2;
  Current = {Round(Param1), Round(Param2)};
  NextToken();
}

void Thpgl::ExecuteInstruction(tfigura& figure) {
  const std::uint16_t m = mnemonicCode_;
  if (m == 0) return;  // no instruction read yet
  if (m == kPW) {
    if (ParamCount >= 2) {
      const std::int32_t pen = Round(Param2);
      CheckPen(pen);
      PenWidths[static_cast<std::size_t>(pen)] = Param1;
    } else {
      // A width without a pen number applies to every pen; no numbers restores
      // the width every pen starts with.
      PenWidths.fill(ParamCount == 1 ? Param1 : 0.0);
    }
  } else if (m == kSP) {
    CurrentPen = ParamCount >= 1 ? Round(Param1) : 0;
    if (PenIsDown) FigureDone = true;
  } else if (m == kPR) {
    Relative = true;
    RelOrigin = Add(RelOrigin, Current);
    Current = RelOrigin;
  } else if (m == kPD || (m == kPA && PenIsDown)) {
    if (!PenIsDown) {
      CheckPen(CurrentPen);
      figure.Pen = CurrentPen;
      figure.PenWidth = PenWidths[static_cast<std::size_t>(CurrentPen)];
      figure.Points.push_back(Previous);
    }
    PenIsDown = true;
    if (Relative) {
      RelOrigin = Add(RelOrigin, Current);
      Current = RelOrigin;
    }
    if (figure.Points.empty() || figure.Points.back() != Current) figure.Points.push_back(Current);
    LastPos = Current;
  } else if (m == kPU) {
    if (PenIsDown) {
      PenIsDown = false;
      FigureDone = true;
      if (Relative) {
        RelOrigin = Add(RelOrigin, Current);
        Current = RelOrigin;
      }
      LastPos = Current;
      Relative = false;
    }
  } else if (m == kC) {
    if (!PenIsDown) figure.Points.push_back(LastPos);
    PenIsDown = true;
    figure.Points.push_back(Current);
    LastPos = Current;
  } else if (m == kM) {
    if (PenIsDown) {
      PenIsDown = false;
      FigureDone = true;
    }
    LastPos = Current;
  } else if (m == kPA) {  // pen up
    LastPos = Current;
    RelOrigin = {0, 0};
  }
  // "IP" and every other instruction: no effect beyond moving Current.
}

void Thpgl::ReadFigureHpgl(tfigura& figure) {
  figure.Pen = CurrentPen;
  FigureDone = false;
  PenIsDown = false;  // every figure starts with the pen up
  for (;;) {
    if (instructionPending_) {
      instructionPending_ = false;
      ExecuteInstruction(figure);
    }
    Previous = Current;
    ReadInstruction();
    if (FigureDone) break;
    // An instruction that ends with the file is still executed before the end,
    // also when its token was the first one found (a file of one instruction).
    if (hpglEnd_ && !instructionPending_ && !IsMnemonic && !IsNumber) break;
  }
  AtEof = hpglEnd_ && !instructionPending_ && !IsMnemonic && !IsNumber;
  FinishFigure(figure);
}

}  // namespace vm
