#pragma once

#include <QString>
#include <atomic>
#include <memory>

// How the photo fetch logs in to the terminal's FTP service.
struct FtpLogin
{
    bool usePassword = true; // chkUseFtpPass; unchecked logs in as "anonymous", no password
    QString user;
    QString password;
};

constexpr int kFtpPort = 8010;

// The tool's one FTP client: passive, binary, port 8010. Its connection stays
// open after a fetch; within one batch the next fetch from the same host, with
// the same login and directory, goes over it, and a new batch always logs in
// afresh. Used by one thread at a time; only cancel() may be called from
// another thread while a fetch runs.
class FtpClient
{
public:
    FtpClient();
    ~FtpClient();
    FtpClient(const FtpClient&) = delete;
    FtpClient& operator=(const FtpClient&) = delete;

    // A silent server cannot hold a fetch longer than these (seconds).
    void setTimeouts(int connectSeconds, int stallSeconds);

    // The next fetch disconnects first and logs in again.
    void startBatch();

    // Downloads remoteName (relative to directory) into localFile, through a
    // temporary file that replaces localFile only once the whole photo has
    // arrived: a failed fetch leaves no file behind and an older file as it was.
    bool fetch(const QString& host, const QString& directory, const QString& remoteName,
               const QString& localFile, const FtpLogin& login);

    // Ends the fetch under way (it fails) and every later one until rearm().
    void cancel() { cancelled_ = true; }
    void rearm() { cancelled_ = false; }
    bool cancelled() const { return cancelled_; }

private:
    struct Session;
    bool transfer(const QByteArray& url, const QString& localFile, const FtpLogin& login,
                  const QString& directory, bool fresh, bool& connectedAnew);

    std::unique_ptr<Session> session_;
    std::atomic<bool> cancelled_{false};
    int connectSeconds_ = 10;
    int stallSeconds_ = 10;
    // Where the open connection stands: its host, login and working directory.
    QString currentPlace_;
};

// The file name below the directory that a terminal's photo path names: the
// text behind the first occurrence of the directory and one separator after
// it; a path without the directory loses as many leading characters instead.
QString RemotePhotoName(const QString& directory, const QString& path);

// Fetches the photo at the terminal's path from host's FTP service into
// localFile, silently; returns whether the file was stored.
bool FetchPhotoFtp(FtpClient& client, const QString& host, const QString& directory, const QString& path,
                   const QString& localFile, const FtpLogin& login);
