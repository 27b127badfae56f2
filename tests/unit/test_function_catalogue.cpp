// The rows as the interpreter uses them: Formulas read once into formal
// parameters, help texts and flags attached by name, implementations
// attached by name, and the reader every implementation shares.
#include "builtin_calls.h"
#include "graphics/dialog_functions.h"
#include "graphics/graphics_executor.h"
#include "library/builtins.h"
#include "library/function_catalogue.h"
#include "library/function_help.h"
#include "library/javascript_functions.h"

#include <gtest/gtest.h>

using namespace tesmora;
using namespace tesmora::test;

namespace {

const FunctionSignature &signatureOf(FunctionTable table, const char *name)
{
    const FunctionDescriptor *d = functionCatalogue(table).find(QString::fromLatin1(name));
    EXPECT_NE(d, nullptr) << name;
    static const FunctionSignature none;
    return d ? d->signature : none;
}

QStringList describe(const QList<FormalParameter> &formals)
{
    QStringList out;
    for (const FormalParameter &f : formals)
        out << (f.byReference ? QStringLiteral("var ") : QString()) + f.name + QLatin1Char(':') + f.type +
                   (f.optional ? QStringLiteral("?") : QString());
    return out;
}

// Every non-empty row of `table` carries help in both languages, and every
// help text names a row of the table once.
void expectHelpOnEveryRow(FunctionTable table)
{
    const FunctionCatalogue &c = functionCatalogue(table);
    for (const FunctionDescriptor &d : c.rows()) {
        if (d.isEmpty())
            continue;
        EXPECT_FALSE(d.help[0].trimmed().isEmpty()) << "English help of " << d.name().toStdString();
        EXPECT_FALSE(d.help[1].trimmed().isEmpty()) << "Russian help of " << d.name().toStdString();
        EXPECT_NE(d.help[0], d.help[1]) << d.name().toStdString();
    }
    EXPECT_TRUE(c.strayHelp().isEmpty()) << c.strayHelp().join(u' ').toStdString();
}

} // namespace

TEST(FunctionCatalogue, FormulasReadIntoFormals)
{
    const FunctionSignature &pos = signatureOf(FunctionTable::Embedded, "Str_Pos");
    EXPECT_EQ(pos.name, "Pos");
    EXPECT_EQ(describe(pos.formals),
              QStringList({"SubStr:string", "Str:string", "StartPos:int?", "CaseSensitive:int?"}));
    EXPECT_EQ(pos.required, 2);
    EXPECT_EQ(pos.returnType, "int");
    EXPECT_TRUE(pos.closed && pos.validTypes);

    // "[" without a comma before it; a parameter without a type; no return type.
    EXPECT_EQ(describe(signatureOf(FunctionTable::Embedded, "Float_ToStr").formals),
              QStringList({"FloatVal:float", "DecimalSeparetor:string?"}));
    const FunctionSignature &sub = signatureOf(FunctionTable::Embedded, "SubStr");
    EXPECT_EQ(describe(sub.formals),
              QStringList({"Str:string", "StartPos_or_StartWord:anytype", "Count_or_FinishWord:anytype?"}));
    EXPECT_TRUE(signatureOf(FunctionTable::Embedded, "Sleep").returnType.isEmpty());
    EXPECT_EQ(signatureOf(FunctionTable::Embedded, "Exit").formals.size(), 0);

    // A quoted default holding a comma-free pattern, then more optionals.
    const FunctionSignature &scan = signatureOf(FunctionTable::Embedded, "ScanDir");
    EXPECT_EQ(describe(scan.formals),
              QStringList({"Dir:string", "Model:string?", "Filter:int?", "ShowTime:int?"}));
    EXPECT_TRUE(scan.formals.at(0).optional == false && !scan.formals.at(0).isArray());
    EXPECT_TRUE(signatureOf(FunctionTable::Embedded, "Array_Sort").formals.at(0).isArray());

    // A var parameter; a parameter after "]" still counts as optional.
    const FunctionSignature &pict = signatureOf(FunctionTable::Graph, "Pictograms");
    ASSERT_FALSE(pict.formals.isEmpty());
    EXPECT_TRUE(pict.formals.at(0).byReference);
    EXPECT_EQ(pict.formals.at(0).name, "Status");
    const FunctionSignature &pixel = signatureOf(FunctionTable::Graph, "PixelRead");
    EXPECT_EQ(describe(pixel.formals), QStringList({"x:int", "y:int", "Layer:int?", "key:int?"}));
    EXPECT_EQ(pixel.required, 2);

    // Faulty Formulas are told apart, not thrown away.
    EXPECT_FALSE(ParseFormula("F(a:int").closed);
    EXPECT_FALSE(ParseFormula("F(a:foo)").validTypes);
    EXPECT_FALSE(ParseFormula("F(a:int):bar").validTypes);
    EXPECT_EQ(ParseFormula("F(a:int):").returnType, "anytype");
    EXPECT_TRUE(ParseFormula("").name.isEmpty());
}

TEST(FunctionCatalogue, EveryRowImplementedAndExplained)
{
    const BuiltinRegistry &builtins = builtinRegistry();
    EXPECT_TRUE(builtins.unimplemented().isEmpty()) << builtins.unimplemented().join(u' ').toStdString();
    EXPECT_TRUE(builtins.misnamed().isEmpty()) << builtins.misnamed().join(u' ').toStdString();
    // Every Formula of the checked tables reads without a fault.
    for (FunctionTable t : {FunctionTable::Embedded, FunctionTable::Graph, FunctionTable::Dialog})
        for (const FunctionDescriptor &d : functionCatalogue(t).rows())
            EXPECT_TRUE(d.isEmpty() || (d.signature.closed && d.signature.validTypes))
                << d.name().toStdString();

    // JavaScript rows build their own calls: the method named by the row,
    // with the arguments given.
    WordList args;
    args[0].kind = wkFloat;
    args[0].setText(QStringLiteral("7"));
    args.last = 0;
    for (const FunctionDescriptor &d : functionCatalogue(FunctionTable::JavaScript).rows()) {
        if (d.isEmpty())
            continue;
        EXPECT_TRUE(BuildJavaScriptCall(*d.description, args).contains(d.name() + QLatin1Char('(')))
            << d.name().toStdString();
    }

    for (FunctionTable t : {FunctionTable::Embedded, FunctionTable::JavaScript})
        expectHelpOnEveryRow(t);
    EXPECT_EQ(functionDescription(FunctionTable::Embedded, 1, 1),
              functionCatalogue(FunctionTable::Embedded).at(1).help[1]);
    EXPECT_TRUE(functionDescription(FunctionTable::Embedded, 65, 0).isEmpty());
}

TEST(FunctionCatalogue, RegistryAttachesByFormulaName)
{
    BuiltinRegistry r(FunctionTable::Embedded);
    const BuiltinFunction upper = [](FunctionCall &c) { c.setText(c.text(0).toUpper()); };
    const BuiltinFunction other = [](FunctionCall &c) { c.setText(QString()); };
    r.add("UpperCase", upper);
    r.add("Str_LowerCase", other); // a synonym is not a Formula name
    r.add("NoSuchFunction", other);
    r.add("UPPERCASE", other); // the same row a second time
    EXPECT_EQ(r.misnamed(), QStringList({"Str_LowerCase", "NoSuchFunction", "UPPERCASE"}));
    EXPECT_EQ(r.find("uppercase"), upper);
    EXPECT_EQ(r.find("Str_UpperCase"), nullptr);
    EXPECT_EQ(r.at(1), upper);
    EXPECT_TRUE(r.unimplemented().contains("LowerCase"));
    EXPECT_FALSE(r.unimplemented().contains("UpperCase"));
}

TEST(FunctionCatalogue, RowFlagsReplaceNameComparisons)
{
    EXPECT_TRUE(TakesArgumentsByName("Exists"));
    EXPECT_TRUE(TakesArgumentsByName("ARRAY_DELETE"));
    EXPECT_FALSE(TakesArgumentsByName("Delete_Array")); // the synonym is checked like any call
    EXPECT_FALSE(TakesArgumentsByName("Array_Length"));
    EXPECT_FALSE(TakesArgumentsByName(""));
    EXPECT_TRUE(functionCatalogue(FunctionTable::Graph).at(0).has(rfHelpOnly));

    Interpreter in;
    EXPECT_EQ(error(in, "Array_Delete(5)"), msg(117, {"Array_Delete"}));
    EXPECT_EQ(error(in, "Delete_Array(5)"),
              QStringLiteral("Function \"Array_Delete\". Parameter № 1 must be \"array\". \r\rLine 0."));
    EXPECT_EQ(error(in, "exists(y, z)"), msg(120, {"Exists", 1}));
}

TEST(FunctionCatalogue, OneReaderAndOneFailurePath)
{
    Interpreter in;
    WordList args;
    args[0].kind = wkFloat;
    args[0].float_val = 2.5;
    args[0].setText(QStringLiteral("2.5"));
    args[2].kind = wkString; // after an empty word: not given
    args[2].setText(QStringLiteral("late"));
    TWordStatus result;
    const QString name = QStringLiteral("Pos");
    FunctionCall call(in, name, args, result);
    EXPECT_EQ(call.count(), 1);
    EXPECT_EQ(call.integer(0), 2); // halves to even
    EXPECT_TRUE(call.text(2).isEmpty());
    EXPECT_EQ(call.number(5), 0.0);
    EXPECT_EQ(call.arg(-1).kind, wkNone);
    EXPECT_EQ(FunctionCall(in, name, args, result, 3).text(2), "late");

    call.setNumber(4);
    call.fail(186, {"q"});
    EXPECT_EQ(result.kind, wkNone);
    EXPECT_EQ(in.errorText(), msg(186, {"q"}));
    in.takeError();
    args[0].float_val = 1e300;
    EXPECT_THROW(call.integer(0), RuntimeFailure);

    // An executor asked for a name it does not know: one text in every language.
    in.updateSettings([&](ProgramSettings &s) { s.language = 1; });
    RaiseFunctionNotFound(in, QStringLiteral("Introduction3"));
    EXPECT_TRUE(in.errorText().startsWith(
        QString::fromUtf8("Ошибка интерпретатора. Не найдена функция \"Introduction3\".")));
}

TEST(FunctionCatalogue, GraphicsAndDialogRowsImplementedAndExplained)
{
    GraphicsRegistry graphics(FunctionTable::Graph);
    registerGraphicsFamilies(graphics);
    EXPECT_TRUE(graphics.unimplemented().isEmpty()) << graphics.unimplemented().join(u' ').toStdString();
    EXPECT_TRUE(graphics.misnamed().isEmpty()) << graphics.misnamed().join(u' ').toStdString();
    EXPECT_EQ(graphics.find("Introduction3"), nullptr); // a row of the help only

    DialogRegistry dialogs(FunctionTable::Dialog);
    registerDialogFunctions(dialogs);
    EXPECT_TRUE(dialogs.unimplemented().isEmpty()) << dialogs.unimplemented().join(u' ').toStdString();
    EXPECT_TRUE(dialogs.misnamed().isEmpty()) << dialogs.misnamed().join(u' ').toStdString();

    for (FunctionTable t : {FunctionTable::Graph, FunctionTable::Dialog})
        expectHelpOnEveryRow(t);
}

// A help file: each text runs from its "==== Name" line to the next one;
// blank lines inside a text stay, those before the next name do not; the
// lines are joined by CR LF whatever line breaks the file has.
TEST(FunctionCatalogue, HelpFilesReadIntoTexts)
{
    const auto entries = parseFunctionHelp(QStringLiteral("a note before the first name\n"
                                                          "==== First \n"
                                                          "Line one.\r\n"
                                                          "\r\n"
                                                          "Example:\r\n"
                                                          "x = 1   # x = 1\n"
                                                          "\n"
                                                          "\n"
                                                          "==== Second\n"
                                                          "  indented ==== text\n"
                                                          "==== Third\n"));
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[0].first, "First");
    EXPECT_EQ(entries[0].second, "Line one.\r\n\r\nExample:\r\nx = 1   # x = 1");
    EXPECT_EQ(entries[1].first, "Second");
    EXPECT_EQ(entries[1].second, "  indented ==== text");
    EXPECT_EQ(entries[2].first, "Third");
    EXPECT_TRUE(entries[2].second.isEmpty());
    EXPECT_TRUE(parseFunctionHelp(QString()).isEmpty());

    // The compiled-in files give every text once, in both languages.
    QSet<QString> seen;
    for (const FunctionHelp &h : allFunctionHelp()) {
        const QString key = QString::number(int(h.table)) + QLatin1Char(' ') + h.name;
        EXPECT_FALSE(seen.contains(key)) << h.name.toStdString();
        seen << key;
        EXPECT_FALSE(h.text[0].isEmpty() || h.text[1].isEmpty()) << h.name.toStdString();
        EXPECT_FALSE(h.text[0].endsWith(QLatin1Char('\n')) || h.text[1].endsWith(QLatin1Char('\n')));
    }
    EXPECT_GE(seen.size(), 128);
}
