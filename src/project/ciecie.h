// Plain-cutting preparation of a project: turns the flat figure list into one
// cutting tree. It chooses the figure cut first and where the wire enters it
// (an outer 5-point frame, a lead-in line, an added frame or an added start
// point), links every figure that touches a reached one, connects the rest by
// straight connector cuts that pass through no other drawn figure, and marks
// the corners where connectors may attach. Every drawn figure is reached
// unless no clear cut leads to it; such figures are reported, and the saver
// refuses a job that would leave them uncut.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "project/okno_plt.h"

namespace vm {

// What the preparation reads from the settings.
struct TPlainCutSettings {
  std::int32_t Mode = 2;  // 2 cutting, 3 serial cutting
  bool AddFrame = false;  // add a frame 10 mm around the project when no other start exists
};

// Everything the preparation needs from outside the project.
struct TPlainCutEnv {
  TPlainCutSettings Settings;
  // Abort probe: takes one pending operator event and says whether it was a
  // key press or a left-button press. Empty: nothing ever aborts.
  std::function<bool()> Aborted;
  // Called whenever the status text changed (the widget repaints it), and
  // once at the end with the window to be repainted whole.
  std::function<void(TMDIChild&)> Progress;
  // Run the connector search exactly as defined, comparing every pair on every
  // call (slow on large projects); tests compare the faster search with it.
  bool ReferenceSearch = false;
  // Keep connectors that cut through a drawn figure other than the two they
  // join, and leave figures the searches cannot join unreached: the search
  // that tests only the two figures joined. Tests compare the cutting paths
  // of drawings it already joins cleanly with it.
  bool KeepCrossingConnectors = false;
};

struct TPlainCutResult {
  bool Aborted = false;       // the operator stopped the connector search
  std::int32_t Unlinked = 0;  // figures the cutting path does not reach
  std::int32_t Connectors = 0;
  std::int32_t PairsGivenUp = 0;  // figure pairs whose every cut crossed one of them
  // Figure pairs given up because every cut tried between them went through
  // another drawn figure.
  std::int32_t PairsBlocked = 0;
  // Indexes of the figures left unreached, ascending.
  std::vector<std::int32_t> UnreachedFigures;
};

// Prepares the project for plain cutting. A second call starts over: the
// figures an earlier call added (frame, start point, connectors) are removed
// and every figure is unlinked again first. Raises vm::Error (range, overflow)
// on coordinates too large for the arithmetic.
TPlainCutResult PrepareCiecie(TMDIChild& w, const TPlainCutEnv& env);

// The figure's vertex nearest to the project's lower-left corner (MinX, MinY),
// distances rounded to whole units; the first of equal vertices wins.
std::int32_t NearestEntryPoint(const TMDIChild& w, std::int32_t f);

// Touch test: the first pair of vertices, a's from the last down, then b's from
// the last down, within 10 units in X and in Y. A start point or connector end
// (kind 3) snaps onto the vertex it touches.
bool TouchTest(TMDIChild& w, std::int32_t a, std::int32_t b, std::int32_t& ia, std::int32_t& ib);

// Removes the figures an earlier preparation added and unlinks every figure.
void ResetPlainCutting(TMDIChild& w);

// Per figure: the cutting path reaches it, that is its chain of link parents,
// none of them flagged unlinked, leads to the first figure. A figure joined to
// a parent that is itself never reached is not reached either.
std::vector<char> ReachedFigures(const TMDIChild& w);

// The drawn figures of a prepared project that its cutting path does not
// reach, ascending.
std::vector<std::int32_t> UnreachedFigures(const TMDIChild& w);

// The list of figure numbers shown in messages: "3, 17, 25", cut short with
// "..." after `shown` numbers.
QString FigureNumbers(const std::vector<std::int32_t>& figures, std::size_t shown = 20);

// The text of the progress line: "ready" text, a blank, the percentage of
// linked figures and "%".
QString ReadyText(const TMDIChild& w);
QString ReadyTextOf(std::int32_t linked, std::int32_t count);

// Operator probe of the installed preparation: the factory makes one probe
// per preparation (the ui's watches the event queue while it lives); the
// Progress hook is passed on as it is.
void SetPlainCuttingProbeFactory(std::function<std::function<bool()>()> make);
void SetPlainCuttingProgress(std::function<void(TMDIChild&)> progress);

// Registers the preparation as the project windows' plain-cutting hook. It
// reads Mode and AddFrame from the settings dialog, shows the reason of a
// failure and asks the window to close, and warns when figures stay unlinked.
void InstallPlainCutting();

}  // namespace vm
