#pragma once

#include "server/ServiceFields.h"

#include <QList>
#include <QString>

// The meal-period task's "config" array without its brackets: one object per
// checked row, in row order. Throws Failure when a checked row's work mode,
// amount or limits are not whole numbers; unchecked rows are not read.
QString MealPeriodArrayText(const QList<MealPeriodRow>& rows);
