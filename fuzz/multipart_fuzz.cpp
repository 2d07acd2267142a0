// A payment terminal's photo upload: the multipart parser alone, and the whole
// upload route on a body and its content type.
#include "FuzzInput.h"
#include "FuzzServerWindow.h"
#include "server/MultipartForm.h"
#include "server/PhotoUpload.h"
#include "server/RequestDecoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // content type LF body
    const QList<QByteArray> pieces = splitInput(data, size, 2);
    const QByteArray& contentType = pieces[0];
    const QByteArray& body = pieces[1];

    const QByteArray boundary = MultipartForm::boundaryOf(contentType);
    MultipartForm::ExtractMultipartPart("--" + boundary, body);
    MultipartForm::fileParts(boundary, body, body.size());

    FuzzServerWindow window;
    PhotoUpload::uploadFaceImage(RequestDecoding::makeRequest("/uploadFaceImage", contentType, body.size(), body),
                                 window);
    return 0;
}
