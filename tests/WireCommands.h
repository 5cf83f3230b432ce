#pragma once

#include <QByteArray>
#include <QList>

#include <initializer_list>

// A list of analyzer commands as the simulator logs them, for comparisons.
inline QList<QByteArray> Commands(std::initializer_list<const char *> list)
{
    QList<QByteArray> r;
    for (const char *c : list)
        r.append(QByteArray(c));
    return r;
}
