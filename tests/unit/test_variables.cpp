#include "core/interpreter.h"
#include "core/numbers.h"

#include <gtest/gtest.h>

using namespace tesmora;

TEST(Variables, CreationAndNamingRules)
{
    Interpreter in;
    EXPECT_EQ(in.SetVariable("Total", "1", wkFloat), 0);
    EXPECT_EQ(in.variableOrder().size(), 1);
    EXPECT_EQ(in.variableOrder()[0], 0);
    // Names differing only in letter case are the same variable.
    EXPECT_EQ(in.SetVariable("TOTAL", "2", wkFloat), 0);
    EXPECT_EQ(in.variables().size(), 1);
    EXPECT_EQ(in.variables()[0].VarName, "Total");
    EXPECT_EQ(in.variables()[0].text(), "2");
    EXPECT_EQ(in.FindVariable("total"), 0);
    EXPECT_EQ(in.GetVariableText("tOtAl"), "2");
    EXPECT_EQ(in.GetVariableText("missing"), "");
    EXPECT_EQ(in.FindVariable("missing"), -1);

    // A global must not begin with "_".
    in.moveToLine(3);
    EXPECT_EQ(in.SetVariable("_x", "1", wkFloat), 0);
    EXPECT_EQ(in.variables().size(), 1);
    EXPECT_TRUE(in.errorText().startsWith("Invalid global variable identifier \"_x\".\rGlobal variables"));
    EXPECT_TRUE(in.errorText().endsWith("\r\rLine 3."));
}

TEST(Variables, FunctionLevelsAndVisibility)
{
    Interpreter in;
    in.SetVariable("x", "1", wkFloat);
    in.setFunctionLevel(1);
    // Assigning a known global inside a function changes the global.
    EXPECT_EQ(in.SetVariable("X", "5", wkFloat), 0);
    EXPECT_EQ(in.variables()[0].text(), "5");
    EXPECT_EQ(in.variables()[0].function_level, 0);
    // A new name without "_" inside a function is refused (131).
    EXPECT_EQ(in.SetVariable("y", "1", wkFloat), 0);
    EXPECT_EQ(in.variables().size(), 1);
    EXPECT_TRUE(in.errorText().startsWith("It is forbidden to create a global variable \"y\""));
    in.takeError();
    // Locals belong to the creating level.
    EXPECT_EQ(in.SetVariable("_t", "a", wkString), 1);
    EXPECT_EQ(in.variables()[1].function_level, 1);
    in.setFunctionLevel(2);
    // A deeper level does not see the caller's _t: a new local is made.
    EXPECT_EQ(in.FindVariable("_t"), -1);
    EXPECT_EQ(in.SetVariable("_t", "b", wkString), 2);
    EXPECT_EQ(in.variables()[2].function_level, 2);
    // Globals stay visible at every level.
    EXPECT_EQ(in.FindVariable("x"), 0);
    in.setFunctionLevel(1);
    EXPECT_EQ(in.GetVariableText("_t"), "a");
    // An explicit level wins over the current one.
    in.setFunctionLevel(0);
    EXPECT_EQ(in.SetVariable("_p", "1", wkFloat, 3), 3);
    EXPECT_EQ(in.variables()[3].function_level, 3);
    EXPECT_TRUE(in.errorText().isEmpty());
}

TEST(Constants, StartupListAndLookup)
{
    Interpreter in;
    ASSERT_EQ(in.constantList().size(), 32);
    EXPECT_EQ(in.constantList()[0], "ROT90 = 1");
    EXPECT_EQ(in.constantList()[19], "clMaroon = $000080");
    EXPECT_EQ(in.constantList()[20], "clRed = $2040FF");
    EXPECT_EQ(in.constantList()[29], "clWhite = $FFFFFF");
    EXPECT_EQ(in.constantList()[30], "PI = 3.14159265358979323846");
    EXPECT_EQ(in.constantList()[31], QString::fromUtf8("π = 3.14159265358979323846"));

    ConstantInfo pi = in.Constant_Lookup("pi");
    EXPECT_EQ(pi.line, 30);
    EXPECT_EQ(pi.name, "PI");
    EXPECT_EQ(pi.value, "3.14159265358979323846");
    EXPECT_DOUBLE_EQ(Interpreter::constantValue(pi.value), 3.14159265358979323846);
    ConstantInfo greek = in.Constant_Lookup(QString::fromUtf8("π"));
    EXPECT_EQ(greek.line, 31);
    EXPECT_DOUBLE_EQ(Interpreter::constantValue(greek.value), 3.14159265358979323846);

    ConstantInfo red = in.Constant_Lookup("CLRED");
    EXPECT_EQ(red.name, "clRed");
    EXPECT_EQ(Interpreter::constantValue(red.value), 0x2040FF);
    EXPECT_EQ(Interpreter::constantValue(in.Constant_Lookup("VSYMM").value), 16);
    // The name must be followed by a blank in the line: no prefix matches.
    EXPECT_EQ(in.Constant_Lookup("clR").line, -1);
    EXPECT_EQ(in.Constant_Lookup("ROT9").line, -1);
    EXPECT_EQ(in.Constant_Lookup("nothing").line, -1);
    EXPECT_TRUE(in.Constant_Lookup("nothing").name.isEmpty());
}

TEST(Values, TruthTextsAndNumberTexts)
{
    // Numbers written by the interpreter read back to the same value.
    for (double v : {0.1, 1.0 / 3.0, 2.5e-7, 12345678.875, -7.0}) {
        const ParsedNumber p = ParseNumber(FormatNumber(v));
        ASSERT_TRUE(p.ok());
        EXPECT_EQ(FormatNumber(p.value), FormatNumber(v));
    }
}
