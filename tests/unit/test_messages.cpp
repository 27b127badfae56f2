#include "core/interpreter.h"
#include "core/message_catalogue.h"
#include "core/numbers.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace tesmora;

namespace {

QStringList placeholders(const QString &s)
{
    QStringList out;
    static const QRegularExpression re(QStringLiteral("%[sdfn]"));
    for (auto it = re.globalMatch(s); it.hasNext();)
        out << it.next().captured(0);
    return out;
}

struct RecordingHost : Host {
    QStringList calls;
    void setCaretLine(int line) override { calls << QStringLiteral("caret %1").arg(line); }
    void showGlobalGrid() override { calls << "grid"; }
    void refreshVariables() override { calls << "refresh"; }
    void showErrorBox(const QString &text) override { calls << "box " + text; }
    void showMessageNow(const QString &text) override { calls << "now " + text; }
    void playSystemSound(SystemSound s) override { calls << (s == SystemSound::Hand ? "hand" : "asterisk"); }
};

} // namespace

TEST(Catalogue, EveryRowHasBothTextsWithMatchingPlaceholders)
{
    ASSERT_EQ(kCatalogueRowCount,
              271); // 358-363: limits of a run, interrupted JavaScript; 364-365: Step back; 366: canvas size;
                    // 367-369: files that cannot be loaded or written
    int previous = 0;
    for (int i = 0; i < kCatalogueRowCount; ++i) {
        const CatalogueRow &r = kCatalogueRows[i];
        EXPECT_GT(r.id, previous) << "rows are in ascending order";
        EXPECT_LE(r.id, kCatalogueSize);
        previous = r.id;
        const QString en = QString::fromUtf16(r.en);
        const QString ru = QString::fromUtf16(r.ru);
        EXPECT_FALSE(en.isEmpty()) << r.id;
        EXPECT_FALSE(ru.isEmpty()) << r.id;
        EXPECT_NE(en, ru) << "row " << r.id << " is not translated";
        if (r.id == 173) {
            EXPECT_TRUE(placeholders(en).isEmpty());
            EXPECT_EQ(placeholders(ru), QStringList{"%s"});
        } else if (r.id == 281) {
            EXPECT_EQ(placeholders(en), QStringList({"%s", "%s", "%s"}));
            EXPECT_EQ(placeholders(ru), QStringList({"%s", "%s"}));
        } else {
            EXPECT_EQ(placeholders(en), placeholders(ru)) << "row " << r.id;
        }
    }
}

TEST(Catalogue, TextsKeptCharacterForCharacter)
{
    EXPECT_EQ(catalogueText(1, 0), "Tesmora");
    EXPECT_EQ(catalogueText(1, 1), QString::fromUtf8("Тесмора"));
    EXPECT_EQ(catalogueText(2, 1), QString::fromUtf8("Строка %d."));
    EXPECT_EQ(catalogueText(27, 0),
              "Script is too long. The number of lines of the script can't exceed %d.'");
    // The Cyrillic letter in "operаtor".
    EXPECT_TRUE(catalogueText(71, 0).contains(QString::fromUtf8("oper\u0430tor")));
    EXPECT_TRUE(catalogueText(211, 0).contains(QString::fromUtf8("oper\u0430tor")));
    EXPECT_EQ(catalogueText(212, 0), QString::fromUtf8("Bracket mismatch after root o per\u0430tor \"%s\"."));
    EXPECT_EQ(catalogueText(50, 0), "Function name \"%s\" was'n found in script text.");
    EXPECT_EQ(catalogueText(125, 0),
              "Invalid global variable identifier \"%s\".\rGlobal variables should not begin with the "
              "underscore character \"_\".");
    EXPECT_EQ(catalogueText(110, 1), QString::fromUtf8("Конец!"));
    EXPECT_EQ(catalogueText(123, 0), " must be");
    // Unused rows and numbers outside the catalogue are empty.
    EXPECT_TRUE(catalogueText(3, 0).isEmpty());
    EXPECT_TRUE(catalogueText(0, 0).isEmpty());
    EXPECT_TRUE(catalogueText(371, 1).isEmpty());
    EXPECT_EQ(catalogueRowLabel(5), "05");
    EXPECT_EQ(catalogueRowLabel(370), "370");
}

TEST(Catalogue, MessageTextSubstitutesInOrderAndIgnoresSurplus)
{
    Interpreter in;
    EXPECT_EQ(in.MessageText(76, {"abc"}), "Unrecognised identifier \"abc\".");
    EXPECT_EQ(in.MessageText(73, {"?", "a ? b", 3}), "Unexpected symbol \"?\" in \"a ? b\", position: 3.");
    EXPECT_EQ(in.MessageText(115, {-4.0}),
              "Function Sqrt(). You can not extracts the square root of a negative value -4.00.");
    EXPECT_EQ(in.MessageText(2, {5, "surplus", 7}), "Line 5.");
    in.updateSettings([&](ProgramSettings &s) { s.language = 1; });
    // Row 281 has three arguments in English and two placeholders in Russian.
    const QString ru = in.MessageText(281, {"a", "b", "c"});
    EXPECT_TRUE(ru.contains(QString::fromUtf8("●a●")));
    EXPECT_TRUE(ru.contains("\"b\""));
    EXPECT_FALSE(ru.contains("c\""));
    EXPECT_EQ(formatMessage("%d%%s", {1, "x"}), "1%x");
    EXPECT_EQ(formatMessage("a %s b %s", {"1"}), "a 1 b %s");
}

TEST(Catalogue, RaiseErrorAppendsTheLineInTheCurrentLanguage)
{
    Interpreter in;
    in.moveToLine(5);
    in.RaiseMessage(76, {"abc"});
    EXPECT_EQ(in.errorText(), "Unrecognised identifier \"abc\".\r\rLine 5.");
    in.updateSettings([&](ProgramSettings &s) { s.language = 1; });
    // A message already stored keeps its language.
    EXPECT_EQ(in.errorText(), "Unrecognised identifier \"abc\".\r\rLine 5.");
    in.RaiseMessage(76, {"abc"});
    EXPECT_EQ(in.errorText(), QString::fromUtf8("Неопознанный идентификатор \"abc\".\r\rСтрока 5."));
    // A second error replaces the first; line 0 is reported as 0.
    in.updateSettings([&](ProgramSettings &s) { s.language = 0; });
    in.moveToLine(0);
    QString target = "old";
    in.RaiseError("Boom", target);
    EXPECT_EQ(target, "Boom\r\rLine 0.");
}

TEST(Catalogue, TranslatePhrase)
{
    Interpreter in;
    EXPECT_EQ(in.TranslatePhrase("Function"), "Function");
    EXPECT_EQ(in.TranslatePhrase("not in the catalogue"), "not in the catalogue");
    in.updateSettings([&](ProgramSettings &s) { s.language = 1; });
    EXPECT_EQ(in.TranslatePhrase("Function"), catalogueText(121, 1));
    EXPECT_EQ(in.TranslatePhrase("Parameter"), catalogueText(122, 1));
    EXPECT_EQ(in.TranslatePhrase(" must be"), catalogueText(123, 1));
    // Exact match only, letter case included.
    EXPECT_EQ(in.TranslatePhrase("function"), "");
    EXPECT_EQ(in.TranslatePhrase("not in the catalogue"), "");
    // The first matching row wins ("Introduction" is rows 20 and 247).
    EXPECT_EQ(in.TranslatePhrase("Introduction"), catalogueText(20, 1));
}

TEST(Catalogue, ShowErrorPresentsOnceInWorkingMode)
{
    RecordingHost host;
    Interpreter in({.host = &host});
    in.moveToLine(4);
    in.RaiseMessage(47);
    // Outside working mode the caret moves but the text stays pending.
    in.ShowError();
    EXPECT_EQ(host.calls, QStringList({"caret 4", "grid"}));
    EXPECT_FALSE(in.errorText().isEmpty());
    host.calls.clear();
    in.updateSettings([&](ProgramSettings &s) { s.workMode = true; });
    Interpreter::RunPosition running = in.SaveRunPosition();
    running.runState = rn_Run;
    in.RestoreRunPosition(running);
    in.ShowError();
    EXPECT_EQ(host.calls,
              QStringList({"caret 4", "grid", "refresh", "box Bracket mismatch.\r\rLine 4.", "hand"}));
    EXPECT_TRUE(in.errorText().isEmpty());
    EXPECT_EQ(in.runState(), rn_Stopped);
    host.calls.clear();
    in.ShowMessageById(27, {1000});
    EXPECT_EQ(host.calls,
              QStringList({"now Script is too long. The number of lines of the script can't exceed 1000.'"}));
}

TEST(Catalogue, RegionalSeparatorsInFixedPointPlaceholders)
{
    const bool ru = qEnvironmentVariableIsSet("TESMORA_EXPECT_RU_LOCALE");
    const QString dec = ru ? QStringLiteral(",") : QStringLiteral(".");
    EXPECT_EQ(QString(systemDecimalSeparator()), dec);
    EXPECT_EQ(formatMessage("%f", {2.5}), "2" + dec + "50");
    // A negative value keeps its sign when it rounds to zero.
    EXPECT_EQ(formatMessage("%f", {-0.004}), "-0" + dec + "00");
    EXPECT_EQ(formatMessage("%f", {0.004}), "0" + dec + "00");
    EXPECT_EQ(formatMessage("%n", {1234567.891}), "1" + QString(systemThousandsSeparator()) + "234" +
                                                      QString(systemThousandsSeparator()) + "567" + dec +
                                                      "89");
    // The dot form never follows the regional settings.
    EXPECT_EQ(FormatNumber(2.5), "2.5");
    EXPECT_EQ(GeneralNumberTextSystem(2.5), "2" + dec + "5");
}
