#include "SummaryChart.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QLegend>
#include <QLegendMarker>
#include <QScatterSeries>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <array>

namespace {

const QString kWholeSet = QStringLiteral("全体");

QValueAxis* Axis(const QString& title, const QFont& font) {
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setTitleFont(font);
    axis->setLabelsFont(font);
    return axis;
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
        if (!h || !w || *h == 0 || *w == 0) continue;
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
