#include "AnalyzerConnection.h"

#include "AnalyzerCommands.h"
#include "AnalyzerSim.h"
#include "SerialLink.h"

#include <QThread>

namespace Vantrel {

namespace {
constexpr int kOpenSettleMs = 200;
}

TAnalyzerConnection::TAnalyzerConnection() = default;

TAnalyzerConnection::~TAnalyzerConnection()
{
    Close();
}

TFirmwareId TAnalyzerConnection::Open(const QString &name, qint32 xtal)
{
    Close();
    if (name == kSimulatorEntry) {
        auto sim = std::make_unique<TAnalyzerSim>(SimOptions);
        sim->Start();
        OpenPort(sim->PortName());
        FSim = std::move(sim);
    } else {
        OpenPort(name);
    }
    QThread::msleep(kOpenSettleMs);

    const TFirmwareId id = ParseFirmwareId(CmdGetVersion());
    MaxFreq = id.MaxFreq;
    if (id.HasLiteField())
        Lite = id.Lite;
    if (xtal > 0)
        CmdSetXtal(xtal);
    return id;
}

void TAnalyzerConnection::Close()
{
    ClosePort();
    FSim.reset();
}

bool TAnalyzerConnection::IsOpen() const
{
    return IsPortOpen();
}

} // namespace Vantrel
