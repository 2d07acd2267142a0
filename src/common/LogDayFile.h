#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

// The log file of one day, "YYYY-MM-DD.log" in the logs folder, open for
// appending whole lines. A write that fails midway (a full disk) is taken back,
// and a file that a crash left ending inside a line is cut back to its last
// whole line when it is opened, so that the file holds whole lines only.
class LogDayFile
{
public:
    LogDayFile() = default;
    ~LogDayFile();
    LogDayFile(const LogDayFile&) = delete;
    LogDayFile& operator=(const LogDayFile&) = delete;

    static QString nameOf(QDate day);

    // Opens the day's file in the folder, making the folder when it is missing;
    // the file of another day that was open is closed. False, with
    // errorText(), when it cannot be opened.
    bool open(const QString& folder, QDate day);
    void close();
    bool isOpen() const { return fd >= 0; }
    QDate day() const { return day_; }
    const QString& path() const { return path_; }

    // Appends lines that end in line feeds; false, with the file as it was
    // before, when not all of them could be written.
    bool write(const QByteArray& lines);
    const QString& errorText() const { return error; }

private:
    bool fail(const QString& what);

    int fd = -1;
    QDate day_;
    QString path_;
    QString error;
};
