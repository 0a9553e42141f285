#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include "app/AudioControl.h"
#include "tests/app/AppFixture.h"

namespace qx::test {

// Remembers what the game asked of the program's audio.
class TRecordingAudio : public TSilentAudio {
public:
    struct TPlayed {
        std::string Name;
        int32_t Pan;
        int32_t Pct;
    };
    std::vector<TPlayed> Played;
    std::vector<std::string> Calls;  // loops and music

    void PlaySound(std::string_view name, int32_t pan, int32_t pct) override {
        if (SoundOn()) Played.push_back({std::string(name), pan, pct});
    }
    void StartLoop(std::string_view name) override { Calls.push_back("loop " + std::string(name)); }
    void StopLoop(std::string_view name) override { Calls.push_back("stop " + std::string(name)); }
    void StartMusic() override { Calls.push_back("music start"); }
    void NextMusic() override { Calls.push_back("music next"); }
    void StopMusic() override { Calls.push_back("music stop"); }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const TPlayed& p : Played) names.push_back(p.Name);
        return names;
    }
};

// A private XDG data folder (saved games, the player's brains) for one test.
class TDataHome {
public:
    TDataHome() { setenv("XDG_DATA_HOME", qPrintable(dir_.path()), 1); }
    ~TDataHome() { unsetenv("XDG_DATA_HOME"); }
    QString Path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};

// Runs the event loop (impulses and frames arrive through it) until `done`
// holds or the time is up; returns `done()`.
inline bool WaitFor(const std::function<bool()>& done, int timeoutMs = 15000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

} // namespace qx::test
