#include "frmPreview.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <algorithm>
#include <array>

#include "G_Const.h"
#include "G_Param.h"
#include "MainWindowHooks.h"
#include "Named.h"
#include "PreviewModel.h"
#include "RecordFile.h"

namespace {
constexpr int kTwipsPerPixel = 15;
constexpr std::array<int, PreviewModel::ColumnCount> kColumnTwips{
    500, 1800, 1800, 1800, 800, 800, 800, 800, 2400, 2400, 2400, 2400, 2400};
constexpr int kGridLeftTwips = 90;
constexpr int kGridTopTwips = 540;
constexpr int kWidthMarginTwips = 300;
constexpr int kHeightMarginTwips = 1020;

int Pixels(int twips) {
    return twips / kTwipsPerPixel;
}

// A blank caption shows as "項目1", "項目2", "項目3".
QString CaptionOr(const Text20& caption, int number) {
    return caption.IsBlank() ? QStringLiteral("項目%1").arg(number) : caption.Trimmed();
}
}  // namespace

frmPreview::frmPreview(DisplayControl& display, QWidget* parent)
    : QDialog(parent), m_display(display) {
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(QStringLiteral("イメージプレビュー"));
    lblHeading =
        Named(new QLabel(QStringLiteral("編集データ一覧"), this), QStringLiteral("lblHeading"));
    QFont headingFont = lblHeading->font();
    headingFont.setBold(true);
    lblHeading->setFont(headingFont);
    lblHeading->adjustSize();
    lblHeading->move(Pixels(kGridLeftTwips), Pixels(kGridTopTwips) / 4);
    fgdPreview = Named(new QTableView(this), QStringLiteral("fgdPreview"));
    fgdPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fgdPreview->setSelectionBehavior(QAbstractItemView::SelectRows);
    fgdPreview->verticalHeader()->hide();
    fgdPreview->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    fgdPreview->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    fgdPreview->horizontalHeader()->setDefaultAlignment(
        Qt::Alignment(Qt::AlignCenter | Qt::TextWordWrap));
    fgdPreview->horizontalHeader()->setHighlightSections(false);
    // Two lines: a unit wraps under its name in the narrow value columns.
    fgdPreview->horizontalHeader()->setFixedHeight(2 * fontMetrics().lineSpacing() + 8);
    resize(Pixels(12000), Pixels(7200));
    Form_Load();
}

void frmPreview::Form_Load() {
    const QList<MeasureRecord> records = RecordFile::ReadAll(G_Param.RecordFilePath());
    const MeasureRecord captions =
        records.size() >= G_Const::HeaderRecords ? records[1] : MeasureRecord{};
    G_Param.SubLabelCaption1 = CaptionOr(captions.SubLabel1, 1);
    G_Param.SubLabelCaption2 = CaptionOr(captions.SubLabel2, 2);
    G_Param.SubLabelCaption3 = CaptionOr(captions.SubLabel3, 3);
    auto* model =
        new PreviewModel(records.mid(std::min<qsizetype>(records.size(), G_Const::HeaderRecords)),
                         {G_Param.SubLabelCaption1.Trimmed(), G_Param.SubLabelCaption2.Trimmed(),
                          G_Param.SubLabelCaption3.Trimmed()},
                         this);
    fgdPreview->setModel(model);
    for (int c = 0; c < PreviewModel::ColumnCount; ++c)
        fgdPreview->setColumnWidth(c, Pixels(kColumnTwips[c]));
}

void frmPreview::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const int gridWidth = width() - Pixels(kWidthMarginTwips);
    const int gridHeight = height() - Pixels(kHeightMarginTwips);
    const QPoint at(Pixels(kGridLeftTwips), Pixels(kGridTopTwips));
    // A minimised or very small window leaves the grid as it was.
    if (gridWidth > 0 && gridHeight > 0)
        fgdPreview->setGeometry(QRect(at, QSize(gridWidth, gridHeight)));
    else
        fgdPreview->move(at);
}

void frmPreview::done(int result) {
    QDialog::done(result);
    m_display.RefreshDisplay();
}
