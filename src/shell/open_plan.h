// What File > Open does with a chosen file, worked out before any window is
// made: in work modes 0..2 one project window for the file; in work mode 3
// (serial cutting) one window per numbered plot file of the file's folder,
// created from the highest pass number down so the lowest ends up active.
#pragma once

#include <QString>
#include <vector>

namespace vm {

struct ProjectToOpen {
  QString path;        // full path of the drawing
  QString caption;     // window caption; empty: the load sets it
  int passNumber = 0;  // serial-cut pass number (0 outside serial cutting)
};

struct OpenPlan {
  bool fileMissing = false;  // the chosen file does not exist: show the message only
  bool closeAll = false;     // serial cutting closes every project window first
  bool tile = false;         // serial cutting tiles the windows at the end
  QString folder;            // the file's folder, without a trailing separator
  std::vector<ProjectToOpen> windows;  // in creation order
};

OpenPlan PlanOpenProject(const QString& fileName, int mode);

}  // namespace vm
