#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

// The icon a button or toolbar shows: a file and the 0-based position of the icon in it.
struct IconChoice {
    QString file;
    int position{0};
};

// What an editor sets in the picker before it opens. What it leaves unset stays as the
// previous use left it; a file other than the one shown starts at its first icon.
struct IconPreset {
    std::optional<QString> file;
    std::optional<int> position; // 0-based
};

// Lets the user choose an icon over an editor without holding up the caller: pick()
// opens the picker and returns at once, and done hears the choice later (nothing after
// a cancel).
class IconPicker {
public:
    using Done = std::function<void(const std::optional<IconChoice>&)>;

    virtual ~IconPicker() = default;
    // False, without opening and without calling done, when the preset position lies
    // beyond the file's last icon, or the picker is already open for another editor.
    virtual bool pick(QWidget* parent, const IconPreset& preset, Done done) = 0;
};
