#include "AnalyzerSim.h"

#include "SimModel.h"
#include "SimServer.h"
#include "SimState.h"

TAnalyzerSim::TAnalyzerSim(TSimOptions opt)
    : FState(std::make_unique<TSimState>(opt)), FServer(std::make_unique<TSimServer>(*FState))
{
}

TAnalyzerSim::~TAnalyzerSim()
{
    Stop();
}

void TAnalyzerSim::Start() { FServer->Start(); }
void TAnalyzerSim::Stop() { FServer->Stop(); }
bool TAnalyzerSim::IsRunning() const { return FServer->Running(); }
QString TAnalyzerSim::PortName() const { return FServer->PortName(); }
void TAnalyzerSim::SetLoad(const TSimLoad &load) { FState->SetLoad(load); }
TSimLoad TAnalyzerSim::Load() const { return FState->Load(); }
int TAnalyzerSim::MaxMHz() const { return FState->MaxMHz(); }

void TAnalyzerSim::SetPaced(bool paced)
{
    FState->SetPaced(paced);
    FServer->Wake();
}

std::complex<double> TAnalyzerSim::LoadImpedance(double hz) const
{
    return SimModel::LoadImpedance(FState->Load(), hz);
}

int TAnalyzerSim::OpenLevel(int mhz) const { return SimModel::OpenLevel(mhz); }
double TAnalyzerSim::Slope() const { return SimModel::Slope(); }
int TAnalyzerSim::RawCount(qint32 hz, bool seriesR) const { return FState->RawCount(hz, seriesR); }

qint32 TAnalyzerSim::Frequency() const { return FState->Frequency(); }
qint32 TAnalyzerSim::XtalFreq() const { return FState->XtalFreq(); }
bool TAnalyzerSim::SeriesR() const { return FState->SeriesR(); }
bool TAnalyzerSim::XtalCheckMode() const { return FState->XtalCheckMode(); }
int TAnalyzerSim::CommandsHandled() const { return FState->CommandsHandled(); }
bool TAnalyzerSim::WaitForCommands(int total, int timeoutMs) const { return FState->WaitForCommands(total, timeoutMs); }

QByteArray TAnalyzerSim::ReceivedBytes() const { return FState->ReceivedBytes(); }
QList<QByteArray> TAnalyzerSim::ReceivedCommands() const { return FState->ReceivedCommands(); }
void TAnalyzerSim::ClearLog() { FState->ClearLog(); }

void TAnalyzerSim::InjectNulBytes(bool on) { FState->InjectNulBytes(on); }
void TAnalyzerSim::InjectGarbageLine(int replyIndex) { FState->InjectGarbageLine(replyIndex); }
void TAnalyzerSim::DropReplyLine(int replyIndex) { FState->DropReplyLine(replyIndex); }
void TAnalyzerSim::DelayReplyLine(int replyIndex, int ms) { FState->DelayReplyLine(replyIndex, ms); }
void TAnalyzerSim::HangUpAfter(int replies) { FState->HangUpAfter(replies); }
