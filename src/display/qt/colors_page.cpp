#include "display/qt/colors_page.h"

#include <QApplication>
#include <QColorDialog>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "display/qt/qimage_canvas.h"

namespace {

// Offset of the name window from the options dialog's top-left corner: 1250 x 650 twips.
constexpr QPoint kNameWindowOffset(1250 / 15, 650 / 15);

void paint_swatch(QPushButton* b, std::uint32_t colour) {
    b->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid gray;").arg(to_qcolor(colour).name()));
    b->setProperty("colour", static_cast<qulonglong>(colour));
}

QPushButton* make_swatch(QWidget* parent) {
    auto* b = new QPushButton(parent);
    b->setFixedSize(40, 18);
    b->setFlat(true);
    b->setToolTip(QStringLiteral("Click to choose the colour; the main window shows it at once"));
    return b;
}

// The colour dialog keeps its 16 custom colours for the life of the process; they start
// as (254, 254, 254) instead of the toolkit's white.
void prepare_custom_colours() {
    for (int i = 0; i < QColorDialog::customCount(); ++i) {
        if (QColorDialog::customColor(i) != QColor(Qt::white)) return;
    }
    for (int i = 0; i < QColorDialog::customCount(); ++i) QColorDialog::setCustomColor(i, QColor(254, 254, 254));
}

}  // namespace

frmPresetName::frmPresetName(bool rename, const QString& name, QWidget* parent) : QDialog(parent) {
    setObjectName(rename ? QStringLiteral("frmRename") : QStringLiteral("frmNew"));
    setWindowTitle(rename ? QStringLiteral("Rename preset") : QStringLiteral("New preset"));
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Name:"), this), 0, 0);
    txtName = new QLineEdit(name, this);
    txtName->selectAll();
    txtName->installEventFilter(this);
    layout->addWidget(txtName, 0, 1);
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setDefault(true);
    layout->addWidget(cmdOK, 0, 2);
    lblMessage = new QLabel(this);
    layout->addWidget(lblMessage, 1, 0, 1, 3);
    connect(cmdOK, &QPushButton::clicked, this, [this] { emit name_entered(txtName->text()); });
}

void frmPresetName::refuse(const QString& message) {
    QApplication::beep();
    lblMessage->setText(message);
}

bool frmPresetName::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtName && event->type() == QEvent::FocusIn) lblMessage->clear();
    return QDialog::eventFilter(watched, event);
}

ColorsPage::ColorsPage(Settings& settings, const std::string& data_dir, QWidget* parent)
    : OptionsPage(parent), settings_(settings), page_(open_preset_page(settings, data_dir)) {
    prepare_custom_colours();
    auto* layout = new QHBoxLayout(this);

    auto* left = new QVBoxLayout;
    lstPresets = new QListWidget(this);
    left->addWidget(lstPresets);
    auto* buttons = new QHBoxLayout;
    cmdNew = new QPushButton(QStringLiteral("&New"), this);
    cmdRename = new QPushButton(QStringLiteral("&Rename"), this);
    cmdSave = new QPushButton(QStringLiteral("&Save"), this);
    cmdDelete = new QPushButton(QStringLiteral("D&elete"), this);
    cmdNew->setToolTip(QStringLiteral("A new preset with the colours shown"));
    cmdSave->setToolTip(QStringLiteral("Keep the colours shown in the selected preset"));
    cmdDelete->setToolTip(QStringLiteral("Remove the selected preset (with OK or Apply; Cancel keeps it)"));
    for (QPushButton* b : {cmdNew, cmdRename, cmdSave, cmdDelete}) buttons->addWidget(b);
    left->addLayout(buttons);
    layout->addLayout(left);

    static const char* const kCaptions[] = {"Background",  "Header",         "Description", "Values",
                                            "Seperator",   "Graph upload",   "Average upload", "Graph download",
                                            "Average download", "Grid lines", "Download/upload", "Text label"};
    auto* swatches = new QGridLayout;
    for (int n = 0; n < 12; ++n) {
        picColor[static_cast<std::size_t>(n)] = make_swatch(this);
        swatches->addWidget(new QLabel(QString::fromLatin1(kCaptions[n]), this), n, 0);
        swatches->addWidget(picColor[static_cast<std::size_t>(n)], n, 1);
        connect(picColor[static_cast<std::size_t>(n)], &QPushButton::clicked, this, [this, n] { pick_colour(n); });
    }
    layout->addLayout(swatches);

    connect(lstPresets, &QListWidget::currentRowChanged, this, [this](int row) {
        if (refreshing_ || row < 0 || row == page_.selected) return;
        emit_effect(select_preset(page_, settings_, row));
        refresh();
        report_change();
    });
    connect(cmdSave, &QPushButton::clicked, this, [this] {
        save_preset(page_, settings_);
        refresh();
    });
    connect(cmdDelete, &QPushButton::clicked, this, [this] {
        emit_effect(delete_preset(page_, settings_));
        refresh();
        report_change();
    });
    connect(cmdNew, &QPushButton::clicked, this, [this] { open_name_window(false); });
    connect(cmdRename, &QPushButton::clicked, this, [this] { open_name_window(true); });
    refresh();
}

void ColorsPage::refresh() {
    refreshing_ = true;
    lstPresets->clear();
    for (const std::string& n : page_.names) lstPresets->addItem(QString::fromStdString(n));
    lstPresets->setCurrentRow(page_.selected);
    refreshing_ = false;
    for (int n = 0; n < 12; ++n)
        paint_swatch(picColor[static_cast<std::size_t>(n)], page_.swatches[static_cast<std::size_t>(n)]);
    cmdSave->setEnabled(page_.save_enabled);
    cmdDelete->setEnabled(page_.delete_enabled);
    cmdRename->setEnabled(page_.rename_enabled);
}

void ColorsPage::emit_effect(PageEffect effect) {
    if (effect.redraw_main) emit redraw_main();
}

void ColorsPage::store(bool closing) {
    // Deleted presets leave the file only now; OK also keeps the current preset's colours.
    store_deletions(page_);
    if (closing) save_preset(page_, settings_);
    refresh();
}

void ColorsPage::pick_colour(int swatch) {
    if (colour_dialog_ != nullptr) return;
    begin_pick(page_, swatch);
    if (page_.picking < 0) return;
    colour_dialog_ = new QColorDialog(to_qcolor(page_.colour_before), window());
    colour_dialog_->setWindowTitle(QStringLiteral("Color"));
    colour_dialog_->setOption(QColorDialog::DontUseNativeDialog);
    colour_dialog_->setAttribute(Qt::WA_DeleteOnClose);
    if (settings_.AlwaysOnTop != 0) colour_dialog_->setWindowFlag(Qt::WindowStaysOnTopHint);
    // Live preview: every colour the dialog shows is tried on the windows at once.
    connect(colour_dialog_, &QColorDialog::currentColorChanged, this, [this](const QColor& c) {
        if (!c.isValid()) return;
        emit_effect(ColorChange(page_, settings_, from_qrgb(c.rgb())));
        refresh();
    });
    connect(colour_dialog_, &QDialog::finished, this, [this](int result) {
        const QColor chosen = colour_dialog_->selectedColor();
        colour_dialog_ = nullptr;
        const bool accepted = result == QDialog::Accepted && chosen.isValid();
        const PageEffect effect =
            accepted ? pick_accepted(page_, settings_, from_qrgb(chosen.rgb())) : pick_cancelled(page_, settings_);
        emit_effect(effect);
        refresh();
        if (accepted) report_change();
    });
    colour_dialog_->open();
}

void ColorsPage::open_name_window(bool rename) {
    if (name_window_ != nullptr) return;
    if (rename && page_.selected == 0) return;
    QWidget* options = window();
    name_window_ = new frmPresetName(rename, rename ? QString::fromStdString(page_.current()) : QString(), options);
    name_window_->setAttribute(Qt::WA_DeleteOnClose);
    name_window_->setWindowFlag(Qt::WindowStaysOnTopHint, settings_.AlwaysOnTop != 0);
    name_window_->move(options->pos() + kNameWindowOffset);
    connect(name_window_, &frmPresetName::name_entered, this, [this, rename](const QString& name) {
        const std::string n = name.toStdString();
        const auto problem = rename ? rename_preset(page_, settings_, n) : new_preset(page_, settings_, n);
        if (problem) {
            name_window_->refuse(QString::fromStdString(*problem));
            return;
        }
        emit redraw_main();
        refresh();
        report_change();
        name_window_->close();
    });
    connect(name_window_, &QDialog::finished, this, [this] { name_window_closed(); });
    // The options dialog waits while the name window is open.
    if (options != this) options->setEnabled(false);
    else setEnabled(false);
    name_window_->setEnabled(true);
    name_window_->show();
}

void ColorsPage::name_window_closed() {
    name_window_ = nullptr;
    QWidget* options = window();
    options->setEnabled(true);
    setEnabled(true);
    if (options->isVisible()) options->activateWindow();
}
