#include "terminal/PhotoStore.h"

#include "common/Failure.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {

const QString kFaceFolder = QStringLiteral("RegisterPhoto");
const QString kRecordFolder = QStringLiteral("IdentifyRecords");

} // namespace

PhotoStore::PhotoStore(const QString& root) : root_(QDir(root).absolutePath())
{
    for (const QString& folder : {kFaceFolder, kRecordFolder}) {
        if (!QDir(root_).mkpath(folder))
            throw Failure(QStringLiteral("cannot create the folder %1/%2").arg(root_, folder));
    }
}

bool PhotoStore::isPlainFileName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") || name.size() > 120)
        return false;
    for (const QChar c : name) {
        if (c == '/' || c == '\\' || c.unicode() < 0x20)
            return false;
    }
    return true;
}

QString PhotoStore::saveFace(const QString& faceId, const QByteArray& bytes)
{
    const QString path = kFaceFolder + '/' + faceId + QStringLiteral(".jpg");
    write(path, bytes);
    return path;
}

void PhotoStore::removeFace(const QString& faceId)
{
    remove(kFaceFolder + '/' + faceId + QStringLiteral(".jpg"));
}

QString PhotoStore::saveRecordPhoto(qint64 timeMs, const QByteArray& bytes)
{
    const QString day = QDateTime::fromMSecsSinceEpoch(timeMs).toString(QStringLiteral("yyyy-MM-dd"));
    const QString path = kRecordFolder + '/' + day + '/' + QString::number(timeMs) + QStringLiteral(".jpg");
    write(path, bytes);
    return path;
}

void PhotoStore::write(const QString& relativePath, const QByteArray& bytes)
{
    std::lock_guard lock(mutex);
    const QString path = root_ + '/' + relativePath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw Failure(QStringLiteral("cannot write ") + path);
}

void PhotoStore::remove(const QString& relativePath)
{
    std::lock_guard lock(mutex);
    QFile::remove(root_ + '/' + relativePath);
}

QByteArray PhotoStore::read(const QString& relativePath) const
{
    std::lock_guard lock(mutex);
    QFile file(root_ + '/' + relativePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
