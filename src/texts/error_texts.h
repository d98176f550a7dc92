// The errors a user can meet, worded in the interface languages from their kind and facts
// (jet::ErrorKind, jet::ErrorFacts): file missing, not a Jet 4 database, no table or column,
// damaged, read-only, locked, in use by another program, disk full, no backup, compaction refused.
#pragma once
#include "texts/language.h"

#include <QString>

#include <exception>

namespace texts {

// The message for `error` in `language`: its kind worded with its facts, followed on a line of
// its own by the English technical text when the wording does not already say it all. An error
// of no known kind (and any other exception) is its own text.
QString errorMessage(const std::exception& error, Language language);

} // namespace texts
