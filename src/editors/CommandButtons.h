#pragma once

class QDialog;
class QPushButton;

// The two command buttons every editor dialog ends with: "&Ok", the default one that
// Enter presses, and "&Cancel", which rejects the dialog. They carry the names tests and
// scripts find them by (btnCOM(0), btnCOM(1)); what OK does is the dialog's own to connect.
struct CommandButtons {
    QPushButton* ok;
    QPushButton* cancel;
};
CommandButtons makeCommandButtons(QDialog* dialog);
