#include "SummaryReport.h"

#include <QBuffer>
#include <QChart>
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <algorithm>
#include <functional>
#include <memory>

#include "PdfTextLayer.h"
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

// Writes down the page, starting a new one when the next thing does not fit. A dry writer
// paints nothing and only counts the pages, so that every page can say "n / N".
class PageWriter {
public:
    PageWriter(QPainter* painter, QSizeF area, double dotsPerMm, std::function<bool()> newPage,
               QString footer, int pages)
        : m_painter(painter),
          m_area(area),
          m_mm(dotsPerMm),
          m_newPage(std::move(newPage)),
          m_footer(std::move(footer)),
          m_pages(pages) {}

    double Mm(double mm) const { return mm * m_mm; }
    bool Stopped() const { return m_stopped; }
    double Width() const { return m_area.width(); }
    int Page() const { return m_page; }

    // Room for `heightMm` more, on this page or the next. False when the pages stop here.
    bool Room(double heightMm) {
        if (m_stopped) return false;
        if (m_y + Mm(heightMm) <= m_area.height() - Mm(8)) return true;
        return NewPage();
    }
    // The rest of this page stays empty.
    bool NewPage() {
        if (m_stopped) return false;
        Footer();
        if (m_painter && !m_newPage()) {
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
        const double height = points / kPointsPerInch * 25.4 * 1.6;
        if (!Room(height)) return;
        if (m_painter) {
            QFont font = ReportFont(points);
            font.setBold(bold);
            m_painter->setFont(font);
            m_painter->setPen(Qt::black);
            m_painter->drawText(QRectF(0, m_y, Width(), Mm(height)),
                                Qt::AlignLeft | Qt::AlignVCenter, text);
        }
        m_y += Mm(height);
    }
    // Text broken into as many lines as the width needs.
    void Paragraph(const QString& text, qreal points) {
        // Measured with one pixel per point: the same breaks on paper, PDF and screen.
        QFont font = ReportFont(points);
        font.setPixelSize(qRound(points));
        const QFontMetricsF metrics(font);
        const double widthPoints = Width() / m_mm / 25.4 * kPointsPerInch;
        for (const QString& paragraph : text.split(u'\n')) {
            QString rest = paragraph;
            do {
                qsizetype fits = rest.size();
                while (fits > 1 && metrics.horizontalAdvance(rest.left(fits)) > widthPoints) --fits;
                Line(rest.left(fits), points);
                rest = rest.mid(fits);
            } while (!rest.isEmpty());
        }
    }
    void Gap(double mm) { m_y += Mm(mm); }

    // A box to sign in, with its caption, at the right.
    void SignatureBox(const QString& caption) {
        if (!Room(24)) return;
        const QRectF box(Width() - Mm(70), m_y + Mm(2), Mm(70), Mm(20));
        if (m_painter) {
            m_painter->setPen(QPen(Qt::black, 0));
            m_painter->drawRect(box);
            m_painter->drawLine(QPointF(box.left(), box.top() + Mm(6)),
                                QPointF(box.right(), box.top() + Mm(6)));
            m_painter->setFont(ReportFont(9));
            m_painter->drawText(QRectF(box.left(), box.top(), box.width(), Mm(6)), Qt::AlignCenter,
                                caption);
            m_painter->setFont(ReportFont(8));
            m_painter->drawText(box.adjusted(Mm(2), Mm(7), -Mm(2), -Mm(1)),
                                Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("　年　月　日"));
        }
        m_y += Mm(24);
    }

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

    // A chart scaled into the full width, `heightMm` high; made only when it is painted.
    void Chart(const std::function<QChart*()>& make, double heightMm) {
        if (!Room(heightMm)) return;
        if (m_painter) {
            QGraphicsScene scene;
            QChart* chart = make();
            scene.addItem(chart);  // the scene deletes it
            chart->resize(kChartScene);
            const QRectF target(0, m_y, Width(), Mm(heightMm));
            scene.render(m_painter, target, QRectF(QPointF(0, 0), kChartScene),
                         Qt::KeepAspectRatio);
        }
        m_y += Mm(heightMm);
    }

private:
    void Cells(const QList<Column>& columns, const QStringList& texts, const QColor& shade,
               double height, qreal points, bool headings) {
        if (!m_painter) return;
        QFont font = ReportFont(points);
        font.setBold(headings);
        m_painter->setFont(font);
        double x = 0;
        for (qsizetype c = 0; c < columns.size(); ++c) {
            const QRectF cell(x, m_y, Mm(columns[c].WidthMm), height);
            if (shade.isValid()) m_painter->fillRect(cell, shade);
            m_painter->setPen(QPen(Qt::gray, 0));
            m_painter->drawRect(cell);
            m_painter->setPen(Qt::black);
            const QRectF inner = cell.adjusted(Mm(0.6), 0, -Mm(0.6), 0);
            // Headings are broken where they say; a long cell is cut with "…", never spilled
            // into the row below.
            const QString text = headings ? columns[c].Heading
                                          : m_painter->fontMetrics().elidedText(
                                                texts.value(c), Qt::ElideRight, int(inner.width()));
            const Qt::Alignment align = headings ? Qt::AlignCenter : columns[c].Align;
            m_painter->drawText(inner, int(align | Qt::AlignVCenter), text);
            x += cell.width();
        }
    }
    void Footer() {
        if (!m_painter) return;
        m_painter->setFont(ReportFont(8));
        m_painter->setPen(Qt::black);
        const QRectF line(0, m_area.height() - Mm(6), Width(), Mm(6));
        m_painter->drawText(line, Qt::AlignLeft | Qt::AlignVCenter, m_footer);
        m_painter->drawText(line, Qt::AlignRight | Qt::AlignVCenter,
                            QStringLiteral("%1 / %2").arg(m_page).arg(m_pages));
    }

    QPainter* m_painter;
    QSizeF m_area;
    double m_mm;
    std::function<bool()> m_newPage;
    QString m_footer;
    int m_pages;
    double m_y = 0;
    int m_page = 1;
    bool m_stopped = false;
};

void StatisticsTable(PageWriter& page, const ClassSummary& summary) {
    const QList<Column> columns{{QStringLiteral("グループ"), 19, Qt::AlignLeft},
                                {QStringLiteral("性別"), 8, Qt::AlignCenter},
                                {QStringLiteral("人数"), 8},
                                {QStringLiteral("身長\n平均"), 10},
                                {QStringLiteral("身長\n標準\n偏差"), 9},
                                {QStringLiteral("体重\n平均"), 10},
                                {QStringLiteral("体重\n標準\n偏差"), 9},
                                {QStringLiteral("座高\n平均"), 10},
                                {QStringLiteral("座高\n標準\n偏差"), 9},
                                {QStringLiteral("高度\nやせ"), 8},
                                {QStringLiteral("やせ"), 8},
                                {QStringLiteral("普通"), 8},
                                {QStringLiteral("軽度\n肥満"), 8},
                                {QStringLiteral("中等度\n肥満"), 9},
                                {QStringLiteral("高度\n肥満"), 8},
                                {QStringLiteral("判定\nでき\nない"), 8},
                                {QStringLiteral("肥満\n傾向\n(%)"), 9},
                                {QStringLiteral("痩身\n傾向\n(%)"), 9},
                                {QStringLiteral("除外\n要確認"), 8}};
    QList<QStringList> rows;
    QList<QColor> shades;
    const auto spread = [](const Spread& s, QStringList& cells) {
        cells << (s.Count ? DecimalText(s.Mean, 1) : QStringLiteral("—"))
              << (s.Count ? DecimalText(s.Sd, 2) : QStringLiteral("—"));
    };
    for (const GroupRow& row : summary.Groups) {
        QStringList cells{row.Group, row.SexLabel, QString::number(row.Measured)};
        spread(row.Height, cells);
        spread(row.Weight, cells);
        spread(row.SittingHeight, cells);
        for (int count : row.Classes) cells << QString::number(count);
        cells << QString::number(row.NotJudged) << DecimalText(row.ObeseShare(), 1)
              << DecimalText(row.ThinShare(), 1) << QString::number(row.LeftOut);
        rows << cells;
        shades << (row.SexLabel == u"計" ? QColor(0xf4, 0xf4, 0xf4) : QColor());
    }
    page.Table(columns, rows, shades, 6.5);
}

QList<Column> PupilColumns(const ClassSummary& summary, const QString& last, double lastMm) {
    return {{QStringLiteral("No."), 10},
            {summary.Captions[0], 22, Qt::AlignLeft},
            {summary.Captions[1], 22, Qt::AlignLeft},
            {summary.Captions[2], 22, Qt::AlignLeft},
            {QStringLiteral("性別"), 9, Qt::AlignCenter},
            {QStringLiteral("年齢"), 9},
            {QStringLiteral("身長\n[cm]"), 13},
            {QStringLiteral("体重\n[kg]"), 13},
            {QStringLiteral("標準体重\n[kg]"), 15},
            {QStringLiteral("肥満度\n[%]"), 13},
            {last, lastMm, Qt::AlignCenter}};
}

QStringList PupilCells(const Pupil& p, const QString& last) {
    const bool judged = p.Result.Judged;
    return {QString::number(p.Number),
            p.Items[0],
            p.Items[1],
            p.Items[2],
            SexText(p.PupilSex),
            p.Age ? QString::number(*p.Age) : QString(),
            p.Height,
            p.Weight,
            judged ? p.Result.StdWeightText() : QString(),
            judged ? p.Result.ObesityText() : QString(),
            last};
}

void DoctorTable(PageWriter& page, const ClassSummary& summary) {
    QList<QStringList> rows;
    QList<QColor> shades;
    for (const Pupil& p : DoctorList(summary.Pupils, summary.Choice.GroupItem)) {
        rows << PupilCells(p, JudgementText(p.Result.Class));
        shades << JudgementTint(p.Result.Class);
    }
    if (rows.isEmpty())
        page.Line(QStringLiteral("該当する児童生徒はいません。"), 9);
    else
        page.Table(PupilColumns(summary, QStringLiteral("判定"), 20), rows, shades, 8);
    page.SignatureBox(QStringLiteral("学校医確認"));
}

// The pupils whose readings cannot be a pupil's: listed with the reason, never judged.
void CheckTable(PageWriter& page, const ClassSummary& summary) {
    QList<QStringList> rows;
    for (const Pupil& p : summary.Pupils)
        if (p.LeftOut()) rows << PupilCells(p, p.Result.Reason);
    if (rows.isEmpty()) return;
    page.Gap(3);
    page.Line(QStringLiteral("確認してください（集計・グラフから除外）"), 11, true);
    page.Table(PupilColumns(summary, QStringLiteral("理由"), 38), rows, {}, 7);
}

void Section(PageWriter& page, const ClassSummary& summary, const ReportOptions& options,
             const QString& group) {
    const QString school =
        options.SchoolName.isEmpty() ? QString() : options.SchoolName + QStringLiteral("　");
    page.Line(school + QStringLiteral("集計・肥満度判定") +
                  (group.isEmpty() ? QString() : QStringLiteral("　") + group),
              16, true);
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
    page.Paragraph(ReadingNote(summary), 7);
    page.Gap(3);
    QFont chartFont = ReportFont(9);
    chartFont.setPixelSize(kChartFontPixels);
    page.Chart([&] { return BuildSummaryChart(summary, ChartKind::Scatter, chartFont); }, 108);
    if (summary.Choice.GroupItem != 0 && group.isEmpty())
        page.Chart([&] { return BuildSummaryChart(summary, ChartKind::Bars, chartFont); }, 108);
    CheckTable(page, summary);
    page.Gap(4);
    page.Line(QStringLiteral("肥満傾向・痩身傾向の児童生徒（肥満度 20%以上 または −20%以下）"), 12,
              true);
    DoctorTable(page, summary);
}

QString FooterOf(const ReportOptions& options) {
    const QDate date = options.PrintDate.isValid() ? options.PrintDate : QDate::currentDate();
    const QString printed =
        QStringLiteral("印刷日 %1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day());
    return options.SchoolName.isEmpty() ? printed
                                        : options.SchoolName + QStringLiteral("　") + printed;
}

// Paints (or with no painter counts) the pages; returns their number.
int PaintPages(QPainter* painter, QSizeF area, double dotsPerMm,
               const std::function<bool()>& newPage, const ClassSummary& summary,
               const ReportOptions& options, int pages) {
    PageWriter page(painter, area, dotsPerMm, newPage, FooterOf(options), pages);
    if (options.PagePerGroup && summary.Choice.GroupItem != 0) {
        const QStringList groups = GroupNames(summary.Pupils, summary.Choice.GroupItem);
        for (qsizetype g = 0; g < groups.size() && !page.Stopped(); ++g) {
            if (g > 0) page.NewPage();
            Section(page, GroupPart(summary, groups[g]), options, groups[g]);
        }
    } else {
        Section(page, summary, options, QString());
    }
    page.Finish();
    return page.Page();
}

int PageCount(QSizeF area, double dotsPerMm, const ClassSummary& summary,
              const ReportOptions& options) {
    return PaintPages(nullptr, area, dotsPerMm, {}, summary, options, 0);
}

void Letter(PageWriter& page, const ClassSummary& summary, const Pupil& p,
            const ReportOptions& options, const QString& text) {
    const QDate date = options.PrintDate.isValid() ? options.PrintDate : QDate::currentDate();
    page.Line(QStringLiteral("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day()),
              10);
    page.Line(QStringLiteral("保護者様"), 11);
    page.Line(options.SchoolName.isEmpty() ? QString() : options.SchoolName, 11);
    page.Gap(6);
    page.Line(QStringLiteral("健康診断（身長・体重）の結果のお知らせ"), 16, true);
    page.Gap(4);
    QStringList who;
    for (int i = 0; i < 3; ++i)
        if (!p.Items[i].isEmpty()) who << summary.Captions[i] + QStringLiteral("： ") + p.Items[i];
    page.Line(who.join(QStringLiteral("　　")), 11);
    page.Gap(3);
    const QList<Column> columns{{QStringLiteral("身長\n[cm]"), 30},
                                {QStringLiteral("体重\n[kg]"), 30},
                                {QStringLiteral("標準体重\n[kg]"), 30},
                                {QStringLiteral("肥満度\n[%]"), 30},
                                {QStringLiteral("判定"), 40, Qt::AlignCenter}};
    const ObesityResult& r = p.Result;
    page.Table(columns,
               {{p.Height, p.Weight, r.Judged ? r.StdWeightText() : QString(),
                 r.Judged ? r.ObesityText() : QString(), r.Label()}},
               {}, 11);
    page.Gap(6);
    page.Paragraph(text, 11);
    page.Gap(6);
    page.Paragraph(QStringLiteral("肥満度 =（実測体重 − 身長別標準体重）÷ 身長別標準体重 × 100。"
                                  "20%以上を肥満傾向、−20%以下を痩身傾向とします。"),
                   8);
}

int PaintLetterPages(QPainter* painter, QSizeF area, double dotsPerMm,
                     const std::function<bool()>& newPage, const ClassSummary& summary,
                     const QList<int>& numbers, const ReportOptions& options, const QString& text) {
    const int letters =
        int(std::count_if(summary.Pupils.begin(), summary.Pupils.end(),
                          [&](const Pupil& p) { return numbers.contains(p.Number); }));
    PageWriter page(painter, area, dotsPerMm, newPage, FooterOf(options), letters);
    bool first = true;
    for (const Pupil& p : summary.Pupils) {
        if (!numbers.contains(p.Number) || page.Stopped()) continue;
        if (!first) page.NewPage();
        first = false;
        Letter(page, summary, p, options, text);
    }
    page.Finish();
    return page.Page();
}

void SetA4(QPagedPaintDevice& device) {
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                     QPageLayout::Millimeter));
}

// A PDF painted by `paint` into memory, its text layer mended, then written whole.
FileResult WritePdf(const QString& path, const QString& title,
                    const std::function<bool(QPagedPaintDevice&)>& paint) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(300);
        writer.setCreator(QStringLiteral("Hakaron"));
        writer.setTitle(title);
        if (!paint(writer))
            return FileResult::Failure(path, QStringLiteral("PDFを作れませんでした"));
    }
    const QHash<char16_t, char16_t> codes =
        PdfTextLayer::PreferredCodes(QRawFont::fromFont(ReportFont(10)));
    return FileWrite::ReplaceContents(path, PdfTextLayer::Mend(buffer.data(), codes));
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

bool PaintReport(QPagedPaintDevice& device, const ClassSummary& summary,
                 const ReportOptions& options) {
    SetA4(device);
    QPainter painter;
    if (!painter.begin(&device)) return false;
    const double dotsPerMm = device.logicalDpiX() / 25.4;
    const QSizeF area(device.width(), device.height());
    const int pages = PageCount(area, dotsPerMm, summary, options);
    PaintPages(
        &painter, area, dotsPerMm, [&device] { return device.newPage(); }, summary, options, pages);
    return painter.end();
}

FileResult WriteReportPdf(const QString& path, const ClassSummary& summary,
                          const ReportOptions& options) {
    return WritePdf(
        path, QStringLiteral("集計・肥満度判定 %1").arg(summary.Title),
        [&](QPagedPaintDevice& device) { return PaintReport(device, summary, options); });
}

QImage ReportFirstPage(const ClassSummary& summary, int dpi, const ReportOptions& options) {
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
    const int pages = PageCount(area, dotsPerMm, summary, options);
    PaintPages(
        &painter, area, dotsPerMm, [] { return false; }, summary, options, pages);
    return image;
}

bool PaintLetters(QPagedPaintDevice& device, const ClassSummary& summary, const QList<int>& numbers,
                  const ReportOptions& options, const QString& text) {
    SetA4(device);
    QPainter painter;
    if (!painter.begin(&device)) return false;
    PaintLetterPages(
        &painter, QSizeF(device.width(), device.height()), device.logicalDpiX() / 25.4,
        [&device] { return device.newPage(); }, summary, numbers, options, text);
    return painter.end();
}

FileResult WriteLettersPdf(const QString& path, const ClassSummary& summary,
                           const QList<int>& numbers, const ReportOptions& options,
                           const QString& text) {
    return WritePdf(path, QStringLiteral("お知らせ %1").arg(summary.Title),
                    [&](QPagedPaintDevice& device) {
                        return PaintLetters(device, summary, numbers, options, text);
                    });
}

QList<int> DefaultLetterPupils(const ClassSummary& summary) {
    QList<int> numbers;
    for (const Pupil& p : summary.Pupils)
        if (p.NeedsAttention()) numbers << p.Number;
    return numbers;
}

QString DefaultLetterText() {
    return QStringLiteral(
        "日頃より本校の保健活動にご理解とご協力をいただき、ありがとうございます。\n"
        "先日の健康診断で身長と体重を測定したところ、お子様の肥満度が上の表のとおりでした。"
        "成長期のお子様の体格は変わりやすいものですが、食事や睡眠、運動などの生活の様子を"
        "ご家庭でも見直していただくとともに、一度かかりつけの医療機関にご相談ください。\n"
        "ご不明な点は保健室までお問い合わせください。");
}

QString LetterTextPath(const QString& workFolder) {
    return QDir(workFolder).filePath(QStringLiteral("letter.txt"));
}

QString LoadLetterText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return DefaultLetterText();
    const QString text = QString::fromUtf8(file.read(64 * 1024)).trimmed();
    return text.isEmpty() ? DefaultLetterText() : text;
}
