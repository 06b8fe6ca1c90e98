#include "editors/FileIconPicker.h"

std::optional<IconChoice> FileIconPicker::pick(QWidget*, const QString&, int)
{
    return std::nullopt;
}
