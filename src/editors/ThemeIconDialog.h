#pragma once

#include <QDialog>
#include <QStringList>
#include <QTimer>

class IconSource;
class QLineEdit;
class QListWidget;
class QPushButton;

// The icons of the desktop's icon theme by name, with a search box, for a button that
// should show one of them. Names that are no file of the user's: the button keeps the
// name, and follows the theme when the user changes it.
class ThemeIconDialog : public QDialog {
    Q_OBJECT
public:
    ThemeIconDialog(IconSource& icons, QStringList names, QWidget* parent = nullptr);

    // The name chosen; empty when none is current.
    QString chosen() const;
    void setFilter(const QString& text);

protected:

private:
    void filter(const QString& text);
    void drawVisibleIcons();

    IconSource& m_icons;
    QLineEdit* m_search{nullptr};
    QListWidget* m_view{nullptr};
    QPushButton* m_ok{nullptr};
    QTimer m_iconTimer;
};
