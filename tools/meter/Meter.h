#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <optional>

#include "MeterProtocol.h"

class QSocketNotifier;

struct MeterOptions {
    enum class Mode { Command, Manual };
    Mode OperationMode = Mode::Command;
    meter::Readings Readings;
    double IntervalSeconds = 5.0;
    bool Sitting = false;
    quint32 Seed = 1;
    QList<meter::ScriptStep> Script;
    bool HasScript = false;
    double UnplugAfterSeconds = -1;  // < 0: never
    int Count = 0;                   // 0: no limit
    bool ExitWhenDone = false;
    QString Device;  // empty: a new pseudo-terminal
    QString Link;
    bool Silent = false;  // the line is open, but nothing is answered or sent on its own
    bool Verbose = false;
};

// The running virtual meter: owns the line, the link and the timers.
class Meter : public QObject {
    Q_OBJECT
public:
    explicit Meter(MeterOptions options, QObject* parent = nullptr);
    ~Meter() override;

    // Opens the line and makes the link; the error text on failure.
    std::optional<QString> Start();
    // The device the program should open.
    QString DevicePath() const { return m_devicePath; }
    // Closes the line. The link stays, as a real adapter's name does.
    void Stop();

signals:
    void Finished();
    // A script's replug step opened a new line on `device` behind the same link.
    void Replugged(const QString& device);

private slots:
    void line_Readable();
    void manualTimer_Timeout();
    void RunScript();
    void Unplug();

private:
    std::optional<QString> OpenLine();
    void CloseLine();
    void Replug(int milliseconds);
    std::optional<QString> OpenPseudoTerminal();
    std::optional<QString> OpenDevice();
    std::optional<QString> MakeLink();
    bool PointLinkAt(const QString& target) const;
    void Send(const QByteArray& bytes);
    void Log(const QString& text) const;
    void Done();

    MeterOptions m_options;
    int m_fd = -1;       // our end of the line
    int m_slaveFd = -1;  // held open so the pty survives the program closing its end
    QString m_devicePath;
    QSocketNotifier* m_notifier = nullptr;
    meter::CommandSplitter m_splitter;
    meter::PersonGenerator m_people;
    int m_peopleSent = 0;
    QTimer m_manualTimer;
    QTimer m_scriptTimer;
    qsizetype m_scriptStep = 0;
    QByteArray m_waitingFor;  // the command a script "wait" step waits for
};
