#include "bibledb/book_list.h"

#include "bibledb/bible_schema.h"
#include "data/dataset.h"

#include <algorithm>

namespace bibledb {

QString bookKey(const QString& number) { return ("000" + number).right(3); }

QString bookEntry(const QString& number, const QString& name) { return bookKey(number) + ";" + name; }

QString selectorName(const QString& entry) {
    const qsizetype first = entry.indexOf(';');
    if (first < 0) return {};
    const qsizetype next = entry.indexOf(';', first + 1);
    return entry.mid(first + 1, next < 0 ? -1 : next - first - 1);
}

void BookList::add(const QString& entry) {
    const auto at = std::upper_bound(entries_.begin(), entries_.end(), entry,
                                     [](const QString& a, const QString& b) { return a.compare(b) < 0; });
    entries_.insert(at, entry);
}

QStringList BookList::selectorNames() const {
    QStringList names;
    names.reserve(entries_.size());
    for (const QString& e : entries_) names.append(selectorName(e));
    return names;
}

void readBookNames(data::Query& query, BookList& list) {
    while (!query.eof()) {
        list.add(bookEntry(query.fieldByName(kVerseColumn).asString(), query.fieldByName(kTextColumn).asString()));
        query.next();
    }
}

} // namespace bibledb
