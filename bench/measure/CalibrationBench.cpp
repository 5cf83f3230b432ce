// Loading a calibration file whose "ZeroLevel" holds ten million numbers, of
// which the program uses the first 150.
#include "CalibrationData.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

int main()
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("huge.cfg"));
    QByteArray block;
    for (int k = 0; k < 1000; ++k)
        block += QByteArray::number(k) + ',';
    QFile f(name);
    if (!f.open(QIODevice::WriteOnly))
        return 1;
    f.write("XTalFreq=25003600\r\nZeroLevel=" + block.repeated(10000) + "\r\nSlope=0.0168\r\n");
    f.close();

    Vantrel::TCalibrationData cal;
    QElapsedTimer clock;
    clock.start();
    cal.LoadFromFile(name);
    const qint64 ms = clock.elapsed();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("BENCH calibration_load_10M_levels %lld ms\n", static_cast<long long>(ms));
    std::printf("BENCH calibration_load_10M_levels_peak_rss %ld MB\n", usage.ru_maxrss / 1024);
    return cal.ZeroLevel[149] == 149 ? 0 : 1;
}
