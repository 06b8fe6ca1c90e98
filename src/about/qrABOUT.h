#pragma once

#include <QWidget>

#include <array>

class Pointer;
class QLabel;
class Shell;

// The about box: the program's icon and logo, a credit line, the mail and web links and
// a notice. Shown without blocking; its close picture (or the window's own close) ends
// it and it deletes itself.
class qrABOUT : public QWidget {
    Q_OBJECT
public:
    qrABOUT(Shell& shell, const Pointer& pointer, QWidget* parent = nullptr);
    ~qrABOUT() override;

    // The two links as they are handed to the shell.
    static QString mailLink();
    static QString webLink();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setTwips(QWidget* w, int left, int top, int width, int height) const;
    void setTwipsAt(QWidget* w, int left, int top) const;
    void placeCloseButton();
    void setHighlight(int index); // -1: none
    void lblINFOClick(int index);

    Shell& m_shell;
    const Pointer& m_pointer;
    std::array<QLabel*, 4> m_lblINFO{};
    QLabel* m_btnEND{nullptr};
};
