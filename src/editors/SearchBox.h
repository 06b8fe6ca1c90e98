#pragma once

#include <QString>

class QAbstractItemView;
class QLineEdit;
class QWidget;

// The search box over a list of a chooser: typing filters it (the owner connects
// textChanged), and the arrow and page keys move through the list while the box keeps
// the focus, so the user can type and pick without leaving it.
QLineEdit* makeSearchBox(QWidget* parent, const QString& accessibleName, QAbstractItemView* list);
