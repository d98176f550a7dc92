// The texts of formatting for slides in the three interface languages: the Tools menu entry,
// its dialog, and the messages of the book and whole-bible runs.
#pragma once
#include <QString>

namespace texts {

struct FormatTexts {
    QString menuCaption;        // Tools menu
    QString dialogTitle;
    QString maxLineLength;      // label of N
    QString maxSlideLines;      // label of M
    QString keepLineBreaks;     // check box
    QString previewOf;          // %1: the pane's bible
    QString formatVerse;        // buttons
    QString formatBook;
    QString formatBible;
    QString closeButton;
    QString msgConfirmBook;     // %1: the book, %2: the bibles
    QString msgConfirmBible;    // %1: the bibles
    QString msgVersesChanged;   // one line per bible: %1 the bible, %2 the number of verses
    QString msgRestoreHint;     // last line of the run's message

    bool operator==(const FormatTexts&) const = default;
};

// The texts of a language code ("NL", "UK", "DE"); any other code gives the English ones.
const FormatTexts& formatTexts(const QString& languageCode);

} // namespace texts
