#include "MeasuringState.h"

#include <algorithm>

#include "mdlStandard.h"

using RecordNumbering::RecordState;

void MeasuringState::Loaded(const MeasureValues& values, const Names& names) {
    m_loadedValues = values;
    m_loadedNames = names;
    m_readings.clear();
    m_height = m_weight = m_anyValue = false;
}

MeasureValues MeasuringState::AsShown(MeasureValues values) {
    for (Text10* field : {&values.SittingHeight, &values.Height, &values.Bmi, &values.Weight}) {
        QString text = field->Trimmed();
        EnsureDecimal(text);
        *field = text;
    }
    return values;
}

MeasureValues MeasuringState::WithReading(MeasureValues values, MeasuredQuantity kind,
                                          const QString& value) {
    if (kind == MeasuredQuantity::SittingHeight) {
        values.SittingHeight = value;
        return values;
    }
    (kind == MeasuredQuantity::Height ? values.Height : values.Weight) = value;
    const WeightIndices i = ComputeWeightIndices(values.Height.Value(), values.Weight.Value());
    values.Bmi = i.Bmi;
    values.BmiStdWeight = i.BmiStdWeight;
    values.HibiStdWeightMale = i.HibiStdWeightMale;
    values.HibiStdWeightFemale = i.HibiStdWeightFemale;
    values.HibiObesityMale = i.HibiObesityMale;
    values.HibiObesityFemale = i.HibiObesityFemale;
    return values;
}

void MeasuringState::StartOver() {
    m_readings.clear();
    m_height = m_weight = m_anyValue = false;
}

bool MeasuringState::IsUnsaved(const MeasureValues& values, const Names& names) const {
    return values != m_loadedValues || names != m_loadedNames;
}

bool MeasuringState::Has(MeasuredQuantity kind) const {
    return std::any_of(m_readings.begin(), m_readings.end(),
                       [kind](const Reading& r) { return r.Kind == kind; });
}

MeasuringState::Arrival MeasuringState::OnArrival(MeasuredQuantity kind, bool writePending) const {
    const bool length = kind != MeasuredQuantity::Weight;
    // A weight before the length (command mode asks in any order) still waits for its length.
    const bool whole = Has(MeasuredQuantity::Weight) &&
                       (Has(MeasuredQuantity::Height) || Has(MeasuredQuantity::SittingHeight));
    if (length && whole) return writePending ? Arrival::WritePreviousFirst : Arrival::ReplacePerson;
    return Has(kind) ? Arrival::ReplaceSame : Arrival::Store;
}

QList<MeasuringState::Reading> MeasuringState::ReplacedBy(Arrival arrival,
                                                          MeasuredQuantity kind) const {
    if (arrival == Arrival::ReplacePerson) return m_readings;
    QList<Reading> same;
    if (arrival == Arrival::ReplaceSame)
        for (const Reading& r : m_readings)
            if (r.Kind == kind) same << r;
    return same;
}

void MeasuringState::Take(const Reading& reading) {
    m_readings << reading;
}

void MeasuringState::Drop(const QList<Reading>& readings) {
    m_readings.removeIf([&](const Reading& r) {
        return std::any_of(readings.begin(), readings.end(),
                           [&](const Reading& d) { return d.Id == r.Id; });
    });
}

QList<int> MeasuringState::Ids(const QList<Reading>& readings) {
    QList<int> ids;
    for (const Reading& r : readings) ids << r.Id;
    return ids;
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

MeasuringState::Names MeasuringState::NamesOf(const MeasureRecord& record) {
    return {record.SubLabel1.Trimmed(), record.SubLabel2.Trimmed(), record.SubLabel3.Trimmed()};
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
    return QStringLiteral("%1 は%2待ち（そろうと自動で書き込みます）").arg(who, missing);
}

QString MeasuringState::ProgressText(const QList<RecordState>& states) {
    const int people = RecordNumbering::PeopleCount(states);
    const auto done = states.count(RecordState::Measured);
    const auto partial = states.count(RecordState::Partial);
    const int next = RecordNumbering::NextUnmeasuredIndex(states) + 1;
    const QString part = partial > 0 ? QStringLiteral("（一部のみ %1）").arg(partial) : QString();
    return QStringLiteral("測定済み %1 / %2 名%3　次の未測定: No.%4")
        .arg(done)
        .arg(people)
        .arg(part)
        .arg(next);
}

namespace {
QString ValuePart(MeasuredQuantity kind, QString value) {
    value = value.trimmed();
    EnsureDecimal(value);
    switch (kind) {
        case MeasuredQuantity::Height:
            return value + QStringLiteral(" cm");
        case MeasuredQuantity::SittingHeight:
            return QStringLiteral("座高 ") + value + QStringLiteral(" cm");
        case MeasuredQuantity::Weight:
            return value + QStringLiteral(" kg");
    }
    return value;
}
}  // namespace

QString MeasuringState::ValuesText(const QList<Reading>& readings) {
    QStringList parts;
    for (const MeasuredQuantity kind :
         {MeasuredQuantity::Height, MeasuredQuantity::SittingHeight, MeasuredQuantity::Weight})
        for (const Reading& r : readings)
            if (r.Kind == kind) parts << ValuePart(kind, r.Value);
    return parts.join(QStringLiteral(" / "));
}

QString MeasuringState::ValuesText(const MeasureValues& values) {
    QList<Reading> readings;
    if (!values.Height.IsBlank())
        readings << Reading{MeasuredQuantity::Height, values.Height.Trimmed()};
    if (!values.SittingHeight.IsBlank())
        readings << Reading{MeasuredQuantity::SittingHeight, values.SittingHeight.Trimmed()};
    if (!values.Weight.IsBlank())
        readings << Reading{MeasuredQuantity::Weight, values.Weight.Trimmed()};
    return ValuesText(readings);
}

QString MeasuringState::NotWrittenText(const QList<Reading>& readings) {
    return QStringLiteral("前の測定値（%1）は書き込まれていません（受信履歴にあります）")
        .arg(ValuesText(readings));
}

QString MeasuringState::AskOverwrite(const QString& who, const MeasureValues& stored) {
    const QString values = ValuesText(stored);
    return QStringLiteral("%1 には測定値があります%2。上書きしますか？")
        .arg(who, values.isEmpty() ? QString() : u'（' + values + u'）');
}

QString MeasuringState::AskSaveUnsaved(const QString& who) {
    return QStringLiteral("%1 の測定値が保存されていません。保存しますか？").arg(who);
}
