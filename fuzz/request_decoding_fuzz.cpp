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
    FuzzServerWindow window;
    HTTPServerCommandGet(request, window);
    return 0;
}
