#pragma once

class QComboBox;

// On Linux a list box's accessible name is its current line, and a screen reader takes
// its name from a label that points at it. Gives list such a label, not shown (the window
// says what the list is by its place), holding the list's accessible name.
void nameListForReaders(QComboBox& list);
