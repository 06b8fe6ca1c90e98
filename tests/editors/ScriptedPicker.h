#pragma once

#include "editors/IconPicker.h"

#include <QString>

#include <optional>
#include <utility>
#include <vector>

// An icon picker that answers at once with what the test set, and notes each preset
// ("-" for a file, -1 for a position the editor left unset). Only for tests that link
// the editors.
struct ScriptedPicker : IconPicker {
    bool pick(QWidget*, const IconPreset& preset, Done done) override
    {
        asked.emplace_back(preset.file.value_or("-"), preset.position.value_or(-1));
        done(answer);
        return true;
    }
    std::optional<IconChoice> answer;
    std::vector<std::pair<QString, int>> asked;
};
