// Executors of graphics and dialog function words, and the dialogs the
// built-in functions need. The graphics layer and the environment implement
// them; the headless runner supplies its own.
#pragma once

#include "words.h"

#include <QString>
#include <QStringList>

namespace tesmora {

class Interpreter;

// The number of arguments a graphics or dialog function was given: the
// leading records whose kind is not wkNone, at most 99. An argument that is an
// empty string is still given, so the arguments after it are not lost.
inline int executorParameterCount(const WordList &args)
{
    int n = 0;
    while (n < args.count() && n < 99 && args.w[n].kind != wkNone)
        ++n;
    return n;
}

class GraphicsExecutor {
  public:
    virtual ~GraphicsExecutor() = default;
    // Runs the graphics function `name` (catalogue spelling) with the
    // argument words; errors go to the interpreter's ErrorText.
    virtual void execute(Interpreter &in, const QString &name, WordList &args, TWordStatus &result) = 0;
};

class DialogExecutor {
  public:
    virtual ~DialogExecutor() = default;
    virtual void execute(Interpreter &in, const QString &name, WordList &args, TWordStatus &result) = 0;
};

// The four dialogs and the Check question.
class DialogProvider {
  public:
    virtual ~DialogProvider() = default;
    virtual bool inputString(const QString &prompt, const QString &defaultText, QString &answer) = 0;
    virtual bool inputText(const QString &prompt, const QString &defaultText, QString &answer) = 0;
    // Returns the code of the pressed button (1..7).
    virtual int message(const QString &prompt, const QString &caption, int buttons) = 0;
    // Returns the chosen item number, 0 for none.
    virtual int menu(const QString &prompt, const QStringList &items, int selected) = 0;
    // The Check question: true to go on, false to stop the run.
    virtual bool checkQuestion(const QString &text) = 0;
};

} // namespace tesmora
