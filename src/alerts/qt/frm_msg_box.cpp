#include "alerts/qt/frm_msg_box.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/sound.h"

namespace {
constexpr int kIconSize = 32;
constexpr int kIconAt = 11;
}  // namespace

frmMsgBox::frmMsgBox(QWidget* owner, Sound* sound, bool always_on_top)
    : QDialog(owner),
      lblError(new QLabel(this)),
      sound_(sound),
      owner_(owner),
      home_(owner),
      always_on_top_(always_on_top) {
    setWindowTitle(QStringLiteral("Error"));
    setObjectName(QStringLiteral("frmMsgBox"));
    lblError->setObjectName(QStringLiteral("lblError"));
    lblError->setWordWrap(true);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* text_row = new QHBoxLayout;
    text_row->addSpacing(kIconAt + kIconSize);  // room for the icon drawn at (11, 11)
    text_row->addWidget(lblError, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kIconAt, kIconAt, kIconAt, kIconAt);
    layout->addLayout(text_row);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
}

void frmMsgBox::set_owner(QWidget* owner) {
    if (owner == owner_) return;
    if (owner_ != nullptr && owner_ != home_) owner_->removeEventFilter(this);
    const bool was_visible = isVisible();
    if (was_visible) hide();
    owner_ = owner;
    setParent(owner, windowFlags());
    // A borrowed owner may be deleted once it is closed, and its children with it.
    if (owner != nullptr && owner != home_) owner->installEventFilter(this);
    if (was_visible) show();
}

bool frmMsgBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == owner_ && event->type() == QEvent::Hide && owner_ != home_) set_owner(home_);
    return QDialog::eventFilter(watched, event);
}

void frmMsgBox::show_message(const std::string& text, bool critical) { present(QStringLiteral("Error"), text, critical); }

void frmMsgBox::show_notice(const QString& caption, const std::string& text) { present(caption, text, false); }

namespace {

constexpr int kNarrowest = 220;
constexpr int kWidest = 480;

// The text with a non-breaking space between a number and its unit, so that "12.50 MB" or
// "80 %" is never wrapped apart.
QString units_kept_with_numbers(const QString& text) {
    static const QRegularExpression unit(
        QStringLiteral("(\\d) ((?:[KMGT]?B|[kmgt]?b|bps|%|kbps|mbps|gbps|seconds?|minutes?|days?)(?!\\w))"));
    QString out = text;
    out.replace(unit, QStringLiteral("\\1") + QChar(0x00A0) + QStringLiteral("\\2"));
    return out;
}

}  // namespace

void frmMsgBox::present(const QString& caption, const std::string& text, bool critical) {
    setWindowTitle(caption);
    text_ = QString::fromStdString(text);
    const QString shown = units_kept_with_numbers(text_);
    lblError->setText(shown);
    // The box takes the size of its text: as wide as its widest line (within limits), and as
    // high as the text needs at that width, so no line is cut off.
    int widest = 0;
    const QFontMetrics metrics(lblError->font());
    for (const QString& line : shown.split(QLatin1Char('\n'))) widest = std::max(widest, metrics.horizontalAdvance(line));
    const int width = std::clamp(widest + 4, kNarrowest, kWidest);
    lblError->setFixedSize(width, lblError->heightForWidth(width));
    critical_ = critical;
    if (sound_ != nullptr) sound_->play_system(critical ? "SystemHand" : "SystemExclamation");
    // Window-modal: the owner takes no input while the box is open, yet the caller goes on.
    setWindowModality(Qt::WindowModal);
    setWindowFlag(Qt::WindowStaysOnTopHint, always_on_top_);
    layout()->activate();
    adjustSize();
    update();
    show();
    raise();
    activateWindow();
}

QString frmMsgBox::text() const { return text_; }

void frmMsgBox::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    const QIcon icon =
        style()->standardIcon(critical_ ? QStyle::SP_MessageBoxCritical : QStyle::SP_MessageBoxWarning, nullptr, this);
    QPainter painter(this);
    painter.drawPixmap(kIconAt, kIconAt, icon.pixmap(kIconSize, kIconSize));
}

void frmMsgBox::done(int result) {
    QDialog::done(result);
    if (owner_ != nullptr && !owner_->isMinimized()) {
        owner_->activateWindow();
        // The focus goes back to where the owner keeps it (the field a refused check chose),
        // not to the owner window as a whole, where typing would go nowhere.
        QWidget* field = owner_->focusWidget();
        (field != nullptr && owner_->isAncestorOf(field) ? field : owner_.data())->setFocus(Qt::ActiveWindowFocusReason);
    }
}
