#pragma once

#include <QApplication>

// The program's application object. Its event dispatch is the last handler
// of failures: an error that escapes an event handler (a paint, a click) is
// shown in an error box instead of ending the program, as Qt cannot carry
// exceptions through its event loop.
class TVantrelApp : public QApplication
{
public:
    TVantrelApp(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
