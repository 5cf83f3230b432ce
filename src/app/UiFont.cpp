#include "UiFont.h"

#include <QStringList>

QFont UiFont(int pixelSize, bool bold)
{
    QFont f;
    f.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}
