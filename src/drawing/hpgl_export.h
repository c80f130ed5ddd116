// HPGL export: the figures of a project written as plot text that the drawing
// reader reads back. One instruction per line, CR LF, plotter units as they
// stand: "PA x,y;" for the first point of a figure, "PD x,y;" for each further
// point, "PU;" after the figure. No header, pen-select or trailer line.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <span>

#include "drawing/figury.h"

namespace vm {

// The export text of `figures` in list order. A figure without points (or a
// null entry) gives nothing; a figure of one point its "PA" line and "PU;".
QByteArray HpglExportText(std::span<const std::unique_ptr<tfigura>> figures);

// Writes the export text of `figures` to `fileName`, replacing the file. The
// text goes to a temporary file beside it that takes the name only once it is
// complete: a failed create, write or close raises IoError and leaves an
// existing file of that name as it was, and no partial file behind.
void SaveFiguresAsHpgl(std::span<const std::unique_ptr<tfigura>> figures, const QString& fileName);

}  // namespace vm
