#include "texts/run_progress.h"

namespace texts {

QString runProgressText(const QString& languageCode, const QString& book, int percent) {
    QString pattern = QStringLiteral("Working on %1: %2%");
    if (languageCode == QLatin1String("NL")) pattern = QStringLiteral("Bezig met %1: %2%");
    else if (languageCode == QLatin1String("DE")) pattern = QStringLiteral("Bearbeite %1: %2%");
    return pattern.arg(book, QString::number(percent));
}

} // namespace texts
