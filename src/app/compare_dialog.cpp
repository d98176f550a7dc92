#include "app/compare_dialog.h"

#include "app/event_guard.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace app {

namespace {

constexpr int kBook = Qt::UserRole, kChapter = Qt::UserRole + 1;

// A chapter a version lacks shows a dash, not a count of 0.
QString countText(int verses) { return verses > 0 ? QString::number(verses) : QStringLiteral("\u2014"); }

} // namespace

CompareDialog::CompareDialog(const texts::UiTexts& texts, const QString& nameA, const QString& nameB,
                             const bibledb::VersionComparison& comparison,
                             const std::function<bool(const bibledb::ChapterDifference&)>& canGo, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(texts.compareTitle);
    auto* layout = new QVBoxLayout(this);
    summary_ = new QLabel(
        texts.compareSummary.arg(comparison.chaptersCompared).arg(comparison.differences.size()), this);
    list_ = new QTreeWidget(this);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setHeaderLabels({texts.compareColumnBook, texts.compareColumnChapter,
                            texts.compareColumnVerses.arg(nameA), texts.compareColumnVerses.arg(nameB)});
    layout->addWidget(summary_);
    layout->addWidget(list_);
    resize(560, 380);

    for (const bibledb::ChapterDifference& d : comparison.differences) {
        // The book as version 1 names it; a book only version 2 has by version 2's name.
        const QString book = d.nameA.isEmpty() ? d.nameB : d.nameA;
        auto* item = new QTreeWidgetItem(
            list_, {book, QString::number(d.chapter), countText(d.versesA), countText(d.versesB)});
        for (int column = 1; column < 4; ++column) item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(0, kBook, d.book);
        item->setData(0, kChapter, d.chapter);
        if (canGo && !canGo(d)) item->setFlags(Qt::NoItemFlags);
    }
    if (comparison.differences.empty()) {
        // That line is no difference and cannot be chosen.
        auto* none = new QTreeWidgetItem(list_, {texts.compareNoDifference});
        none->setFlags(Qt::NoItemFlags);
        none->setFirstColumnSpanned(true);
    }
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list_->header()->setStretchLastSection(false);
    for (int column = 1; column < 4; ++column) list_->resizeColumnToContents(column);
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        if (list_->topLevelItem(i)->flags() & Qt::ItemIsEnabled) {
            list_->setCurrentItem(list_->topLevelItem(i));
            break;
        }
    }
    connect(list_, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { app::runGuarded([this, item] { goTo(item); }); });
    list_->installEventFilter(this);
    list_->setFocus();
}

void CompareDialog::goToChosen() { goTo(list_->currentItem()); }

void CompareDialog::goTo(const QTreeWidgetItem* item) {
    if (!item || !(item->flags() & Qt::ItemIsEnabled)) return;
    if (go) go({item->data(0, kBook).toInt(), item->data(0, kChapter).toInt(), 1});
    accept();
}

bool CompareDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            app::runGuarded([this] { goToChosen(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace app
