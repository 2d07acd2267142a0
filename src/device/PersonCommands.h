#pragma once

#include "device/DeviceConnection.h"
#include "device/HttpClient.h"
#include "device/ReportOutcome.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <array>

// The person, validity and time-slot commands of the persons and photos page.
// Each logs the terminal's reply as it comes; a transfer error goes on to the
// general error box.

struct PersonFields
{
    QString password;    // edtPasswordNew
    QString empId;       // edtEmpID
    QString empName;     // edtEmpName
    QString cardId;      // edtCardID
    QDateTime validDate; // dtpValidDate
    // edtBTime1, edtETime1, edtBTime2, edtETime2, edtBTime3, edtETime3
    std::array<QString, 6> slotTimes;
};

enum class PersonCommand
{
    Create,            // btn3
    Update,            // btn4
    Delete,            // btn5
    Find,              // btn6
    FindByPage,        // btn9
    PermissionsCreate, // btn21
    PermissionsDelete, // btn24
    CreatePasstime,    // btn22
    DeletePasstime     // btn23
};

// The objects go out as bytes: some values as typed (GBK), others in UTF-8,
// all inserted unescaped.
QByteArray PersonCreateObject(const PersonFields& fields);
QByteArray PersonUpdateObject(const PersonFields& fields);
// The six slot times joined by ",".
QString PasstimeList(const PersonFields& fields);

CommandLog RunPersonCommand(PersonCommand command, const PersonFields& fields,
                            const DeviceConnection& connection, HttpClient& client);
