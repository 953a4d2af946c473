#include "net/qt/time_sync_page.h"

#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include "core/option_pages.h"
#include "platform/services.h"
#include "settings/qt/options_host.h"

TimeSyncPage::TimeSyncPage(OptionsHost& host, QWidget* parent) : OptionsPage(parent), host_(host) {
    Settings& s = host_.options_state().settings;
    add_declared(option_page_decl("Time Sync"), s, [this, &s](const std::string& slot) {
        if (slot == "sync_now") add_sync_button(s);
        if (slot != "sync_lines") return;
        lblSync = new QLabel(this);
        add_row(lblSync);
        // The last success, and below it why the latest attempt failed, if it did.
        add_filler([this] { show_sync_lines(); });
    });
    host_.set_sync_view(this);
}

void TimeSyncPage::add_sync_button(Settings& s) {
    // A typed name is not added to the list; it is stored on its own (SyncHost), and a name
    // of the list is stored as its position.
    time_servers_ = qobject_cast<QComboBox*>(declared("SyncSrv"));
    time_servers_->setEditable(true);
    time_servers_->setInsertPolicy(QComboBox::NoInsert);
    connect(time_servers_, &QComboBox::editTextChanged, this, [this, &s](const QString& text) {
        if (loading()) return;
        const int listed = time_servers_->findText(text.trimmed());
        if (listed >= 0) s.SyncSrv = static_cast<std::uint8_t>(listed);
        s.SyncHost = listed >= 0 ? std::string() : text.trimmed().toStdString();
        report_change();
    });
    add_filler([this, &s] {
        if (!s.SyncHost.empty()) time_servers_->setEditText(QString::fromStdString(s.SyncHost));
    });
    cmdSync = new QPushButton(QString::fromLatin1(kSyncCaption), this);
    add_row(QStringLiteral("Synchronize now"), cmdSync);
    connect(cmdSync, &QPushButton::clicked, this,
            [this] { host_.sync_button(time_servers_->currentText().toStdString()); });
}

void TimeSyncPage::show_caption(const std::string& caption) { cmdSync->setText(QString::fromStdString(caption)); }

// The result of a synchronisation has been stored (a success) or noted (a failure): both
// lines are shown again from the state.
void TimeSyncPage::show_result(const std::string& /*text*/) { show_sync_lines(); }

void TimeSyncPage::show_sync_lines() {
    const OptionsView state = host_.options_state();
    const std::string& failure = state.time_sync.last_failure;
    const std::string& last = state.settings.SyncTxt;
    lblSync->setText(QString::fromStdString(failure.empty() ? last : last + "\n" + failure));
}

void TimeSyncPage::show_message(const std::string& text) { host_.show_message(window(), text); }

void TimeSyncPage::ask_to_set(const std::string& question) {
    auto* box = new QMessageBox(QMessageBox::Question, QStringLiteral("Time Sync"), QString::fromStdString(question),
                                QMessageBox::Yes | QMessageBox::No, window());
    box->setDefaultButton(QMessageBox::No);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [this, box] { host_.sync_confirmed(box->clickedButton() == box->button(QMessageBox::Yes)); });
    box->open();
}
