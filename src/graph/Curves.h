#pragma once

#include "Curve.h"

#include <memory>
#include <mutex>
#include <vector>

class TGraphM;

// The graph's ordered collection of curves. It owns its curves and the mutex
// that serialises every change of them with the drawing (see TCurve).
//
// Index errors throw "Argument out of range". A collection made without a
// graph has nobody to notify: its repaint requests do nothing.
class TCurves {
public:
    explicit TCurves(TGraphM *graphic = nullptr);
    virtual ~TCurves();
    TCurves(const TCurves &) = delete;
    TCurves &operator=(const TCurves &) = delete;

    virtual const char *ClassName() const { return "TCurves"; }

    TGraphM *Graphic() const { return FGraphic; }
    std::recursive_mutex &Mutex() const { return FMutex; }

    int Count() const;
    TCurve *Items(int index) const;
    TCurve *operator[](int index) const { return Items(index); }
    // Writing an item copies the source's settings into the curve there.
    void SetItems(int index, const TCurve *source);
    int IndexOf(const TCurve *curve) const;

    TCurve *Add();
    void Delete(int index);
    void Clear();
    // Replaces all curves by copies (TCurve::Assign) of the source's curves.
    void Assign(const TCurves &source);

    void BeginUpdate();
    void EndUpdate();
    // Change notification: a curve's look changed (item) or curves were
    // added or removed (nullptr). Ends in a repaint request.
    void Update(TCurve *item);

private:
    void RequestRepaint();
    void CheckIndex(int index) const;

    TGraphM *FGraphic;
    int UpdateCnt = 0;
    std::vector<std::unique_ptr<TCurve>> FItems;
    mutable std::recursive_mutex FMutex;
};
