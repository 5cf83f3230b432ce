#pragma once

#include <QString>

namespace Vantrel {

// How a long measurement tells the user that it is running. The application
// puts it in its progress window; calls nest, every Show paired with one
// Close.
class TProgressView
{
public:
    virtual void Show(const QString &title) = 0;
    virtual void SetText(const QString &text) = 0;
    virtual void Close() noexcept = 0;

protected:
    ~TProgressView() = default;
};

// Shows the progress for the lifetime of the object, so that it is closed
// also when the operation under it fails.
class TProgressScope
{
public:
    TProgressScope(TProgressView &view, const QString &title) : FView(view) { FView.Show(title); }
    ~TProgressScope() { FView.Close(); }
    TProgressScope(const TProgressScope &) = delete;
    TProgressScope &operator=(const TProgressScope &) = delete;

    void SetText(const QString &text) { FView.SetText(text); }

private:
    TProgressView &FView;
};

} // namespace Vantrel
