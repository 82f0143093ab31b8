#pragma once

#include <QString>
#include <optional>

class QLineEdit;

// Telling the user, while typing, that a text is wider than the CP932 field it goes into.
namespace CutPreview {

inline const QString WhenLoaded = QStringLiteral("読み込むと");
inline const QString WhenSaved = QStringLiteral("保存すると");

// What a field of `width` CP932 bytes keeps of `text` (cut before the first character that
// does not fit whole, padding removed), or nothing when the whole text fits.
std::optional<QString> KeptText(const QString& text, int width);
// `when` followed by the kept text in 「」 and "になります", e.g.
// "読み込むと「ミハイロヴィチ・アレ」になります"; empty when the text fits.
QString Tip(const QString& text, int width, const QString& when);
// Marks `box` while its text does not fit: a warning sign at its end, and the tip on the
// sign and the box (the box's own tool tip comes back once the text fits again).
void Attach(QLineEdit* box, int width, const QString& when = WhenSaved);

}  // namespace CutPreview
