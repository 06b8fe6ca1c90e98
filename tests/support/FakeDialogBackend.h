#pragma once

#include "platform/DialogBackend.h"

#include <deque>
#include <utility>
#include <vector>

// Answers every dialog from a script, in call order, and records what each was asked.
// An empty script cancels. No dialog is ever shown.
class FakeDialogBackend final : public DialogBackend {
public:
    Choice<QString> chooseFile(const FileRequest& request) override
    {
        fileRequests.push_back(request);
        return next(files);
    }
    Choice<QColor> chooseColor(QWidget*, QColor initial, std::uint32_t flags) override
    {
        colorsAsked.emplace_back(initial, flags);
        return next(colors);
    }
    Choice<QFont> chooseFont(QWidget*, const QFont& initial) override
    {
        initialFonts.push_back(initial);
        return next(fonts);
    }
    Choice<PrintRange> choosePrinter(QWidget*, const PrintRange& initial, std::uint32_t) override
    {
        initialRanges.push_back(initial);
        return next(printers);
    }
    bool showHelp(const QString&, std::uint32_t) override { return true; }

    // Scripts the next file or folder dialog: the path chosen, or a cancel.
    void choose(const QString& path) { files.push_back({path}); }
    void cancel(std::uint32_t error = 0) { files.push_back({std::nullopt, error}); }

    std::deque<Choice<QString>> files;
    std::deque<Choice<QColor>> colors;
    std::deque<Choice<QFont>> fonts;
    std::deque<Choice<PrintRange>> printers;

    std::vector<FileRequest> fileRequests;
    std::vector<std::pair<QColor, std::uint32_t>> colorsAsked; // the initial colour and the flags
    std::vector<QFont> initialFonts;
    std::vector<PrintRange> initialRanges;

private:
    template <class T>
    static Choice<T> next(std::deque<Choice<T>>& script)
    {
        // Swapped out rather than moved: a moved optional<QString> trips a false warning
        // of a value used uninitialised.
        Choice<T> c;
        if (!script.empty()) {
            c.value.swap(script.front().value);
            c.error = script.front().error;
            script.pop_front();
        }
        return c;
    }
};
