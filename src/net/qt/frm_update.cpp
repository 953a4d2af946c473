#include "net/qt/frm_update.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The link: reports the pointer entering and leaving it, and clicks.
class LinkLabel : public QLabel {
public:
    LinkLabel(const QString& text, QWidget* parent, std::function<void(bool)> hover, std::function<void()> click)
        : QLabel(text, parent), hover_(std::move(hover)), click_(std::move(click)) {}

protected:
    void enterEvent(QEnterEvent* e) override {
        QLabel::enterEvent(e);
        hover_(true);
    }
    void leaveEvent(QEvent* e) override {
        QLabel::leaveEvent(e);
        hover_(false);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        QLabel::mouseReleaseEvent(e);
        if (rect().contains(e->position().toPoint())) click_();
    }

private:
    std::function<void(bool)> hover_;
    std::function<void()> click_;
};

}  // namespace

frmUpdate::frmUpdate(const Texts& texts, std::function<void()> open_download, std::function<void()> on_closed)
    : QWidget(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint),
      open_download_(std::move(open_download)),
      on_closed_(std::move(on_closed)) {
    setWindowTitle(QStringLiteral("Software update"));
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(QStringLiteral("Software update"), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);
    layout->addWidget(new QLabel(QStringLiteral("There is a new version of"), this));
    layout->addWidget(new QLabel(QStringLiteral("Kelvanto"), this));
    layout->addWidget(new QLabel(QStringLiteral("available!"), this));
    // The version and date come from the server's reply: shown as the characters they are,
    // never as markup.
    auto* version = new QLabel(QStringLiteral("v") + texts.version + QStringLiteral(", ") + texts.date, this);
    version->setTextFormat(Qt::PlainText);
    layout->addWidget(version);
    layout->addWidget(new QLabel(QStringLiteral("Download at:"), this));
    lblLink = new LinkLabel(texts.web_address, this, [this](bool hot) { set_link_highlight(hot); },
                            [this] { download(); });
    lblLink->setObjectName(QStringLiteral("lblLink"));
    layout->addWidget(lblLink);
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    layout->addWidget(cmdOK);
    connect(cmdOK, &QPushButton::clicked, this, [this] { download(); });
    set_link_highlight(false);
}

frmUpdate::~frmUpdate() = default;

void frmUpdate::set_link_highlight(bool hot) {
    if (hot == link_hot_) return;
    link_hot_ = hot;
    QFont f = lblLink->font();
    f.setUnderline(hot);
    lblLink->setFont(f);
    lblLink->setStyleSheet(hot ? QStringLiteral("color: rgb(255, 0, 0);") : QStringLiteral("color: rgb(0, 0, 255);"));
    lblLink->setCursor(hot ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void frmUpdate::download() {
    hide();
    if (open_download_) open_download_();
    close();
}

void frmUpdate::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: download(); return;
        case Qt::Key_Escape: close(); return;
        default: QWidget::keyPressEvent(event);
    }
}

void frmUpdate::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (closed_) return;
    closed_ = true;
    if (on_closed_) on_closed_();
}
