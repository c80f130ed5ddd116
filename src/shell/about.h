// The About box: the build date, what the connected machine reports about
// itself (producer, model, working area, running time, number of files cut)
// and, depending on the dealer identifier, a web link and a dealer logo.
//
// This class holds the box's texts, visibility and geometry; the widget shows
// them and forwards clicks and keys.
#pragma once

#include <QString>
#include <functional>

namespace vm {

// The maker's web address (no dealer, or the dealer "CORVANTA") and that of
// the dealer "TARVIK".
inline constexpr const char* kMakerWebAddress = "https://www.corvanta.example/";
inline constexpr const char* kTarvikWebAddress = "https://www.tarvik.example/";

// Window heights without and with a dealer logo, and how far the machine
// labels move up when the producer line is hidden.
inline constexpr int kAboutHeight = 215;
inline constexpr int kAboutHeightWithLogo = 283;
inline constexpr int kAboutProducerShift = 10;

// The machine link as the box uses it. A missing function counts as a link
// that failed, so the box shows "no data".
struct TAboutMachineLink {
  std::function<void()> ReadStatus;
  std::function<bool()> LinkFailed;  // the port-error flag or the last error is set
  std::function<void()> ReadMachineInfo;
};

class TAboutBox {
 public:
  explicit TAboutBox(TAboutMachineLink link = {}) : link_(std::move(link)) {}

  // ---- what the box shows ----
  QString Caption;
  QString Labelprog, Labelver, ver;
  QString GroupBox1;
  QString Labelprod, prod;
  QString Labelmodel, model;
  QString Labelobszar, obszar;
  QString Labelprzebieg, przebieg;
  QString Labelilpl, ilpl;
  QString lWww;  // the web link, empty when there is none
  bool lWwwVisible = false;
  QString dealerHint;           // hint of the logo: the web link
  QString LogoFile;             // the logo's file; empty when no logo is shown
  bool ProducerVisible = true;  // Labelprod and prod
  int MachineLabelsShift = 0;   // pixels the other machine labels move up
  int Height = kAboutHeight;
  bool RightToLeft = false;

  // Texts, link, layout and the logo lookup (the dealer's name with ".bmp" in
  // the program's folder).
  void FormCreate();
  // The widget could not decode the logo file: no logo, the small height.
  void LogoNotLoaded();
  // Caption and build date; the machine's data, or ("About", "brakDanych")
  // in every value when the link fails.
  void FormActivate();
  // Opens the link (the logo's hint) with the shell; nothing when empty.
  void lWwwClick() const;
  void dealerClick() const;

  // The running-time text: whole hours, ("About", "godz"), the remaining
  // minutes and " min.".
  static QString RunningTimeText(int minutes);

 private:
  bool MachineAnswers();

  TAboutMachineLink link_;
};

}  // namespace vm
