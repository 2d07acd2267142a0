#include "server/PhotoUpload.h"

#include "common/TextCodec.h"
#include "server/MultipartForm.h"
#include "server/RequestDispatch.h"

namespace PhotoUpload {

namespace {

QList<QByteArray> uploadedFiles(const ServerRequest& request)
{
    const QByteArray contentType = request.contentType.toLatin1();
    const QByteArray lowered = contentType.toLower();
    if (!lowered.contains("multipart/form-data") || !lowered.contains("boundary"))
        return {};
    return MultipartForm::fileParts(MultipartForm::boundaryOf(contentType), request.body,
                                    request.contentLength);
}

} // namespace

ServerReply uploadFaceImage(const ServerRequest& request, ServerWindow& window)
{
    window.appendLine(LogPane::mmoLog, TextCodec::fromGbk(request.body));
    for (const QByteArray& file : uploadedFiles(request))
        window.showUploadedPhoto(file);
    ServerReply reply;
    SendJsonReply(reply, window, QString::fromUtf8(R"({"result":1,"success":true,"msg":"接收成功"})"));
    return reply;
}

} // namespace PhotoUpload
