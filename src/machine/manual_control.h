// The manual control window's logic (Tster): the operator's panel for the
// machine and the operations the rest of the program moves the machine with.
//
// It shows the wire position, the speed and the heating power from a 100 ms
// poll, jogs the wire with keys, buttons or a joystick, switches the heating,
// homes the machine, and owns go to point (the one absolute move), pause and
// continue of a running job, the slow turn and the software speed ramp of a
// heavy turntable, and the repetitions of a serial job.
//
// The window widget (machine/ui/manual_window.h) shows the texts, bars and
// enable states held here and forwards its events to the handlers; what the
// logic needs from the window (closing, focus, cursor, the dialogs it opens,
// the event queue) comes through Hooks.
#pragma once

#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>

#include "machine/abort_probe.h"
#include "platform/joystick.h"

namespace vm {

// Longest wait for one homing command before the motion is stopped.
inline constexpr int kHomingTimeoutMs = 10 * 60 * 1000;
// Times a missing acknowledge byte is read again while a slow turn slows down.
inline constexpr int kSlowTurnAckRetries = 2;
// Start and end speed of the turntable's software ramp (mm/min).
inline constexpr double kRampStartSpeed = 20;

// A scroll bar: range and position; OnChange runs whenever the position
// changes, by the operator or from code.
struct TScrollBarModel {
  int Min = 0;
  int Max = 100;
  int Position = 0;
  std::function<void()> OnChange;

  // Clamped into Min..Max.
  void SetPosition(int position);
  // The position is clamped into the new range.
  void SetMax(int max);
};

// The bar position after numpad + (`add`) or numpad -: steps of 100 from
// 1000, 10 from 100, 1 from 10 and none below; + stops at `maxTravelSpeed`,
// - at 10.
int NumpadSpeedStep(int position, bool add, int maxTravelSpeed);

// Direction code of the joystick: +1 right, -1 left, +4 up, -4 down (summed),
// then buttons 8 (8: turn up), 4 (-8: turn down) and 1 (16: heating), the
// later overriding the earlier.
int JoystickDirectionOf(const platform::JoystickState& state);
// Speed bar position for a deflected stick: the larger deflection of the two
// axes as a share of MaxTravelSpeed.
int JoystickSpeedOf(const platform::JoystickState& state, int maxTravelSpeed);

class Tster {
 public:
  // The jog buttons and STOP, as MMouseDown and MMouseUp are told.
  enum class Button { ku, kd, kl, kr, kzu, kzd, kstop };

  struct Hooks {
    // True when a window message waits (the operator's input goes first);
    // may handle it. Without it nothing ever waits.
    std::function<bool()> MessageWaiting;
    std::function<void()> Close;       // closes the window
    std::function<void()> Changed;     // the shown state changed: repaint
    std::function<void()> ClearFocus;  // no control focused
    std::function<void()> SetWaitCursor, RestoreCursor;
    std::function<void()> ShowMoveDialog;  // the move-wire dialog
    std::function<void()> ShowBasePoints;  // the base-points dialog, modally
    std::function<void()> Show;            // shows the window, not modally
    // The probe of the homing wait (a key or left click ends it).
    std::function<std::unique_ptr<AbortProbe>()> MakeAbortProbe;
    // The joystick; the platform's by default.
    std::function<int()> JoystickCount;
    std::function<bool(platform::JoystickState&)> ReadJoystick;
  };

  Tster();
  Tster(const Tster&) = delete;
  Tster& operator=(const Tster&) = delete;

  Hooks hooks;

  // --- handlers ---
  // Texts; opens the port (False with ("Control", "bladLaczaSzer") shown when
  // it cannot); reads the machine when it answers and starts the poll.
  bool FormCreate();
  // Reads the machine into the window, switches the heating off unless a job
  // runs, sets up the rotary axis and starts the poll.
  void FormActivate();
  // Stops the poll and any jog still running; remembers the rotary position
  // when the axis was turned.
  void FormDeactivate();
  void FormDestroy();
  void Timer1Timer();
  // Key codes of machine/virtual_keys.h.
  void OnKeyDown(int key);
  void OnKeyUp(int key);
  // Left button alone, on a jog button or STOP.
  void MMouseDown(Button button);
  void MMouseUp(Button button);
  void k_zalwylClick();
  void VScrollChange();
  void PScrollChange();
  void kstopClick();
  // False while the turntable slows down: the window stays open.
  bool zamknijClick();
  void keyprzesunClick();
  void BaseClick();

  // --- operations of the other windows ---
  // Absolute move to (x, y) mm and rotary position z (steps), the rotation the
  // shorter way round, at speed slot `slot`; with `wait` until the machine is
  // idle. False (the reason shown) when the link is down, the machine moves or
  // runs a job, the point lies outside the working area of a homed machine,
  // or the link failed during the move; false too when the operator gave up
  // a wait for the machine (it was stopped and is sent no further move).
  bool gotopoint(bool wait, std::uint8_t slot, double x, double y, double z);
  // Pauses a running job: stops it, remembers where, retreats the wire by work
  // mode and selects the jog speed. False when no job runs, the link is down,
  // or the retreat was refused or given up (the heating goes off all the same).
  bool wstrzymaj();
  // Resumes a held job, or continues a stopped one from the remembered point;
  // when the return there is refused or given up the job stays stopped with
  // the heating off.
  void kontynuuj();
  // Slow trapezoidal turn of the rotary axis by `steps`. False when it was
  // broken off because the controller stopped confirming (the reason shown),
  // or when the operator gave up a wait for the machine.
  bool obroc_spokojnie(std::int32_t steps);
  // The sequencer has started a serial series ("G"): the poll repeats it once
  // it has seen it run and end normally.
  void SerialSeriesStarted();
  // Starts a turntable jog (Page Up / Page Down) with the software ramp.
  void startZ(int key);
  // Tests the link; reports ("Control", "ploterBrakLacznosci") when it is down.
  void powtorz();
  // Homing (also the Home key); on a homed machine away from the origin it
  // moves to the origin instead.
  void bazujClick();

  // --- what the window shows ---
  QString Caption;
  QString GroupBox1Caption;  // position, with the length unit
  QString SzybkoscCaption;   // speed group, by slot
  QString MocCaption;        // power group, by channel
  QString wmx, wmy, wmz;     // position X, Y (unit) and rotation (degrees)
  QString speedlabel, PowerLabel, chwilowaLabel;
  QString stan_drutu;  // wire state
  QString BazujCaption, ZamknijCaption, KeyprzesunCaption, BaseCaption;
  struct {
    QString kzd, kzu, k_zalwyl, kl, kr, ku, kd;
  } Hints;
  TScrollBarModel VScroll;   // jog speed 20..3000
  TScrollBarModel PScroll;   // heating power 0..100 %
  TScrollBarModel chwilowa;  // instantaneous speed 1..3000
  struct {
    bool ku = true, kd = true, kl = true, kr = true, kzu = true, kzd = true;
    bool k_zalwyl = true, Bazuj = true, keyprzesun = true;
  } Enabled;
  // k_zalwyl shown pressed: the heating relay is on.
  bool HeatingShownOn() const;

  // --- state ---
  QTimer& Timer1() { return timer_; }
  bool Polling() const { return timer_.isActive(); }
  bool Accelerating() const { return accelerating_; }
  bool Decelerating() const { return decelerating_; }
  double RampSpeed() const { return rampSpeed_; }
  int RampAcceleration() const { return acceleration_; }
  int JoystickDirection() const { return joyDirection_; }
  int SavedBarPosition() const { return savedBar_; }

 private:
  struct OperationScope;
  void Notify();
  void ToggleHeatingKey();
  void JogKey(int key);
  void TurnKey(int key);
  void ReadJoystickStep(bool running);
  void SerialRepetition();
  bool HomingStep(const char* command);
  bool SendMove(std::int32_t dX, std::int32_t dY, std::int32_t dZ);
  // Waits for the machine before a jog; the wait takes the operator's input.
  // False, and no jog is to start, when the wait was given up or the link
  // failed, or when the key or button (`held`) was let go meanwhile.
  bool ReadyToJog(const bool& held);
  void StopJogs();

  QTimer timer_;
  int depth_ = 0;  // operations in progress: the poll waits for them
  int savedBar_ = 100;
  int lastKey_ = 0;
  bool buttonJog_ = false;  // a jog button is held
  // Software ramp of a heavy turntable.
  double rampTime_ = 0;
  bool accelerating_ = false;
  bool decelerating_ = false;
  int acceleration_ = 0;
  double rampSpeed_ = kRampStartSpeed;
  std::uint16_t rampSlotValue_ = 0;
  int joyDirection_ = 0;
  // The poll has seen the current serial series run.
  bool seriesJobSeen_ = false;
  // Position of the last pause (1/100 mm, steps).
  std::int32_t pauseX_ = 0, pauseY_ = 0, pauseZ_ = 0;
  // Speed slot and power channel shown last (255: none yet).
  int lastSlot_ = 255;
  int lastChannel_ = 255;
};

// The one manual control window of the program.
Tster& ster();
// A fresh window (tests).
void ResetTster();

// The main window's Manual control command: reads the machine's identity and
// sets up the rotary axis when the link works, then shows the window (in
// every case, not modally).
void sterowanieClick();

}  // namespace vm
