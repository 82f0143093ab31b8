#pragma once

#include <QApplication>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <functional>

// Acts on the next `count` modal windows, each from inside its own event loop (a dialog closed
// before its exec() loop has started would leave that loop running forever). It lives on the
// test function's stack: its timer stops when the test ends, so it never acts in a later test.
// It keeps polling after the last window, to act again on one that did not close.
class ModalDriver {
public:
    using Action = std::function<void(QWidget* modal, int index)>;

    ModalDriver(int count, Action act)
        : m_count(count),
          m_act(std::move(act)),
          m_baseLevel(QThread::currentThread()->loopLevel()) {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
        m_timer.start();
    }
    // One modal window.
    explicit ModalDriver(std::function<void(QWidget*)> act)
        : ModalDriver(1, [act = std::move(act)](QWidget* w, int) { act(w); }) {}
    ~ModalDriver() { m_timer.stop(); }
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    // How many modal windows it has acted on.
    int Seen() const { return m_seen; }

private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || QThread::currentThread()->loopLevel() <= m_baseLevel) return;
        if (modal->property("ModalDriverActed").toBool()) {
            // A real file dialog loads its folder in the background and may swallow an
            // early accept: acting again on a window that stays open is harmless.
            if (modal == m_current && ++m_pollsOnCurrent % 50 == 0) m_act(modal, m_currentIndex);
            return;
        }
        if (m_seen == m_count) return;
        modal->setProperty("ModalDriverActed", true);
        m_current = modal;
        m_pollsOnCurrent = 0;
        m_currentIndex = m_seen++;
        m_act(modal, m_currentIndex);
    }

    QTimer m_timer;
    int m_count;
    int m_seen = 0;
    Action m_act;
    int m_baseLevel;
    QPointer<QWidget> m_current;
    int m_pollsOnCurrent = 0;
    int m_currentIndex = 0;
};
