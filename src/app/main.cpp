#include "Application.h"
#include "CommandLine.h"
#include "MainForm.h"

#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    // Before the application object, so that --version and --help need no
    // display.
    const Vantrel::TCommandLine cl = Vantrel::ParseCommandLine(args);
    if (cl.Action != Vantrel::TCommandLine::TAction::Run) {
        std::fputs(cl.Text.toLocal8Bit().constData(), cl.Action == Vantrel::TCommandLine::TAction::Fail ? stderr : stdout);
        return cl.Action == Vantrel::TCommandLine::TAction::Fail ? 1 : 0;
    }

    TVantrelApp app(argc, argv);
    TMainForm form(Vantrel::TAppFiles::ForExecutable());
    form.show();
    if (!cl.Port.isEmpty())
        QTimer::singleShot(0, &form, [&form, port = cl.Port] { form.OpenPortNamed(port); });
    return app.exec();
}
