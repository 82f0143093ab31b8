#include "SummaryReport.h"

#include <QBuffer>
#include <QChart>
#include <QGraphicsScene>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <functional>
#include <memory>

#include "SummaryChart.h"

namespace {

constexpr double kMarginMm = 15;
constexpr double kPointsPerInch = 72;
// Charts are laid out at this size in scene pixels, then scaled to the page.
constexpr QSizeF kChartScene(900, 540);
constexpr int kChartFontPixels = 14;

struct Column {
    QString Heading;
    double WidthMm;
    Qt::Alignment Align = Qt::AlignRight;
};

QString Number(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

// Writes down the page, starting a new one when the next thing does not fit.
class PageWriter {
public:
    PageWriter(QPainter& painter, QSizeF area, double dotsPerMm, std::function<bool()> newPage)
        : m_painter(painter), m_area(area), m_mm(dotsPerMm), m_newPage(std::move(newPage)) {}

    double Mm(double mm) const { return mm * m_mm; }
    bool Stopped() const { return m_stopped; }
    double Width() const { return m_area.width(); }

    // Room for `heightMm` more, on this page or the next. False when the pages stop here.
    bool Room(double heightMm) {
        if (m_stopped) return false;
        if (m_y + Mm(heightMm) <= m_area.height() - Mm(8)) return true;
        Footer();
        if (!m_newPage()) {
            m_stopped = true;
            return false;
        }
        ++m_page;
        m_y = 0;
        return true;
    }
    void Finish() {
        if (!m_stopped) Footer();
    }

    void Line(const QString& text, qreal points, bool bold = false) {
        QFont font = ReportFont(points);
        font.setBold(bold);
        const double height = points / kPointsPerInch * 25.4 * 1.6;
        if (!Room(height)) return;
        m_painter.setFont(font);
        m_painter.setPen(Qt::black);
        m_painter.drawText(QRectF(0, m_y, Width(), Mm(height)), Qt::AlignLeft | Qt::AlignVCenter,
                           text);
        m_y += Mm(height);
    }
    void Gap(double mm) { m_y += Mm(mm); }

    // A table whose heading is repeated on every page it runs over; `shades` colours rows.
    void Table(const QList<Column>& columns, const QList<QStringList>& rows,
               const QList<QColor>& shades, qreal points) {
        const double rowMm = points / kPointsPerInch * 25.4 * 1.5;
        qsizetype lines = 2;
        for (const Column& column : columns) lines = qMax(lines, column.Heading.count(u'\n') + 1);
        const double headingMm = rowMm * double(lines);
        const auto heading = [&] {
            Cells(columns, {}, QColor(0xe8, 0xe8, 0xe8), Mm(headingMm), points, true);
            m_y += Mm(headingMm);
        };
        if (!Room(headingMm + rowMm)) return;
        heading();
        for (qsizetype r = 0; r < rows.size(); ++r) {
            if (m_y + Mm(rowMm) > m_area.height() - Mm(8)) {
                if (!Room(headingMm + rowMm)) return;
                heading();
            }
            Cells(columns, rows[r], r < shades.size() ? shades[r] : QColor(), Mm(rowMm), points,
                  false);
            m_y += Mm(rowMm);
        }
    }

    // A chart scaled into the full width, `heightMm` high.
    void Chart(QChart* chart, double heightMm) {
        std::unique_ptr<QChart> owned(chart);
        if (!Room(heightMm)) return;
        QGraphicsScene scene;
        scene.addItem(owned.release());
        chart->resize(kChartScene);
        const QRectF target(0, m_y, Width(), Mm(heightMm));
        scene.render(&m_painter, target, QRectF(QPointF(0, 0), kChartScene), Qt::KeepAspectRatio);
        m_y += Mm(heightMm);
    }

private:
    void Cells(const QList<Column>& columns, const QStringList& texts, const QColor& shade,
               double height, qreal points, bool headings) {
        QFont font = ReportFont(points);
        font.setBold(headings);
        m_painter.setFont(font);
        double x = 0;
        for (qsizetype c = 0; c < columns.size(); ++c) {
            const QRectF cell(x, m_y, Mm(columns[c].WidthMm), height);
            if (shade.isValid()) m_painter.fillRect(cell, shade);
            m_painter.setPen(QPen(Qt::gray, 0));
            m_painter.drawRect(cell);
            m_painter.setPen(Qt::black);
            const QRectF inner = cell.adjusted(Mm(0.6), 0, -Mm(0.6), 0);
            // Headings are broken where they say; a long cell is cut with "…", never spilled
            // into the row below.
            const QString text = headings ? columns[c].Heading
                                          : m_painter.fontMetrics().elidedText(
                                                texts.value(c), Qt::ElideRight, int(inner.width()));
            const Qt::Alignment align = headings ? Qt::AlignCenter : columns[c].Align;
            m_painter.drawText(inner, int(align | Qt::AlignVCenter), text);
            x += cell.width();
        }
    }
    void Footer() {
        m_painter.setFont(ReportFont(8));
        m_painter.setPen(Qt::black);
        m_painter.drawText(QRectF(0, m_area.height() - Mm(6), Width(), Mm(6)), Qt::AlignCenter,
                           QStringLiteral("- %1 -").arg(m_page));
    }

    QPainter& m_painter;
    QSizeF m_area;
    double m_mm;
    std::function<bool()> m_newPage;
    double m_y = 0;
    int m_page = 1;
    bool m_stopped = false;
};

void StatisticsTable(PageWriter& page, const ClassSummary& summary) {
    const QList<Column> columns{{QStringLiteral("グループ"), 20, Qt::AlignLeft},
                                {QStringLiteral("性別"), 8, Qt::AlignCenter},
                                {QStringLiteral("人数"), 8},
                                {QStringLiteral("身長\n平均"), 10},
                                {QStringLiteral("身長\n標準\n偏差"), 10},
                                {QStringLiteral("体重\n平均"), 10},
                                {QStringLiteral("体重\n標準\n偏差"), 10},
                                {QStringLiteral("座高\n平均"), 10},
                                {QStringLiteral("座高\n標準\n偏差"), 10},
                                {QStringLiteral("高度\nやせ"), 8},
                                {QStringLiteral("やせ"), 8},
                                {QStringLiteral("普通"), 8},
                                {QStringLiteral("軽度\n肥満"), 8},
                                {QStringLiteral("中等度\n肥満"), 9},
                                {QStringLiteral("高度\n肥満"), 8},
                                {QStringLiteral("判定\nでき\nない"), 9},
                                {QStringLiteral("肥満\n傾向\n(%)"), 10},
                                {QStringLiteral("痩身\n傾向\n(%)"), 10}};
    QList<QStringList> rows;
    QList<QColor> shades;
    const auto spread = [](const Spread& s, QStringList& cells) {
        cells << (s.Count ? Number(s.Mean, 1) : QStringLiteral("—"))
              << (s.Count ? Number(s.Sd, 2) : QStringLiteral("—"));
    };
    for (const GroupRow& row : summary.Groups) {
        QStringList cells{row.Group, row.SexLabel, QString::number(row.Measured)};
        spread(row.Height, cells);
        spread(row.Weight, cells);
        spread(row.SittingHeight, cells);
        for (int count : row.Classes) cells << QString::number(count);
        cells << QString::number(row.NotJudged) << Number(row.ObeseShare(), 1)
              << Number(row.ThinShare(), 1);
        rows << cells;
        shades << (row.SexLabel == u"計" ? QColor(0xf4, 0xf4, 0xf4) : QColor());
    }
    page.Table(columns, rows, shades, 6.5);
}

void AttentionTable(PageWriter& page, const ClassSummary& summary) {
    const QList<Column> columns{{QStringLiteral("No."), 10},
                                {summary.Captions[0], 24, Qt::AlignLeft},
                                {summary.Captions[1], 24, Qt::AlignLeft},
                                {summary.Captions[2], 24, Qt::AlignLeft},
                                {QStringLiteral("性別"), 9, Qt::AlignCenter},
                                {QStringLiteral("年齢"), 9},
                                {QStringLiteral("身長\n[cm]"), 13},
                                {QStringLiteral("体重\n[kg]"), 13},
                                {QStringLiteral("標準体重\n[kg]"), 15},
                                {QStringLiteral("肥満度\n[%]"), 13},
                                {QStringLiteral("判定"), 16, Qt::AlignCenter}};
    QList<QStringList> rows;
    QList<QColor> shades;
    for (const Pupil& p : summary.Pupils) {
        if (!p.NeedsAttention()) continue;
        rows << QStringList{QString::number(p.Number),
                            p.Items[0],
                            p.Items[1],
                            p.Items[2],
                            SexText(p.PupilSex),
                            p.Age ? QString::number(*p.Age) : QString(),
                            p.Height,
                            p.Weight,
                            p.Result.StdWeightText(),
                            p.Result.ObesityText(),
                            JudgementText(p.Result.Class)};
        shades << JudgementTint(p.Result.Class);
    }
    if (rows.isEmpty())
        page.Line(QStringLiteral("該当する児童生徒はいません。"), 9);
    else
        page.Table(columns, rows, shades, 8);
}

void PaintPages(QPainter& painter, QSizeF area, double dotsPerMm,
                const std::function<bool()>& newPage, const ClassSummary& summary) {
    PageWriter page(painter, area, dotsPerMm, newPage);
    page.Line(QStringLiteral("集計・肥満度判定"), 16, true);
    page.Line(QStringLiteral("タイトル： %1　　日付： %2　　担当者： %3")
                  .arg(summary.Title, summary.MeasureDate, summary.Person),
              10);
    page.Line(ChoiceDescription(summary), 9);
    page.Line(QStringLiteral("肥満度 =（実測体重 − 身長別標準体重）÷ 身長別標準体重 × 100。"
                             "身長別標準体重は学校保健統計調査の係数による。"),
              8);
    page.Gap(3);
    page.Line(QStringLiteral("グループ別の集計"), 12, true);
    StatisticsTable(page, summary);
    page.Gap(4);
    QFont chartFont = ReportFont(9);
    chartFont.setPixelSize(kChartFontPixels);
    page.Chart(BuildSummaryChart(summary, ChartKind::Scatter, chartFont), 108);
    if (summary.Choice.GroupItem != 0)
        page.Chart(BuildSummaryChart(summary, ChartKind::Bars, chartFont), 108);
    page.Gap(4);
    page.Line(QStringLiteral("肥満傾向・痩身傾向の児童生徒（肥満度 20%以上 または −20%以下）"), 12,
              true);
    AttentionTable(page, summary);
    page.Finish();
}

}  // namespace

QFont ReportFont(qreal pointSize) {
    QFont font;
    font.setFamilies({QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP"),
                      QStringLiteral("IPAexGothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("Yu Gothic"), QStringLiteral("Meiryo"),
                      QStringLiteral("MS Gothic")});
    font.setPointSizeF(pointSize);
    return font;
}

bool PaintReport(QPagedPaintDevice& device, const ClassSummary& summary) {
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                     QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&device)) return false;
    const double dotsPerMm = device.logicalDpiX() / 25.4;
    PaintPages(
        painter, QSizeF(device.width(), device.height()), dotsPerMm,
        [&device] { return device.newPage(); }, summary);
    return painter.end();
}

FileResult WriteReportPdf(const QString& path, const ClassSummary& summary) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(300);
        writer.setCreator(QStringLiteral("Hakaron"));
        writer.setTitle(QStringLiteral("集計・肥満度判定 %1").arg(summary.Title));
        if (!PaintReport(writer, summary))
            return FileResult::Failure(path, QStringLiteral("PDFを作れませんでした"));
    }
    return FileWrite::ReplaceContents(path, buffer.data());
}

QImage ReportFirstPage(const ClassSummary& summary, int dpi) {
    const double dotsPerMm = dpi / 25.4;
    const QSizeF a4 = QPageSize(QPageSize::A4).size(QPageSize::Millimeter) * dotsPerMm;
    QImage image(a4.toSize(), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dotsPerMm * 1000));
    image.setDotsPerMeterY(qRound(dotsPerMm * 1000));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(kMarginMm * dotsPerMm, kMarginMm * dotsPerMm);
    const QSizeF area = a4 - QSizeF(2, 2) * kMarginMm * dotsPerMm;
    PaintPages(
        painter, area, dotsPerMm, [] { return false; }, summary);
    return image;
}
