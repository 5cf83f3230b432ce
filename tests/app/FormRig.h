#pragma once

// A main window on files of its own in a temporary folder, with errors
// collected instead of shown in a box.

#include "MainForm.h"

#include <QComboBox>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

struct TFormRig
{
    QTemporaryDir Dir;
    Vantrel::TAppFiles Files{Dir.filePath(QStringLiteral("vantrel.ini")), Dir.filePath(QStringLiteral("vantrel.cfg"))};
    QStringList Errors;
    std::unique_ptr<TMainForm> Form;

    void Write(const QString &path, const QByteArray &text)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

    QByteArray SettingsText() const
    {
        QFile f(Files.Settings);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    TMainForm &Create()
    {
        Form = std::make_unique<TMainForm>(Files);
        Form->OnError = [this](const QString &msg) { Errors << msg; };
        Form->Analyzer.SimOptions.Paced = false;
        return *Form;
    }

    // Opens the built-in simulated analyzer from the port list.
    void OpenSimulator()
    {
        Form->portComboBox->setCurrentIndex(Form->portComboBox->findText(TMainForm::kSimulatorEntry));
        Form->OpenClick();
    }
};
