// Helpers for tests that call built-in functions the way scripts do: an
// expression text goes through word classification, argument preparation,
// the check against the catalogue and the function itself.
#pragma once

#include "core/interpreter.h"
#include "core/message_catalogue.h"
#include "library/builtin_families.h"
#include "library/function_tables.h"
#include "script_host.h" // PrintTo for QString

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace tesmora::test {

// What an expression gave: its result word and the error it raised.
struct Outcome {
    TWordStatus value;
    QString error;
};

inline Outcome eval(Interpreter &in, const QString &expression)
{
    in.takeError();
    Outcome o;
    in.EvaluateText(expression, o.value);
    o.error = in.errorText();
    in.takeError();
    return o;
}

// The text result of an expression that must succeed.
inline QString text(Interpreter &in, const QString &expression)
{
    const Outcome o = eval(in, expression);
    EXPECT_TRUE(o.error.isEmpty()) << expression.toStdString() << ": " << o.error.toStdString();
    EXPECT_EQ(o.value.kind, wkString) << expression.toStdString();
    return o.value.text();
}

// The number result of an expression that must succeed.
inline double number(Interpreter &in, const QString &expression)
{
    const Outcome o = eval(in, expression);
    EXPECT_TRUE(o.error.isEmpty()) << expression.toStdString() << ": " << o.error.toStdString();
    EXPECT_EQ(o.value.kind, wkFloat) << expression.toStdString();
    return o.value.float_val;
}

// The error an expression must raise; it leaves no result word.
inline QString error(Interpreter &in, const QString &expression)
{
    const Outcome o = eval(in, expression);
    EXPECT_FALSE(o.error.isEmpty()) << expression.toStdString() << " gave " << o.value.text().toStdString();
    EXPECT_EQ(o.value.kind, wkNone) << expression.toStdString();
    return o.error;
}

// The English error text of catalogue message `id` raised on `line`.
inline QString msg(int id, const MessageArgs &args = {}, int line = 0)
{
    return formatMessage(catalogueText(id, 0), args) + QStringLiteral("\r\rLine %1.").arg(line);
}

// Makes the interpreter a help example runs in; the pointer may own more
// than the interpreter (an engine it uses, say).
using InterpreterFactory = std::function<std::shared_ptr<Interpreter>()>;

inline std::shared_ptr<Interpreter> plainInterpreter()
{
    return std::make_shared<Interpreter>();
}

// Every help text of `rows` in `table` exists in both languages, uses CR LF
// between lines, and its examples of the form
// "name = expression   # name = value" give that value when they run (lines
// without such a comment run too, so later examples can use their
// variables). Each row and language runs in a fresh interpreter from `make`.
inline void checkHelpExamples(FunctionTable table, const QList<int> &rows,
                              const InterpreterFactory &make = plainInterpreter)
{
    static const QRegularExpression line(QStringLiteral("^(\\w+) = (.*?)(?:\\s+#\\s*(.*))?$"));
    for (int row : rows) {
        for (int language : {0, 1}) {
            const QString help = functionDescription(table, row, language);
            SCOPED_TRACE(QStringLiteral("table %1, row %2, language %3")
                             .arg(static_cast<int>(table))
                             .arg(row)
                             .arg(language)
                             .toStdString());
            ASSERT_FALSE(help.isEmpty());
            EXPECT_EQ(help.count(QLatin1Char('\n')), help.count(QStringLiteral("\r\n")));
            if (language == 1) {
                EXPECT_NE(help, functionDescription(table, row, 0));
            }
            const std::shared_ptr<Interpreter> in = make();
            int examples = 0;
            for (const QString &text : help.split(QStringLiteral("\r\n"))) {
                const QRegularExpressionMatch m = line.match(text.trimmed());
                if (!m.hasMatch())
                    continue;
                ++examples;
                const Outcome o = eval(*in, m.captured(2));
                EXPECT_TRUE(o.error.isEmpty()) << text.toStdString() << ": " << o.error.toStdString();
                in->SetVariable(m.captured(1), o.value.text(), o.value.kind);
                const QString expected = QStringLiteral("%1 = ").arg(m.captured(1));
                const QString comment = m.captured(3);
                if (!comment.startsWith(expected))
                    continue;
                QString value = comment.mid(expected.size());
                if (value.startsWith(QLatin1Char('\'')) && value.endsWith(QLatin1Char('\''))) {
                    EXPECT_EQ(o.value.kind, wkString) << text.toStdString();
                    value = value.mid(1, value.size() - 2);
                }
                EXPECT_EQ(o.value.text(), value) << text.toStdString();
            }
            EXPECT_GT(examples, 0) << "an example shows how the function is called";
        }
    }
}

// The embedded functions' help texts of `rows`, run in plain interpreters.
inline void checkHelpExamples(const QList<int> &rows)
{
    checkHelpExamples(FunctionTable::Embedded, rows);
}

// An application object for the tests that need one (QJSEngine, the media
// adapter, event processing), as in the program: made before the first test
// and destroyed after the last (not at exit, when Qt's own globals are
// already gone).
class ApplicationEnvironment : public ::testing::Environment {
  public:
    explicit ApplicationEnvironment(const char *programName) : name_(programName) {}
    void SetUp() override
    {
        if (QCoreApplication::instance())
            return;
        argv_[0] = name_.data();
        app_ = std::make_unique<QCoreApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

  private:
    int argc_ = 1;
    QByteArray name_;
    char *argv_[2] = {nullptr, nullptr};
    std::unique_ptr<QCoreApplication> app_;
};

// Registers an ApplicationEnvironment; call it once per test program, from
// the initialiser of a namespace-scope variable.
inline ::testing::Environment *addApplicationEnvironment(const char *programName)
{
    return ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment(programName));
}

} // namespace tesmora::test
