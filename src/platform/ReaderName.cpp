#include "platform/ReaderName.h"

#include <QComboBox>
#include <QLabel>

void nameListForReaders(QComboBox& list)
{
    auto* label = new QLabel(list.accessibleName(), list.parentWidget());
    label->setBuddy(&list);
    label->hide();
}
