#pragma once

#include <QDate>
#include <QFont>
#include <QImage>
#include <QList>
#include <QString>

#include "ClassSummary.h"
#include "FileResult.h"

class QPagedPaintDevice;

// The printed class summary: A4 pages with the school, the title, date and person of the label
// settings, how the pupils were read, the group statistics, the charts, the pupils whose
// readings need checking, and the list of pupils at 20 % and over or −20 % and under (the
// list for the school doctor, with a box to sign). Every page carries the print date and
// "n / N".

struct ReportOptions {
    QString SchoolName;
    QDate PrintDate;            // invalid: today
    bool PagePerGroup = false;  // one section per group, each from a new page
};

// A Japanese font of the given point size; the family list ends with fonts found on Windows.
QFont ReportFont(qreal pointSize);

// Paints every page on an A4 device (a PDF writer or a printer). False when painting could
// not begin.
bool PaintReport(QPagedPaintDevice& device, const ClassSummary& summary,
                 const ReportOptions& options = {});
// Writes the report as a PDF with its font embedded and a text layer that finds what it shows,
// replacing `path` only when the whole file was written.
FileResult WriteReportPdf(const QString& path, const ClassSummary& summary,
                          const ReportOptions& options = {});
// The first page as a picture, `dpi` dots per inch (the manual shows one).
QImage ReportFirstPage(const ClassSummary& summary, int dpi, const ReportOptions& options = {});

// Letters to parents: one A4 page per pupil of `numbers` (record numbers), with the school,
// the date, the pupil's items and readings, the judgement and `text`.
bool PaintLetters(QPagedPaintDevice& device, const ClassSummary& summary, const QList<int>& numbers,
                  const ReportOptions& options, const QString& text);
FileResult WriteLettersPdf(const QString& path, const ClassSummary& summary,
                           const QList<int>& numbers, const ReportOptions& options,
                           const QString& text);
// The pupils a letter goes to unless the nurse chooses: 肥満度 20 % and over or −20 % and under.
QList<int> DefaultLetterPupils(const ClassSummary& summary);
// The letter text a first use starts from: it asks the family to consult a doctor.
QString DefaultLetterText();
// Org/letter.txt; the default text when it is missing, empty or unreadable.
QString LetterTextPath(const QString& workFolder);
QString LoadLetterText(const QString& path);
