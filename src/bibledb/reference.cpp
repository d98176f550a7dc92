#include "bibledb/reference.h"

#include "bibledb/folding.h"

#include <QRegularExpression>

#include <algorithm>
#include <climits>

namespace bibledb {

namespace {

bool isSeparator(QChar c) { return c.unicode() <= 32 || c == u':' || c == u',' || c == u'.'; }
bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Digits as a number; more than nine of them name no chapter or verse of any bible.
int numberOf(QStringView digits) {
    if (digits.size() > 9) return INT_MAX;
    int n = 0;
    for (QChar c : digits) n = n * 10 + (c.unicode() - u'0');
    return n;
}

// The numbers at the end of the text: from the end back over digits and separators. Returns
// where the book part ends; `numbers` in reading order.
qsizetype splitTrailingNumbers(const QString& text, QList<int>& numbers) {
    qsizetype end = text.size();
    qsizetype i = end;
    while (i > 0) {
        const QChar c = text[i - 1];
        if (isSeparator(c)) {
            --i;
            continue;
        }
        if (!isDigit(c)) break;
        qsizetype start = i;
        while (start > 0 && isDigit(text[start - 1])) --start;
        // Digits after a letter are a number ("Cor13"); digits before one belong to the book
        // ("1Cor"), as the scan stops at the first letter.
        numbers.prepend(numberOf(QStringView(text).mid(start, i - start)));
        i = start;
    }
    return i;
}

Reference fail(Reference r, ReferenceError error) {
    r.error = error;
    return r;
}

// A range at the end ("John 3:16-18", "John 3:16-4:2") names its first verse: its end is cut off.
QString withoutRangeEnd(const QString& text) {
    static const QRegularExpression rangeEnd(QStringLiteral("\\d\\s*[-\u2013]\\s*\\d+(\\s*[:.,]\\s*\\d+)?\\s*$"));
    const QRegularExpressionMatch m = rangeEnd.match(text);
    return m.hasMatch() ? text.left(m.capturedStart() + 1) : text;
}

} // namespace

Reference parseReference(const QString& text, const QStringList& bookNames, const BibleOutline& outline) {
    Reference r;
    QList<int> numbers;
    const QString reference = withoutRangeEnd(text);
    const qsizetype bookEnd = splitTrailingNumbers(reference, numbers);
    r.bookText = reference.left(bookEnd).trimmed();
    const QString typedKey = bookNameKey(r.bookText);

    // A book is named by letters or digits; signs alone name nothing.
    if (std::none_of(typedKey.begin(), typedKey.end(), [](QChar c) { return c.isLetterOrNumber(); }) &&
        !typedKey.isEmpty())
        return fail(r, ReferenceError::NotAReference);
    if (typedKey.isEmpty()) {
        // Only numbers: the first one is the book.
        if (numbers.isEmpty()) return fail(r, ReferenceError::NotAReference);
        r.bookText = QString::number(numbers.front());
        r.place.book = numbers.takeFirst();
        if (r.place.book < 1 || r.place.book > bookNames.size()) return fail(r, ReferenceError::NoSuchBook);
    } else {
        for (int i = 0; i < bookNames.size(); ++i) {
            const QString key = bookNameKey(bookNames[i]);
            if (key == typedKey) {
                r.candidates = {bookNames[i]};
                r.place.book = i + 1;
                break;
            }
            if (key.startsWith(typedKey)) {
                r.candidates << bookNames[i];
                r.place.book = i + 1;
            }
        }
        if (r.candidates.isEmpty()) return fail(r, ReferenceError::NoSuchBook);
        if (r.candidates.size() > 1) {
            r.place.book = 0;
            return fail(r, ReferenceError::AmbiguousBook);
        }
        r.candidates.clear();
    }
    if (numbers.size() > 2) return fail(r, ReferenceError::NotAReference);

    r.place.chapter = numbers.size() > 0 ? numbers[0] : 1;
    r.place.verse = numbers.size() > 1 ? numbers[1] : 1;
    if (!outline.hasChapter(r.place.book, r.place.chapter)) {
        r.last = outline.lastChapter(r.place.book);
        return fail(r, ReferenceError::NoSuchChapter);
    }
    if (!outline.has(r.place)) {
        r.last = outline.lastVerse(r.place.book, r.place.chapter);
        return fail(r, ReferenceError::NoSuchVerse);
    }
    return r;
}

} // namespace bibledb
