// Small helpers shared by the tests.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTest>
#include <QWidget>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <unistd.h>

#include "framework/Controls.h"
#include "framework/Gate.h"

namespace testing_support {

// Lets the event loop run (timers, coalesced repaints, hand-overs) until pred holds.
inline bool WaitFor(const std::function<bool()>& pred, int ms = 5000) {
    return QTest::qWaitFor([&] { return pred(); }, ms);
}

// Reads a value of the program's state on the gate, between two steps of any engine.
template <class F>
auto OnGate(F f) {
    fw::Gate::Hold hold;
    return f();
}

inline void Click(const fw::Ref<fw::RectControl>& control) {
    QWidget* w = control->Widget();
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(w->width() / 2, w->height() / 2));
}

// A program run to its end, headless: its exit status (-1 when it crashed) and output.
struct Outcome {
    int status;
    QString out, err;
};

inline Outcome RunProgram(const QString& program, const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    if (!env.contains("XDG_RUNTIME_DIR")) env.insert("XDG_RUNTIME_DIR", QDir::tempPath());
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(20000)) p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

// Captures what is written to stderr while it lives.
class StderrCapture {
public:
    StderrCapture() {
        std::fflush(stderr);
        saved_ = dup(2);
        std::snprintf(path_, sizeof path_, "/tmp/velmora-stderr-XXXXXX");
        fd_ = mkstemp(path_);
        dup2(fd_, 2);
    }
    ~StderrCapture() {
        Restore();
        unlink(path_);
    }
    std::string Text() {
        std::fflush(stderr);
        std::ifstream in(path_);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    void Restore() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        dup2(saved_, 2);
        close(saved_);
        close(fd_);
        saved_ = -1;
    }

private:
    char path_[64];
    int saved_ = -1;
    int fd_ = -1;
};

}  // namespace testing_support
