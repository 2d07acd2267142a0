#pragma once

#include <QString>

class QComboBox;

// A choice field's items carry the keys "1", "2", ... in their order; its value
// is the key of the item shown.

// Shows the item whose key is `key`; any other text leaves no item shown.
void selectChoiceKey(QComboBox* choice, const QString& key);

// The key of the item shown; empty when no item is shown.
QString choiceKey(const QComboBox* choice);
