#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// The temperature parameters kept in section "Temperture" of the settings file
// and loaded into the temperature fields at every start.
namespace TemperatureSettings {

inline const QString kSection = QStringLiteral("Temperture");

// One key of the section. A choice field stores the key of its item, an edit its
// text, a pair of edits (minimum and maximum) the two texts joined by ";".
struct Entry
{
    QString key;
    QString defaultValue;
    QStringList fields; // objectNames; two for a pair, minimum first
};

// The fifteen keys in the order in which they are written and read.
const QList<Entry>& entries();

// Parts of a pair value: split at every ";", where blanks and control characters
// also separate parts; an empty part between two ";" counts, and a value ending
// in ";" has an empty last part.
QStringList splitPair(const QString& value);

struct FieldValue
{
    QString field; // objectName
    QString value; // item key for a choice field, text for an edit
};

struct Loaded
{
    QList<FieldValue> values;     // in loading order
    std::optional<QString> error; // loading stopped here; later fields keep their defaults
};

// Reads every key with its default and turns it into field values. A pair value
// with fewer than two parts stops the loading with "List index out of bounds (n)",
// n being the position of the missing part; the fields before it stay loaded.
using Reader = std::function<QString(const QString& key, const QString& fallback)>;
Loaded load(const Reader& read);

// The defaults of every field, in loading order.
QList<FieldValue> defaults();

// The fifteen keys with the values they store for the fields as they stand,
// in writing order; valueOf gives a field's value by objectName.
struct StoredValue
{
    QString key;
    QString value;
};
using FieldReader = std::function<QString(const QString& field)>;
QList<StoredValue> toStore(const FieldReader& valueOf);

} // namespace TemperatureSettings
