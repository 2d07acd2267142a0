#pragma once

#include "device/DeviceConnection.h"
#include "device/HttpClient.h"
#include "device/ReportOutcome.h"

#include <QString>

// The recognition parameters group as read at the click: edit texts as typed,
// drop-down lists as the position of their chosen item (-1 for none) or, where
// the number in front of the colon counts, as the item's text.
struct RecognitionFields
{
    QString companyName;
    int identifyDistanceIndex = 0;
    QString identifyScores;
    QString saveIdentifyTime;
    QString ttsModTypeItem;
    QString ttsModContent;
    QString comModTypeItem;
    QString comModContent;
    QString displayModTypeItem;
    QString displayModContent;
    QString slogan;
    QString intro;
    int recStrangerTimesThresholdIndex = 0;
    int recStrangerTypeIndex = 0;
    QString ttsModStrangerTypeItem;
    QString ttsModStrangerContent;
    int multiplayerDetectionIndex = 0;
    int wgIndex = 0;
    int recRankIndex = 0;
    QString delayTimeForCloseDoor;
    int whiteListIndex = 0;
};

// The configuration JSON, values filled in as they stand (no escaping). The
// numbers are read in the order of the members; the first that is no whole
// number throws Failure.
QString RecognitionConfigText(const RecognitionFields& fields);

// setConfig with the configuration above, sent as UTF-8. Throws before sending
// when a number does not convert.
CommandLog SetRecognitionConfig(const DeviceConnection& connection, const QString& password,
                                const RecognitionFields& fields, HttpClient& client);

// The fixed recognition-mode settings: face, card, ID card, password and QR code.
CommandLog SetIdentifyModel(const DeviceConnection& connection, const QString& password, HttpClient& client);

// Logs the terminal's configuration as it replies, then "ok" on success. It
// has no exception line: an error goes on to the general error box.
CommandLog QueryRecognitionConfig(const DeviceConnection& connection, const QString& password,
                                  HttpClient& client);
