#include "MeasuringState.h"

#include "RecordNumbering.h"

void MeasuringState::Loaded(const MeasureValues& values, const Names& names) {
    m_loadedValues = values;
    m_loadedNames = names;
    m_height = m_weight = m_anyValue = false;
}

bool MeasuringState::IsUnsaved(const MeasureValues& values, const Names& names) const {
    return values != m_loadedValues || names != m_loadedNames;
}

void MeasuringState::ValueArrived(MeasuredQuantity quantity) {
    m_anyValue = true;
    if (quantity == MeasuredQuantity::Height) m_height = true;
    if (quantity == MeasuredQuantity::Weight) m_weight = true;
}

QString MeasuringState::Missing() const {
    if (!m_height && !m_weight) return QStringLiteral("身長と体重");
    if (!m_height) return QStringLiteral("身長");
    if (!m_weight) return QStringLiteral("体重");
    return QString();
}

QString MeasuringState::Who(int number, const Names& names) {
    QString who = QStringLiteral("No.%1").arg(number);
    for (const QString& name : names)
        if (!name.trimmed().isEmpty()) return who + u' ' + name.trimmed();
    return who;
}

QString MeasuringState::CountdownText(const QString& who, int secondsLeft) {
    return QStringLiteral("%1 に %2 秒後に書き込みます").arg(who).arg(secondsLeft);
}

QString MeasuringState::WaitingText(const QString& who, const QString& missing) {
    return QStringLiteral("%1 は%2を待っています（そろうと自動で書き込みます）").arg(who, missing);
}

QString MeasuringState::ProgressText(const QList<bool>& measured) {
    const auto done = measured.count(true);
    const int next = RecordNumbering::NextUnmeasuredIndex(measured) + 1;
    return QStringLiteral("測定済み %1 / %2 名　次の未測定: No.%3")
        .arg(done)
        .arg(measured.size())
        .arg(next);
}
