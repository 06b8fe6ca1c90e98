#pragma once

class Prompter;
class Shell;
class IconSource;
class Pointer;
class DialogBackend;

// What the program needs of the operating system, handed to every window and dialog.
// App owns the real implementations; tests hand in fakes.
struct Services {
    Prompter& prompter;
    Shell& shell;
    IconSource& icons;
    Pointer& pointer;
    DialogBackend& dialogs;
};
