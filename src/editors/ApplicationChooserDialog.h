#pragma once

#include "editors/ApplicationChooser.h"
#include "platform/ApplicationList.h"

#include <QDialog>
#include <QTimer>

class IconSource;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// "Choose an Application": a search box over the installed applications, sorted by name,
// each with its icon, its name and, below it, what it is. Typing filters the list on the
// name, the generic name, the keywords and the command; the first match is current, the
// arrows move, Enter or a double click takes it, Escape cancels.
//
// The list is kept between uses and brought up to date at each opening, reading only the
// entries that changed. It shows at once; the icons are drawn a few at a time after it
// is up, the rows on screen first, so a long list never keeps the user waiting.
class ApplicationChooserDialog : public QDialog {
    Q_OBJECT
public:
    explicit ApplicationChooserDialog(IconSource& icons, QWidget* parent = nullptr);
    ~ApplicationChooserDialog() override;

    // Rereads what changed in the applications folders, empties the search box and makes
    // the first application current. Done by each opening before it shows.
    void refresh();
    // The current application, if a row is current and shown.
    std::optional<ChosenApplication> current() const;
    // How many rows the search leaves shown, and how many lack their icon still.
    int shownCount() const;
    int iconsPending() const { return m_pending; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void fill();
    void filter(const QString& text);
    void loadSomeIcons();
    bool loadIcon(QListWidgetItem* item);
    void updateOk();

    IconSource& m_icons;
    desktop::ApplicationList m_list;
    QLineEdit* m_search{nullptr};
    QListWidget* m_view{nullptr};
    QPushButton* m_ok{nullptr};
    QPushButton* m_cancel{nullptr};
    QTimer m_iconTimer;
    int m_pending{0};
    int m_nextIcon{0};
    int m_iconSide{32};
};
