#include "texts/language.h"

namespace texts {

namespace {
const PerLanguage<const char*> kCodes{{"NL", "UK", "DE"}};
}

QString codeOf(Language language) { return QString::fromLatin1(kCodes[language]); }

std::optional<Language> languageOfCode(const QString& code) {
    for (Language language : kLanguages)
        if (code == QLatin1String(kCodes[language])) return language;
    return std::nullopt;
}

Language languageOrEnglish(const QString& code) { return languageOfCode(code).value_or(Language::UK); }

} // namespace texts
