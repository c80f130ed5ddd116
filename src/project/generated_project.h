// What the project generators share: the finishing steps that make a built
// figure list a project as a load does, and the hooks through which core asks
// the ui for the project window it fills.
#pragma once

#include <functional>

#include "project/okno_plt.h"

namespace vm {

// Window services a generator needs from the ui. Create makes a new, visible
// project window (an MDI child) and returns its project; Free closes and frees
// one it made; Shown takes over caption and figures after the build and
// repaints. Maximise and PlaceLike size the new window. Empty hooks do nothing
// (Create then fails the generator with an Error).
struct TGeneratorWindows {
  std::function<TMDIChild*()> Create;
  std::function<void(TMDIChild*)> Free;
  std::function<void(TMDIChild*)> Shown;
  std::function<void(TMDIChild*)> Maximise;
  std::function<void(TMDIChild* window, const TMDIChild* like)> PlaceLike;
};

// Box, Width and Height, MaxDepth 0, no selected figure, the figure list kept
// as the project's drawing (a later preparation starts from it), then the
// plain-cutting preparation. False when the preparation failed (its reason has been shown and
// the window asked to close).
bool FinishGeneratedProject(TMDIChild& w);

}  // namespace vm
