// The status-bar text that shows how far a whole-bible run has come, in the interface language:
// the book being worked on and the part of the run done.
#pragma once
#include <QString>

namespace texts {

// For "NL", "UK" and "DE" (compared exactly) that language's text; English for any other code.
// `percent` is shown as given.
QString runProgressText(const QString& languageCode, const QString& book, int percent);

} // namespace texts
