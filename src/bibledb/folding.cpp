#include "bibledb/folding.h"

namespace bibledb {

namespace {

QChar foldChar(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80) return (u >= 'A' && u <= 'Z') ? QChar(char16_t(u + 32)) : c;
    // A precomposed letter's canonical decomposition starts with its base letter; the accents
    // follow as combining marks. Only letters are reduced, so signs keep their own look.
    if (c.isLetter() && c.decompositionTag() == QChar::Canonical) {
        const QString parts = c.decomposition();
        if (!parts.isEmpty() && !parts.at(0).isHighSurrogate()) c = foldChar(parts.at(0));
    }
    return c.toCaseFolded();
}

} // namespace

QString foldCaseAndAccents(QStringView text) {
    QString folded(text.size(), Qt::Uninitialized);
    QChar* out = folded.data();
    for (qsizetype i = 0; i < text.size(); ++i) out[i] = foldChar(text[i]);
    return folded;
}

QString bookNameKey(QStringView text) {
    QString key;
    key.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() <= 32 || c == u'.') continue;
        // A combining accent typed on its own (decomposed input) is dropped here: keys are
        // only compared, never mapped back.
        if (c.category() == QChar::Mark_NonSpacing) continue;
        key.append(foldChar(c));
    }
    return key;
}

} // namespace bibledb
