#pragma once

#include <QString>

namespace Vantrel {

// What the analyzer's identification line ("w" reply) tells.
struct TFirmwareId
{
    QString Id;           // the line without a leading "SWR "
    int PartCount = 0;    // fields separated by "."
    qint32 MaxFreq = 0;   // Hz, at most 150 MHz
    bool Lite = false;    // meaningful only when HasLiteField()

    // With fewer than three fields the line says nothing about the variant.
    bool HasLiteField() const { return PartCount >= 3; }
};

TFirmwareId ParseFirmwareId(const QString &line);

} // namespace Vantrel
