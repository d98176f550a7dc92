#include "app/restore_dialog.h"

#include "maintenance/backups.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <filesystem>

namespace app {

namespace {

QString dateTimeOf(const maintenance::BackupStamp& s) {
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(s.year, 4, 10, QLatin1Char('0'))
        .arg(s.month, 2, 10, QLatin1Char('0'))
        .arg(s.day, 2, 10, QLatin1Char('0'))
        .arg(s.hour, 2, 10, QLatin1Char('0'))
        .arg(s.minute, 2, 10, QLatin1Char('0'))
        .arg(s.second, 2, 10, QLatin1Char('0'));
}

std::filesystem::path toPath(const QString& native) { return std::filesystem::path(native.toStdU16String()); }

QString fromPath(const std::filesystem::path& path) { return QString::fromStdU16String(path.u16string()); }

} // namespace

std::vector<RestoreChoice> restoreChoices(const QStringList& bibleFiles, const QString& backupFolder) {
    std::vector<RestoreChoice> choices;
    for (const QString& file : bibleFiles) {
        const std::filesystem::path bibleFile = toPath(file);
        const std::string bible = maintenance::bibleNameOf(bibleFile);
        for (const maintenance::BackupEntry& entry : maintenance::listBackups(toPath(backupFolder), bible))
            choices.push_back({QString::fromStdString(bible), file, fromPath(entry.path), dateTimeOf(entry.stamp),
                               entry.size});
    }
    return choices;
}

RestoreDialog::RestoreDialog(std::vector<RestoreChoice> choices, const texts::BackupTexts& texts,
                             const QString& backupFolder, QWidget* parent)
    : QDialog(parent), choices_(std::move(choices)) {
    setWindowTitle(texts.dialogTitle);

    list = new QTreeWidget(this);
    list->setColumnCount(3);
    list->setHeaderLabels({texts.columnBible, texts.columnDateTime, texts.columnSize});
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    const QLocale locale;
    for (const RestoreChoice& choice : choices_) {
        auto* row = new QTreeWidgetItem({choice.bible, choice.dateTime, locale.formattedDataSize(qint64(choice.size))});
        row->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        list->addTopLevelItem(row);
    }
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto* folder = new QLabel(texts.folderLine.arg(QDir::toNativeSeparators(backupFolder)), this);
    folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    folder->setWordWrap(true);

    restoreButton = new QPushButton(texts.restoreButton, this);
    restoreButton->setEnabled(false);
    restoreButton->setDefault(true);
    cancelButton = new QPushButton(texts.cancelButton, this);
    connect(restoreButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(list, &QTreeWidget::itemSelectionChanged, this,
            [this] { restoreButton->setEnabled(!list->selectedItems().isEmpty()); });
    connect(list, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(restoreButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list);
    layout->addWidget(folder);
    layout->addLayout(buttons);
    resize(560, 360);
}

std::optional<RestoreChoice> RestoreDialog::chosen() const {
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    if (selected.isEmpty()) return std::nullopt;
    const int row = list->indexOfTopLevelItem(selected.first());
    if (row < 0 || row >= int(choices_.size())) return std::nullopt;
    return choices_[size_t(row)];
}

} // namespace app
