#include "common/Failure.h"
#include "common/PictureBase64.h"
#include "device/FormFields.h"
#include "device/HttpClient.h"
#include "server/HttpServer.h"
#include "terminal/GeneratedPhoto.h"
#include "terminal/Simulator.h"

#include <QDateTime>
#include <QDir>
#include <QThread>
#include <curl/curl.h>
#include <gtest/gtest.h>

#include <mutex>
#include <set>
#include <nlohmann/json.hpp>

namespace {

using Json = nlohmann::ordered_json;

size_t collect(char* data, size_t size, size_t count, void* target)
{
    static_cast<QByteArray*>(target)->append(data, qsizetype(size * count));
    return size * count;
}

// One passive binary download; the curl code, 0 when it worked.
int ftpGet(const QString& url, const char* user, const char* password, QByteArray& bytes)
{
    CURL* curl = curl_easy_init();
    const QByteArray address = url.toUtf8();
    curl_easy_setopt(curl, CURLOPT_URL, address.constData());
    curl_easy_setopt(curl, CURLOPT_USERNAME, user);
    curl_easy_setopt(curl, CURLOPT_PASSWORD, password);
    curl_easy_setopt(curl, CURLOPT_FTP_USE_EPSV, 0L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 10L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &bytes);
    const CURLcode code = curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    return code;
}

// What a test's callback server received.
struct Received
{
    QString document;
    QStringList params;
    QByteArray body;
};

// Stands in for the tool's callback server on its own loopback address.
class CallbackTarget
{
public:
    explicit CallbackTarget(const char* address)
        : server([this](const ServerRequest& request) {
              std::lock_guard lock(mutex);
              received.push_back({request.document, request.params, request.body});
              ServerReply reply;
              reply.contentType = QStringLiteral("application/json");
              reply.body = request.document.contains(QLatin1String("queryAccount"))
                               ? R"({"result":1,"success":true,"data":{"personId":"20001","idcardNum":"88"}})"
                               : R"({"result":1,"success":true})";
              return std::optional<ServerReply>(reply);
          })
    {
        server.start(QString::fromLatin1(address), 8090);
    }

    std::vector<Received> requests(const QString& keyword)
    {
        std::lock_guard lock(mutex);
        std::vector<Received> found;
        for (const Received& request : received) {
            if (request.document.contains(keyword))
                found.push_back(request);
        }
        return found;
    }

    bool waitFor(const QString& keyword, std::size_t count, int timeoutMs = 8000)
    {
        for (int waited = 0; waited < timeoutMs; waited += 20) {
            if (requests(keyword).size() >= count)
                return true;
            QThread::msleep(20);
        }
        return false;
    }

private:
    std::mutex mutex;
    std::vector<Received> received;
    HttpServer server;
};

// A simulator in this process, spoken to over plain HTTP as the tool would.
class TerminalApi : public ::testing::Test
{
protected:
    void start(const char* address, int records = 0)
    {
        host = QString::fromLatin1(address);
        TerminalOptions options;
        options.address = host;
        options.records = records;
        simulator = std::make_unique<Simulator>(options, [this](const QString& line) {
            std::lock_guard lock(logMutex);
            log << line;
        });
    }

    QString url(const QString& path) const { return QStringLiteral("http://%1:8090/%2").arg(host, path); }

    Json send(HttpClient::Method method, const QString& path, const QByteArray& body = {})
    {
        HttpClient client("application/x-www-form-urlencoded");
        client.setTimeoutMs(5000);
        const QByteArray reply = client.send(method, url(path), body);
        return Json::parse(reply.toStdString());
    }
    Json post(const QString& path, const FormFields& fields)
    {
        return send(HttpClient::Method::Post, path, fields.encoded());
    }
    Json get(const QString& path) { return send(HttpClient::Method::Get, path); }

    // "pass" first, then the pairs in order, values as UTF-8.
    static FormFields form(std::initializer_list<std::pair<const char*, QString>> pairs,
                           const QString& password = QStringLiteral("58104726"))
    {
        FormFields fields;
        fields.setBytes("pass", password.toUtf8());
        for (const auto& [name, value] : pairs)
            fields.setBytes(name, value.toUtf8());
        return fields;
    }

    QStringList logLines()
    {
        std::lock_guard lock(logMutex);
        return log;
    }

    QString host;
    // Before the simulator, whose callback thread writes the log until it is
    // destroyed.
    std::mutex logMutex;
    QStringList log;
    std::unique_ptr<Simulator> simulator;
};

QString text(const Json& value)
{
    return QString::fromStdString(value.is_string() ? value.get<std::string>() : value.dump());
}

} // namespace

TEST_F(TerminalApi, ChangedPasswordHoldsForEveryLaterCommand)
{
    start("127.0.15.1");
    EXPECT_EQ(text(post("getDeviceKey", FormFields())["data"]), "QM7F000F01");

    FormFields change;
    change.setBytes("oldPass", "58104726");
    change.setBytes("newPass", "new pass");
    EXPECT_EQ(post("setPassWord", change)["success"], true);

    const Json refused = post("setNetInfo", form({{"ip", "10.0.0.9"}}));
    EXPECT_EQ(refused["success"], false);
    EXPECT_TRUE(refused.contains("msg"));
    EXPECT_EQ(post("setPassWord", change)["success"], false) << "the old password is no longer in force";
    EXPECT_EQ(post("setNetInfo", form({{"ip", "10.0.0.9"}}, "new pass"))["success"], true);
    // The serial number needs no password, but one that is sent must be right.
    EXPECT_EQ(post("getDeviceKey", FormFields())["success"], true);
    EXPECT_EQ(post("getDeviceKey", form({}, "58104726"))["success"], false);
    EXPECT_EQ(post("getDeviceKey", form({}, "new pass"))["success"], true);
    // A new network address is only reported: the terminal still answers here.
    const Json config = get("device/config?pass=new+pass");
    EXPECT_EQ(config["success"], true);
    EXPECT_EQ(config["data"]["device"]["ip"], "10.0.0.9");
    EXPECT_EQ(get("device/config?pass=58104726")["success"], false);
}

TEST_F(TerminalApi, PersonsFacesAndPermissionsAreKeptBetweenCommands)
{
    start("127.0.15.2");
    const QString person = QStringLiteral(
        R"({"id":"7","idcardNum":"00000065","name":"测试","IDNumber":"00000065","tag":"XD888"})");
    EXPECT_EQ(post("person/create", form({{"person", person}}))["success"], true);
    EXPECT_EQ(post("person/create", form({{"person", person}}))["success"], false) << "the ID is taken";
    EXPECT_EQ(post("person/create", form({{"person", R"({"id":"8","name":"a"b"})"}}))["success"], false);

    EXPECT_EQ(
        post("person/update", form({{"person", R"({"id":"7","idcardNum":"99","name":"新名"})"}}))["success"],
        true);
    EXPECT_EQ(post("person/update", form({{"person", R"({"id":"404","name":"x"})"}}))["success"], false);
    EXPECT_EQ(post("person/permissionsCreate",
                   form({{"personId", "7"}, {"time", "2024-03-05 08:45:35"}}))["success"],
              true);
    EXPECT_EQ(post("person/createPasstime",
                   form({{"passtime", R"({"personId":"7","passtime":"08:00:00,10:00:00,,,,"})"}}))["success"],
              true);
    const Json found = get("person/find?id=7&pass=58104726");
    ASSERT_EQ(found["success"], true);
    EXPECT_EQ(text(found["data"]["name"]), QStringLiteral("新名"));
    EXPECT_EQ(text(found["data"]["idcardNum"]), "99");
    EXPECT_EQ(text(found["data"]["validTime"]), "2024-03-05 08:45:35");
    EXPECT_EQ(text(found["data"]["passtime"]), "08:00:00,10:00:00,,,,");
    EXPECT_EQ(get("person/find?id=8&pass=58104726")["success"], false);
    EXPECT_EQ(
        get("person/findByPage?pass=58104726&personId=-1&length=1000&index=0")["data"]["pageInfo"]["total"],
        1);

    // A face photo travels as Base64 lines, as the window sends it, and comes
    // back over FTP byte for byte.
    const QByteArray photo = generatedJpeg(5);
    EXPECT_EQ(post("face", form({{"personId", "7"},
                                 {"faceId", "7"},
                                 {"base64", toBase64Lines(photo)},
                                 {"isEasyWay", "false"}}))["success"],
              true);
    EXPECT_EQ(post("face",
                   form({{"personId", "404"}, {"faceId", "9"}, {"base64", toBase64Lines(photo)}}))["success"],
              false);
    EXPECT_EQ(
        post("face",
             form({{"personId", "7"}, {"faceId", "../9"}, {"base64", toBase64Lines(photo)}}))["success"],
        false);
    EXPECT_EQ(
        post("face", form({{"personId", "7"}, {"faceId", "9"}, {"base64", "bm90IGEgcGhvdG8="}}))["success"],
        false);
    const Json faces = post("face/find", form({{"personId", "7"}}));
    ASSERT_EQ(faces["success"], true);
    const QString path = text(faces["data"][0]["path"]);
    EXPECT_EQ(path, "/RegisterPhoto/7.jpg");
    QByteArray fetched;
    EXPECT_EQ(ftpGet(QStringLiteral("ftp://%1:8010%2").arg(host, path), "anonymous", "", fetched), 0);
    EXPECT_EQ(fetched, photo);
    fetched.clear();
    EXPECT_EQ(ftpGet(QStringLiteral("ftp://%1:8010%2").arg(host, path), "admin", "58104726", fetched), 0);
    EXPECT_EQ(fetched, photo);

    const QByteArray newer = generatedJpeg(6);
    EXPECT_EQ(
        post("face/update",
             form({{"personId", "7"}, {"faceId", "7"}, {"imgBase64", toBase64Lines(newer)}}))["success"],
        true);
    fetched.clear();
    EXPECT_EQ(ftpGet(QStringLiteral("ftp://%1:8010%2").arg(host, path), "anonymous", "", fetched), 0);
    EXPECT_EQ(fetched, newer);

    EXPECT_EQ(post("person/delete", form({{"id", "7"}}))["success"], true);
    EXPECT_EQ(post("person/delete", form({{"id", "7"}}))["success"], false);
    EXPECT_EQ(post("face/find", form({{"personId", "7"}}))["success"], false);
    EXPECT_NE(ftpGet(QStringLiteral("ftp://%1:8010%2").arg(host, path), "anonymous", "", fetched), 0)
        << "the face's photo went with the person";
}

TEST_F(TerminalApi, RecordsArePagedServedOverFtpAndDeleted)
{
    start("127.0.15.3", 5);
    const Json page = get(
        "newFindRecords?pass=58104726&personId=-1&startTime=0&endTime=0&length=2&model=-1&order=1&index=0");
    ASSERT_EQ(page["success"], true);
    // The tool reads "data" as a text and parses it again.
    const Json data = Json::parse(page["data"].dump());
    EXPECT_EQ(data["pageInfo"]["total"], 5);
    ASSERT_EQ(data["records"].size(), 2u);
    const Json first = data["records"][0];
    const QString time = text(first["time"]);
    EXPECT_TRUE(text(first["path"]).endsWith(time + ".jpg"));
    QByteArray photo;
    EXPECT_EQ(
        ftpGet(QStringLiteral("ftp://%1:8010%2").arg(host, text(first["path"])), "admin", "58104726", photo),
        0);
    EXPECT_TRUE(photo.startsWith("\xFF\xD8")) << "a JPEG";

    const QString today = QDateTime::fromMSecsSinceEpoch(time.toLongLong()).toString("yyyy-MM-dd");
    const Json day = get("newFindRecords?pass=58104726&personId=-1&startTime=" + today +
                         "%2000:00:00&endTime=" + today + "%2023:59:59&length=100&model=-1&order=1&index=0");
    EXPECT_GE(Json::parse(day["data"].dump())["records"].size(), 1u);

    simulator->events().recognise(3);
    const Json all = Json::parse(get("newFindRecords?pass=58104726&personId=-1&startTime=0&endTime=0&length="
                                     "100&model=-1&order=1&index=0")["data"]
                                     .dump());
    std::set<std::string> times;
    for (const Json& record : all["records"])
        times.insert(record["time"].get<std::string>());
    EXPECT_EQ(times.size(), 8u) << "every record has a time, and so a photo, of its own";

    EXPECT_EQ(
        post("newDeleteRecordsByUnixTime",
             form({{"personId", "-1"}, {"startTime", time}, {"endTime", time}, {"model", "-1"}}))["data"],
        1);
    EXPECT_EQ(post("newDeleteRecords", form({{"personId", "-1"},
                                             {"startTime", "2000-01-01 00:00:00"},
                                             {"endTime", "2100-01-01 00:00:00"},
                                             {"model", "-1"}}))["data"],
              7);
    EXPECT_EQ(Json::parse(get("newFindRecords?pass=58104726&personId=-1&startTime=0&endTime=0&length=2&model="
                              "-1&order=1&index=0")["data"]
                              .dump())["pageInfo"]["total"],
              0);
    EXPECT_NE(
        ftpGet(QStringLiteral("ftp://%1:8010%2").arg(host, text(first["path"])), "anonymous", "", photo), 0);
}

TEST_F(TerminalApi, JsonCommandsComeByPutAndUnknownPathsAreRefused)
{
    start("127.0.15.4");
    EXPECT_EQ(
        send(HttpClient::Method::Put, "device/disable", R"({"pass":"58104726","isDisable":true})")["success"],
        true);
    EXPECT_EQ(
        send(HttpClient::Method::Put, "device/screenSaverTime", R"({"pass":"58104726","time":3})")["success"],
        true);
    EXPECT_EQ(send(HttpClient::Method::Put, "device/screenSaverTime",
                   R"({"pass":"58104726","time":100})")["success"],
              false);
    EXPECT_EQ(
        send(HttpClient::Method::Put, "device/disable", R"({"pass":"58104726","isDisable":tru})")["success"],
        false);
    EXPECT_EQ(send(HttpClient::Method::Put, "device/disable", R"({"pass":"1","isDisable":true})")["msg"],
              "密码错误");
    EXPECT_EQ(post("setConfig", form({{"config", R"({"companyName":"",)"}}))["success"], false);
    EXPECT_EQ(
        text(post("setConfig", form({{"config", R"({"companyName":"Q","identifyScores":80})"}}))["data"]),
        QStringLiteral("设备设置成功"));
    EXPECT_EQ(get("device/config?pass=58104726")["data"]["identifyScores"], 80);
    EXPECT_EQ(post("bootOnline", form({{"binData", "000AFF"}}))["success"], true);
    EXPECT_EQ(post("bootOnline", form({{"binData", "0G"}}))["success"], false);
    EXPECT_THROW(post("noSuchCommand", form({})), Failure);
}

TEST_F(TerminalApi, FtpServesTheAccountThatSetFtpGives)
{
    start("127.0.15.5");
    QByteArray bytes;
    ASSERT_EQ(post("person/create", form({{"person", R"({"id":"1","name":"a"})"}}))["success"], true);
    ASSERT_EQ(post("face/takeImg", form({{"personId", "1"}}))["success"], true);
    const QString photo = QStringLiteral("ftp://%1:8010/RegisterPhoto/1.jpg").arg(host);
    EXPECT_EQ(ftpGet(photo, "admin", "58104726", bytes), 0);

    EXPECT_EQ(send(HttpClient::Method::Post, "setFTP?pass=58104726&username=site&password=s3cret")["success"],
              true);
    EXPECT_EQ(ftpGet(photo, "admin", "58104726", bytes), CURLE_LOGIN_DENIED);
    EXPECT_EQ(ftpGet(photo, "site", "s3cret", bytes), 0);
    EXPECT_EQ(ftpGet(photo, "anonymous", "", bytes), 0);
    EXPECT_EQ(send(HttpClient::Method::Post, "setFTP?pass=wrong&username=x&password=y")["success"], false);
    EXPECT_EQ(ftpGet(photo, "site", "s3cret", bytes), 0);
}

TEST_F(TerminalApi, CallbacksGoToRegisteredLoopbackAddressesOnly)
{
    CallbackTarget target("127.0.15.21");
    start("127.0.15.6");
    EXPECT_EQ(post("setServerAddress", form({{"serverurl", "http://127.0.15.21:8090/comApi/"},
                                             {"interval", "1"},
                                             {"base64Enable", "1"}}))["success"],
              true);
    EXPECT_EQ(
        text(post("setDeviceHeartBeat", form({{"url", "http://127.0.15.21:8090/api/heartBeat"}}))["data"]),
        QStringLiteral("设置成功"));
    EXPECT_EQ(post("setIdentifyCallBack", form({{"callbackUrl", "http://127.0.15.21:8090/attendance"},
                                                {"base64Enable", "2"}}))["success"],
              true);
    EXPECT_EQ(text(get("device/callback?pass=58104726")["data"]), "http://127.0.15.21:8090/attendance");

    ASSERT_TRUE(target.waitFor("heartBeat", 2));
    EXPECT_TRUE(target.requests("heartBeat")[0].params.contains("deviceKey=QM7F000F06"));

    simulator->events().recognise(1);
    ASSERT_TRUE(target.waitFor("attendance", 1));
    const Received event = target.requests("attendance")[0];
    EXPECT_TRUE(event.params.contains("type=face_0"));
    EXPECT_TRUE(std::any_of(event.params.begin(), event.params.end(),
                            [](const QString& p) { return p.startsWith("imgBase64=/9j/"); }));

    EXPECT_EQ(post("setImgRegCallBack",
                   form({{"url", "http://127.0.15.21:8090/imgreg"}, {"base64Enable", "1"}}))["success"],
              true);
    ASSERT_EQ(post("person/create", form({{"person", R"({"id":"3","name":"c"})"}}))["success"], true);
    ASSERT_EQ(post("face/takeImg", form({{"personId", "3"}}))["success"], true);
    ASSERT_TRUE(target.waitFor("imgreg", 1));
    EXPECT_TRUE(target.requests("imgreg")[0].params.contains("path=/RegisterPhoto/3.jpg"));

    simulator->events().pay();
    ASSERT_TRUE(target.waitFor("comApi/onlineTrade", 1));
    EXPECT_EQ(target.requests("comApi/queryAccount").size(), 1u);
    const Json trade = Json::parse(target.requests("onlineTrade")[0].body.toStdString());
    EXPECT_EQ(trade["personId"], "20001") << "the trade is for the account the service named";
    simulator->events().uploadPayPhoto();
    ASSERT_TRUE(target.waitFor("comApi/uploadFaceImage", 1));
    EXPECT_TRUE(target.requests("uploadFaceImage")[0].body.contains("Content-Type: image/jpeg"));

    // A LAN address is kept and reported, but never called.
    const Json lan = post("setDeviceHeartBeat", form({{"url", "http://192.0.2.1:8090/heartBeat"}}));
    EXPECT_EQ(lan["success"], true);
    EXPECT_TRUE(text(lan["data"]).contains(QStringLiteral("不回调")));
    for (int i = 0; i < 100 && !logLines().join('\n').contains("not sent to http://192.0.2.1"); ++i)
        QThread::msleep(30);
    EXPECT_TRUE(logLines().join('\n').contains("heartbeat: not sent to http://192.0.2.1:8090/heartBeat"));
    const std::size_t beats = target.requests("heartBeat").size();
    QThread::msleep(1300);
    EXPECT_EQ(target.requests("heartBeat").size(), beats);
}
