#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "display/display_view.h"
#include "settings/form_item.h"
#include "settings/settings.h"

class QComboBox;
class QLineEdit;
class QPushButton;

// The item editor "Edit Item": name, type, period and adapter of one display item. Every
// change applies at once to the item and redraws the main window; Cancel undoes the edit.
class frmEditItem : public QDialog {
    Q_OBJECT
public:
    frmEditItem(DisplayView state, const std::vector<std::string>& adapter_names, QWidget* parent = nullptr);

    // Prepares a new item (already appended by the caller) or the selected one (1-based).
    void start_new(int item, int previous_selection);
    void start_modify(int item);

    // Width in pixels the adapter drop-down needs for its widest entry.
    int GetComboWidth() const;
    // The adapters found now: the adapter list is filled again; the item keeps its adapter.
    void set_adapter_names(const std::vector<std::string>& adapter_names);

    std::function<void()> redraw;
    bool creating() const { return creating_; }
    int previous_selection() const { return previous_selection_; }
    QLineEdit* name_field() const { return txtName; }
    QComboBox* type_list() const { return cboType; }
    QComboBox* period_list() const { return cboPeriod; }
    QComboBox* adapter_list() const { return cboAdapter; }
    QPushButton* button_ok() const { return cmdOK; }
    QPushButton* button_cancel() const { return cmdCancel; }

    void accept() override;
    void reject() override;

private:
    void load_fields();
    void apply_fields();
    FormItem* current();

    DisplayView state_;
    int item_ = 0;
    int previous_selection_ = 0;
    bool creating_ = false;
    bool loading_ = false;
    FormItem kept_;
    QLineEdit* txtName = nullptr;
    QComboBox* cboType = nullptr;
    QComboBox* cboPeriod = nullptr;
    QComboBox* cboAdapter = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};
