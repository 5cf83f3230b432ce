#pragma once

// The simulated analyzer with the program's port open on it, and a progress
// view that records what it is told.

#include "AnalyzerSim.h"
#include "ProgressView.h"
#include "SerialLink.h"
#include "WireCommands.h"

#include <QSerialPort>
#include <QStringList>

#include <memory>

struct TSimPort
{
    QSerialPort Port;
    TAnalyzerSim Sim;

    explicit TSimPort(const QByteArray &firmware = "SWR 1.2.150") : Sim(TSimOptions{firmware, false, "\r"})
    {
        Sim.Start();
        Vantrel::SetPort(&Port);
        Vantrel::OpenPort(Sim.PortName());
    }
    ~TSimPort()
    {
        Vantrel::ClosePort();
        Vantrel::SetPort(nullptr);
    }

    // The commands received once the analyzer has acted on `total` of them
    // (those without a reply are not waited for by the program).
    QList<QByteArray> Commands(int total)
    {
        Sim.WaitForCommands(total, 2000);
        return Sim.ReceivedCommands();
    }
};

struct TProgressLog final : Vantrel::TProgressView
{
    QStringList Calls;
    int Depth = 0;

    void Show(const QString &title) override
    {
        ++Depth;
        Calls << QStringLiteral("show ") + title;
    }
    void SetText(const QString &text) override { Calls << text; }
    void Close() noexcept override
    {
        --Depth;
        Calls << QStringLiteral("close");
    }
};
