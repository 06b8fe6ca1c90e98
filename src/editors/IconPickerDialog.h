#pragma once

#include <QDialog>

#include <array>

class DialogBackend;
class IconCell;
class IconSource;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

// The icon picker: five icons of a file side by side, the chosen one in the middle on
// the selection colour, a scroll bar through the file's icons, and the file and the
// count below. A click on a neighbour brings it into the middle.
//
// Everything it knows is in its controls, and OK and Cancel only hide it: the next
// opening shows the file and icon the last one left, unless its opener sets others.
// Positions are 0-based here; the labels show the 1-based number a user counts by.
class IconPickerDialog : public QDialog {
    Q_OBJECT
public:
    IconPickerDialog(IconSource& icons, DialogBackend& dialogs, QWidget* parent = nullptr);
    ~IconPickerDialog() override;

    QString file() const;
    // Another file is counted and shown from its first icon; the same file again
    // changes nothing.
    void setFile(const QString& file);
    // How many icons the file holds (0: none, or no file).
    int count() const { return m_count; }
    int position() const { return m_position; }
    // Goes to icon position of the file; false, changing nothing, when the file has
    // icons and position is not one of them. A file without icons has nothing to
    // check against and takes any position from 0.
    bool setPosition(int position);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The cells from left to right, and how far each lies from the chosen icon.
    static constexpr std::array<int, 5> Offsets{-2, -1, 0, 1, 2};
    // The side icons are drawn at: a desktop's icon size, as large as the cells hold.
    static constexpr int IconSide = 32;

    void buildControls();
    void browse();
    void chooseThemeIcon();
    void recount();
    void step(int offset);
    // The cells and the chosen icon's number.
    void redraw();
    void drawCells();

    IconSource& m_icons;
    DialogBackend& m_dialogs;
    int m_count{0};
    int m_position{0};
    std::array<IconCell*, Offsets.size()> m_cells{};
    QScrollBar* m_scroll{nullptr};
    QLineEdit* m_file{nullptr};
    QLabel* m_selected{nullptr};
    QLabel* m_stored{nullptr};
    QPushButton* m_browse{nullptr};
    QPushButton* m_theme{nullptr};
    QPushButton* m_ok{nullptr};
    QPushButton* m_cancel{nullptr};
};
