// The texts of the Tools menu in the three languages, added to a language's UiTexts.
#pragma once
#include "texts/language.h"
#include "texts/ui_texts.h"

namespace texts {

// Sets the Tools menu fields of `t` in `language`.
void addToolsTexts(UiTexts& t, Language language);

} // namespace texts
