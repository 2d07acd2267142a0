#pragma once

#include <QByteArray>
#include <QString>
#include <mutex>

// The terminal's photo folders below the FTP root: "RegisterPhoto" holds one
// file per face, "IdentifyRecords" one folder per day with the records' photos.
class PhotoStore
{
public:
    // Creates both folders below root.
    explicit PhotoStore(const QString& root);

    const QString& root() const { return root_; }

    // Paths returned are relative to the root and start with the folder name.
    QString saveFace(const QString& faceId, const QByteArray& bytes);
    void removeFace(const QString& faceId);
    QString saveRecordPhoto(qint64 timeMs, const QByteArray& bytes);
    void remove(const QString& relativePath);
    QByteArray read(const QString& relativePath) const;

    // A face ID or file name that may stand as one file name in a folder.
    static bool isPlainFileName(const QString& name);

private:
    void write(const QString& relativePath, const QByteArray& bytes);

    QString root_;
    mutable std::mutex mutex;
};
