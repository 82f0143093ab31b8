#pragma once

#include <QColor>
#include <QFont>

#include "ClassSummary.h"

class QChart;

enum class ChartKind { Scatter, Bars };

// The colour of a class on screen and on paper; 判定できません is grey.
QColor JudgementColor(std::optional<Judgement> judgement);
// The same colour, pale enough to shade a row under black text.
QColor JudgementTint(Judgement judgement);

// Height against weight, one colour per class (Scatter), or the classes stacked per group
// (Bars). A new chart without a parent: the view or scene that shows it takes it. `font`
// is used for every text of the chart.
QChart* BuildSummaryChart(const ClassSummary& summary, ChartKind kind, const QFont& font);
