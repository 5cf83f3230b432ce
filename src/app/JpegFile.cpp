#include "JpegFile.h"

#include "ReplaceFile.h"

#include <QBuffer>
#include <QImageWriter>

namespace Vantrel {

void SaveJpeg(const QImage &picture, const QString &path)
{
    // Coded in memory first, so that a failure while writing is the file's
    // own and its reason is the system's.
    QBuffer jpeg;
    jpeg.open(QIODevice::WriteOnly);
    QImageWriter writer(&jpeg, "jpeg");
    writer.setQuality(90);
    writer.setProgressiveScanWrite(false);
    writer.setOptimizedWrite(false);
    // RGB32 makes the writer use three components, whatever the picture's
    // own format (a grey one would give a one-component file).
    if (!writer.write(picture.convertToFormat(QImage::Format_RGB32)))
        ThrowCannotCreate(path, writer.errorString());
    SaveWholeFile(path, jpeg.data());
}

} // namespace Vantrel
