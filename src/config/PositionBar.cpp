#include "config/PositionBar.h"

PositionBar::PositionBar(QWidget* parent) : QScrollBar(Qt::Vertical, parent)
{
    setAccessibleName(QStringLiteral("Move the selected button"));
}

void PositionBar::stopRepeat()
{
    setRepeatAction(SliderNoAction);
}
