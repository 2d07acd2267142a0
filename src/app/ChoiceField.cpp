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

QString choiceKey(const QComboBox* choice)
{
    const int index = choice->currentIndex();
    return index < 0 ? QString() : QString::number(index + 1);
}
