#pragma once

// Driving the program's options dialog the way a user does: a real main window on a
// temporary home, the dialog's pages and controls found by their captions, message boxes
// answered as they come, and a restart from the same folders.

#include <QAbstractButton>
#include <QPushButton>
#include <QApplication>
#include <QColorDialog>
#include <QElapsedTimer>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QSettings>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/qt/frm_main.h"
#include "settings/qt/frm_options.h"
#include "support/temp_home.h"

// The program as a user runs it: the main window shown and loaded from a temporary home.
class ProgramRun {
public:
    ProgramRun() { use_temp_home(dir_); }
    ~ProgramRun() { stop(); }
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool start() {
        main_ = std::make_unique<frmMain>(StartOptions{});
        main_->show();
        return main_->Form_Load();
    }
    // The orderly end of the run, as "E&xit" does it.
    void stop() {
        if (!main_) return;
        main_->UnloadKVT();
        main_.reset();
    }
    bool restart() {
        stop();
        return start();
    }

    frmMain& main() { return *main_; }
    // The options dialog, opened through "&Settings..." when it is not open.
    frmOptions& options() {
        if (main_->options_window() == nullptr || !main_->options_window()->isVisible()) main_->open_options();
        return *main_->options_window();
    }

    std::string data_dir() const { return dir_.str() + "/data/"; }
    QString settings_file() const { return QString::fromStdString(dir_.str() + "/config/Kelvanto/Kelvanto.conf"); }
    // Puts a value into the settings file, as a setting left by an earlier run.
    void preset(const QString& name, const QString& value) const {
        QSettings file(settings_file(), QSettings::IniFormat);
        file.setValue(name, value);
    }
    // A setting as the settings file holds it now ("" when absent).
    QString stored(const QString& name) const {
        QSettings file(settings_file(), QSettings::IniFormat);
        return file.value(name).toString();
    }

private:
    TempDir dir_;
    std::unique_ptr<frmMain> main_;
};

// Lets the event loop run until `done` holds or `ms` milliseconds passed; answers whether it
// holds.
inline bool eventually(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > ms) return false;
        QTest::qWait(10);
    }
    return true;
}

// Shows the page and answers the widget the dialog shows for it.
inline QWidget* show_page(frmOptions& dlg, const QString& caption) {
    dlg.show_page(caption);
    return dlg.findChild<QStackedWidget*>()->currentWidget();
}

inline QString without_mnemonic(QString text) { return text.remove(QLatin1Char('&')); }

// The control of type W on a page: a button (check box, radio button, push button) by its
// own text, any other control by the label of its row.
template <typename W>
W* control(frmOptions& dlg, const QString& page, const QString& caption) {
    QWidget* shown = show_page(dlg, page);
    for (QAbstractButton* b : shown->findChildren<QAbstractButton*>()) {
        if (without_mnemonic(b->text()) == without_mnemonic(caption)) {
            if (auto* w = qobject_cast<W*>(b)) return w;
        }
    }
    for (QFormLayout* form : shown->findChildren<QFormLayout*>()) {
        for (int row = 0; row < form->rowCount(); ++row) {
            QLayoutItem* label = form->itemAt(row, QFormLayout::LabelRole);
            QLayoutItem* field = form->itemAt(row, QFormLayout::FieldRole);
            auto* l = label ? qobject_cast<QLabel*>(label->widget()) : nullptr;
            if (l && field && field->widget() && l->text() == caption) {
                if (auto* w = qobject_cast<W*>(field->widget())) return w;
            }
        }
    }
    return nullptr;
}

// Every label text on a page, joined by line breaks.
inline QString page_text(frmOptions& dlg, const QString& page) {
    QStringList texts;
    for (QLabel* l : show_page(dlg, page)->findChildren<QLabel*>()) texts << l->text();
    return texts.join(QLatin1Char('\n'));
}

// Runs `action` and answers the message boxes it opens, in order, with `answers` (a box
// beyond the answers is closed with Escape). Returns the texts of the boxes.
inline QStringList answering(const std::vector<QMessageBox::StandardButton>& answers, const std::function<void()>& action) {
    QStringList texts;
    std::size_t next = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) return;
        texts << box->text();
        QAbstractButton* button = next < answers.size() ? box->button(answers[next]) : nullptr;
        ++next;
        if (button != nullptr) button->click();
        else box->reject();
    });
    timer.start(5);
    action();
    timer.stop();
    return texts;
}

// The colour dialog ("Color") that is open now, or nullptr. A colour dialog that would block
// the caller is closed after a while, so a test that expected it not to block fails instead
// of hanging.
inline QColorDialog* open_colour_dialog() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* d = qobject_cast<QColorDialog*>(w);
        if (d != nullptr && d->isVisible()) return d;
    }
    return nullptr;
}
inline void click_closing_blocking_colour_dialogs(QAbstractButton* button) {
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (auto* d = qobject_cast<QColorDialog*>(QApplication::activeModalWidget())) d->reject();
    });
    guard.start(500);
    button->click();
    guard.stop();
}

// The colour of a pixel, without its alpha.
inline QColor colour_at(const QImage& image, int x, int y) { return QColor(image.pixel(x, y)).toRgb(); }

// How many pixels of an image have this colour.
inline int pixels_of(const QImage& image, const QColor& colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) n += QColor(image.pixel(x, y)).rgb() == colour.rgb() ? 1 : 0;
    }
    return n;
}
