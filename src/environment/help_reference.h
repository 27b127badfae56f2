// The texts of the function reference: one function's entry, the result of
// a keyword search, and the topic a help-menu item opens.
#pragma once

#include "library/function_tables.h"

#include <QString>

namespace tesmora {

// A row's help text in `language`; the table's own description when no
// help text is registered for the row.
QString rowDescription(FunctionTable table, int row, int language);

// The entry shown for a function item of the help menu: its kind, formula,
// synonym and description, closed by a line of hyphens. The name is looked
// up in the built-in, JavaScript, graphics and dialog tables, in that
// order; empty when no table knows it.
QString FunctionItemText(const QString &name, int language);

// The keyword search: the text the help window shows for the answer typed
// into the input box (its first line is the caption), or an empty text when
// the answer asks for nothing (one character, no keywords).
QString KeywordSearchText(const QString &answer, int language);

// The topic row a tutorial item of the help menu opens: its name without
// "mi_" and without "_", looked up with FindHelpTopic.
int TopicForMenuItem(const QString &itemName);

} // namespace tesmora
