#pragma once

#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;

// The "Software update" window: names the new version and offers the download page.
// OK, Enter or a click on the link open the page; Escape or closing only close.
class frmUpdate : public QWidget {
    Q_OBJECT
public:
    struct Texts {
        QString version;
        QString date;
        QString web_address;   // shown in the link
    };
    frmUpdate(const Texts& texts, std::function<void()> open_download, std::function<void()> on_closed);
    ~frmUpdate() override;

    QLabel* link() const { return lblLink; }
    QPushButton* ok_button() const { return cmdOK; }
    bool link_highlighted() const { return link_hot_; }
    void set_link_highlight(bool hot);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void download();

    std::function<void()> open_download_;
    std::function<void()> on_closed_;
    QLabel* lblLink = nullptr;
    QPushButton* cmdOK = nullptr;
    bool link_hot_ = true;  // so the first call applies the normal look
    bool closed_ = false;
};
