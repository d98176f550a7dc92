// What the text of a bible selector names among the listed bibles, for the selector's input
// rules: typing opens a bible only once the name is complete, Enter opens what the text names.
#pragma once
#include <QString>
#include <QStringList>

namespace app {

// The listed bible the text names, letter case ignored; empty when it names none.
QString listedBible(const QStringList& bibles, const QString& text);

// The bible to open while the user is still typing: the one the text names in full, as long as
// no other listed name goes on from the text (the user may be typing that longer one). Empty
// otherwise.
QString bibleCompletedByTyping(const QStringList& bibles, const QString& text);

} // namespace app
