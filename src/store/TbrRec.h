#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// 16-bit Booleans as the files store them: -1 is true, 0 false; any non-zero reads as true.
using Bool16 = std::int16_t;
inline constexpr Bool16 True16 = -1;
inline constexpr Bool16 False16 = 0;
inline constexpr bool isTrue(Bool16 b) { return b != 0; }
inline constexpr Bool16 toBool16(bool b) { return b ? True16 : False16; }

inline constexpr int MaxButtons = 40;
inline constexpr std::uint8_t KindFile = 1;
inline constexpr std::uint8_t KindFolder = 3;
inline constexpr std::uint8_t KindSeparator = 4;
inline constexpr const char* RecallMarker = "!RecallTbr>>>";

// Mode numbers, in the order of the flags, the menu items and the check boxes.
enum Mode : std::uint8_t { Vertical = 0, Captions, AlwaysOnTop, Visible, AutoHide, Unmoveable };
inline constexpr int ModeCount = 6;

struct BtnRec {
    std::string Name;
    std::string Executable;
    std::string Parameters;
    std::uint8_t Kind{0};
    std::string IconFile;
    std::int16_t IconIndex{0};
    std::int16_t ImageIndex{0}; // run time only: picture position in the window's image list
};

// A toolbar's buttons, Btns[0]..Btns[MaxButtons], used as a std::array of them is, but
// held out of line and made only when first written: a set has hundreds of toolbars, and
// only the shown ones (or those being edited) ever get their buttons read. Until then
// the record holds one pointer instead of 41 buttons, and reading it gives empty buttons.
// Copies are deep: a copy is a snapshot the original can be rolled back to.
class ButtonArray {
public:
    static constexpr std::size_t Size = MaxButtons + 1;

    ButtonArray() = default;
    ButtonArray(const ButtonArray& other);
    ButtonArray(ButtonArray&&) noexcept = default;
    ButtonArray& operator=(const ButtonArray& other);
    ButtonArray& operator=(ButtonArray&&) noexcept = default;
    ~ButtonArray() = default;

    // k must be below Size. The non-const forms make the buttons.
    BtnRec& operator[](std::size_t k) { return made()[k]; }
    const BtnRec& operator[](std::size_t k) const;
    // As operator[], but std::out_of_range for k of Size and above.
    BtnRec& at(std::size_t k);
    const BtnRec& at(std::size_t k) const;
    static constexpr std::size_t size() { return Size; }

private:
    using Buttons = std::array<BtnRec, Size>;
    Buttons& made();

    std::unique_ptr<Buttons> m_buttons;
};

// A button whose Executable is blank (spaces and tabs only) and which is not a separator:
// it is neither shown in its toolbar nor written to its toolbar file.
bool isBlankButton(const BtnRec& b);

struct TbrRec {
    std::string Name;
    std::string Path;
    float Top{0};
    float Left{0};
    float Width{0};  // run time only
    float Height{0}; // run time only
    Bool16 Vertical{0};
    Bool16 Captions{0};
    Bool16 AlwaysOnTop{0};
    Bool16 Visible{0};
    Bool16 AutoHide{0};
    Bool16 Unmoveable{0};
    std::string IconFile;
    std::int16_t IconIndex{0};
    std::uint8_t BtnCount{0};
    std::uint8_t SepCount{0}; // run time only
    ButtonArray Btns; // Btns[1]..Btns[40]; Btns[0] is never used
    // Run time only: the folder a relative Path is taken from (the data folder), never
    // the process's current folder, which depends on how the program was started.
    std::string Folder;
    // Run time only: true once ReadBtns has read (or tried to read) the toolbar's file.
    // A hidden toolbar's file waits until something needs its buttons (ToolbarSet::
    // withButtons); until then BtnCount and Btns say nothing about the file.
    bool BtnsRead{false};

    // Mode flag by number 0..5; m must be below ModeCount.
    Bool16& mode(int m);
    Bool16 mode(int m) const;
};
