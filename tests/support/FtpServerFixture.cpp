#include "support/FtpServerFixture.h"

#include "support/ChildProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <stdexcept>

namespace {

const char* const kServerScript = R"(import logging, sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

address, port, user_root, anonymous_root, user, password, events_path = sys.argv[1:8]
events = open(events_path, "a", buffering=1, encoding="utf-8", errors="replace")
logging.basicConfig(level=logging.CRITICAL)

class RecordingHandler(FTPHandler):
    auth_failed_timeout = 0.01
    def on_connect(self):
        events.write("CONNECT\n")
    def on_login(self, username):
        events.write("LOGIN " + username + "\n")
    def pre_process_command(self, line, cmd, arg):
        events.write("> " + line + "\n")
        return FTPHandler.pre_process_command(self, line, cmd, arg)
    def on_file_sent(self, file):
        events.write("SENT " + file + "\n")

authorizer = DummyAuthorizer()
authorizer.add_user(user, password, user_root, perm="elr")
authorizer.add_anonymous(anonymous_root, perm="elr")
RecordingHandler.authorizer = authorizer
server = FTPServer((address, int(port)), RecordingHandler)
print("ready", flush=True)
server.serve_forever(timeout=0.05)
)";

} // namespace

FtpServerFixture::FtpServerFixture(const QByteArray& address, const QString& user, const QString& password,
                                   quint16 port)
    : address_(address)
{
    QDir(folder_.path()).mkpath("user");
    QDir(folder_.path()).mkpath("anonymous");
    const QString script = folder_.filePath("server.py");
    QFile scriptFile(script);
    if (!scriptFile.open(QIODevice::WriteOnly) || scriptFile.write(kServerScript) < 0)
        throw std::runtime_error("cannot write the FTP server script");
    scriptFile.close();

    process_.setStandardErrorFile(QProcess::nullDevice());
    endsWithTest(process_);
    // Debian's interpreter: the one that sees Debian's pyftpdlib.
    process_.start("/usr/bin/python3", {script, host(), QString::number(port), userRoot(), anonymousRoot(),
                                        user, password, folder_.filePath("events.log")});
    QElapsedTimer waited;
    waited.start();
    while (!process_.canReadLine() && waited.elapsed() < 10000 && process_.state() != QProcess::NotRunning)
        process_.waitForReadyRead(100);
    if (!process_.readLine().startsWith("ready"))
        throw std::runtime_error("the FTP server did not start on " + address.toStdString());
}

FtpServerFixture::~FtpServerFixture()
{
    process_.terminate();
    if (!process_.waitForFinished(3000)) {
        process_.kill();
        process_.waitForFinished(3000);
    }
}

void FtpServerFixture::putFile(const QString& root, const QString& relativePath, const QByteArray& bytes)
{
    const QString path = QDir(root).filePath(relativePath);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

void FtpServerFixture::settle() const
{
    QElapsedTimer waited;
    waited.start();
    qint64 size = -1;
    while (waited.elapsed() < 2000) {
        const qint64 now = QFileInfo(folder_.filePath("events.log")).size();
        if (now == size)
            return;
        size = now;
        QThread::msleep(100);
    }
}

QStringList FtpServerFixture::events() const
{
    QFile file(folder_.filePath("events.log"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

QStringList FtpServerFixture::commands() const
{
    QStringList found;
    for (const QString& event : events()) {
        if (event.startsWith("> "))
            found << event.mid(2);
    }
    return found;
}

int FtpServerFixture::connections() const
{
    return int(events().count("CONNECT"));
}

int FtpServerFixture::downloads() const
{
    int count = 0;
    for (const QString& event : events())
        count += event.startsWith("SENT ") ? 1 : 0;
    return count;
}

QStringList FtpServerFixture::logins() const
{
    QStringList found;
    for (const QString& event : events()) {
        if (event.startsWith("LOGIN "))
            found << event.mid(6);
    }
    return found;
}
