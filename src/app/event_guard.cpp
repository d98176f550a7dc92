#include "app/event_guard.h"

#include "app/tform1.h"
#include "texts/error_texts.h"

#include <QCoreApplication>
#include <QThread>

namespace app {

namespace {

// The boundary that is running: its nesting of event loops (a modal dialog starts a new loop)
// tells a direct nested call apart from an event that a nested loop delivers.
struct Boundary {
    bool active = false;
    int loopLevel = 0;
};

thread_local Boundary current;
int shownErrors = 0;
texts::Language errorLanguage = texts::Language::UK;

int loopLevel() {
    QThread* thread = QThread::currentThread();
    return thread ? thread->loopLevel() : 0;
}

} // namespace

QString errorText(const std::exception& error) {
    const QString text = texts::errorMessage(error, errorLanguage);
    return text.isEmpty() ? QStringLiteral("Unknown error") : text;
}

void setErrorLanguage(texts::Language language) { errorLanguage = language; }

bool runGuarded(const std::function<void()>& handler) {
    const int level = loopLevel();
    if (current.active && current.loopLevel == level) {
        handler(); // same boundary: an error goes up to the outer guard
        return true;
    }
    const Boundary saved = current;
    current = Boundary{true, level};
    QString message;
    try {
        handler();
        current = saved;
        return true;
    } catch (const std::exception& error) {
        message = errorText(error);
    } catch (...) {
        message = QStringLiteral("Unknown error");
    }
    current = saved;
    ++shownErrors;
    TForm1::showMessage(message);
    return false;
}

int errorsShown() { return shownErrors; }

void processPendingEvents() {
    struct Restore {
        Boundary saved = current;
        ~Restore() { current = saved; }
    } restore;
    current = Boundary{};
    QCoreApplication::processEvents();
}

} // namespace app
