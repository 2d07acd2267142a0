#include "device/LocalPhotoName.h"

bool IsSafeLocalName(const QString& name)
{
    if (name.isEmpty() || name.contains(QLatin1String("..")))
        return false;
    for (const QChar c : name) {
        if (c == '/' || c == '\\' || c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    }
    return name != QLatin1String(".");
}
