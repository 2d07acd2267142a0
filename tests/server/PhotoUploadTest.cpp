#include "server/FakeServerWindow.h"
#include "server/MultipartForm.h"
#include "server/PhotoUpload.h"
#include "server/RequestDispatch.h"
#include "server/RequestDecoding.h"
#include "server/ServerFixture.h"

#include <gtest/gtest.h>

namespace {

// Binary content that holds line breaks, dashes, NUL bytes and high bytes.
QByteArray photoBytes(char seed)
{
    QByteArray bytes("\xFF\xD8\xFF\xE0\r\n--ab\r\n\0\x01", 14);
    for (int i = 0; i < 300; ++i)
        bytes += char(seed + i);
    return bytes + "\xFF\xD9";
}

QByteArray textField(const QByteArray& boundary)
{
    return "--" + boundary + "\r\nContent-Disposition: form-data; name=\"payid\"\r\n\r\n123\r\n";
}

QByteArray filePart(const QByteArray& boundary, const QByteArray& content)
{
    return "--" + boundary +
           "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"f.jpg\"\r\n"
           "Content-Type: image/jpeg\r\n\r\n" +
           content + "\r\n";
}

QByteArray closing(const QByteArray& boundary)
{
    return "--" + boundary + "--\r\n";
}

struct Upload
{
    ServerReply reply;
    FakeServerWindow window;
};

Upload upload(const QByteArray& contentType, const QByteArray& body, qint64 contentLength)
{
    Upload result;
    const ServerRequest request =
        RequestDecoding::makeRequest("/api/uploadFaceImage?payid=1", contentType, contentLength, body);
    result.reply = PhotoUpload::uploadFaceImage(request, result.window);
    return result;
}

Upload upload(const QByteArray& contentType, const QByteArray& body)
{
    return upload(contentType, body, body.size());
}

const QByteArray kAcknowledgement = R"({"result":1,"success":true,"msg":"接收成功"})";

} // namespace

TEST(PhotoUpload, FilePartIsShownByteForByte)
{
    const QByteArray body =
        textField("----7e51f") + filePart("----7e51f", photoBytes('a')) + closing("----7e51f");
    const Upload done = upload("multipart/form-data; boundary=----7e51f", body);
    EXPECT_EQ(done.window.photos, QList<QByteArray>{photoBytes('a')});
    EXPECT_EQ(done.reply.status, 200);
    EXPECT_EQ(done.reply.contentType, "application/json");
    EXPECT_EQ(done.reply.body, kAcknowledgement);
    EXPECT_EQ(done.window.linesOf(LogPane::mmMsg), QStringList{QString::fromUtf8(kAcknowledgement)});
    ASSERT_EQ(done.window.linesOf(LogPane::mmoLog).size(), 1);
}

TEST(PhotoUpload, EveryFilePartIsShownInTurn)
{
    const QByteArray body =
        filePart("abc", photoBytes('a')) + filePart("abc", photoBytes('b')) + closing("abc");
    EXPECT_EQ(upload("multipart/form-data; boundary=abc", body).window.photos,
              (QList<QByteArray>{photoBytes('a'), photoBytes('b')}));
}

TEST(PhotoUpload, TypeAndBoundaryNamesIgnoreLetterCase)
{
    const QByteArray body = filePart("abc", "JPEG") + closing("abc");
    EXPECT_EQ(upload("Multipart/Form-Data; Boundary=abc", body).window.photos, QList<QByteArray>{"JPEG"});
}

TEST(PhotoUpload, QuotedBoundaryIsTakenWithoutItsQuotes)
{
    EXPECT_EQ(MultipartForm::boundaryOf(R"(multipart/form-data; boundary="a b:c")"), "a b:c");
    EXPECT_EQ(MultipartForm::boundaryOf("multipart/form-data;charset=x;  BOUNDARY=--x"), "--x");
    EXPECT_EQ(MultipartForm::boundaryOf("multipart/form-data"), "");
    const QByteArray body = filePart("q1", "JPEG") + closing("q1");
    EXPECT_EQ(upload(R"(multipart/form-data; boundary="q1")", body).window.photos, QList<QByteArray>{"JPEG"});
}

TEST(PhotoUpload, MalformedFormsSaveNothingAndAreStillAcknowledged)
{
    const QByteArray good = filePart("abc", "JPEG") + closing("abc");
    const QList<Upload> uploads{
        upload("multipart/form-data; boundary=abc", "preamble\r\n" + good),
        upload("multipart/form-data; boundary=abc", good, good.size() + 1),
        upload("multipart/form-data; boundary=abc", good, -1),
        upload("multipart/form-data; boundary=abc", filePart("abc", "JPEG")),
        upload("multipart/form-data; boundary=abc", filePart("abc", "") + closing("abc")),
        upload("multipart/form-data; boundary=abc", textField("abc") + closing("abc")),
        upload("image/jpeg; boundary=abc", good),
        upload("multipart/form-data", good),
    };
    for (qsizetype i = 0; i < uploads.size(); ++i) {
        EXPECT_TRUE(uploads[i].window.photos.isEmpty()) << i;
        EXPECT_EQ(uploads[i].reply.body, kAcknowledgement) << i;
    }
}

TEST(PhotoUpload, EpilogueAfterTheClosingLineEndsTheLoop)
{
    const QByteArray body = filePart("abc", "JPEG") + closing("abc") + "epilogue";
    EXPECT_EQ(upload("multipart/form-data; boundary=abc", body).window.photos, QList<QByteArray>{"JPEG"});
}

TEST(PhotoUpload, ExtractingOnePartLeavesTheRestAtTheNextDelimiter)
{
    const QByteArray body =
        "--d\r\nX-Note:  a:b \r\ncontent-type:\timage/png\r\nloose line\r\n\r\nPNG\r\n--d--\r\n";
    const MultipartForm::ExtractedPart part = MultipartForm::ExtractMultipartPart("--d", body);
    EXPECT_EQ(part.rest, "--d--\r\n");
    EXPECT_EQ(part.content, "PNG");
    EXPECT_EQ(part.headers.entries,
              (QList<QByteArray>{"X-Note=a:b", "content-type=image/png", "loose line"}));
    EXPECT_EQ(part.headers.value("Content-Type"), "image/png");
    EXPECT_EQ(part.headers.value("Missing"), "");

    const MultipartForm::ExtractedPart headless =
        MultipartForm::ExtractMultipartPart("--d", "--d\r\nabcdefg\r\n--d--");
    EXPECT_EQ(headless.content, "efg");
    EXPECT_TRUE(headless.headers.entries.isEmpty());

    const MultipartForm::ExtractedPart unclosed =
        MultipartForm::ExtractMultipartPart("--d", "--d\r\nabc\r\n--d\r\n");
    EXPECT_TRUE(unclosed.rest.isEmpty() && unclosed.content.isEmpty() && unclosed.headers.entries.isEmpty());
}

TEST(PhotoUpload, WriteFailureEndsTheRouteWithoutAcknowledgement)
{
    FakeServerWindow window;
    window.photoFails = true;
    const QByteArray body = filePart("abc", "JPEG") + closing("abc");
    const ServerReply reply =
        HTTPServerCommandGet(RequestDecoding::makeRequest(
                                 "/uploadFaceImage", "multipart/form-data; boundary=abc", body.size(), body),
                             window);
    EXPECT_EQ(reply.status, 500);
    EXPECT_EQ(reply.body, "cannot write recv.jpg");
    EXPECT_EQ(window.linesOf(LogPane::mmoLog).size(), 2);
    EXPECT_TRUE(window.linesOf(LogPane::mmMsg).isEmpty());
}

TEST(PhotoUpload, OverTheWireBinaryBodyArrivesWhole)
{
    ServerFixture served("127.0.3.12");
    // Larger than the 1 MB that an HTTP parser allows by default.
    QByteArray large(3 << 20, '\0');
    for (qsizetype i = 0; i < large.size(); ++i)
        large[i] = char(i * 7 + (i >> 9));
    const QByteArray body = textField("xyz") + filePart("xyz", large) + closing("xyz");
    const QByteArray reply =
        served.exchange(postRequest("/uploadFaceImage", "multipart/form-data; boundary=xyz", body));
    EXPECT_TRUE(reply.endsWith(kAcknowledgement));
    EXPECT_EQ(served.window.photos, QList<QByteArray>{large});
}

TEST(PhotoUpload, OverTheWireBodyWithoutLengthIsReadToTheCloseAndNotSaved)
{
    ServerFixture served("127.0.3.13");
    const QByteArray body = filePart("abc", "JPEG") + closing("abc");
    const QByteArray request = "POST /uploadFaceImage HTTP/1.1\r\nHost: t\r\n"
                               "Content-Type: multipart/form-data; boundary=abc\r\n\r\n" +
                               body;
    EXPECT_TRUE(served.exchange(request, true).endsWith(kAcknowledgement));
    EXPECT_TRUE(served.window.photos.isEmpty());
    EXPECT_EQ(served.window.linesOf(LogPane::mmoLog),
              (QStringList{"/uploadFaceImage", QString::fromLatin1(body)}));
}
