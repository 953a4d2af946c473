#pragma once

#include <QDBusUnixFileDescriptor>
#include <QObject>

// Tells when the machine is about to sleep, from logind's PrepareForSleep signal on the system
// bus. While it watches it holds a "delay" inhibitor lock, so that the machine waits the few
// milliseconds the program needs to save before it sleeps; the lock is given back as soon as
// about_to_sleep() has been handled and taken again after waking. Without a system bus or
// logind it does nothing.
class SleepWatcher : public QObject {
    Q_OBJECT
public:
    explicit SleepWatcher(QObject* parent = nullptr);
    bool watching() const { return watching_; }

signals:
    void about_to_sleep();
    void woke();

private slots:
    void PrepareForSleep(bool sleeping);

private:
    void take_delay_lock();

    bool watching_ = false;
    QDBusUnixFileDescriptor delay_lock_;
};
