#pragma once

#include <QObject>
#include <memory>

#include "platform/sound.h"

class QSoundEffect;

// WAV files through QSoundEffect (when Qt Multimedia is there); system sounds as the
// desktop's beep.
class QtSound : public Sound {
public:
    QtSound();
    ~QtSound() override;
    void play_file(const std::string& path) override;
    void play_system(const std::string& alias) override;

private:
    std::unique_ptr<QSoundEffect> effect_;  // kept alive while it plays
};
