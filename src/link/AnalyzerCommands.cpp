#include "AnalyzerCommands.h"

#include "ExchangeGuard.h"
#include "RxBuf.h"
#include "SerialLink.h"

#include <limits>
#include <stdexcept>

namespace Vantrel {

namespace {

QByteArray WithNumber(const char *command, qint32 value)
{
    return QByteArray(command) + QByteArray::number(value);
}

void SendAlone(const QByteArray &command)
{
    TExchange exchange;
    SendCmd(command);
}

// The sweep exchange; `sent` runs once the command has gone out.
void SweepExchange(qint32 step, qint32 count, const std::function<void()> &sent, const TReadingHandler &handler)
{
    if (count <= 0)
        throw std::runtime_error(kInvalidCount);
    TExchange exchange;
    RxBuf().ClearBuffers();
    SendCmd(WithNumber("r ", step) + ' ' + QByteArray::number(count));
    sent();
    for (qint32 i = 0; i < count; ++i)
        handler(i, ReadingFromLine(RxBuf().GetLine()));
}

} // namespace

void CmdXtalCheckOn() { SendAlone("c"); }
void CmdXtalCheckOff() { SendAlone("o"); }
void CmdSetXtal(qint32 freq) { SendAlone(WithNumber("x ", freq)); }
void CmdSeriesR(bool on) { SendAlone(on ? "z1" : "z0"); }
void CmdSetFreq(qint32 freq) { SendAlone(WithNumber("f ", freq)); }

void CmdSweep(qint32 step, qint32 count, const TReadingHandler &handler)
{
    SweepExchange(step, count, [] {}, handler);
}

void CmdSweep(qint32 step, qint32 count, std::vector<qint32> &values)
{
    SweepExchange(step, count, [&] { values.resize(size_t(count)); },
             [&](qint32 index, qint32 value) { values[size_t(index)] = value; });
}

QString CmdGetVersion()
{
    TExchange exchange;
    RxBuf().ClearBuffers();
    SendCmd("w");
    return RxBuf().GetLine();
}

bool ParseReading(QStringView line, qint32 &value)
{
    qsizetype i = 0;
    while (i < line.size() && line[i] == u' ')
        ++i;
    const bool negative = i < line.size() && line[i] == u'-';
    if (i < line.size() && (line[i] == u'-' || line[i] == u'+'))
        ++i;
    if (i == line.size())
        return false;
    qint64 magnitude = 0;
    for (; i < line.size(); ++i) {
        const char16_t c = line[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > qint64(std::numeric_limits<qint32>::max()) + 1)
            return false;
    }
    const qint64 v = negative ? -magnitude : magnitude;
    if (v > std::numeric_limits<qint32>::max())
        return false;
    value = qint32(v);
    return true;
}

qint32 ReadingFromLine(const QString &line)
{
    qint32 value = 0;
    return ParseReading(line, value) ? value : 0;
}

} // namespace Vantrel
