// Description texts: the JSON-like texts that describe indicators and
// pictograms. They are not parsed into a tree: each reader searches the text
// for one quoted key and cuts out the value that follows it. The textual
// rules, blind spots included, are the syntax learners' scripts rely on:
// - the first occurrence of "key" anywhere is used, case-sensitive;
// - the value starts after the first ":" behind the key and the spaces after it;
// - an object runs from "{" to the first "}" (objects do not nest);
// - a scalar runs to the first "," or "}", trimmed, one pair of quotes removed;
// - an object array collects every brace group from "[" to the end of the text.
#pragma once

#include <QString>
#include <QStringList>

namespace tesmora {

class Interpreter;

// The object (with its braces) or scalar text of `key`. A missing key raises
// message 178. While an error is pending nothing is read and the result is empty.
QString Json_GetValue(Interpreter &in, const QString &text, const QString &key);
// The value of `key` read as a number with "." as the decimal separator; the
// whole value text must be a number, otherwise message 179 and 0 (an empty
// value text included). A missing key raises message 178 only, and gives 0.
double Json_GetFloat(Interpreter &in, const QString &text, const QString &key);
// The brace groups of the array value of `key`, each trimmed, in text order;
// empty without a message when the key is missing or its value is not "[".
QStringList Json_GetObjectArray(const QString &text, const QString &key);

// A value text that must be a whole decimal number (an integer key of a
// description, a pictogram's status); a run-time fault of the line otherwise.
int WholeNumberText(const QString &text);

} // namespace tesmora
