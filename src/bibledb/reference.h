// A bible reference as people type it ("John 3:16", "joh 3 16", "1 Cor 13", "Ps. 119:105",
// "43 3 16", "Genesis") read against the open bible: its book names and the verses it holds.
#pragma once
#include "bibledb/verse_rows.h"

#include <QString>
#include <QStringList>

namespace bibledb {

enum class ReferenceError {
    None,
    NotAReference, // empty, or not a book followed by at most two numbers
    NoSuchBook,    // no book has that number or a name that starts so
    AmbiguousBook, // several books' names start so
    NoSuchChapter, // the book has no such chapter (chapter 0 included)
    NoSuchVerse,   // the chapter has no such verse (verse 0 included)
};

struct Reference {
    ReferenceError error = ReferenceError::None;
    VersePlace place;       // the verse named; on an error, what was read up to it
    QString bookText;       // the book as typed, blanks around it removed
    QStringList candidates; // AmbiguousBook: the names that fit, in book order
    int last = 0;           // NoSuchChapter: the book's last chapter; NoSuchVerse: the chapter's last verse
    bool ok() const { return error == ReferenceError::None; }
};

// Reads `text`: a book, then optionally a chapter and a verse, separated by blanks, ":", ","
// or "."; a verse range ("3:16-18") names its first verse. The book is a number (position in `bookNames` plus one) or the start of a name in
// `bookNames`, compared without regard to letter case, accents, dots and blanks; a name that
// fits exactly wins over longer names it starts. No chapter means chapter 1, no verse verse 1.
// The verse must exist in `outline`.
Reference parseReference(const QString& text, const QStringList& bookNames, const BibleOutline& outline);

} // namespace bibledb
