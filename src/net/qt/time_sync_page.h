#pragma once

#include "net/time_sync.h"
#include "settings/qt/options_page.h"

class OptionsHost;
class QComboBox;
class QLabel;
class QPushButton;

// "Time Sync": the time server (chosen from the list or typed: a typed one is stored and
// used by the automatic synchronisation as well), "Synchronize now", the automatic
// synchronisation and its interval, and the last synchronisation with the latest failure.
// While the dialog is open the synchronisation reports here; its messages show in the
// program's message window over the dialog, and its question whether to set a time far
// from the clock in a message box over the dialog.
class TimeSyncPage : public OptionsPage, public TimeSyncView {
    Q_OBJECT
public:
    TimeSyncPage(OptionsHost& host, QWidget* parent = nullptr);

    // TimeSyncView
    void show_caption(const std::string& caption) override;
    void show_result(const std::string& text) override;
    void show_message(const std::string& text) override;
    void ask_to_set(const std::string& question) override;

    QComboBox* server_box() const { return time_servers_; }
    QPushButton* sync_button() const { return cmdSync; }
    QLabel* result_line() const { return lblSync; }

private:
    // The server box made editable, and "Synchronize now" below it.
    void add_sync_button(Settings& s);
    // The last synchronisation line, and the latest failure below it.
    void show_sync_lines();
    OptionsHost& host_;
    QComboBox* time_servers_ = nullptr;
    QPushButton* cmdSync = nullptr;
    QLabel* lblSync = nullptr;
};
