#pragma once

#include <QDialog>

#include "alerts/alert_view.h"
#include <functional>
#include <string>
#include <vector>

#include "alerts/value_entry.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
struct Services;

// The value dialog: one placeholder value chosen from a list (`Combo`), typed into a field
// (`txt`), or both; files also have a browse button "..." (`cmdBrowse`). OK stores the value
// in the pair it was opened on; a refused value is reported and the dialog stays open.
class frmDialog : public QDialog {
    Q_OBJECT
public:
    frmDialog(ValueKind kind, ValueDialogSpec form, ValuePair& target, Services& services, QWidget* owner);

    // The browse button's file chooser: gets the Qt name filter, answers the chosen path
    // (empty when cancelled). The system's file-open dialog unless replaced.
    std::function<QString(QWidget* owner, const QString& filter)> choose_file;

    QComboBox* list() const { return Combo; }
    QLineEdit* field() const { return txt; }
    QPushButton* browse_button() const { return cmdBrowse; }
    QPushButton* ok_button() const { return cmdOK; }
    ValueKind kind() const { return kind_; }
    // The adapters found now, for a dialog that chooses an adapter: its list is filled again
    // and keeps its choice where that adapter is still listed.
    void set_adapters(const std::vector<std::string>& adapter_names);
    // What the adapter list shows of adapters 1..N (gone interfaces marked); the value stored
    // stays the adapter's own name.
    void show_entries(const std::vector<std::string>& adapter_entries);

    void accept() override;

private:
    void browse();

    ValueKind kind_;
    ValueDialogSpec form_;
    ValuePair& target_;
    Services& services_;
    QLabel* lblDes;
    QComboBox* Combo = nullptr;
    QLineEdit* txt = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
};

// Shows a refusal in the program's message box, over `owner`.
void show_refusal(Services& services, QWidget* owner, const std::string& text);

// Adapters came, went or changed status: every open value dialog choosing an adapter lists
// them again.
void refresh_adapter_dialogs(AlertView state, Services& services);

// Opens the value dialog of a sentence word, modal over `owner`'s window, and calls `closed`
// once it is gone. Answers nullptr for words that open no dialog.
frmDialog* open_value_dialog(QWidget* owner, AlertView state, Services& services, AlertRule& rule,
                             const SentenceWord& word, std::function<void()> closed);
