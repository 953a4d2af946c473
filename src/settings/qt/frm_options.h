#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "net/time_sync.h"
#include "settings/qt/options_host.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QListWidget;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

// The "Settings" dialog: a tree of pages on the left, one page on the right, "&OK", "Cancel"
// and "&Apply". Every change takes effect at once; OK and Apply store, Cancel reloads.
class frmOptions : public QDialog, public TimeSyncView {
    Q_OBJECT
public:
    frmOptions(OptionsHost& host, OptionsPageFactories factories, QWidget* parent = nullptr);

    // Fills every control from the in-memory settings (with `loading` set).
    void fill();
    void ok();
    void apply();
    void cancel();
    // Shows the page with this caption ("Graph", "Reset", ...).
    void show_page(const QString& caption);
    QString current_page() const;
    QPushButton* apply_button() const { return cmdApply; }
    bool loading() const { return loading_; }
    // TimeSyncView: the time page follows the synchronisation.
    void show_caption(const std::string& caption) override;
    void show_result(const std::string& text) override;
    void show_message(const std::string& text) override;

    // Keeps only the digits of a number box's text.
    static QString digits_only(const QString& text);

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    using Filler = std::function<void()>;

    QWidget* add_page(const QString& caption, QTreeWidgetItem* parent_node);
    void build_pages();
    void changed();
    void refresh_reset_page();
    void refresh_service_page();
    void store(bool close_after);

    // Binding helpers: each connects a control to a setting and registers its filler.
    QCheckBox* check(QWidget* page, const QString& caption, std::uint8_t* field);
    QComboBox* combo(QWidget* page, const QString& caption, const QStringList& items, std::function<int()> get,
                     std::function<void(int)> set);
    QLineEdit* number(QWidget* page, const QString& caption, std::int32_t* field, std::int32_t empty_value = 0);
    QLineEdit* text(QWidget* page, const QString& caption, std::string* field, bool password = false);
    void radio_group(QWidget* page, const QString& caption, const QStringList& choices, std::function<int()> get,
                     std::function<void(int)> set);
    void colour_button(QWidget* page, const QString& caption, std::int32_t* field);
    QDateEdit* date(QWidget* page, const QString& caption, double* field);

    void build_connection_page(QWidget* page);
    void build_adapters_page(QWidget* page);
    void build_period_page(QWidget* page);
    void build_remote_group(QWidget* page);
    void build_time_page(QWidget* page);
    void refresh_period_line();

    OptionsHost& host_;
    OptionsPageFactories factories_;
    QTreeWidget* tree_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdApply = nullptr;
    QLabel* lblLoggingStarted = nullptr;
    QLabel* lblLoggingTime = nullptr;
    QLabel* lblService = nullptr;
    QPushButton* cmdInsSrv = nullptr;
    QPushButton* cmdUnInsSrv = nullptr;
    QPushButton* cmdSync = nullptr;
    QTimer* reset_timer_ = nullptr;
    QCheckBox* minute_logging_ = nullptr;
    QListWidget* adapter_list_ = nullptr;
    QLabel* lblPeriod = nullptr;
    QLabel* lblDataMissing = nullptr;
    QLabel* lblSync = nullptr;
    QComboBox* time_servers_ = nullptr;
    std::vector<QComboBox*> period_lists_;
    std::vector<Filler> fillers_;
    bool loading_ = false;
    bool closing_ = false;
};
