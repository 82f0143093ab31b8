#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTest>
#include <deque>
#include <functional>
#include <optional>

#include "Dialogs.h"

// Records every dialog call and answers from a script. A question without a scripted
// answer fails the running test.
class DialogsDouble : public Dialogs {
public:
    struct Entry {
        QString Kind;  // "message", "question", "input", "save"
        QString Title;
        MsgIcon Icon = MsgIcon::None;
        QString Text;
        QString Default;  // of a question: the answer Enter gives, "yes", "no" or "cancel"
    };

    void Message(const QString& text, MsgIcon icon, const QString& title) override {
        Transcript.append({QStringLiteral("message"), title, icon, text, {}});
        if (OnMessage) OnMessage(text);
    }
    bool AskYesNo(const QString& text, const QString& title) override {
        return YesNo(text, title, QStringLiteral("yes"));
    }
    bool AskDestructive(const QString& text, const QString& title) override {
        return YesNo(text, title, QStringLiteral("no"));
    }
    Answer AskYesNoCancel(const QString& text, const QString& title) override {
        Transcript.append({QStringLiteral("question"), title, MsgIcon::None, text, "cancel"});
        if (OnQuestion) OnQuestion(text);
        if (ThreeWayAnswers.empty()) {
            QTest::qFail(qPrintable(QStringLiteral("unexpected question: ") + text), __FILE__,
                         __LINE__);
            return Answer::Cancel;
        }
        const Answer answer = ThreeWayAnswers.front();
        ThreeWayAnswers.pop_front();
        return answer;
    }
    bool YesNo(const QString& text, const QString& title, const QString& byDefault) {
        Transcript.append({QStringLiteral("question"), title, MsgIcon::None, text, byDefault});
        if (OnQuestion) OnQuestion(text);
        if (Answers.empty()) {
            QTest::qFail(qPrintable(QStringLiteral("unexpected question: ") + text), __FILE__,
                         __LINE__);
            return false;
        }
        const bool yes = Answers.front();
        Answers.pop_front();
        return yes;
    }
    std::optional<QString> InputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override {
        Transcript.append({QStringLiteral("input"), title, MsgIcon::None, prompt, {}});
        InputDefaults << defaultText;
        return Next(Inputs);
    }
    std::optional<QString> SaveFile(const QString& title, const QString& filter,
                                    const QString& proposedName, const QString& folder) override {
        SaveFolder = folder;
        Transcript.append(
            {QStringLiteral("save"), title, MsgIcon::None, filter + u'|' + proposedName, {}});
        return Next(SavePaths);
    }

    static std::optional<QString> Next(std::deque<std::optional<QString>>& script) {
        if (script.empty() || !script.front().has_value()) {
            if (!script.empty()) script.pop_front();
            return std::nullopt;
        }
        const QString text = *script.front();
        script.pop_front();
        return text;
    }

    // The texts of all calls, in order.
    QStringList Texts() const {
        QStringList texts;
        for (const auto& e : Transcript) texts << e.Text;
        return texts;
    }
    void Clear() { Transcript.clear(); }

    QList<Entry> Transcript;
    std::deque<bool> Answers;
    std::deque<Answer> ThreeWayAnswers;  // for AskYesNoCancel
    std::deque<std::optional<QString>> Inputs;
    std::deque<std::optional<QString>> SavePaths;
    QStringList InputDefaults;                       // the text each input box opened with
    QString SaveFolder;                              // where the last save dialog opened
    std::function<void(const QString&)> OnMessage;   // runs inside a message, like its event loop
    std::function<void(const QString&)> OnQuestion;  // runs inside a question
};
