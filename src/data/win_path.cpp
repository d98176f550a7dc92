#include "data/win_path.h"

#include <QFile>

#include <QDir>
#include <QFileInfo>
#include <QtGlobal>

namespace data {

QString driveCRoot() {
#ifdef Q_OS_WIN
    return {};
#else
    const QByteArray drive = qgetenv("KANTELO_DRIVE_C");
    if (!drive.isEmpty()) return QString::fromLocal8Bit(drive);
    QByteArray prefix = qgetenv("WINEPREFIX");
    if (prefix.isEmpty()) prefix = qgetenv("HOME") + "/.wine";
    return QString::fromLocal8Bit(prefix) + "/drive_c";
#endif
}

namespace {

// The entry of `dir` whose name equals `name` without regard to case; exact match first.
QString matchComponent(const QString& dir, const QString& name) {
    if (QFileInfo::exists(dir + "/" + name)) return name;
    const QStringList entries =
        QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QString& e : entries)
        if (e.compare(name, Qt::CaseInsensitive) == 0) return e;
    return {};
}

} // namespace

QString resolveWindowsPath(const QString& windowsPath) {
#ifdef Q_OS_WIN
    return windowsPath;
#else
    QString p = windowsPath;
    p.replace('\\', '/');
    QString root;
    if (p.size() >= 2 && p[1] == ':') {
        const QChar drive = p[0].toLower();
        const QString c = driveCRoot();
        root = drive == 'c' ? c : QFileInfo(c).path() + "/drive_" + drive;
        p = p.mid(2);
    } else if (p.startsWith('/')) {
        root = "";
    } else {
        root = QDir::currentPath();
    }
    QString current = root.isEmpty() ? QStringLiteral("/") : root;
    bool exists = QFileInfo(current).isDir();
    const QStringList parts = p.split('/', Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        QString name = part;
        if (part == ".") continue;
        if (exists) {
            const QString match = matchComponent(current, part);
            if (match.isEmpty()) exists = false;
            else name = match;
        }
        current = current.endsWith('/') ? current + name : current + "/" + name;
    }
    return current;
#endif
}

QStringList listFilesWithSuffix(const QString& windowsFolder, const QString& suffix) {
    const QString folder = resolveWindowsPath(windowsFolder);
    QStringList result;
    if (!QFileInfo(folder).isDir()) return result;
    const QStringList entries =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QString& e : entries)
        if (e.size() > suffix.size() && e.endsWith(suffix, Qt::CaseInsensitive)) result << e;
    return result;
}

std::string engineName(const QString& nativePath) {
#ifdef _WIN32
    return nativePath.toUtf8().toStdString();
#else
    return QFile::encodeName(nativePath).toStdString();
#endif
}

std::filesystem::path fsPath(const QString& nativePath) { return std::filesystem::path(nativePath.toStdU16String()); }

QString fromFsPath(const std::filesystem::path& path) { return QString::fromStdU16String(path.u16string()); }

bool sameNameIgnoringCase(const std::string& a, const std::string& b) {
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

} // namespace data
