#include "SimLoadForm.h"

#include "AnalyzerSim.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

struct TLoadEntry
{
    TSimLoadKind Kind;
    const char *Caption;
};

constexpr TLoadEntry kLoads[] = {
    {TSimLoadKind::Open, "Open (nothing connected)"},
    {TSimLoadKind::Short, "Short"},
    {TSimLoadKind::Ohm50, "50 \u03a9"},
    {TSimLoadKind::Ohm100, "100 \u03a9"},
    {TSimLoadKind::Dipole, "Dipole antenna"},
};

} // namespace

TfrmSimLoad::TfrmSimLoad() : QWidget(nullptr, Qt::Tool), FGroup(new QButtonGroup(this))
{
    setWindowTitle(QStringLiteral("Simulated load"));
    auto *layout = new QVBoxLayout(this);
    for (const TLoadEntry &e : kLoads) {
        auto *b = new QRadioButton(QString::fromUtf8(e.Caption), this);
        layout->addWidget(b);
        FGroup->addButton(b, int(e.Kind));
    }
    adjustSize();
    connect(FGroup, &QButtonGroup::idClicked, this, [this](int id) { Choose(TSimLoadKind(id)); });
}

void TfrmSimLoad::SetSimulator(TAnalyzerSim *sim)
{
    FSim = sim;
    if (FSim)
        if (QAbstractButton *b = FGroup->button(int(FSim->Load().Kind)))
            b->setChecked(true);
}

void TfrmSimLoad::Choose(TSimLoadKind kind)
{
    if (QAbstractButton *b = FGroup->button(int(kind)))
        b->setChecked(true);
    if (FSim)
        FSim->SetLoad(TSimLoad{kind, 0, 0});
}
