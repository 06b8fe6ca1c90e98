#pragma once

#include <QListWidget>
#include <QPoint>

#include <optional>

struct TbrRec;

// The configuration window's list of a toolbar's buttons, one line each, every line
// keeping the record number of its button (Qt::UserRole). A line can be
// dragged to another place with the left button: once the mouse has gone the desktop's
// drag distance, a bar shows where the line would go, and letting go there reports the
// move. Escape or another mouse button cancels it. The list never reorders its own
// lines: its owner moves the buttons and fills the list again.
class ButtonList : public QListWidget {
    Q_OBJECT
public:
    explicit ButtonList(QWidget* parent = nullptr);

    // Adds a line for each button of tbr that shows on its toolbar.
    void addButtonLines(const TbrRec& tbr);
    // The record number of the button on a line (they count from 1); 0 when there is no
    // such line.
    int recordAt(int row) const;
    // The line of record k; -1 when it has none.
    int rowOf(int k) const;
    // The record of the selected line, when a line is selected.
    std::optional<int> selectedRecord() const;
    // Wide enough to show a separator's line whole beside a scroll bar, in the list's font.
    int separatorWidth() const;

    // While a line is dragged: the line it would go to if let go now; -1 otherwise.
    int dropRow() const { return m_drag == Drag::Dragging ? m_to : -1; }

signals:
    // The line at row from was dragged to row to (they differ).
    void lineDragged(int from, int to);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // A left press on a line is Armed until the mouse goes the drag distance (an
    // ordinary click when let go before), then Dragging; cancelled, the rest of the
    // press is ignored until the button is let go.
    enum class Drag { None, Armed, Dragging, Cancelled };
    int rowAt(QPoint at);
    void stop(Drag then);

    Drag m_drag{Drag::None};
    QPoint m_pressedAt;
    int m_from{-1};
    int m_to{-1};
};
