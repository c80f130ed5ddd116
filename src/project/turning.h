// Turning and rotary-cutting preparation of a project: the drawing holds the
// profile and one straight two-point line that marks the rotation axis. The
// preparations find that line, move the project so that the axis becomes the
// origin, make every profile figure run the way the job writer expects, order
// the figures for turning and sum the path length.
//
// Each raises MessageError(("Project_window", key)) when the project has no
// axis line or no profile, and vm::Error when a shift leaves the coordinate
// range; a profile below the spindle axis is shown as a warning and the
// preparation goes on. The hooks installed by InstallTurning show the failure
// and close the window.
#pragma once

namespace vm {

class TMDIChild;

// Turning on a spindle: the lowest horizontal axis line.
void toczenie_wrzeciono(TMDIChild& w);
// Turning on a table: the lowest vertical axis line.
void toczenie_stolik(TMDIChild& w);
// The table variant when stolikSwitch is not 0 (spindle), else the spindle one.
void PrepareToczenie(TMDIChild& w, int stolikSwitch);
// Rotary cutting: the lowest horizontal line on the spindle (0), the
// rightmost vertical line on the table (1); with 2 (no fastening) no line.
void PrepareCiecieObrotowe(TMDIChild& w, int stolikSwitch);

// Registers the turning and rotary-cutting preparations as the project
// windows' hooks. They read StolikSwitch from the settings, hold the hourglass
// cursor, and on a failure show its message and ask the window to close.
void InstallTurning();

}  // namespace vm
