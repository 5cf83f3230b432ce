#include "SaveImage.h"

#include "GraphM.h"
#include "JpegFile.h"

#include <QFileDialog>

QString AskSavePath(QWidget *parent, const QString &filter, const QString &suffix)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(suffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.constFirst();
}

QString AskJpegPath(QWidget *parent)
{
    return AskSavePath(parent, QStringLiteral("JPEG Image File (*.jpg)"), QStringLiteral("jpg"));
}

void SaveGraphImage(TGraphM &graph, QWidget *parent)
{
    const QString path = AskJpegPath(parent);
    if (!path.isEmpty())
        Vantrel::SaveJpeg(graph.DrawToBitmap(), path);
}
