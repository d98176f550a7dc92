// The interface texts of one language (Dutch, English, German): captions, help lines, marker
// lines and messages, 26 slots in the order in which a language is applied, then the captions
// of menu entries added since.
#pragma once
#include "texts/language.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace texts {

struct UiTexts {
    QString label3Caption;                 //  1 chapter row
    QString label5Caption;                 //  2 verse row
    QString label1Caption;                 //  3 bible version 1
    QString label8Caption;                 //  4 bible version 2
    QString label2Caption;                 //  5 book
    QString windowTitle;                   //  6
    QStringList helpLines;                 //  7 six lines in Dutch, seven in English and German
    QString newSlideMarker;                //  8
    QString emptyLineMarker;               //  9
    QString msgNotVerseText;               // 10
    QString msgNotSlideChange;             // 11
    QString msgNotEmptyLine;               // 12
    QString wissenlegeregel1Caption;       // 13
    QString wissendiaovergang1Caption;     // 14
    QString forceernieuwedia1Caption;      // 15
    QString tussenvoegenlegeregelindedia1Caption; // 16
    QString options1Caption;               // 17
    QString checkBox1Caption;              // 18
    QString checkBox1Hint;                 // 19
    QString checkBox2Caption;              // 20
    QString checkBox2Hint;                 // 21 same text as 19
    QString msgTickRequired;               // 22
    QString msgNoEmptyLineHere;            // 23
    QString bitBtn2Caption;                // 24
    QString bitBtn1Caption;                // 25
    QString msgLongProcess;                // 26 lines separated by a lone CR
    QString extra1Caption;                 // the menu-bar entry after Options1
    QString restoreBackup1Caption;         // its entry that restores a backup

    // Go to, Find and the line length in that menu: entries, boxes, messages (tools_texts.cpp).
    // %1, %2, ... are filled in where the text is shown.
    QString goto1Caption;
    QString find1Caption;
    QString maxLineLength1Caption;
    QString nextLongLine1Caption;
    QString gotoTitle;
    QString gotoPrompt;
    QString findTitle;
    QString findPrompt;
    QString findNoHits;
    QString findHitCount;                  // %1 verses
    QString findHitsShown;                 // %1 verses, %2 of them shown
    QString maxLineLengthTitle;
    QString maxLineLengthPrompt;
    QString msgNoLongLineLeft;             // %1 the maximum
    QString msgNotAReference;              // %1 what was typed
    QString msgNoSuchBook;                 // %1 the book as typed
    QString msgAmbiguousBook;              // %1 the book as typed, %2 the names that fit
    QString msgNoSuchChapter;              // %1 book, %2 chapter, %3 its last chapter
    QString msgNoSuchVerse;                // %1 book, %2 chapter, %3 verse, %4 the chapter's last verse

    // Comparing the two open versions, and pane 2's own reference (compare_texts.cpp).
    QString compare1Caption;
    QString compareTitle;
    QString compareColumnBook;
    QString compareColumnChapter;
    QString compareColumnVerses;           // %1 the bible version's name
    QString compareSummary;                // %1 chapters compared, %2 of them differ
    QString compareNoDifference;
    QString msgCompareNeedsTwo;
    QString pane2At;                       // %1 pane 2's reference ("Psalmen 3 : 8")
    QString pane2Missing;                  // %1 book and chapter pane 2's bible does not have

    bool operator==(const UiTexts&) const = default;
};

const UiTexts& uiTexts(Language language);
const UiTexts& dutchTexts();
const UiTexts& englishTexts();
const UiTexts& germanTexts();

// The texts of a language code, compared exactly ("NL", "UK", "DE"); nothing for any other.
std::optional<UiTexts> textsForCode(const QString& code);

// The captions of the editor view popup items as designed; the second view's popup keeps
// them in every language. Order: new slide, delete slide change, insert empty line, delete
// empty line.
QStringList designPopupCaptions();

} // namespace texts
