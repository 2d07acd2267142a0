#pragma once

#include "device/DeviceConnection.h"
#include "device/HttpClient.h"
#include "device/ReportOutcome.h"

#include <QString>
#include <functional>

// The set commands of the temperature and mask page. Choice fields give the key
// of the item shown, empty when none is; edits give their text as typed.

inline const QString kParamsMissing = QStringLiteral("请正确设置参数");

// The temperature group, named by the form fields the terminal reads.
struct TemperatureFields
{
    QString isTemperatureOpen;
    QString isVoiceOpen;
    QString voiceContext;
    QString errorTemperature;
    QString deviceStyle;
    QString temperatureErrorPass;
    QString temperatureMeasurePlace;
    QString temperatureMeasureMin;
    QString temperatureMeasureMax;
    QString temperatureCompensation;
    QString lowTempMapSourceMin;
    QString lowTempMapSourceMax;
    QString lowTempMapTargetMin;
    QString lowTempMapTargetMax;
    QString tempUnit;
    QString tempMapSwitch;
    QString highTempMapSourceMin;
    QString highTempMapSourceMax;
    QString highTempMapTargetMin;
    QString highTempMapTargetMax;
};

struct MaskFields
{
    QString isMaskOpen;
    QString isVoiceOpen;
    QString voiceContext;
    QString isMaskFoceOpen;
};

// Every temperature value is there, but the valid range may be left open on
// either side. Only emptiness is checked: no number, range or order test.
bool TemperatureParamsFilled(const TemperatureFields& fields);
bool MaskParamsFilled(const MaskFields& fields);

// Posts setTemperatureConfig and logs its URL, the reply and the outcome, each
// outcome line, the error included, behind the host. On a success reply
// storeSettings runs before the success line; its error ends the command on
// the error line, and what it stored so far stays stored.
CommandLog SendTemperatureConfig(const DeviceConnection& connection, const QString& password,
                                 const TemperatureFields& fields, HttpClient& client,
                                 const std::function<void()>& storeSettings);

// Posts setMaskConfig and logs the reply and the outcome; nothing is stored.
CommandLog SendMaskConfig(const DeviceConnection& connection, const QString& password,
                          const MaskFields& fields, HttpClient& client);
