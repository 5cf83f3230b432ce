#include "JpegFile.h"

#include <QBuffer>
#include <QImageWriter>
#include <QSaveFile>

#include <stdexcept>

namespace Vantrel {

namespace {

[[noreturn]] void CannotCreate(const QString &path, const QString &reason)
{
    throw std::runtime_error(
        QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason).toStdString());
}

} // namespace

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
        CannotCreate(path, writer.errorString());

    QSaveFile file(path);
    // Unbuffered, and written on after a short write (a full disk takes what
    // fits first): only the write that fails outright sets the system's
    // reason.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        CannotCreate(path, file.errorString());
    const QByteArray &data = jpeg.data();
    for (qint64 done = 0; done < data.size();) {
        const qint64 n = file.write(data.constData() + done, data.size() - done);
        if (n <= 0)
            CannotCreate(path, file.errorString());
        done += n;
    }
    if (!file.commit())
        CannotCreate(path, file.errorString());
}

} // namespace Vantrel
