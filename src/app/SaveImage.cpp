#include "SaveImage.h"

#include "GraphM.h"
#include "JpegFile.h"

#include <QFileDialog>

QString AskJpegPath(QWidget *parent)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QStringLiteral("JPEG Image File (*.jpg)"));
    dialog.setDefaultSuffix(QStringLiteral("jpg"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.constFirst();
}

void SaveGraphImage(TGraphM &graph, QWidget *parent)
{
    const QString path = AskJpegPath(parent);
    if (!path.isEmpty())
        Vantrel::SaveJpeg(graph.DrawToBitmap(), path);
}
