#pragma once

#include <QDialog>
#include <QWidget>
#include <array>
#include <functional>

#include "display/preset_page.h"
#include "settings/qt/options_page.h"

class QColorDialog;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The small window that asks for a preset name: "New preset" (frmNew) or "Rename preset"
// (frmRename). The name is checked by whoever listens; a refusal beeps and shows its message.
class frmPresetName : public QDialog {
    Q_OBJECT
public:
    frmPresetName(bool rename, const QString& name, QWidget* parent);
    QLineEdit* txtName = nullptr;
    QPushButton* cmdOK = nullptr;
    QLabel* lblMessage = nullptr;
    void refuse(const QString& message);

signals:
    void name_entered(const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The Colors page of the options dialog: the preset list, the twelve colour swatches and
// "&New", "&Rename", "&Save", "D&elete". Every change is applied to the settings at once and
// shown in the main window (redraw_main); choosing a preset or a colour enables "&Apply".
// OK keeps the colours of the current preset in "Preset.ini".
class ColorsPage : public OptionsPage {
    Q_OBJECT
public:
    ColorsPage(Settings& settings, const std::string& data_dir, QWidget* parent = nullptr);

    const PresetPage& page() const { return page_; }
    QListWidget* lstPresets = nullptr;
    std::array<QPushButton*, 12> picColor{};
    QPushButton* cmdNew = nullptr;
    QPushButton* cmdRename = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdDelete = nullptr;

    // The colour dialog of the swatch being picked, or nullptr.
    QColorDialog* colour_dialog() const { return colour_dialog_; }
    // The open name window, or nullptr.
    frmPresetName* name_window() const { return name_window_; }

    // Opens the colour dialog of a swatch.
    void pick_colour(int swatch);
    // OK saves the current preset's colours.
    void store(bool closing) override;

signals:
    void redraw_main();  // the colour settings changed

private:
    void refresh();
    void emit_effect(PageEffect effect);
    void open_name_window(bool rename);
    void name_window_closed();

    Settings& settings_;
    PresetPage page_;
    QColorDialog* colour_dialog_ = nullptr;
    frmPresetName* name_window_ = nullptr;
    bool refreshing_ = false;
};
