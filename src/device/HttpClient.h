#pragma once

#include "device/CookieJar.h"

class TrafficLog;

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>

// One HTTP client of the main window, speaking to the terminal as it expects:
// fixed headers in a fixed order, cookies kept for the client's lifetime and
// sent back to their host, redirects not followed, and a time-out for
// connecting and for each piece of the request and of the reply.
//
// A client is used by one thread at a time; only cancel() may be called from
// another thread while a request runs.
class HttpClient
{
public:
    enum class Method
    {
        Post, // HTTP/1.0, always on a new connection
        Put,  // HTTP/1.1, reusing an open connection to the same host and port
        Get   // HTTP/1.1, likewise
    };

    // A reply body larger than this ends the command with a failure: no
    // command's reply comes near it.
    static constexpr std::uint64_t kMaxReplyBodyBytes = std::uint64_t(64) << 20;

    explicit HttpClient(QByteArray contentType);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    QByteArray contentType() const { return contentType_; }
    void setContentType(const QByteArray& contentType) { contentType_ = contentType; }

    // Longest wait to connect and for each piece written or read; 0 waits without limit.
    int timeoutMs() const { return timeoutMs_; }
    void setTimeoutMs(int timeoutMs) { timeoutMs_ = timeoutMs; }

    // Sends one request and returns the reply body's bytes. The body goes out
    // from the caller's bytes, never copied, so a large one costs no second
    // copy. A failed transfer, a time-out or a status outside 200..299 throws
    // Failure; for a status the text is the reply's status line.
    QByteArray send(Method method, const QString& url, const QByteArray& body);
    // The status of the last send()'s reply; 0 when there was none.
    int lastStatus() const { return lastStatus_; }

    // The cookies kept so far, for a client that is to speak as this one does.
    const CookieJar& cookies() const { return cookies_; }
    void setCookies(const CookieJar& cookies) { cookies_ = cookies; }

    // Where every exchange is recorded, raw bytes included; none by default.
    void setTrafficLog(TrafficLog* log) { traffic_ = log; }
    // What the next exchanges belong to (the button of the command), as recorded.
    void setTrafficContext(const QString& context) { trafficContext_ = context; }

    // Connects from this local IP address from now on, instead of one the
    // system picks. Throws Failure for a text that is no IP address.
    void setLocalAddress(const QString& address);

    // Ends the request under way (it fails) and every later one until rearm().
    void cancel();
    void rearm();

private:
    struct Transport;
    class Recording;
    QByteArray exchange(Method method, const QString& url, const QByteArray& body, Recording& recorded);

    QByteArray contentType_;
    int timeoutMs_ = 0;
    int lastStatus_ = 0;
    CookieJar cookies_;
    TrafficLog* traffic_ = nullptr;
    QString trafficContext_;
    std::unique_ptr<Transport> transport_;
};
