// The tutorial topics of the help: 23 rows, 21 of them filled, each with
// an English and a Russian text in the help window's markup.
#pragma once

#include <QString>

namespace tesmora {

constexpr int kHelpTopicRows = 23;

struct HelpTopic {
    QString name;
    QString text[2]; // English, Russian
};

// Row `row` of the topic table (empty rows and rows out of range give an
// empty topic).
const HelpTopic &helpTopic(int row);

// The row whose name equals the word (letters A-Z folded, blanks trimmed),
// or -1.
int FindHelpTopic(const QString &word);

// Letter case changed for the letters a-z only, as the help's lookups
// compare names and keywords.
QString upperAZ(const QString &s);
QString lowerAZ(const QString &s);

// The text of a topic file as the help window reads it: every line break
// becomes "~~eol~~"; a final line break is dropped.
QString topicMarkup(const QString &fileText);

} // namespace tesmora
