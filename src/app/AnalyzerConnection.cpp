#include "AnalyzerConnection.h"

#include "AnalyzerCommands.h"
#include "AnalyzerSim.h"
#include "PortHelp.h"
#include "SerialLink.h"

#include <QThread>

#include <stdexcept>

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
        try {
            OpenPort(name);
        } catch (const TOpenPortError &e) {
            throw std::runtime_error(
                OpenFailureText(QString::fromUtf8(e.what()), e.Code, DeviceAccessGroup(PortDevicePath(name))).toStdString());
        }
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
