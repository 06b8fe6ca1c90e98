#include "platform/MessageBoxPrompter.h"

#include <QMessageBox>

Prompter::Answer MessageBoxPrompter::message(const QString& title, const QString& text, Style style,
                                             const QString& details)
{
    QMessageBox box;
    box.setWindowTitle(title);
    // The words are ours and the paths in them the user's: never read as markup, so a
    // target named "<b>x" shows as it is named.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    if (!details.isEmpty())
        box.setDetailedText(details);
    switch (style) {
    case Critical:
        box.setIcon(QMessageBox::Critical);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Exclamation:
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case RetryCancel:
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Retry);
        break;
    case YesNoQuestion:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok: return Ok;
    case QMessageBox::Retry: return Retry;
    case QMessageBox::Yes: return Yes;
    case QMessageBox::No: return No;
    default: return style == YesNoQuestion ? No : Cancel;
    }
}
