#pragma once

#include <QString>

#include <functional>
#include <stdexcept>

// The message of the error that `action` throws, or an empty text if it
// returns normally.
inline QString ErrorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    }
    return QString();
}
