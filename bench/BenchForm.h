#pragma once

// A shown main window on files of its own, with the built-in simulated
// analyzer open, calibrated from the simulator's own model, a dipole on its
// jack. Errors go to stderr.

#include "AnalyzerSim.h"
#include "MainForm.h"
#include "SimCalibration.h"

#include <QComboBox>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

struct TBenchForm
{
    QTemporaryDir Dir;
    std::unique_ptr<TMainForm> Form;
    TAnalyzerSim *Sim = nullptr;

    explicit TBenchForm(bool paced)
        : Form(std::make_unique<TMainForm>(
              Vantrel::TAppFiles{Dir.filePath(QStringLiteral("b.ini")), Dir.filePath(QStringLiteral("b.cfg"))}))
    {
        TMainForm &form = *Form;
        form.OnError = [](const QString &msg) { std::fprintf(stderr, "error: %s\n", qPrintable(msg)); };
        form.Analyzer.SimOptions.Paced = paced;
        form.show();
        form.portComboBox->setCurrentIndex(form.portComboBox->findText(TMainForm::kSimulatorEntry));
        form.OpenClick();
        Sim = form.Analyzer.Simulator();
        if (!Sim)
            qFatal("the simulator did not open");
        form.CbData = CalibrationOf(*Sim);
        Sim->SetLoad(TSimLoad{TSimLoadKind::Dipole, 0, 0});
    }
};
