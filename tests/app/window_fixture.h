// A window on a drive of its own: a temporary c: holding Lumora/HolyBibles, a settings file of its
// own, and the messages the window would show collected instead. Bibles are written first; form()
// makes the window on first use, so that discovery lists them.
#pragma once
#include "app/tform1.h"
#include "support/bible_fixture.h"
#include "support/qt_application.h"
#include "support/test_env.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>
#include <QStringList>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace test_support {

// Puts a name into a bible selector as a pick from its list leaves it (the entry selected), or
// as typed text when no entry has that name. A listed name left as bare text would be
// confirmed again by Qt when the selector loses the focus.
inline void putBibleName(QComboBox* selector, const QString& name) {
    const int index = selector->findText(name, Qt::MatchExactly);
    if (index >= 0 && !name.isEmpty()) selector->setCurrentIndex(index);
    else selector->setEditText(name);
}

// A pick of entry `index` from a selector's list.
inline void pick(QComboBox* selector, int index) {
    selector->setCurrentIndex(index);
    emit selector->activated(index);
}

// One wheel message over `target`, delivered as the window system delivers it (sendEvent would
// mark it synthesized, which Qt neither propagates nor counts as a wheel message).
inline void spontaneousWheel(QWidget* target, int delta) {
    QWheelEvent event(QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&event);
    qApp->notify(target, &event);
}

class WindowTest : public ::testing::Test {
public:
    void SetUp() override {
        application();
        if (const char* drive = std::getenv("KANTELO_DRIVE_C")) oldDrive_ = drive;
        setenv("KANTELO_DRIVE_C", drive_.path().c_str(), 1);
        folder_ = drive_.path() / "Lumora" / "HolyBibles";
        std::filesystem::create_directories(folder_);
        TForm1::settingsPathOverride = QString::fromStdString((drive_.path() / "kantelo.INI").string());
        TForm1::messageSink = [this](const QString& text) {
            messages_ << text;
            if (onMessage_) onMessage_(text);
        };
    }
    void TearDown() override {
        form_.reset();
        TForm1::eventPassInterval = eventPassInterval_;
        TForm1::messageSink = nullptr;
        TForm1::settingsPathOverride.clear();
        if (oldDrive_) setenv("KANTELO_DRIVE_C", oldDrive_->c_str(), 1);
        else unsetenv("KANTELO_DRIVE_C");
    }

    std::filesystem::path bible(const std::string& name, const BibleSpec& bibleSpec) {
        return writeBible(folder_ / (name + ".mdb"), bibleSpec);
    }
    TForm1& form() {
        if (!form_) {
            form_ = std::make_unique<TForm1>();
            form_->show();
            // Shown and active, as the window is when the user first acts in it.
            QCoreApplication::processEvents();
        }
        return *form_;
    }

    TempDir drive_;
    std::filesystem::path folder_;
    QStringList messages_;
    std::function<void(const QString&)> onMessage_; // called for each message as it comes
    std::unique_ptr<TForm1> form_;

private:
    std::optional<std::string> oldDrive_;
    int eventPassInterval_ = TForm1::eventPassInterval; // a test may change the pacing
};

} // namespace test_support
