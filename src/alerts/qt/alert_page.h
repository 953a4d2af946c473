#pragma once

#include <QPointer>
#include <functional>
#include <vector>

#include "alerts/alert_view.h"
#include "alerts/rule_sentence.h"
#include "settings/qt/options_page.h"

class QListWidget;
class QListWidgetItem;
class QPushButton;
class RuleSentenceView;
class frmEdit;
struct Services;

// The options dialog's alert page: the rules of the working table (`listRules`, a check mark
// per switched-on rule), the selected rule's sentence, and New, Modify, Copy, Remove and Test.
// Whenever the rules changed, `changed` runs (when given) and the page reports the change,
// so that the dialog enables OK and Apply.
class AlertPage : public OptionsPage {
    Q_OBJECT
public:
    AlertPage(AlertView state, Services& services, std::function<void()> changed, QWidget* parent = nullptr);

    // Refills the rule list from the working table and shows the selected rule's sentence.
    void fill() override;
    // An open value dialog choosing an adapter lists the adapters found now.
    void adapters_changed() override;
    void new_rule();
    void modify_rule();
    void copy_rule();
    void remove_rule();
    void test_rule();

    QListWidget* rules() const { return listRules; }
    RuleSentenceView* sentence() const { return sentence_; }
    frmEdit* editor() const;
    QPushButton* button(const QString& caption) const;

private:
    void rule_clicked(QListWidgetItem* item);
    void checks_changed();
    void word_clicked(int index);
    void open_editor();
    void editor_closed();
    void show_sentence();
    void rules_changed();

    AlertView state_;
    Services& services_;
    std::function<void()> changed_;
    QListWidget* listRules;
    RuleSentenceView* sentence_;
    QPushButton* cmdNewRule;
    QPushButton* cmdModify;
    QPushButton* cmdCopy;
    QPushButton* cmdRemove;
    QPushButton* cmdTest;
    QPointer<frmEdit> editor_;
    std::vector<SentenceWord> words_;
    bool filling_ = false;
};
