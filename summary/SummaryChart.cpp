#include "SummaryChart.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMap>
#include <QPen>
#include <QScatterSeries>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <array>
#include <cstdlib>
#include <optional>
#include <utility>

namespace {

const QString kWholeSet = QStringLiteral("全体");

QValueAxis* Axis(const QString& title, const QFont& font) {
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setTitleFont(font);
    axis->setLabelsFont(font);
    return axis;
}

// The sex and age most pupils judged have, with their count; empty when none was judged.
std::optional<std::pair<Sex, int>> MostCommonSexAndAge(const ClassSummary& summary) {
    QMap<std::pair<int, int>, int> counts;
    for (const Pupil& pupil : summary.Pupils)
        if (pupil.Result.Judged)
            ++counts[{static_cast<int>(pupil.PupilSex), pupil.Age.value_or(0)}];
    std::optional<std::pair<Sex, int>> most;
    int best = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > best) {
            best = it.value();
            most = std::pair(Sex(it.key().first), it.key().second);
        }
    return most;
}

// The weights of +20 % and −20 % over the heights shown, for the most common sex and age: the
// reader sees where the classes begin.
void TendencyLines(QChart& chart, const ClassSummary& summary, double low, double high,
                   QValueAxis* x, QValueAxis* y) {
    const auto most = MostCommonSexAndAge(summary);
    if (!most) return;
    const std::optional<Coefficients> c = CoefficientsFor(most->first, most->second);
    if (!c) return;
    const QString who = QStringLiteral("%1歳%2子").arg(most->second).arg(SexText(most->first));
    for (const int percent : {20, -20}) {
        auto* line = new QLineSeries;
        line->setName(QStringLiteral("肥満度%1%2%（%3）")
                          .arg(percent > 0 ? QStringLiteral("+") : QStringLiteral("−"))
                          .arg(std::abs(percent))
                          .arg(who));
        for (const double h : {low, high}) {
            const double standard = c->AMilli / 1000.0 * h - c->BMilli / 1000.0;
            line->append(h, standard * (100 + percent) / 100);
        }
        QPen pen(percent > 0 ? JudgementColor(Judgement::MildObese).darker(130)
                             : JudgementColor(Judgement::Thin).darker(130));
        pen.setStyle(Qt::DashLine);
        pen.setWidthF(1.5);
        line->setPen(pen);
        chart.addSeries(line);
        line->attachAxis(x);
        line->attachAxis(y);
    }
}

void ScatterSeries(QChart& chart, const ClassSummary& summary, const QFont& font) {
    std::array<QScatterSeries*, JudgementCount + 1> series{};  // the last: not judged
    for (int i = 0; i <= JudgementCount; ++i) {
        const std::optional<Judgement> judgement =
            i < JudgementCount ? std::optional(Judgement(i)) : std::nullopt;
        series[i] = new QScatterSeries;
        series[i]->setName(judgement ? JudgementText(*judgement) : kNotJudged);
        series[i]->setColor(JudgementColor(judgement));
        series[i]->setBorderColor(JudgementColor(judgement).darker(130));
        series[i]->setMarkerSize(7);
    }
    double low = 1e9, high = -1e9, light = 1e9, heavy = -1e9;
    for (const Pupil& pupil : summary.Pupils) {
        const std::optional<qint64> h = TenThousandths(pupil.Height);
        const std::optional<qint64> w = TenThousandths(pupil.Weight);
        // An impossible reading would stretch the axes over nothing but itself.
        if (!h || !w || *h == 0 || *w == 0 || pupil.LeftOut()) continue;
        const QPointF point(*h / 10000.0, *w / 10000.0);
        const int index =
            pupil.Result.Judged ? static_cast<int>(pupil.Result.Class) : JudgementCount;
        series[index]->append(point);
        low = qMin(low, point.x());
        high = qMax(high, point.x());
        light = qMin(light, point.y());
        heavy = qMax(heavy, point.y());
    }
    QValueAxis* x = Axis(QStringLiteral("身長[cm]"), font);
    QValueAxis* y = Axis(QStringLiteral("体重[kg]"), font);
    if (low <= high) {
        x->setRange(low - 2, high + 2);
        y->setRange(qMax(0.0, light - 2), heavy + 2);
        x->applyNiceNumbers();
        y->applyNiceNumbers();
    }
    chart.addAxis(x, Qt::AlignBottom);
    chart.addAxis(y, Qt::AlignLeft);
    for (QScatterSeries* s : series) {
        chart.addSeries(s);
        s->attachAxis(x);
        s->attachAxis(y);
        // An empty class keeps its series (the colours stay put) but leaves the legend.
        if (s->count() == 0) chart.legend()->markers(s).first()->setVisible(false);
    }
    if (low <= high) TendencyLines(chart, summary, x->min(), x->max(), x, y);
    chart.setTitle(QStringLiteral("身長と体重（判定別）"));
}

void BarSeries(QChart& chart, const ClassSummary& summary, const QFont& font) {
    QStringList groups;
    QList<const GroupRow*> totals;
    for (const GroupRow& row : summary.Groups)
        if (row.SexLabel == u"計" && (row.Group != kWholeSet || summary.Groups.size() <= 3)) {
            groups << row.Group;
            totals << &row;
        }
    auto* series = new QStackedBarSeries;
    int most = 0;
    for (int i = 0; i < JudgementCount; ++i) {
        auto* set = new QBarSet(JudgementText(Judgement(i)));
        set->setColor(JudgementColor(Judgement(i)));
        set->setLabelFont(font);
        for (const GroupRow* row : totals) *set << row->Classes[i];
        series->append(set);
    }
    for (const GroupRow* row : totals) most = qMax(most, row->Judged);
    chart.addSeries(series);
    auto* x = new QBarCategoryAxis;
    x->append(groups);
    x->setLabelsFont(font);
    QValueAxis* y = Axis(QStringLiteral("人数"), font);
    y->setRange(0, qMax(most, 1));
    y->setLabelFormat(QStringLiteral("%d"));
    y->applyNiceNumbers();
    chart.addAxis(x, Qt::AlignBottom);
    chart.addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    chart.setTitle(QStringLiteral("判定別の人数（グループ別）"));
}

}  // namespace

QColor JudgementColor(std::optional<Judgement> judgement) {
    if (!judgement) return QColor(0x9e, 0x9e, 0x9e);
    static const std::array<QColor, JudgementCount> kColours{
        QColor(0x1f, 0x4e, 0xa8), QColor(0x5d, 0xa5, 0xe8), QColor(0x4c, 0xaf, 0x50),
        QColor(0xf2, 0xc1, 0x2e), QColor(0xf0, 0x7c, 0x1e), QColor(0xd3, 0x2f, 0x2f)};
    return kColours[static_cast<int>(*judgement)];
}

QColor JudgementTint(Judgement judgement) {
    const QColor c = JudgementColor(judgement);
    const auto pale = [](int v) { return (v + 3 * 255) / 4; };
    return QColor(pale(c.red()), pale(c.green()), pale(c.blue()));
}

QChart* BuildSummaryChart(const ClassSummary& summary, ChartKind kind, const QFont& font) {
    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setFont(font);
    QFont titleFont = font;
    titleFont.setBold(true);
    chart->setTitleFont(titleFont);
    chart->legend()->setFont(font);
    chart->legend()->setAlignment(Qt::AlignBottom);
    if (kind == ChartKind::Scatter)
        ScatterSeries(*chart, summary, font);
    else
        BarSeries(*chart, summary, font);
    return chart;
}
