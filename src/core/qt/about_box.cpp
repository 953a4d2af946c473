#include "core/qt/about_box.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>

#include "net/update_check.h"

namespace {

// The main window's keys, as the about box lists them.
constexpr const char* kShortcutKeysHtml =
    "Keys in the main window:<table cellspacing=\"2\">"
    "<tr><td><b>1</b> to <b>9</b></td><td>show that adapter (window and tray icon)</td></tr>"
    "<tr><td><b>0</b></td><td>show the sum of the adapters (Multiple adapters)</td></tr>"
    "<tr><td><b>+</b> / <b>-</b> (keypad)</td><td>average the rates over one second more / less</td></tr>"
    "<tr><td><b>S</b></td><td>soft graph lines on or off</td></tr>"
    "<tr><td><b>L</b></td><td>lock the window's width, or free it</td></tr>"
    "<tr><td><b>Esc</b></td><td>hide the window (the tray icon brings it back)</td></tr>"
    "</table>A double click shows or hides the frame; a right click opens the menu.";

}  // namespace

QMessageBox* show_about_box(QWidget* owner) {
    auto* about = new QMessageBox(owner);
    about->setObjectName(QStringLiteral("frmAbout"));
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->setWindowTitle(QStringLiteral("About Kelvanto"));
    about->setIconPixmap(owner->windowIcon().pixmap(48, 48));
    about->setTextFormat(Qt::RichText);
    about->setTextInteractionFlags(Qt::TextBrowserInteraction);
    about->setText(QStringLiteral("<b>Kelvanto</b> %1<br><a href=\"http://%2/\">%2</a>")
                       .arg(QStringLiteral(KELVANTO_VERSION), QString::fromLatin1(kWebAddress)));
    about->setInformativeText(QString::fromLatin1(kShortcutKeysHtml));
    // Wide enough for its whole title: a narrow box has it cut short by the window manager.
    if (auto* grid = qobject_cast<QGridLayout*>(about->layout())) {
        const int title = QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(about->windowTitle());
        grid->addItem(new QSpacerItem(title + 160, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }
    about->open();
    return about;
}
