#pragma once

#include <QDialog>

#include "alerts/alert_view.h"

#include "alerts/rule_editor.h"

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class RuleSentenceView;
struct Services;

// "Edit alert": the condition (`listConditions`, one at a time), the actions (`listAction`),
// the name (`txtName`) and the sentence of the rule the session has open in the working table.
class frmEdit : public QDialog {
    Q_OBJECT
public:
    frmEdit(AlertView state, Services& services, const EditorSession& session, QWidget* parent);

    QListWidget* conditions() const { return listConditions; }
    QListWidget* actions() const { return listAction; }
    QLineEdit* name_field() const { return txtName; }
    RuleSentenceView* sentence() const { return sentence_; }
    QPushButton* ok_button() const { return cmdOK; }
    QPushButton* cancel_button() const { return cmdCancel; }
    const EditorSession& session() const { return session_; }

    void accept() override;
    void reject() override;

signals:
    // The editor closed; `stored` when OK accepted the rule.
    void editor_closed(bool stored);

private:
    AlertRule& rule();
    void rebuild();
    void condition_changed(QListWidgetItem* item);
    void action_changed(QListWidgetItem* item);
    void word_clicked(int index);

    AlertView state_;
    Services& services_;
    EditorSession session_;
    QListWidget* listConditions;
    QListWidget* listAction;
    QLineEdit* txtName;
    RuleSentenceView* sentence_;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    std::vector<SentenceWord> words_;
    bool filling_ = false;
    bool closed_ = false;
};
