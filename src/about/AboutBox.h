#pragma once

#include <QWidget>

#include <array>

class QLabel;
class QPixmap;
class Shell;

// The about box: the program's icon and logo, a credit line, the mail and web links and
// a notice. Shown without blocking, centred on its screen the first time; its close
// picture (or the window's own close) ends it and it deletes itself.
class AboutBox : public QWidget {
    Q_OBJECT
public:
    explicit AboutBox(Shell& shell, QWidget* parent = nullptr);
    ~AboutBox() override;

    // The two links as they are handed to the shell.
    static QString mailLink();
    static QString webLink();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The text lines, top to bottom, numbered as their names are ("lblINFO(1)").
    enum Line { Credit = 0, MailLine, WebLine, Notice, LineCount };

    void setHighlight(int line); // -1: none
    void lineClicked(int line);

    Shell& m_shell;
    std::array<QLabel*, LineCount> m_lines{};
    QLabel* m_closePicture{nullptr};
    bool m_placed{false};
};

// The program's icon, 32 x 32: a small floating toolbar with its claws and three
// buttons. The installed SVG icon is drawn after it.
QPixmap programIconPicture();
