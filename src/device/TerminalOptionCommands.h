#pragma once

#include "device/DeviceConnection.h"
#include "device/HttpClient.h"
#include "device/RecordSettings.h"
#include "device/ReportOutcome.h"

#include <QString>

// The terminal's own options set from the "other" page: time zone, language,
// screen, disabled state, screen saver and a remote door opening. Each sends
// the communication password as "pass" and logs the standard outcome lines.

// `zoneItem` is the chosen item ("Asia/Shanghai 中国标准时间 (北京)"); only the
// zone name in front of its first blank is sent, and none without a choice.
CommandLog SetTimeZone(const DeviceConnection& connection, const QString& password, const QString& zoneItem,
                       HttpClient& client);

// "简体中文" sends "zh_CN", any other item "en".
CommandLog SetLanguage(const DeviceConnection& connection, const QString& password,
                       const QString& languageItem, HttpClient& client);

struct OrientationFields
{
    QString password;
    int index = -1;  // 0 landscape, 1 portrait, -1 for a typed text
    QString caption; // the combo's text, recorded after success
};

CommandLog SetScreenOrientation(const DeviceConnection& connection, const OrientationFields& fields,
                                const RecordSettings& record, HttpClient& client);

struct WidgetFlags
{
    bool showIp = false;
    bool showDeviceKey = false;
    bool showPeopleNum = false;
};

CommandLog ConfigureWidgets(const DeviceConnection& connection, const QString& password,
                            const WidgetFlags& flags, HttpClient& client);

// A PUT of {"pass":...,"isDisable":...}; the password goes in as typed.
CommandLog SetDisabled(const DeviceConnection& connection, const QString& password, bool disable,
                       HttpClient& client);

// The delay is read as a whole number before anything is sent; a text that is
// none throws Failure at once, without a line.
CommandLog SetScreenSaverTime(const DeviceConnection& connection, const QString& password,
                              const QString& delay, HttpClient& client);

// `typeIndex` 0 to 3; the custom type (3) also sends the voice and text content.
CommandLog OpenDoor(const DeviceConnection& connection, const QString& password, int typeIndex,
                    HttpClient& client);
