// The help texts of the function rows. They live in resource files, one per
// family of functions and language (":/help/functions/en/Strings.txt"),
// written with ordinary line breaks: each text follows a line
// "==== Name" that gives the Formula name of its row.
#pragma once

#include "function_tables.h"

#include <QList>
#include <QString>

namespace tesmora {

// Help texts of a catalogue row (English and Russian, lines separated by
// CR LF).
struct FunctionHelp {
    FunctionTable table;
    QString name;
    QString text[2];
};

// Every help text of every family, in the families' order.
const QList<FunctionHelp> &allFunctionHelp();

// The (name, text) pairs of a help file: the text of each entry runs from
// its "==== Name" line to the next one, blank lines at its end dropped, its
// lines joined by CR LF.
QList<std::pair<QString, QString>> parseFunctionHelp(const QString &fileText);

} // namespace tesmora
