#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

// An installed application the user took: its name in the user's language and the path
// of its Desktop Entry file.
struct ChosenApplication {
    QString name;
    QString file;
};

// Lets the user take one of the installed applications over an editor without holding
// up the caller: choose() opens the chooser and returns at once, and done hears the
// choice later (nothing after a cancel).
class ApplicationChooser {
public:
    using Done = std::function<void(const std::optional<ChosenApplication>&)>;

    virtual ~ApplicationChooser() = default;
    // False, without opening and without calling done, when the chooser is already open
    // for another editor.
    virtual bool choose(QWidget* parent, Done done) = 0;
};
