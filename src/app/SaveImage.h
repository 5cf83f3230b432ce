#pragma once

#include <QString>

class QWidget;
class TGraphM;

// The "Save image" command.

// Asks for a file to write: one type filter, the suffix added to a name
// without extension, and no question when the file exists. Empty when the
// user cancels.
QString AskSavePath(QWidget *parent, const QString &filter, const QString &suffix);

// Asks for the picture's file: one type, "JPEG Image File (*.jpg)", ".jpg"
// added to a name without extension, and no question when the file exists.
// Empty when the user cancels.
QString AskJpegPath(QWidget *parent);

// Asks for a file and writes the graph's picture there, at the control's size
// and as it shows now. Cancelling writes nothing; a failed write throws.
void SaveGraphImage(TGraphM &graph, QWidget *parent);
