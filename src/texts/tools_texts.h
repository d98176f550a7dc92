// The texts of the Tools menu in the three languages, added to a language's UiTexts.
#pragma once
#include "texts/ui_texts.h"

namespace texts {

// Sets the Tools menu fields of `t` for language code "NL", "UK" or "DE".
void addToolsTexts(UiTexts& t, const QString& code);

} // namespace texts
