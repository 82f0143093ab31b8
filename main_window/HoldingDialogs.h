#pragma once

#include <functional>

#include "Dialogs.h"

// The platform's dialogs as the main window uses them, knowing when one is open: while a
// box, a question or a window of the main window's own is open, the meter's readings wait
// and automatic writing waits; when the last one closes, `released` runs.
class HoldingDialogs : public Dialogs {
public:
    HoldingDialogs(Dialogs& inner, std::function<void()> released)
        : m_inner(inner), m_released(std::move(released)) {}

    bool Holding() const { return m_open > 0; }

    // Holds as a box does, for as long as it lives (a window of the main window's own).
    class Hold {
    public:
        explicit Hold(HoldingDialogs& dialogs) : m_dialogs(dialogs) { ++m_dialogs.m_open; }
        ~Hold() { m_dialogs.Release(); }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        HoldingDialogs& m_dialogs;
    };

    void Message(const QString& text, MsgIcon icon, const QString& title) override {
        const Hold hold(*this);
        m_inner.Message(text, icon, title);
    }
    bool AskYesNo(const QString& text, const QString& title) override {
        const Hold hold(*this);
        return m_inner.AskYesNo(text, title);
    }
    bool AskDestructive(const QString& text, const QString& title) override {
        const Hold hold(*this);
        return m_inner.AskDestructive(text, title);
    }
    Answer AskYesNoCancel(const QString& text, const QString& title) override {
        const Hold hold(*this);
        return m_inner.AskYesNoCancel(text, title);
    }
    std::optional<QString> InputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override {
        const Hold hold(*this);
        return m_inner.InputBox(prompt, title, defaultText);
    }
    std::optional<QString> SaveFile(const QString& title, const QString& filter,
                                    const QString& proposedName, const QString& folder) override {
        const Hold hold(*this);
        return m_inner.SaveFile(title, filter, proposedName, folder);
    }

private:
    void Release() {
        if (--m_open == 0 && m_released) m_released();
    }

    Dialogs& m_inner;
    std::function<void()> m_released;
    int m_open = 0;
};
