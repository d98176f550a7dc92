#include "app/find_dialog.h"

#include "app/event_guard.h"
#include "verse/blanks.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace app {

namespace {

constexpr int kBook = Qt::UserRole, kChapter = Qt::UserRole + 1, kVerse = Qt::UserRole + 2;

} // namespace

FindDialog::FindDialog(const texts::UiTexts& texts, QWidget* parent) : QDialog(parent), texts_(texts) {
    setWindowTitle(texts.findTitle);
    auto* layout = new QVBoxLayout(this);
    auto* prompt = new QLabel(texts.findPrompt, this);
    field_ = new QLineEdit(this);
    prompt->setBuddy(field_);
    summary_ = new QLabel(this);
    list_ = new QListWidget(this);
    list_->setUniformItemSizes(true);
    layout->addWidget(prompt);
    layout->addWidget(field_);
    layout->addWidget(summary_);
    layout->addWidget(list_);
    resize(560, 380);

    pause_ = new QTimer(this);
    pause_->setSingleShot(true);
    pause_->setInterval(150);
    connect(pause_, &QTimer::timeout, this, [this] { app::runGuarded([this] { searchNow(); }); });
    connect(field_, &QLineEdit::textEdited, pause_, qOverload<>(&QTimer::start));
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { app::runGuarded([this] { goToChosen(); }); });
    field_->installEventFilter(this);
    list_->installEventFilter(this);
}

void FindDialog::searchNow() {
    pause_->stop();
    searched_ = field_->text();
    hasSearched_ = true;
    list_->clear();
    const bibledb::SearchResult result = search ? search(searched_, kListed) : bibledb::SearchResult{};
    if (result.hits.empty()) {
        summary_->clear();
        // The list says there is nothing; that line is no hit and cannot be chosen.
        auto* none = new QListWidgetItem(texts_.findNoHits, list_);
        none->setFlags(Qt::NoItemFlags);
        return;
    }
    summary_->setText(result.total > int(result.hits.size())
                          ? texts_.findHitsShown.arg(result.total).arg(result.hits.size())
                          : texts_.findHitCount.arg(result.total));
    for (const bibledb::SearchHit& hit : result.hits) {
        const QString where = describe ? describe(hit.place) : QString();
        auto* item = new QListWidgetItem(where + QStringLiteral("    ") + verse::trimmed(hit.lineText), list_);
        item->setData(kBook, hit.place.book);
        item->setData(kChapter, hit.place.chapter);
        item->setData(kVerse, hit.place.verse);
    }
    list_->setCurrentRow(0);
}

void FindDialog::goToChosen() {
    const QListWidgetItem* item = list_->currentItem();
    if (!item || !(item->flags() & Qt::ItemIsEnabled)) return;
    const bibledb::VersePlace place{item->data(kBook).toInt(), item->data(kChapter).toInt(),
                                    item->data(kVerse).toInt()};
    if (go) go(place);
    accept();
}

bool FindDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        app::runGuarded([this] {
            // A text typed since the last search is searched first; the first hit is then chosen.
            if (!hasSearched_ || searched_ != field_->text()) searchNow();
            goToChosen();
        });
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (watched != field_) break;
        if (!hasSearched_ || searched_ != field_->text()) app::runGuarded([this] { searchNow(); });
        if (list_->count() > 0 && (list_->item(0)->flags() & Qt::ItemIsEnabled)) {
            const int step = key->key() == Qt::Key_Up ? -1 : 1;
            list_->setCurrentRow(std::clamp(list_->currentRow() + step, 0, list_->count() - 1));
            return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace app
