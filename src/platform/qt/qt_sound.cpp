#include "platform/qt/qt_sound.h"

#include <QApplication>
#include <QUrl>

#ifdef KELVANTO_HAVE_MULTIMEDIA
#include <QSoundEffect>
#endif

QtSound::QtSound() = default;
QtSound::~QtSound() = default;

void QtSound::play_file(const std::string& path) {
#ifdef KELVANTO_HAVE_MULTIMEDIA
    if (path.empty()) return;
    effect_ = std::make_unique<QSoundEffect>();
    effect_->setSource(QUrl::fromLocalFile(QString::fromStdString(path)));
    effect_->play();
#else
    (void)path;
    QApplication::beep();
#endif
}

void QtSound::play_system(const std::string& /*alias*/) {
    QApplication::beep();
}
