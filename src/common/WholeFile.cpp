#include "common/WholeFile.h"

#include "common/Failure.h"

#include <QFile>
#include <QSaveFile>

QByteArray ReadWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("无法读取 %1: %2").arg(path, file.errorString()));
    return file.readAll();
}

void ReplaceWholeFile(const QString& path, const QByteArray& bytes, bool ownerOnly)
{
    QSaveFile file(path);
    const bool written =
        file.open(QIODevice::WriteOnly) &&
        (!ownerOnly || file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) &&
        file.write(bytes) == bytes.size() && file.commit();
    if (!written)
        throw Failure(QStringLiteral("无法写入 %1: %2").arg(path, file.errorString()));
}
