// The texts of comparing the two open bible versions in the three languages, added to a
// language's UiTexts: the Tools menu entry, its box, and pane 2's own reference.
#pragma once
#include "texts/language.h"
#include "texts/ui_texts.h"

namespace texts {

// Sets the comparison fields of `t` in `language`.
void addCompareTexts(UiTexts& t, Language language);

} // namespace texts
