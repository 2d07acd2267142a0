// The server's reading of a request: target, percent-decoding, the parameters
// from the query and a form body, and the dispatch of every route on it.
#include "FuzzInput.h"
#include "FuzzServerWindow.h"
#include "server/RequestDecoding.h"
#include "server/RequestDispatch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // target LF content type LF body
    const QList<QByteArray> pieces = splitInput(data, size, 3);
    const ServerRequest request =
        RequestDecoding::makeRequest(pieces[0], pieces[1], pieces[2].size(), pieces[2]);
    RequestDecoding::parameterListText(request.params);
    // The body's first byte picks the window's state, which the task and
    // heartbeat routes answer from; the other routes see the same fields always.
    FuzzServerWindow window(pieces[2].isEmpty() ? 0 : static_cast<unsigned char>(pieces[2][0]));
    HTTPServerCommandGet(request, window);
    return 0;
}
