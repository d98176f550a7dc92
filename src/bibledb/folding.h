// Text folded for matching as people type: letter case and accents do not count. Used for book
// names typed in a reference and for the text search over a whole bible.
#pragma once
#include <QString>
#include <QStringView>

namespace bibledb {

// One folded character per character of `text`, so that an offset in the result is an offset in
// the text: letters to lower case, a letter with accents to its base letter ("É" -> "e",
// "ü" -> "u"). A combining accent that stands on its own stays: removing it would shift offsets.
QString foldCaseAndAccents(QStringView text);

// A book name or a typed book: folded as above, then dots and blanks (code 32 or less) removed,
// so "1. Mose", "1 mose" and "1Mose" give the same key.
QString bookNameKey(QStringView text);

} // namespace bibledb
