// The bilingual message catalogue and its lookups.
#pragma once

#include <QString>
#include <QVariant>
#include <QList>

namespace tesmora {

struct CatalogueRow {
    int id;
    const char16_t *en;
    const char16_t *ru;
};

extern const CatalogueRow kCatalogueRows[];
extern const int kCatalogueRowCount;

constexpr int kCatalogueSize = 370;

using MessageArgs = QList<QVariant>;

// The row `id` in `language` (0 English, 1 Russian); empty for an unused row.
QString catalogueText(int id, int language);
// Substitutes %s %d %f %n in order; surplus arguments are ignored.
QString formatMessage(const QString &pattern, const MessageArgs &args);
// The row number as text with at least two digits ("01" .. "370").
QString catalogueRowLabel(int id);

// "%f": fixed point with two decimals; "%n": the same with thousands
// separators. Both use the system's regional separators.
QString fixedTwoDecimals(double x, bool thousands);

} // namespace tesmora
