#include "library/function_tables.h"

#include <gtest/gtest.h>

using namespace tesmora;

TEST(FunctionTables, RowsAsCatalogued)
{
    const auto b = functionTable(FunctionTable::Embedded);
    ASSERT_EQ(b.size(), 65u);
    EXPECT_EQ(b[0].formula(), "Sleep(Seconds:float)");
    EXPECT_EQ(b[0].sinonim(), "OS_Sleep");
    EXPECT_TRUE(b[0].Types.contains(fMisc));
    EXPECT_EQ(b[9].formula(), "Hex_ToInt(Str:string):float");
    EXPECT_TRUE(b[9].Types.contains(fMath) && b[9].Types.contains(fStr) && b[9].Types.contains(fMisc));
    EXPECT_FALSE(b[9].Types.contains(fFile));
    EXPECT_EQ(b[11].formula(), "Float_ToStr(FloatVal:float[DecimalSeparetor:string]):string");
    EXPECT_EQ(b[24].formula(), "ScanDir(Dir:string,[Model:string=\"*.*\",Filter:int=0,ShowTime:int]):array");
    EXPECT_TRUE(b[28].sinonim().isEmpty());
    EXPECT_EQ(b[56].sinonim(), "Firter_Array");
    EXPECT_EQ(b[64].formula(), "Exit()");
    EXPECT_EQ(b[64].name(), "Exit");
    for (const auto &row : b) {
        EXPECT_TRUE(row.returnType().isEmpty());
        EXPECT_EQ(row.Obj, jso_None);
    }

    const auto js = functionTable(FunctionTable::JavaScript);
    ASSERT_EQ(js.size(), 40u);
    EXPECT_EQ(js[0].formula(), "charAt(str,position)");
    EXPECT_EQ(js[0].returnType(), "str");
    EXPECT_EQ(js[0].Obj, jso_Str);
    EXPECT_EQ(js[4].Obj, jso_String);
    EXPECT_EQ(js[5].Obj, jso_Date);
    EXPECT_EQ(js[5].returnType(), "int");
    EXPECT_EQ(js[23].Obj, jso_Math);
    EXPECT_EQ(js[23].returnType(), "float");
    EXPECT_EQ(js[36].sinonim(), "math_min");
    // Empty rows are kept.
    for (int r : {3, 37, 38, 39}) {
        EXPECT_TRUE(js[static_cast<size_t>(r)].formula().isEmpty());
        EXPECT_TRUE(js[static_cast<size_t>(r)].sinonim().isEmpty());
    }
    EXPECT_EQ(js[3].Obj, jso_Str);
    EXPECT_EQ(js[37].Obj, jso_None);

    const auto g = functionTable(FunctionTable::Graph);
    ASSERT_EQ(g.size(), 24u);
    EXPECT_EQ(g[11].formula(), "SetBrushParameters(color:int[transp:int=1,layer:int=1])");
    EXPECT_TRUE(g[21].Types.contains(fMisc));
    EXPECT_FALSE(g[20].Types.contains(fMisc));
    EXPECT_TRUE(g[23].formula().isEmpty());
    const auto d = functionTable(FunctionTable::Dialog);
    ASSERT_EQ(d.size(), 6u);
    EXPECT_EQ(d[3].formula(), "Menu(Prompt:string,Menu:array[,Selected:int]):int");
    EXPECT_TRUE(d[5].formula().isEmpty());
    EXPECT_TRUE(d[5].Types.contains(fDialog));
}

TEST(FunctionTables, LookupBySynonymThenFormula)
{
    EXPECT_EQ(FindCatalogueFunction(FunctionTable::Embedded, "Str_UpperCase"), 10001);
    EXPECT_EQ(FindCatalogueFunction(FunctionTable::Embedded, "uppercase"), 1);
    EXPECT_EQ(FindCatalogueFunction(FunctionTable::Embedded, "  UPPERCASE "), 1);
    EXPECT_EQ(FindCatalogueFunction(FunctionTable::Embedded, "upper"), -1);
    EXPECT_EQ(FindCatalogueFunction(FunctionTable::Embedded, ""), -1);
    EXPECT_EQ(FindCatalogueFunction(FunctionTable::Embedded, "Array_Length"), 28);
    EXPECT_EQ(FindCatalogueFunction(FunctionTable::Embedded, "sleep"), 0);
    EXPECT_EQ(FindCatalogueFunction(FunctionTable::Embedded, "os_sleep"), 10000);
    // Row 36 repeats row 35's synonym: the synonym always means min.
    EXPECT_EQ(FindCatalogueFunction(FunctionTable::JavaScript, "math_min"), 10035);
    EXPECT_EQ(FindCatalogueFunction(FunctionTable::JavaScript, "max"), 36);
    EXPECT_EQ(FindCatalogueFunction(FunctionTable::JavaScript, "GETFULLYEAR"), 6);
    EXPECT_EQ(FindCatalogueFunction(FunctionTable::Graph, "Gra_Text"), 10013);
    EXPECT_EQ(FindCatalogueFunction(FunctionTable::Graph, "introduction3"), 0);
    EXPECT_EQ(FindCatalogueFunction(FunctionTable::Dialog, "Show_Menu"), 10003);
    EXPECT_EQ(FindCatalogueFunction(FunctionTable::Dialog, "sqrt"), -1);
    EXPECT_EQ(catalogueRow(10035), 35);
    EXPECT_EQ(catalogueRow(7), 7);
    EXPECT_EQ(catalogueRow(-1), -1);
    EXPECT_EQ(tableForKind(wkGraphFunction), FunctionTable::Graph);
    EXPECT_EQ(tableForKind(wkJS_Function), FunctionTable::JavaScript);
}
