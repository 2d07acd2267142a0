#include "app/ComboSelection.h"

#include <QComboBox>

int selectedIndex(const QComboBox* combo)
{
    const int index = combo->currentIndex();
    if (index < 0 || (combo->isEditable() && combo->currentText() != combo->itemText(index)))
        return -1;
    return index;
}
