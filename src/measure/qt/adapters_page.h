#pragma once

#include "settings/qt/options_page.h"

class OptionsHost;
class QComboBox;
class QLabel;
class QListWidget;

// "Adapters": the adapters summed as "Multiple adapters" (check boxes, the first six
// adapters) and the monitored adapter, which the window shows at once. Both lists follow
// adapters that come, go or change status. Below them: whether container and virtual
// interfaces are counted, and the interfaces not counted or retired.
class AdaptersPage : public OptionsPage {
    Q_OBJECT
public:
    AdaptersPage(OptionsHost& host, QWidget* parent = nullptr);
    // Lists the numbered adapters, also those without a connection now.
    void fill() override;
    // A changed selection of summed adapters reloads the logs; a changed monitored adapter
    // is shown by the window's items and its address text.
    void preview() override;
    void adapters_changed() override;

    QListWidget* summed_list() const { return adapter_list_; }
    QComboBox* monitored_list() const { return monitored_; }

private:
    void list_adapters();

    OptionsHost& host_;
    QListWidget* adapter_list_ = nullptr;
    QComboBox* monitored_ = nullptr;
    QLabel* not_counted_ = nullptr;  // interfaces without a number, and retired ones
    bool summed_changed_ = false;
    bool monitored_changed_ = false;
};
