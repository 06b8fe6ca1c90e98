#pragma once

#include <QDialog>
#include <QImage>
#include <QPixmap>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

class ConfigActions;
class Pointer;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QScrollBar;
struct ToolbarSet;

// "v2.00.0003": major as is, minor in two digits, revision in four.
QString VersionText(int major, int minor, int revision);

// The configuration window: one for the whole run, made hidden at start-up, shown on a
// toolbar by ShowConfig and only ever hidden by the user. It reads the set for names,
// buttons and modes each time it shows them and keeps no copy; every change goes
// through ConfigActions.
//
// The controls are made on the first showing (ShowConfig or any show): until then the
// window serves the toolbar windows from plain data (the busy mark, the two pictures),
// and the calls that fill or tick controls do nothing, since the controls are filled
// from the set when they are made.
//
// The busy mark (tag()) is "1" while the program itself ticks the check boxes, so that
// those changes are never taken for the user's clicks.
class FCfg : public QDialog {
    Q_OBJECT
public:
    FCfg(ToolbarSet& set, const Pointer& pointer, ConfigActions& actions,
         QWidget* parent = nullptr);
    ~FCfg() override;

    // Brings the window to toolbar t and shows it (to the front when already shown).
    void ShowConfig(std::uint8_t t);
    void FillBtnList(std::uint8_t t);
    void SyncModeChecks(std::uint8_t t);
    void SetupPosBar(std::uint8_t t);

    // Refills the toolbar list with the names of toolbars 0..TbrLast, keeping the chosen
    // position when it still exists. Raises nothing.
    void FillTbrList();
    // Chooses toolbar t as if the user had picked it in the list; before the controls
    // exist, t is remembered and chosen when they are made.
    void SelectTbr(std::uint8_t t);
    // Shows toolbar t's handle picture in imgTBR (after its icon changed).
    void ShowTbrPicture(std::uint8_t t);

    QString tag() const { return m_tag; }
    void setTag(const QString& mark) { m_tag = mark; }
    // The chosen toolbar and the record button of the selected line, when there are
    // (none before the first showing unless SelectTbr chose one).
    std::optional<std::uint8_t> chosenTbr() const;
    std::optional<int> selectedBtn() const;
    // True when the window is visible and shows toolbar t.
    bool shows(std::uint8_t t) const;
    // Ticks or unticks chkMode(m) without raising its click.
    void setModeCheck(int m, bool on);

    // The hidden pictures the toolbar windows use: the icon loader's drawing surface
    // and the built-in handle picture.
    QImage& imgTransfer() { return m_transfer; }
    const QPixmap& imgClaws() const { return m_claws; }

    // Escape puts the window away like its close button.
    void reject() override;
    // Makes the controls before the window first shows.
    void setVisible(bool visible) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool built() const { return m_cbxTbrs != nullptr; }
    void ensureControls();
    void buildControls();
    void setTwips(QWidget* w, int left, int top, int width, int height) const;
    void cbxTbrsClick(std::uint8_t t);
    void chkModeClick(int index);
    void btnCfgClick(int index);
    void lstBtnsClick();
    void lstBtnsDblClick();
    void vsbPosChange(int value);
    void refreshBtnCommands();
    bool hasTbr(std::uint8_t t) const;

    ToolbarSet& m_set;
    const Pointer& m_pointer;
    ConfigActions& m_actions;

    QString m_tag{QStringLiteral("0")};
    QImage m_transfer;
    QPixmap m_claws;
    bool m_placed{false};
    // The choice SelectTbr made before the controls existed.
    std::optional<std::uint8_t> m_pendingTbr;
    // The button move: only changes of vsbPos made while armed are the user's steps.
    bool m_posArmed{false};
    std::uint8_t m_lastPos{0};

    QLabel* m_picSideBar{nullptr};
    QLabel* m_imgTBR{nullptr};
    QComboBox* m_cbxTbrs{nullptr};
    QListWidget* m_lstBtns{nullptr};
    QScrollBar* m_vsbPos{nullptr};
    QLabel* m_lblVER{nullptr};
    QLabel* m_imgClaws{nullptr};
    QLabel* m_imgTransfer{nullptr};
    std::array<QPushButton*, 7> m_btnCfg{};
    std::array<QCheckBox*, 6> m_chkMode{};
};
