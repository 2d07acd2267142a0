#include "device/FtpFetch.h"

#include "common/TextCodec.h"

#include <QSaveFile>
#include <curl/curl.h>

#include <mutex>

namespace {

void initialiseCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// A host that could change the meaning of the URL (user part, path, port) is refused.
bool isPlainHost(const QString& host)
{
    if (host.isEmpty())
        return false;
    for (const QChar c : host) {
        if (!(c.isLetterOrNumber() && c.unicode() < 0x80) && c != '.' && c != '-' && c != '_')
            return false;
    }
    return true;
}

size_t writeToFile(char* data, size_t size, size_t count, void* file)
{
    const qint64 length = qint64(size * count);
    return static_cast<QSaveFile*>(file)->write(data, length) == length ? size * count : 0;
}

int checkCancelled(void* flag, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<const std::atomic<bool>*>(flag)->load() ? 1 : 0;
}

} // namespace

struct FtpClient::Session
{
    CURL* curl = nullptr;
    curl_slist* quote = nullptr;
    QByteArray quoteCommand;
    // Local port of the control connection that the last fetch used.
    long controlPort = -1;

    Session() : curl(curl_easy_init()) {}
    ~Session()
    {
        curl_easy_cleanup(curl);
        curl_slist_free_all(quote);
    }
};

FtpClient::FtpClient()
{
    initialiseCurlOnce();
    session_ = std::make_unique<Session>();
}

FtpClient::~FtpClient() = default;

void FtpClient::setTimeouts(int connectSeconds, int stallSeconds)
{
    connectSeconds_ = connectSeconds;
    stallSeconds_ = stallSeconds;
}

void FtpClient::startBatch()
{
    currentPlace_.clear();
}

bool FtpClient::fetch(const QString& host, const QString& directory, const QString& remoteName,
                      const QString& localFile, const FtpLogin& login)
{
    if (cancelled_ || !session_->curl || !isPlainHost(host) || remoteName.isEmpty() ||
        remoteName.endsWith('/'))
        return false;
    // Paths and login data travel as the program's other texts do, in GBK.
    const QByteArray url = "ftp://" + host.toLatin1() + ':' + QByteArray::number(kFtpPort) + '/' +
                           TextCodec::toGbk(remoteName).toPercentEncoding("/");
    const QString place = host + '\n' + QString::number(login.usePassword) + '\n' + login.user + '\n' +
                          login.password + '\n' + directory;
    const bool reuse = currentPlace_ == place;
    currentPlace_.clear();
    bool connectedAnew = false;
    bool stored = transfer(url, localFile, login, directory, !reuse, connectedAnew);
    if (reuse && (connectedAnew || !stored) && !cancelled_) {
        // The open connection may have gone, and the fetch then logged in again
        // without changing directory: whatever it read or missed says nothing
        // about the photo. Fetch it again on a connection of its own.
        stored = transfer(url, localFile, login, directory, true, connectedAnew);
    }
    if (stored)
        currentPlace_ = place;
    return stored;
}

bool FtpClient::transfer(const QByteArray& url, const QString& localFile, const FtpLogin& login,
                         const QString& directory, bool fresh, bool& connectedAnew)
{
    QSaveFile file(localFile);
    if (!file.open(QIODevice::WriteOnly))
        return false;

    CURL* curl = session_->curl;
    // A fresh connection enters the directory. On an open one, which already
    // stands in it, a NOOP goes first: libcurl 7.88 otherwise often stalls for a
    // second on the PASV that would open the transfer.
    curl_slist_free_all(session_->quote);
    session_->quoteCommand = fresh ? "CWD " + TextCodec::toGbk(directory) : QByteArray("NOOP");
    session_->quote = curl_slist_append(nullptr, session_->quoteCommand.constData());
    const QByteArray user = login.usePassword ? TextCodec::toGbk(login.user) : QByteArray("anonymous");
    const QByteArray password = login.usePassword ? TextCodec::toGbk(login.password) : QByteArray();

    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    // The directory is entered by an explicit CWD and the rest of the path goes
    // to RETR as it stands, as the terminal expects.
    curl_easy_setopt(curl, CURLOPT_FTP_FILEMETHOD, long(CURLFTPMETHOD_NOCWD));
    curl_easy_setopt(curl, CURLOPT_QUOTE, session_->quote);
    curl_easy_setopt(curl, CURLOPT_FTP_USE_EPSV, 0L);
    curl_easy_setopt(curl, CURLOPT_TRANSFERTEXT, 0L);
    curl_easy_setopt(curl, CURLOPT_FRESH_CONNECT, fresh ? 1L : 0L);
    // One open connection at most: a fresh one replaces the last.
    curl_easy_setopt(curl, CURLOPT_MAXCONNECTS, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, long(connectSeconds_));
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(stallSeconds_));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, long(stallSeconds_));
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, writeToFile);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &file);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, checkCancelled);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &cancelled_);

    const CURLcode result = curl_easy_perform(curl);
    // A new control connection shows as a second connect (the data connection
    // is the other) or as a control connection on another local port.
    long connects = 0;
    long localPort = -1;
    curl_easy_getinfo(curl, CURLINFO_NUM_CONNECTS, &connects);
    curl_easy_getinfo(curl, CURLINFO_LOCAL_PORT, &localPort);
    connectedAnew = connects >= 2 || localPort != session_->controlPort;
    session_->controlPort = localPort;
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, nullptr);
    curl_easy_setopt(curl, CURLOPT_QUOTE, nullptr);

    const bool trusted = result == CURLE_OK && !(connectedAnew && !fresh);
    if (!trusted || !file.commit()) {
        file.cancelWriting();
        return false;
    }
    return true;
}

QString RemotePhotoName(const QString& directory, const QString& path)
{
    const qsizetype at = path.indexOf(directory);
    return path.mid((at < 0 ? 0 : at) + directory.size() + 1);
}

bool FetchPhotoFtp(FtpClient& client, const QString& host, const QString& directory, const QString& path,
                   const QString& localFile, const FtpLogin& login)
{
    return client.fetch(host, directory, RemotePhotoName(directory, path), localFile, login);
}
