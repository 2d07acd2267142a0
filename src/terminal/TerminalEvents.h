#pragma once

#include "terminal/TerminalState.h"

class CallbackSender;
class PhotoStore;

// What happens at the terminal on its own: recognitions with their records and
// photos, QR codes shown to it, payments and payment photos. Each sends its
// callback to the address registered for it.
class TerminalEvents
{
public:
    TerminalEvents(TerminalStore& store, PhotoStore& photos, CallbackSender& sender);

    // A record of a recognition at timeMs with a generated photo; sends nothing.
    Record addRecord(qint64 timeMs);
    // count recognitions now, each posted to the recognition address.
    void recognise(int count);
    void scanQrCode();
    // A face photo the terminal took, posted to the photo registration address.
    void reportTakenPhoto(const Face& face);
    // Account query, then, when the service accepts it, the trade.
    void pay();
    void uploadPayPhoto();

private:
    TerminalStore& store;
    PhotoStore& photos;
    CallbackSender& sender;
};
