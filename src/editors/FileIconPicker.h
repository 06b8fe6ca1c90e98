#pragma once

#include "editors/IconPicker.h"

// Chooses an icon file; the icon is the file's first, or the position it was asked to
// start from when the same file is chosen again.
class FileIconPicker final : public IconPicker {
public:
    std::optional<IconChoice> pick(QWidget* parent, const QString& file, int position) override;
};
