#include "settings/qt/frm_options.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QListWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/date.h"
#include "core/program_state.h"
#include "core/services.h"
#include "measure/ip_statistics.h"
#include "history/period_totals.h"
#include "measure/format.h"
#include "net/time_sync.h"
#include "service/service_control.h"
#include "settings/connection_types.h"

namespace {

const QStringList kUnitNames = {"b (bits)",   "kb (kilobits)", "mb (megabits)", "gb (gigabits)",
                                "tb (terabits)", "Automatic (bits)", "B (bytes)",  "KB (kilobytes)",
                                "MB (megabytes)", "GB (gigabytes)", "TB (terabytes)", "Automatic (bytes)"};

QStringList number_list(int from, int to) {
    QStringList l;
    for (int i = from; i <= to; ++i) l << QString::number(i);
    return l;
}

// A page's body: a form layout inside the page widget.
QFormLayout* form_of(QWidget* page) {
    return qobject_cast<QFormLayout*>(page->layout());
}

}  // namespace

QString frmOptions::digits_only(const QString& text) {
    QString out;
    for (const QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) out += c;
    }
    return out;
}

frmOptions::frmOptions(OptionsHost& host, OptionsPageFactories factories, QWidget* parent)
    : QDialog(parent), host_(host), factories_(std::move(factories)) {
    setWindowTitle(QStringLiteral("Settings"));
    setModal(false);
    tree_ = new QTreeWidget(this);
    tree_->setHeaderHidden(true);
    tree_->setMinimumWidth(130);
    stack_ = new QStackedWidget(this);
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdApply = new QPushButton(QStringLiteral("&Apply"), this);
    cmdApply->setEnabled(false);
    cmdOK->setDefault(true);

    auto* body = new QHBoxLayout;
    body->addWidget(tree_);
    body->addWidget(stack_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdApply);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(body, 1);
    outer->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, &frmOptions::ok);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOptions::cancel);
    connect(cmdApply, &QPushButton::clicked, this, &frmOptions::apply);
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item == nullptr) return;
        stack_->setCurrentIndex(item->data(0, Qt::UserRole).toInt());
        if (item->text(0) == QLatin1String("Reset")) refresh_reset_page();
    });

    reset_timer_ = new QTimer(this);
    reset_timer_->setInterval(1000);
    connect(reset_timer_, &QTimer::timeout, this, &frmOptions::refresh_reset_page);

    build_pages();
    tree_->expandAll();
    fill();
    resize(560, 420);
}

QWidget* frmOptions::add_page(const QString& caption, QTreeWidgetItem* parent_node) {
    auto* page = new QWidget(stack_);
    auto* layout = new QFormLayout(page);
    layout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    auto* heading = new QLabel(QStringLiteral("<b>%1</b>").arg(caption.toHtmlEscaped()), page);
    layout->addRow(heading);
    const int index = stack_->addWidget(page);
    auto* node = parent_node ? new QTreeWidgetItem(parent_node) : new QTreeWidgetItem(tree_);
    node->setText(0, caption);
    node->setData(0, Qt::UserRole, index);
    page->setObjectName(caption);
    return page;
}

void frmOptions::show_page(const QString& caption) {
    const auto found = tree_->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
    if (!found.isEmpty()) tree_->setCurrentItem(found.first());
}

QString frmOptions::current_page() const {
    return tree_->currentItem() ? tree_->currentItem()->text(0) : QString();
}

void frmOptions::changed() {
    if (loading_) return;
    cmdApply->setEnabled(true);
    host_.options_preview();
}

QCheckBox* frmOptions::check(QWidget* page, const QString& caption, std::uint8_t* field) {
    auto* box = new QCheckBox(caption, page);
    form_of(page)->addRow(box);
    connect(box, &QCheckBox::toggled, this, [this, field](bool on) {
        if (loading_) return;
        *field = on ? 1 : 0;
        changed();
    });
    fillers_.push_back([box, field] { box->setChecked(*field != 0); });
    return box;
}

QComboBox* frmOptions::combo(QWidget* page, const QString& caption, const QStringList& items, std::function<int()> get,
                             std::function<void(int)> set) {
    auto* box = new QComboBox(page);
    box->addItems(items);
    form_of(page)->addRow(caption, box);
    connect(box, &QComboBox::currentIndexChanged, this, [this, set](int index) {
        if (loading_ || index < 0) return;
        set(index);
        changed();
    });
    fillers_.push_back([box, get] { box->setCurrentIndex(get()); });
    return box;
}

QLineEdit* frmOptions::number(QWidget* page, const QString& caption, std::int32_t* field, std::int32_t empty_value) {
    auto* box = new QLineEdit(page);
    form_of(page)->addRow(caption, box);
    connect(box, &QLineEdit::textChanged, this, [this, box, field, empty_value](const QString& typed) {
        if (loading_) return;
        const QString clean = digits_only(typed);
        if (clean != typed) {
            const int cursor = box->cursorPosition() - static_cast<int>(typed.size() - clean.size());
            box->setText(clean);  // re-enters with the clean text
            box->setCursorPosition(std::max(0, cursor));
            return;
        }
        bool ok = false;
        const qlonglong v = clean.toLongLong(&ok);
        if (clean.isEmpty() || clean == QLatin1String("0")) {
            *field = empty_value;
        } else {
            *field = ok && v <= INT32_MAX ? static_cast<std::int32_t>(v) : INT32_MAX;
        }
        changed();
    });
    fillers_.push_back([box, field] { box->setText(QString::number(*field)); });
    return box;
}

QLineEdit* frmOptions::text(QWidget* page, const QString& caption, std::string* field, bool password) {
    auto* box = new QLineEdit(page);
    if (password) box->setEchoMode(QLineEdit::Password);
    form_of(page)->addRow(caption, box);
    connect(box, &QLineEdit::textChanged, this, [this, field](const QString& typed) {
        if (loading_) return;
        *field = typed.toStdString();
        changed();
    });
    fillers_.push_back([box, field] { box->setText(QString::fromStdString(*field)); });
    return box;
}

void frmOptions::build_pages() {
    Settings& s = host_.options_state().settings;

    // Connection, Rates, Adapters
    QWidget* connection = add_page(QStringLiteral("Connection"), nullptr);
    QTreeWidgetItem* connection_node = tree_->topLevelItem(tree_->topLevelItemCount() - 1);
    build_connection_page(connection);

    QWidget* rates = add_page(QStringLiteral("Rates"), connection_node);
    combo(rates, QStringLiteral("Transferring speed:"), kUnitNames, [&s] { return int(s.TransferUnit); },
          [&s](int i) { s.TransferUnit = static_cast<std::uint8_t>(i); });
    combo(rates, QStringLiteral("Transferred data:"), kUnitNames, [&s] { return int(s.TransferredUnit); },
          [&s](int i) { s.TransferredUnit = static_cast<std::uint8_t>(i); });
    combo(rates, QStringLiteral("Calculated from the last"), number_list(1, 10), [&s] { return s.BandwidthCalc - 1; },
          [&s](int i) { s.BandwidthCalc = static_cast<std::uint8_t>(i + 1); });
    combo(rates, QStringLiteral("Decimals of rates:"), number_list(0, 9), [&s] { return int(s.TransferDec); },
          [&s](int i) { s.TransferDec = static_cast<std::uint8_t>(i); });
    combo(rates, QStringLiteral("Decimals of amounts:"), number_list(0, 9), [&s] { return int(s.TransferredDec); },
          [&s](int i) { s.TransferredDec = static_cast<std::uint8_t>(i); });

    QWidget* adapters = add_page(QStringLiteral("Adapters"), connection_node);
    build_adapters_page(adapters);

    // Layout, Items
    QWidget* layout = add_page(QStringLiteral("Layout"), nullptr);
    QTreeWidgetItem* layout_node = tree_->topLevelItem(tree_->topLevelItemCount() - 1);
    QStringList periods;
    for (int k = 0; k < kPeriodKinds; ++k) periods << QString::fromStdString(period_name(host_.options_state(), k));
    check(layout, QStringLiteral("Download rate"), &s.ShowDownload);
    check(layout, QStringLiteral("Upload rate"), &s.ShowUpload);
    check(layout, QStringLiteral("Transfer OverView 1"), &s.ShowTransferOverView1);
    period_lists_.push_back(combo(layout, QString(), periods, [&s] { return int(s.TransferOverView1); },
                                  [&s](int i) { s.TransferOverView1 = static_cast<std::uint8_t>(i); }));
    check(layout, QStringLiteral("Transfer OverView 2"), &s.ShowTransferOverView2);
    period_lists_.push_back(combo(layout, QString(), periods, [&s] { return int(s.TransferOverView2); },
                                  [&s](int i) { s.TransferOverView2 = static_cast<std::uint8_t>(i); }));
    check(layout, QStringLiteral("Graph"), &s.ShowGraph);
    check(layout, QStringLiteral("Download/Upload rate"), &s.ShowUploadDownload);
    form_of(layout)->addRow(new QLabel(QStringLiteral("Style"), layout));
    check(layout, QStringLiteral("Show form border"), &s.Border);
    check(layout, QStringLiteral("Enable custom items"), &s.ShowAdvItems);
    radio_group(layout, QStringLiteral("Middle Information "),
                {QStringLiteral("Show totals"), QStringLiteral("Show IP"), QStringLiteral("Show nothing")},
                [&s] { return s.ShowInfo == 2 ? 0 : (s.ShowInfo == 1 ? 1 : 2); },
                [&s](int i) { s.ShowInfo = static_cast<std::uint8_t>(i == 0 ? 2 : (i == 1 ? 1 : 0)); });

    QWidget* items = add_page(QStringLiteral("Items"), layout_node);
    if (factories_.items) form_of(items)->addRow(factories_.items(items));

    // Period
    QWidget* period = add_page(QStringLiteral("Period"), nullptr);
    build_period_page(period);

    // Graph
    QWidget* graph = add_page(QStringLiteral("Graph"), nullptr);
    radio_group(graph, QStringLiteral("Graph type:"), {QStringLiteral("Line graph"), QStringLiteral("Bar graph")},
                [&s] { return int(s.GraphType); }, [&s](int i) { s.GraphType = static_cast<std::uint8_t>(i); });
    radio_group(graph, QStringLiteral("Average and max:"), {QStringLiteral("Visible graph"), QStringLiteral("Full session")},
                [&s] { return int(s.AverageMaxType); }, [&s](int i) { s.AverageMaxType = static_cast<std::uint8_t>(i); });
    number(graph, QStringLiteral("Max graph history:"), &s.GraphBuffer);
    form_of(graph)->addRow(new QLabel(QStringLiteral("Lines "), graph));
    check(graph, QStringLiteral("Vertical grid lines"), &s.vGrid);
    number(graph, QStringLiteral("Grid interval (seconds):"), &s.vGridInt);
    check(graph, QStringLiteral("Grid lines on top"), &s.vGridTop);
    check(graph, QStringLiteral("Average lines"), &s.AverageShow);
    check(graph, QStringLiteral("Average lines on top"), &s.AverageTop);
    check(graph, QStringLiteral("Soft graph lines"), &s.SoftGraph)
        ->setToolTip(QStringLiteral("Improves the look of the graph lines"));

    // Colors
    QWidget* colours = add_page(QStringLiteral("Colors"), nullptr);
    if (factories_.colours) form_of(colours)->addRow(factories_.colours(colours));

    // Window
    QWidget* window = add_page(QStringLiteral("Window"), nullptr);
    check(window, QStringLiteral("Always on top"), &s.AlwaysOnTop);
    check(window, QStringLiteral("Start with the desktop session"), &s.Autostart);
    check(window, QStringLiteral("Start minimized"), &s.AutoStartMinimized);
    auto* slider = new QSlider(Qt::Horizontal, window);
    slider->setRange(0, 90);
    form_of(window)->addRow(QStringLiteral("Translucency (Win2K or better) "), slider);
    connect(slider, &QSlider::valueChanged, this, [this, &s](int v) {
        if (loading_) return;
        s.Transparency = static_cast<std::uint8_t>(v);
        changed();
    });
    fillers_.push_back([slider, &s] { slider->setValue(s.Transparency); });
    check(window, QStringLiteral("Transparent background"), &s.TransBack);

    // Systray
    QWidget* tray = add_page(QStringLiteral("Systray"), nullptr);
    check(tray, QStringLiteral("Graph in systray"), &s.SysTrayGraph);
    check(tray, QStringLiteral("Transfer rates as tooltip"), &s.SysTrayToolTip);
    colour_button(tray, QStringLiteral("Background:"), &s.SysTrayColorBackground);
    colour_button(tray, QStringLiteral("Download:"), &s.SysTrayColorDownload);
    colour_button(tray, QStringLiteral("Upload:"), &s.SysTrayColorUpload);
    form_of(tray)->addRow(new QLabel(QStringLiteral("Custom graph scale "), tray));
    check(tray, QStringLiteral("Use a different scale than the main graph (download)"), &s.SysDl);
    number(tray, QStringLiteral("Download scale (kbps):"), &s.SysDlSpeed);
    check(tray, QStringLiteral("Use a different scale than the main graph (upload)"), &s.SysUl);
    number(tray, QStringLiteral("Upload scale (kbps):"), &s.SysUlSpeed);

    // Alerts, E-mail
    QWidget* alerts = add_page(QStringLiteral("Alerts"), nullptr);
    QTreeWidgetItem* alerts_node = tree_->topLevelItem(tree_->topLevelItemCount() - 1);
    if (factories_.alerts) form_of(alerts)->addRow(factories_.alerts(alerts));
    QWidget* mail = add_page(QStringLiteral("E-mail"), alerts_node);
    text(mail, QStringLiteral("Sender:"), &s.EmailAlertMail);
    text(mail, QStringLiteral("Receiver:"), &s.EmailAlertDefault);
    text(mail, QStringLiteral("SMTP server:"), &s.EmailAlertSMTP);
    check(mail, QStringLiteral("Server requires authentication"), &s.EmailAuth);
    text(mail, QStringLiteral("User name:"), &s.EmailUsername);
    text(mail, QStringLiteral("Password:"), &s.EmailPassword, true);

    // Service
    QWidget* service = add_page(QStringLiteral("Service"), nullptr);
    form_of(service)->addRow(new QLabel(QString::fromLatin1(kServiceHeading), service));
    form_of(service)->addRow(new QLabel(QString::fromLatin1(kServiceLine1), service));
    auto* line2 = new QLabel(QString::fromLatin1(kServiceLine2), service);
    line2->setWordWrap(true);
    form_of(service)->addRow(line2);
    cmdInsSrv = new QPushButton(QStringLiteral("&Install"), service);
    cmdUnInsSrv = new QPushButton(QStringLiteral("&Uninstall"), service);
    auto* service_buttons = new QHBoxLayout;
    service_buttons->addWidget(cmdInsSrv);
    service_buttons->addWidget(cmdUnInsSrv);
    service_buttons->addStretch(1);
    form_of(service)->addRow(service_buttons);
    lblService = new QLabel(service);
    form_of(service)->addRow(lblService);
    connect(cmdInsSrv, &QPushButton::clicked, this, [this] {
        if (ServiceManager* m = host_.options_service_manager()) {
            install_service(*m, host_.options_services().dialogs);
            refresh_service_page();
        }
    });
    connect(cmdUnInsSrv, &QPushButton::clicked, this, [this] {
        if (ServiceManager* m = host_.options_service_manager()) {
            uninstall_service(*m, host_.options_services().dialogs);
            refresh_service_page();
        }
    });

    // Logging, Reset
    QWidget* logging = add_page(QStringLiteral("Logging"), nullptr);
    QTreeWidgetItem* logging_node = tree_->topLevelItem(tree_->topLevelItemCount() - 1);
    form_of(logging)->addRow(new QLabel(QStringLiteral("Transfer History "), logging));
    combo(logging, QStringLiteral("Unit:"), kUnitNames, [&s] { return int(s.TransferredUnitHis); },
          [&s](int i) { s.TransferredUnitHis = static_cast<std::uint8_t>(i); });
    combo(logging, QStringLiteral("Decimals:"), number_list(0, 9), [&s] { return int(s.TransferredDecHis); },
          [&s](int i) { s.TransferredDecHis = static_cast<std::uint8_t>(i); });
    combo(logging, QStringLiteral("First day of week:"),
          {QStringLiteral("System"), QStringLiteral("Sunday"), QStringLiteral("Monday"), QStringLiteral("Tuesday"),
           QStringLiteral("Wednesday"), QStringLiteral("Thursday"), QStringLiteral("Friday"), QStringLiteral("Saturday")},
          [&s] { return int(s.FirstDayOfWeek); }, [&s](int i) { s.FirstDayOfWeek = static_cast<std::uint8_t>(i); });
    number(logging, QStringLiteral("Diskwrite interval:"), &s.LogWriteInt, 1);
    minute_logging_ = new QCheckBox(QStringLiteral("Minutely logging"), logging);
    form_of(logging)->addRow(minute_logging_);
    connect(minute_logging_, &QCheckBox::toggled, this, [this] { changed(); });
    fillers_.push_back([this, &s] { minute_logging_->setChecked(s.MinuteLogging != 0); });
    build_remote_group(logging);

    QWidget* reset = add_page(QStringLiteral("Reset"), logging_node);
    auto* reset_daily = new QPushButton(QStringLiteral("&Reset daily logs"), reset);
    auto* reset_minutely = new QPushButton(QStringLiteral("R&eset minutely logs"), reset);
    auto* reset_session = new QPushButton(QStringLiteral("Re&set session"), reset);
    form_of(reset)->addRow(reset_daily);
    form_of(reset)->addRow(reset_minutely);
    form_of(reset)->addRow(reset_session);
    lblLoggingStarted = new QLabel(reset);
    lblLoggingTime = new QLabel(reset);
    form_of(reset)->addRow(lblLoggingStarted);
    form_of(reset)->addRow(lblLoggingTime);
    connect(reset_daily, &QPushButton::clicked, this, [this] { host_.reset_daily_logs(); refresh_reset_page(); });
    connect(reset_minutely, &QPushButton::clicked, this, [this] { host_.reset_minutely_logs(); refresh_reset_page(); });
    connect(reset_session, &QPushButton::clicked, this, [this] { host_.reset_session(); refresh_reset_page(); });

    // Time Sync
    QWidget* time = add_page(QStringLiteral("Time Sync"), nullptr);
    build_time_page(time);

    // Update
    QWidget* update = add_page(QStringLiteral("Update"), nullptr);
    check(update, QStringLiteral("Check for updates at start"), &s.CheckForUpdate);
}

void frmOptions::radio_group(QWidget* page, const QString& caption, const QStringList& choices, std::function<int()> get,
                             std::function<void(int)> set) {
    auto* box = new QGroupBox(caption, page);
    auto* layout = new QVBoxLayout(box);
    auto* group = new QButtonGroup(box);
    for (int i = 0; i < choices.size(); ++i) {
        auto* b = new QRadioButton(choices[i], box);
        group->addButton(b, i);
        layout->addWidget(b);
    }
    form_of(page)->addRow(box);
    connect(group, &QButtonGroup::idToggled, this, [this, set](int id, bool on) {
        if (loading_ || !on) return;
        set(id);
        changed();
    });
    fillers_.push_back([group, get] {
        if (QAbstractButton* b = group->button(get())) b->setChecked(true);
    });
}

void frmOptions::colour_button(QWidget* page, const QString& caption, std::int32_t* field) {
    auto* button = new QPushButton(page);
    button->setFixedSize(48, 20);
    form_of(page)->addRow(caption, button);
    const auto paint = [button, field] {
        const auto c = static_cast<std::uint32_t>(*field);
        button->setStyleSheet(QStringLiteral("background-color: rgb(%1,%2,%3)").arg(c & 0xFF).arg((c >> 8) & 0xFF).arg((c >> 16) & 0xFF));
    };
    connect(button, &QPushButton::clicked, this, [this, field, paint] {
        const auto c = static_cast<std::uint32_t>(*field);
        const QColor chosen = QColorDialog::getColor(QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)),
                                                     this, QStringLiteral("Color"));
        if (!chosen.isValid()) return;
        *field = static_cast<std::int32_t>(rgb(static_cast<std::uint32_t>(chosen.red()), static_cast<std::uint32_t>(chosen.green()),
                                               static_cast<std::uint32_t>(chosen.blue())));
        paint();
        changed();
    });
    fillers_.push_back(paint);
}

QDateEdit* frmOptions::date(QWidget* page, const QString& caption, double* field) {
    auto* edit = new QDateEdit(page);
    edit->setCalendarPopup(true);
    form_of(page)->addRow(caption, edit);
    connect(edit, &QDateEdit::dateChanged, this, [this, field](QDate d) {
        if (loading_) return;
        *field = static_cast<double>(day_number(d.year(), d.month(), d.day()));
        host_.period_changed();
        refresh_period_line();
        changed();
    });
    fillers_.push_back([edit, field] {
        const CivilDate c = civil_date(*field);
        edit->setDate(QDate(c.year, c.month, c.day));
    });
    return edit;
}

void frmOptions::build_adapters_page(QWidget* page) {
    Settings& s = host_.options_state().settings;
    auto* caption = new QLabel(QStringLiteral("Multiple selected adapters"), page);
    form_of(page)->addRow(caption);
    adapter_list_ = new QListWidget(page);
    form_of(page)->addRow(adapter_list_);
    auto* monitored = new QComboBox(page);
    form_of(page)->addRow(QStringLiteral("Monitored adapter:"), monitored);
    connect(adapter_list_, &QListWidget::itemChanged, this, [this, &s](QListWidgetItem* item) {
        if (loading_) return;
        const int i = adapter_list_->row(item) + 1;
        if (i < 1 || i > 6) return;
        s.LogAdapter[static_cast<std::size_t>(i)] = item->checkState() == Qt::Checked ? 1 : 0;
        host_.options_adapters_changed();
        changed();
    });
    connect(monitored, &QComboBox::currentIndexChanged, this, [this, &s](int index) {
        if (loading_ || index < 0) return;
        s.Adapter = index;
        changed();
    });
    fillers_.push_back([this, monitored, &s] {
        ProgramState& st = host_.options_state();
        clsIPStatistics stats(host_.options_services().tables, host_.options_services().dialogs, st.table_messages);
        st.known_adapter_count = stats.Found_Adaptors();
        adapter_list_->clear();
        monitored->clear();
        monitored->addItem(QStringLiteral("Multiple adapters"));
        const std::vector<std::string> names = adapter_descriptions(stats);
        for (int i = 1; i <= static_cast<int>(names.size()); ++i) {
            const QString name = QString::fromStdString(names[static_cast<std::size_t>(i - 1)]);
            monitored->addItem(name);
            auto* item = new QListWidgetItem(name, adapter_list_);
            if (i <= 6) {
                item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
                item->setCheckState(s.LogAdapter[static_cast<std::size_t>(i)] ? Qt::Checked : Qt::Unchecked);
            } else {
                item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
            }
        }
        monitored->setCurrentIndex(std::clamp(s.Adapter, 0, monitored->count() - 1));
    });
}

void frmOptions::build_period_page(QWidget* page) {
    Settings& s = host_.options_state().settings;
    form_of(page)->addRow(new QLabel(QStringLiteral("User defined time period "), page));
    auto* name = text(page, QStringLiteral("Name:"), &s.CusPerName);
    connect(name, &QLineEdit::textChanged, this, [this](const QString& typed) {
        if (loading_) return;
        for (QComboBox* list : period_lists_) list->setItemText(10, typed);
    });
    radio_group(page, QStringLiteral("Form:"),
                {QStringLiteral("From a date to a date"), QStringLiteral("The last"), QStringLiteral("Monthly, starting on day"),
                 QStringLiteral("Starting at a date")},
                [&s] { return int(s.CusPerDay); },
                [this, &s](int i) {
                    s.CusPerDay = static_cast<std::uint8_t>(i);
                    host_.period_changed();
                    refresh_period_line();
                });
    date(page, QStringLiteral("From:"), &s.CusPerFrom);
    date(page, QStringLiteral("To:"), &s.CusPerTo);
    auto* days = number(page, QStringLiteral("Last:"), &s.CusPerDays, 1);
    connect(days, &QLineEdit::textChanged, this, [this] {
        if (loading_) return;
        host_.period_changed();
        refresh_period_line();
    });
    combo(page, QStringLiteral("Unit:"), {QStringLiteral("Minutes"), QStringLiteral("Hours"), QStringLiteral("Days")},
          [&s] { return int(s.CusPerUnit); },
          [this, &s](int i) {
              s.CusPerUnit = static_cast<std::uint8_t>(i);
              host_.period_changed();
              refresh_period_line();
          });
    combo(page, QStringLiteral("Month starts on day:"), number_list(1, 31), [&s] { return s.CusMonthStart - 1; },
          [this, &s](int i) {
              s.CusMonthStart = static_cast<std::uint8_t>(i + 1);
              host_.period_changed();
              refresh_period_line();
          });
    date(page, QStringLiteral("Start:"), &s.CusPerStart);
    lblPeriod = new QLabel(page);
    form_of(page)->addRow(QStringLiteral("Current period:"), lblPeriod);
    lblDataMissing = new QLabel(
        QStringLiteral("The displayed amounts may be incorrect.\nThere is not sufficient data for the current period."), page);
    lblDataMissing->setStyleSheet(QStringLiteral("color: red"));
    form_of(page)->addRow(lblDataMissing);
    fillers_.push_back([this] { refresh_period_line(); });
}

void frmOptions::refresh_period_line() {
    if (lblPeriod == nullptr) return;
    bool warning = false;
    const std::string line = host_.current_period_text(host_.options_state().settings.CusPerDay, &warning);
    lblPeriod->setText(QString::fromStdString(line));
    lblDataMissing->setVisible(warning);
}

void frmOptions::build_remote_group(QWidget* page) {
    Settings& s = host_.options_state().settings;
    form_of(page)->addRow(new QLabel(QStringLiteral("Incoming connections "), page));
    check(page, QStringLiteral("Accept incoming connections on port"), &s.LocalAccept);
    number(page, QStringLiteral("Port:"), &s.LocalPort);
    combo(page, QStringLiteral("Max connections:"), number_list(1, 10), [&s] { return s.LocalMaxCon - 1; },
          [&s](int i) { s.LocalMaxCon = static_cast<std::uint8_t>(i + 1); });
    text(page, QStringLiteral("Password:"), &s.LocalPassword, true);
    form_of(page)->addRow(new QLabel(QStringLiteral("Outgoing connection "), page));
    check(page, QStringLiteral("Enable outgoing connection to remote logging server"), &s.RemoteOut);
    text(page, QStringLiteral("IP/Domain : port:"), &s.RemoteIP);
    number(page, QStringLiteral("Remote port:"), &s.RemotePort);
    text(page, QStringLiteral("Password:"), &s.RemotePassword, true);
    text(page, QStringLiteral("Client name:"), &s.ClientName);
}

void frmOptions::fill() {
    loading_ = true;
    for (const Filler& f : fillers_) f();
    refresh_service_page();
    loading_ = false;
}

void frmOptions::refresh_service_page() {
    ServiceManager* m = host_.options_service_manager();
    if (m == nullptr) {
        cmdInsSrv->setEnabled(false);
        cmdUnInsSrv->setEnabled(false);
        lblService->setText(host_.options_state().running_as_service ? QString::fromLatin1(kRunningAsService) : QString());
        return;
    }
    const ServicePageState page = ::refresh_service_page(*m, host_.options_state().running_as_service);
    cmdInsSrv->setEnabled(page.install_enabled);
    cmdUnInsSrv->setEnabled(page.uninstall_enabled);
    lblService->setText(QString::fromStdString(page.service_label));
}

void frmOptions::refresh_reset_page() {
    const ProgramState& st = host_.options_state();
    const double start = st.stats.start_date;
    lblLoggingStarted->setText(QStringLiteral("Logging started: ") +
                               QDate(1899, 12, 30).addDays(static_cast<qint64>(start)).toString(Qt::ISODate));
    lblLoggingTime->setText(QStringLiteral("Logging time: ") +
                            QString::fromStdString(format_duration(st.cycle.session_seconds)));
    if (current_page() == QLatin1String("Reset") && isVisible()) {
        if (!reset_timer_->isActive()) reset_timer_->start();
    } else {
        reset_timer_->stop();
    }
}

void frmOptions::store(bool close_after) {
    if (!host_.check_mail_settings()) return;
    loading_ = true;
    std::uint8_t& minute_logging = host_.options_state().settings.MinuteLogging;
    const bool on = minute_logging_->isChecked();
    if ((minute_logging != 0) != on) {
        if (host_.minute_logging_changed(on)) minute_logging = on ? 1 : 0;
        else minute_logging_->setChecked(minute_logging != 0);
    }
    host_.options_store();
    if (close_after) {
        closing_ = true;
        reset_timer_->stop();
        hide();
        host_.options_closed();
        loading_ = false;
        return;
    }
    cmdApply->setEnabled(false);
    activateWindow();
    host_.options_preview();
    loading_ = false;
}

void frmOptions::ok() { store(true); }

void frmOptions::apply() { store(false); }

void frmOptions::cancel() {
    if (closing_) return;
    closing_ = true;
    reset_timer_->stop();
    host_.options_discard();
    hide();
    host_.options_closed();
}

void frmOptions::reject() { cancel(); }

void frmOptions::closeEvent(QCloseEvent* event) {
    if (!closing_) cancel();
    event->accept();
}

void frmOptions::build_connection_page(QWidget* page) {
    Settings& s = host_.options_state().settings;
    QStringList down;
    for (const char* label : kConnectionLabels) down << QString::fromLatin1(label);
    QStringList up = down;
    up.prepend(QStringLiteral("Same as downstream"));
    // A listed type takes its speed; "Custom" takes the custom box, at least 1 kbps.
    const auto down_speed = [&s] {
        s.ConnectionSpeed = s.ConnectionType == kCustomConnection ? std::max(s.ConnectionCustom, 1)
                                                                  : kConnectionKbps[std::min<int>(s.ConnectionType, kCustomConnection)];
    };
    const auto up_speed = [&s] {
        if (s.ConnectionTypeUp == kCustomConnectionUp) s.ConnectionSpeedUp = std::max(s.ConnectionCustomUp, 1);
        else if (s.ConnectionTypeUp == 0) s.ConnectionSpeedUp = s.ConnectionSpeed;
        else s.ConnectionSpeedUp = kConnectionKbps[static_cast<std::size_t>(s.ConnectionTypeUp - 1)];
    };
    combo(page, QStringLiteral("Downstream connection type"), down, [&s] { return int(s.ConnectionType); },
          [&s, down_speed, up_speed](int i) {
              s.ConnectionType = static_cast<std::uint8_t>(i);
              down_speed();
              up_speed();
          });
    auto* custom = number(page, QStringLiteral("Custom connection speed (kbps)"), &s.ConnectionCustom);
    connect(custom, &QLineEdit::textChanged, this, [this, down_speed, up_speed] {
        if (loading_) return;
        down_speed();
        up_speed();
    });
    combo(page, QStringLiteral("Upstream connection type"), up, [&s] { return int(s.ConnectionTypeUp); },
          [&s, up_speed](int i) {
              s.ConnectionTypeUp = static_cast<std::uint8_t>(i);
              up_speed();
          });
    auto* custom_up = number(page, QStringLiteral("Custom connection speed (kbps) "), &s.ConnectionCustomUp);
    connect(custom_up, &QLineEdit::textChanged, this, [this, up_speed] {
        if (loading_) return;
        up_speed();
    });
}

void frmOptions::build_time_page(QWidget* page) {
    Settings& s = host_.options_state().settings;
    form_of(page)->addRow(new QLabel(QStringLiteral("Atomic Time Synchronization "), page));
    QStringList servers;
    for (const char* name : kTimeServers) servers << QString::fromLatin1(name);
    time_servers_ = combo(page, QStringLiteral("Time server:"), servers, [&s] { return std::min<int>(s.SyncSrv, kTimeServerCount - 1); },
          [&s](int i) { s.SyncSrv = static_cast<std::uint8_t>(i); });
    cmdSync = new QPushButton(QString::fromLatin1(kSyncCaption), page);
    form_of(page)->addRow(QStringLiteral("Synchronize now"), cmdSync);
    connect(cmdSync, &QPushButton::clicked, this,
            [this] { host_.sync_button(time_servers_->currentText().toStdString()); });
    check(page, QStringLiteral("Automatic time synchronization every"), &s.SyncAuto);
    combo(page, QString(),
          {QStringLiteral("15 minutes"), QStringLiteral("30 minutes"), QStringLiteral("1 hour"), QStringLiteral("1 day"),
           QStringLiteral("1 week"), QStringLiteral("30 days"), QStringLiteral("365 days")},
          [&s] { return int(s.SyncInt); }, [&s](int i) { s.SyncInt = static_cast<std::uint8_t>(i); });
    lblSync = new QLabel(page);
    form_of(page)->addRow(lblSync);
    fillers_.push_back([this, &s] { lblSync->setText(QString::fromStdString(s.SyncTxt)); });
}

void frmOptions::show_caption(const std::string& caption) {
    if (cmdSync) cmdSync->setText(QString::fromStdString(caption));
}

void frmOptions::show_result(const std::string& text) {
    if (lblSync) lblSync->setText(QString::fromStdString(text));
}

void frmOptions::show_message(const std::string& text) {
    host_.options_services().dialogs.message_box({text, "", MsgButtons::ok, MsgIcon::none});
}
