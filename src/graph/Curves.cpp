#include "Curves.h"

#include "GraphM.h"

#include <algorithm>
#include <stdexcept>

using Lock = std::lock_guard<std::recursive_mutex>;

TCurves::TCurves(TGraphM *graphic) : FGraphic(graphic) {}

TCurves::~TCurves() = default;

int TCurves::Count() const
{
    Lock lock(FMutex);
    return static_cast<int>(FItems.size());
}

void TCurves::CheckIndex(int index) const
{
    if (index < 0 || index >= static_cast<int>(FItems.size()))
        throw std::runtime_error("Argument out of range");
}

TCurve *TCurves::Items(int index) const
{
    Lock lock(FMutex);
    CheckIndex(index);
    return FItems[static_cast<size_t>(index)].get();
}

void TCurves::SetItems(int index, const TCurve *source)
{
    Lock lock(FMutex);
    Items(index)->Assign(source);
}

int TCurves::IndexOf(const TCurve *curve) const
{
    Lock lock(FMutex);
    const auto it = std::find_if(FItems.begin(), FItems.end(),
                                 [curve](const auto &item) { return item.get() == curve; });
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TCurve *TCurves::Add()
{
    Lock lock(FMutex);
    FItems.push_back(FGraphic ? FGraphic->CreateCurve(*this) : std::make_unique<TCurve>(*this));
    TCurve *curve = FItems.back().get();
    Update(nullptr);
    return curve;
}

void TCurves::Delete(int index)
{
    Lock lock(FMutex);
    CheckIndex(index);
    FItems.erase(FItems.begin() + index);
    Update(nullptr);
}

void TCurves::Clear()
{
    Lock lock(FMutex);
    FItems.clear();
    Update(nullptr);
}

void TCurves::Assign(const TCurves &source)
{
    if (&source == this)
        return;
    std::scoped_lock lock(FMutex, source.FMutex);
    BeginUpdate();
    FItems.clear();
    for (const auto &item : source.FItems)
        Add()->Assign(item.get());
    Update(nullptr);
    EndUpdate();
}

void TCurves::BeginUpdate()
{
    Lock lock(FMutex);
    ++UpdateCnt;
}

void TCurves::EndUpdate()
{
    Lock lock(FMutex);
    if (UpdateCnt <= 0)
        return;
    if (--UpdateCnt == 0)
        RequestRepaint();
}

void TCurves::Update(TCurve *)
{
    RequestRepaint();
}

void TCurves::RequestRepaint()
{
    if (FGraphic)
        FGraphic->RequestRepaint();
}
