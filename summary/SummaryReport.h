#pragma once

#include <QFont>
#include <QImage>
#include <QString>

#include "ClassSummary.h"
#include "FileResult.h"

class QPagedPaintDevice;

// The printed class summary: A4 pages with the title, date and person of the label settings,
// how the pupils were read, the group statistics, the charts, and the list of pupils at 20 %
// and over or −20 % and under (the list for the school doctor).

// A Japanese font of the given point size; the family list ends with fonts found on Windows.
QFont ReportFont(qreal pointSize);

// Paints every page on an A4 device (a PDF writer or a printer). False when painting could
// not begin.
bool PaintReport(QPagedPaintDevice& device, const ClassSummary& summary);
// Writes the report as a PDF with its font embedded, replacing `path` only when the whole
// file was written.
FileResult WriteReportPdf(const QString& path, const ClassSummary& summary);
// The first page as a picture, `dpi` dots per inch (the manual shows one).
QImage ReportFirstPage(const ClassSummary& summary, int dpi);
