#include "Application.h"

#include <QMessageBox>

#include <exception>

TVantrelApp::TVantrelApp(int &argc, char **argv) : QApplication(argc, argv)
{
}

bool TVantrelApp::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        QMessageBox::critical(activeWindow(), QStringLiteral("Vantrel"), QString::fromUtf8(e.what()));
    }
    return false;
}
