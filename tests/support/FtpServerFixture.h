#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A real FTP server (pyftpdlib) on a loopback address of the test's own, for
// as long as the fixture lives. It serves one account and anonymous logins,
// each from a home folder of its own, answers failed logins at once, and
// records what clients did, in order: "CONNECT", "LOGIN <user>", "> <command
// line>" for every command received, and "SENT <file>" for every completed
// download. For example:
//
//     FtpServerFixture ftp("127.0.11.40");
//     ftp.putFile(ftp.userRoot(), "RegisterPhoto/7.jpg", photoBytes);
//     ... fetch from ftp.host() ...
//     EXPECT_EQ(ftp.downloads(), 1);
class FtpServerFixture
{
public:
    explicit FtpServerFixture(const QByteArray& address, const QString& user = "admin",
                              const QString& password = "58104726", quint16 port = 8010);
    ~FtpServerFixture();
    FtpServerFixture(const FtpServerFixture&) = delete;
    FtpServerFixture& operator=(const FtpServerFixture&) = delete;

    QString host() const { return QString::fromLatin1(address_); }
    QString userRoot() const { return folder_.filePath("user"); }
    QString anonymousRoot() const { return folder_.filePath("anonymous"); }

    // Writes a file below a home folder, creating the folders on its way.
    static void putFile(const QString& root, const QString& relativePath, const QByteArray& bytes);

    // The server records a download once its data connection is closed, which
    // may be just after the client has returned: waits until the record has
    // been quiet for a moment (at most two seconds).
    void settle() const;

    QStringList events() const;
    // The commands received, without their "> " mark.
    QStringList commands() const;
    int connections() const;
    int downloads() const;
    QStringList logins() const;

private:
    QByteArray address_;
    QTemporaryDir folder_;
    QProcess process_;
};
