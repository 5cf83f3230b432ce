#include "CommandLine.h"

#include "Version.h"

#include <QCommandLineParser>

namespace Vantrel {

TCommandLine ParseCommandLine(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Vantrel drives an antenna analyzer on a serial port."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Opens the port <name> at start: a device such as /dev/ttyUSB0, "
                                                 "or Simulator for the built-in simulated analyzer."),
                                  QStringLiteral("name"));
    parser.addOption(port);

    TCommandLine r;
    if (!parser.parse(args)) {
        r.Action = TCommandLine::TAction::Fail;
        r.Text = parser.errorText() + QStringLiteral("\nTry --help.\n");
    } else if (parser.isSet(help)) {
        r.Action = TCommandLine::TAction::Print;
        r.Text = parser.helpText();
    } else if (parser.isSet(version)) {
        r.Action = TCommandLine::TAction::Print;
        r.Text = QStringLiteral("vantrel " VANTREL_VERSION "\n");
    } else if (!parser.positionalArguments().isEmpty()) {
        r.Action = TCommandLine::TAction::Fail;
        r.Text = QStringLiteral("Unexpected argument '%1'.\nTry --help.\n").arg(parser.positionalArguments().first());
    } else {
        r.Port = parser.value(port).trimmed();
    }
    return r;
}

} // namespace Vantrel
