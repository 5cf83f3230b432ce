#pragma once

#include <QImage>
#include <QString>

namespace Vantrel {

// Writes picture to path as a baseline (not progressive) JPEG with three
// colour components at quality 90, replacing any file there (see
// ReplaceFile: a failed save leaves an existing file as it was). Failure
// throws "Cannot create file "<path>". <the system's reason>".
void SaveJpeg(const QImage &picture, const QString &path);

} // namespace Vantrel
