#pragma once

#include <QString>
#include <QStringList>

namespace Vantrel {

// What the command line asks for: "--port NAME" opens that port at start
// (a device, or "Simulator"); "--version" and "--help" print their text and
// end the program, and so does a wrong option (with an error status).
struct TCommandLine {
    enum class TAction { Run, Print, Fail };
    TAction Action = TAction::Run;
    QString Text; // what to print for Print and Fail
    QString Port; // empty: the port is opened by hand
};

// args as main gets them, the program first.
TCommandLine ParseCommandLine(const QStringList &args);

} // namespace Vantrel
