#pragma once

#include <QFont>
#include <QString>

#include <optional>

// A few controls read best in a face of their own: the button list and the about box in
// Arial, the version line in the tiny "Small Fonts". Such a control gets its face where
// the desktop has it, or a metric-compatible stand-in (Liberation Sans or Arimo for
// Arial). Anywhere else it is better off keeping the desktop's own font, which the
// layouts size for, than taking whatever look-alike the font matcher would pick: so
// there is no font then.
//
// Resolving a family loads the font database: call it when building a window, not at
// start-up.
std::optional<QFont> preferredFont(const QString& family, qreal pointSize);
