#include "device/FtpFetch.h"

#include "common/TextCodec.h"
#include "common/TrafficLog.h"
#include "device/CurlLibrary.h"

#include <QSaveFile>

#include <chrono>

namespace {

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

// Where a transfer's photo goes: the file, and for the traffic log a copy up
// to its limit.
struct Download
{
    QSaveFile* file;
    TrafficRecord* recorded;
    qint64 keepLimit;
};

size_t writeToFile(char* data, size_t size, size_t count, void* target)
{
    auto* download = static_cast<Download*>(target);
    const qint64 length = qint64(size * count);
    if (download->recorded) {
        download->recorded->replySize += length;
        const qint64 room = download->keepLimit - download->recorded->reply.size();
        if (room > 0)
            download->recorded->reply.append(data, qsizetype(std::min(room, length)));
    }
    return download->file->write(data, length) == length ? size * count : 0;
}

// The control channel as the traffic log keeps it: commands with "> ", the
// server's replies with "< ", the password left out.
int recordControlChannel(CURL*, curl_infotype type, char* data, size_t size, void* target)
{
    if (type != CURLINFO_HEADER_OUT && type != CURLINFO_HEADER_IN)
        return 0;
    auto* recorded = static_cast<TrafficRecord*>(target);
    QByteArray line(data, qsizetype(size));
    if (type == CURLINFO_HEADER_OUT && line.startsWith("PASS ") && line.size() > 7)
        line = "PASS ***\r\n";
    recorded->request += (type == CURLINFO_HEADER_OUT ? "> " : "< ") + line;
    return 0;
}

int checkCancelled(void* flag, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<const std::atomic<bool>*>(flag)->load() ? 1 : 0;
}

} // namespace

struct FtpClient::Session
{
    explicit Session(const CurlLibrary& api) : api(api), curl(api.easy_init()) {}
    ~Session()
    {
        api.easy_cleanup(curl);
        api.slist_free_all(quote);
    }

    const CurlLibrary& api;
    CURL* curl = nullptr;
    curl_slist* quote = nullptr;
    QByteArray quoteCommand;
    // Local port of the control connection that the last fetch used.
    long controlPort = -1;
};

FtpClient::FtpClient() = default;

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
    if (cancelled_ || !isPlainHost(host) || remoteName.isEmpty() || remoteName.endsWith('/'))
        return false;
    // libcurl is loaded on the first fetch, not with the window.
    if (!session_) {
        const CurlLibrary* api = curlLibrary();
        if (!api)
            return false;
        session_ = std::make_unique<Session>(*api);
    }
    if (!session_->curl)
        return false;
    // Paths and login data travel as the program's other texts do, in GBK.
    const QByteArray url = "ftp://" + host.toLatin1() + ':' + QByteArray::number(kFtpPort) + '/' +
                           TextCodec::toGbk(remoteName).toPercentEncoding("/");
    const QString place = host + '\n' + QString::number(login.usePassword) + '\n' + login.user + '\n' +
                          login.password + '\n' + directory;
    const bool reuse = currentPlace_ == place;
    currentPlace_.clear();

    const bool recording = traffic_ && traffic_->enabled();
    TrafficRecord recorded;
    const auto started = std::chrono::steady_clock::now();
    if (recording) {
        recorded.time = QDateTime::currentDateTime();
        recorded.role = TrafficRecord::Role::FtpFetch;
        recorded.context = trafficContext_;
        recorded.method = QStringLiteral("RETR");
        recorded.target = host + QStringLiteral("  ") + directory + QStringLiteral("  ") + remoteName;
    }
    TrafficRecord* record = recording ? &recorded : nullptr;

    bool connectedAnew = false;
    bool stored = transfer(url, localFile, login, directory, !reuse, connectedAnew, record);
    if (reuse && (connectedAnew || !stored) && !cancelled_) {
        // The open connection may have gone, and the fetch then logged in again
        // without changing directory: whatever it read or missed says nothing
        // about the photo. Fetch it again on a connection of its own.
        if (record) {
            recorded.reply.clear();
            recorded.replySize = 0;
        }
        stored = transfer(url, localFile, login, directory, true, connectedAnew, record);
    }
    if (stored)
        currentPlace_ = place;
    if (recording) {
        if (!stored && recorded.result.isEmpty())
            recorded.result = cancelled_ ? QStringLiteral("cancelled") : QStringLiteral("not stored");
        recorded.durationUs = std::chrono::duration_cast<std::chrono::microseconds>(
                                  std::chrono::steady_clock::now() - started)
                                  .count();
        traffic_->add(std::move(recorded));
    }
    return stored;
}

bool FtpClient::transfer(const QByteArray& url, const QString& localFile, const FtpLogin& login,
                         const QString& directory, bool fresh, bool& connectedAnew, TrafficRecord* recorded)
{
    QSaveFile file(localFile);
    if (!file.open(QIODevice::WriteOnly))
        return false;

    CURL* curl = session_->curl;
    const CurlLibrary& api = session_->api;
    // A fresh connection enters the directory. On an open one, which already
    // stands in it, a NOOP goes first: libcurl 7.88 otherwise often stalls for a
    // second on the PASV that would open the transfer.
    api.slist_free_all(session_->quote);
    session_->quoteCommand = fresh ? "CWD " + TextCodec::toGbk(directory) : QByteArray("NOOP");
    session_->quote = api.slist_append(nullptr, session_->quoteCommand.constData());
    const QByteArray user = login.usePassword ? TextCodec::toGbk(login.user) : QByteArray("anonymous");
    const QByteArray password = login.usePassword ? TextCodec::toGbk(login.password) : QByteArray();

    api.easy_setopt(curl, CURLOPT_URL, url.constData());
    api.easy_setopt(curl, CURLOPT_USERNAME, user.constData());
    api.easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    // The directory is entered by an explicit CWD and the rest of the path goes
    // to RETR as it stands, as the terminal expects.
    api.easy_setopt(curl, CURLOPT_FTP_FILEMETHOD, long(CURLFTPMETHOD_NOCWD));
    api.easy_setopt(curl, CURLOPT_QUOTE, session_->quote);
    api.easy_setopt(curl, CURLOPT_FTP_USE_EPSV, 0L);
    api.easy_setopt(curl, CURLOPT_TRANSFERTEXT, 0L);
    api.easy_setopt(curl, CURLOPT_FRESH_CONNECT, fresh ? 1L : 0L);
    // One open connection at most: a fresh one replaces the last.
    api.easy_setopt(curl, CURLOPT_MAXCONNECTS, 1L);
    api.easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, long(connectSeconds_));
    api.easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(stallSeconds_));
    api.easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    api.easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, long(stallSeconds_));
    api.easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    Download download{&file, recorded, recorded ? traffic_->sideLimit() : 0};
    api.easy_setopt(curl, CURLOPT_WRITEFUNCTION, writeToFile);
    api.easy_setopt(curl, CURLOPT_WRITEDATA, &download);
    api.easy_setopt(curl, CURLOPT_VERBOSE, recorded ? 1L : 0L);
    api.easy_setopt(curl, CURLOPT_DEBUGFUNCTION, recorded ? recordControlChannel : nullptr);
    api.easy_setopt(curl, CURLOPT_DEBUGDATA, recorded);
    api.easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    api.easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, checkCancelled);
    api.easy_setopt(curl, CURLOPT_XFERINFODATA, &cancelled_);

    const CURLcode result = api.easy_perform(curl);
    // A new control connection shows as a second connect (the data connection
    // is the other) or as a control connection on another local port.
    long connects = 0;
    long localPort = -1;
    api.easy_getinfo(curl, CURLINFO_NUM_CONNECTS, &connects);
    api.easy_getinfo(curl, CURLINFO_LOCAL_PORT, &localPort);
    connectedAnew = connects >= 2 || localPort != session_->controlPort;
    session_->controlPort = localPort;
    api.easy_setopt(curl, CURLOPT_WRITEDATA, nullptr);
    api.easy_setopt(curl, CURLOPT_QUOTE, nullptr);

    const bool trusted = result == CURLE_OK && !(connectedAnew && !fresh);
    if (recorded && result != CURLE_OK)
        recorded->result = QString::fromUtf8(api.easy_strerror(result));
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
