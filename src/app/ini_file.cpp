#include "app/ini_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <vector>

namespace app {

namespace {

// One line of the file: where it starts, its text without the line ending, and that ending.
struct Line {
    qsizetype start = 0;
    QByteArray text;
    QByteArray ending; // "\r\n", "\n" or empty for a last line without one
};

constexpr char utf8Bom[] = "\xEF\xBB\xBF";

std::vector<Line> splitLines(const QByteArray& content) {
    std::vector<Line> lines;
    qsizetype pos = content.startsWith(utf8Bom) ? 3 : 0;
    while (pos < content.size()) {
        const qsizetype lf = content.indexOf('\n', pos);
        Line line;
        line.start = pos;
        if (lf < 0) {
            line.text = content.mid(pos);
            pos = content.size();
        } else {
            line.text = content.mid(pos, lf - pos);
            line.ending = "\n";
            if (line.text.endsWith('\r')) {
                line.text.chop(1);
                line.ending = "\r\n";
            }
            pos = lf + 1;
        }
        lines.push_back(line);
    }
    return lines;
}

QString decode(const QByteArray& bytes) {
    return QString::fromUtf8(bytes);
}

// The section name of a "[name]" line, or nothing for any other line.
std::optional<QString> sectionName(const QByteArray& text) {
    const QByteArray t = text.trimmed();
    if (!t.startsWith('[')) return std::nullopt;
    qsizetype close = t.indexOf(']');
    if (close < 0) close = t.size();
    return decode(t.mid(1, close - 1)).trimmed();
}

// The key of a "key=value" line; nothing for comments and lines without "=".
std::optional<QString> keyName(const QByteArray& text) {
    const QByteArray t = text.trimmed();
    if (t.startsWith(';')) return std::nullopt;
    const qsizetype eq = text.indexOf('=');
    if (eq < 0) return std::nullopt;
    return decode(text.left(eq)).trimmed();
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Index range [begin, end) of the lines of the first section called `section`.
struct SectionRange {
    size_t header = 0;
    size_t end = 0;
};

std::optional<SectionRange> findSection(const std::vector<Line>& lines, const QString& section) {
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto name = sectionName(lines[i].text);
        if (!name || !sameName(*name, section)) continue;
        size_t end = i + 1;
        while (end < lines.size() && !sectionName(lines[end].text)) ++end;
        return SectionRange{i, end};
    }
    return std::nullopt;
}

QByteArray lineEndingOf(const QByteArray& content) {
    if (content.contains("\r\n") || !content.contains('\n')) return "\r\n";
    return "\n";
}

} // namespace

std::optional<QString> iniValue(const QByteArray& content, const QString& section, const QString& key) {
    const std::vector<Line> lines = splitLines(content);
    const auto range = findSection(lines, section);
    if (!range) return std::nullopt;
    for (size_t i = range->header + 1; i < range->end; ++i) {
        const auto name = keyName(lines[i].text);
        if (!name || !sameName(*name, key)) continue;
        const QByteArray& text = lines[i].text;
        QString value = decode(text.mid(text.indexOf('=') + 1)).trimmed();
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return std::nullopt;
}

QByteArray withIniValue(const QByteArray& content, const QString& section, const QString& key,
                        const QString& value) {
    const QByteArray eol = lineEndingOf(content);
    const std::vector<Line> lines = splitLines(content);
    const QByteArray newEntry = key.toUtf8() + "=" + value.toUtf8();
    const auto range = findSection(lines, section);
    if (!range) {
        QByteArray result = content;
        if (!result.isEmpty() && !result.endsWith('\n')) result += eol;
        return result + "[" + section.toUtf8() + "]" + eol + newEntry + eol;
    }
    for (size_t i = range->header + 1; i < range->end; ++i) {
        const auto name = keyName(lines[i].text);
        if (!name || !sameName(*name, key)) continue;
        const Line& line = lines[i];
        const qsizetype valueStart = line.start + line.text.indexOf('=') + 1;
        const qsizetype lineEnd = line.start + line.text.size();
        return content.left(valueStart) + value.toUtf8() + content.mid(lineEnd);
    }
    // A new key goes right after the section's last non-blank line.
    size_t last = range->header;
    for (size_t i = range->header + 1; i < range->end; ++i)
        if (!lines[i].text.trimmed().isEmpty()) last = i;
    const Line& after = lines[last];
    const qsizetype insertAt = after.start + after.text.size() + after.ending.size();
    const QByteArray before = after.ending.isEmpty() ? eol : QByteArray();
    return content.left(insertAt) + before + newEntry + eol + content.mid(insertAt);
}

QString readProfileString(const QString& path, const QString& section, const QString& key,
                          const QString& fallback) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return fallback;
    const auto value = iniValue(file.readAll(), section, key);
    return value ? *value : fallback;
}

bool writeProfileString(const QString& path, const QString& section, const QString& key, const QString& value) {
    QByteArray content;
    const QFileInfo info(path);
    if (info.exists()) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return false;
        content = file.readAll();
        file.close();
    }
    const QByteArray updated = withIniValue(content, section, key, value);
    if (info.exists() && updated == content) return true;
    // A read-only file stays as it is, also for a user whom the system would let write it.
    constexpr auto anyWrite = QFileDevice::WriteOwner | QFileDevice::WriteGroup |
                              QFileDevice::WriteOther;
    if (info.exists() && (!info.isWritable() || !(info.permissions() & anyWrite))) return false;
    QSaveFile out(path);
    out.setDirectWriteFallback(true);
    if (!out.open(QIODevice::WriteOnly)) return false;
    if (out.write(updated) != updated.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

QString iniPathForExecutable(const QString& executablePath) {
    const qsizetype slash = std::max(executablePath.lastIndexOf('/'), executablePath.lastIndexOf('\\'));
    const qsizetype dot = executablePath.lastIndexOf('.');
    if (dot > slash) return executablePath.left(dot) + QStringLiteral(".INI");
    return executablePath + QStringLiteral(".INI");
}

namespace {

// Write permission as the file system's flags show it. Like writeProfileString, a file or
// folder without any write flag counts as read-only also for a user whom the system would let
// write it anyway.
bool flaggedWritable(const QFileInfo& info) {
    constexpr auto anyWrite = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return info.isWritable() && (info.permissions() & anyWrite);
}

bool canWriteSettings(const QString& path) {
    const QFileInfo file(path);
    if (file.exists()) return flaggedWritable(file);
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir() || !flaggedWritable(folder)) return false;
    // Windows reports folders such as Program Files writable: only creating a file tells.
    QTemporaryFile probe(file.absolutePath() + QStringLiteral("/kantelo-XXXXXX.tmp"));
    return probe.open();
}

} // namespace

QString settingsFileFor(const QString& besideExecutable, const QString& userFolder) {
    if (canWriteSettings(besideExecutable) || userFolder.isEmpty()) return besideExecutable;
    QDir().mkpath(userFolder);
    return QDir(userFolder).filePath(QFileInfo(besideExecutable).fileName());
}

} // namespace app
