#include "app/ChoiceField.h"

#include <QComboBox>

void selectChoiceKey(QComboBox* choice, const QString& key)
{
    int index = -1;
    for (int i = 0; i < choice->count(); ++i) {
        if (QString::number(i + 1) == key)
            index = i;
    }
    choice->setCurrentIndex(index);
}
