#include "app/bible_selector.h"

namespace app {

QString listedBible(const QStringList& bibles, const QString& text) {
    if (text.isEmpty()) return {};
    for (const QString& bible : bibles)
        if (bible.compare(text, Qt::CaseInsensitive) == 0) return bible;
    return {};
}

QString bibleCompletedByTyping(const QStringList& bibles, const QString& text) {
    const QString named = listedBible(bibles, text);
    if (named.isEmpty()) return {};
    for (const QString& bible : bibles)
        if (bible.size() > text.size() && bible.startsWith(text, Qt::CaseInsensitive)) return {};
    return named;
}

} // namespace app
