#pragma once

#include <QString>

#include <optional>

class QWidget;

// The icon a button or toolbar shows: a file and the 0-based position of the icon in it.
struct IconChoice {
    QString file;
    int position{0};
};

// Lets the user choose an icon, starting from the given file and position (empty file:
// wherever the previous choice was left). Nothing when the user cancelled.
class IconPicker {
public:
    virtual ~IconPicker() = default;
    virtual std::optional<IconChoice> pick(QWidget* parent, const QString& file, int position) = 0;
};
