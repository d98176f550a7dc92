#include "texts/run_progress.h"

#include "texts/language.h"

namespace texts {

QString runProgressText(const QString& languageCode, const QString& book, int percent) {
    static const PerLanguage<QString> pattern{
        {QStringLiteral("Bezig met %1: %2%"), QStringLiteral("Working on %1: %2%"), QStringLiteral("Bearbeite %1: %2%")}};
    return pattern[languageCode].arg(book, QString::number(percent));
}

} // namespace texts
