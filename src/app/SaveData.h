#pragma once

#include "DisplayValue.h"

#include <QString>

class QWidget;
class TCurves;

// The "Save data" command: the visible tracks as a CSV file.

// Writes the visible tracks of curves to path, whole or not at all (an
// existing file keeps its content on failure); a failed write throws
// "Cannot create file "<path>". <the system's reason>".
void SaveTracksCsv(const TCurves &curves, Vantrel::TDispMode mode, bool rVis, bool xVis, const QString &path);

// Asks for the file ("CSV File (*.csv)", ".csv" added to a name without
// extension) and writes it there; cancelling writes nothing.
void SaveGraphData(const TCurves &curves, Vantrel::TDispMode mode, bool rVis, bool xVis, QWidget *parent);
