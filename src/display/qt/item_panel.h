#pragma once

#include <QPointer>
#include <functional>
#include <string>
#include <vector>

#include "display/display_view.h"
#include "platform/dialogs.h"
#include "settings/qt/options_page.h"

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class frmEditItem;

// What the item panel asks of the windows around it after an edit.
struct ItemPanelHooks {
    std::function<void()> redraw;             // an immediate update cycle with a full redraw
    std::function<void()> fit_window_height;  // the main window's height follows the items
    std::function<void()> enable_apply;       // the options dialog's "&OK" and "&Apply"
    std::function<void(bool)> set_owner_enabled;  // the options dialog while the editor is open
    std::function<std::vector<std::string>()> adapter_names;  // the adapters found now
};

// The options dialog's "Items" page: the custom item list with its check boxes and the
// buttons New, Modify, Copy, Remove, up and down. It edits the display list directly and
// copies it into the custom list at once. While custom items are off (the standard items of
// the Layout page are shown) it has nothing to edit and says where the switch is.
class ItemPanel : public OptionsPage {
    Q_OBJECT
public:
    ItemPanel(DisplayView state, Dialogs& dialogs, ItemPanelHooks hooks, QWidget* parent = nullptr);

    // The list of custom items when they are on; an empty, disabled page when they are off.
    void fill() override;
    // "Enable custom items" may have been switched.
    void other_page_changed() override { fill(); }
    // The editor's adapter list follows the adapters found.
    void adapters_changed() override;

    // Refills the list from the display list and updates the buttons.
    void UpdateItemList();
    // The adapter names the editor offers after "Multiple adapters"; an open editor takes
    // them at once.
    void set_adapter_names(std::vector<std::string> names);

    int selected() const { return selected_; }
    QListWidget* list() const { return lstItems; }
    QPushButton* button_new() const { return cmdNew; }
    QPushButton* button_modify() const { return cmdModify; }
    QPushButton* button_copy() const { return cmdCopy; }
    QPushButton* button_remove() const { return cmdRemove; }
    QPushButton* button_up() const { return cmdUp; }
    QPushButton* button_down() const { return cmdDown; }
    QLabel* switch_note() const { return lblSwitch; }
    frmEditItem* editor() const;

    void NewItem();
    void ModifyItem();
    void CopyItem();
    void RemoveItem();
    void MoveUp();
    void MoveDown();

private:
    void update_buttons();
    void on_item_changed(QListWidgetItem* item);
    void on_row_changed(int row);
    void after_edit(bool fit);
    bool refuse_when_full();
    frmEditItem* open_editor();
    void editor_closed(bool accepted);

    DisplayView state_;
    Dialogs& dialogs_;
    ItemPanelHooks hooks_;
    std::vector<std::string> adapter_names_;
    int selected_ = 0;
    bool filling_ = false;
    QListWidget* lstItems = nullptr;
    QPushButton* cmdNew = nullptr;
    QPushButton* cmdModify = nullptr;
    QPushButton* cmdCopy = nullptr;
    QPushButton* cmdRemove = nullptr;
    QPushButton* cmdUp = nullptr;
    QPushButton* cmdDown = nullptr;
    QLabel* lblSwitch = nullptr;
    QPointer<frmEditItem> editor_;  // destroyed when closed
};
