#pragma once

#include <QFont>
#include <QString>

#include <optional>

// The windows were drawn with Windows fonts (Arial, "Small Fonts"). A control that was
// given one of them gets it where the desktop has it, or a metric-compatible stand-in
// (Liberation Sans or Arimo for Arial). Anywhere else it is better off keeping the
// desktop's own font, which the layouts size for, than taking whatever look-alike the
// font matcher would pick: so there is no font then.
//
// Resolving a family loads the font database: call it when building a window, not at
// start-up.
std::optional<QFont> designFont(const QString& family, qreal pointSize);
