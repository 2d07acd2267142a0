#pragma once

class QComboBox;

// The index of the item a combo box shows; -1 when none is selected or the user
// has typed a text of his own over it, as a typed text selects no item.
int selectedIndex(const QComboBox* combo);
