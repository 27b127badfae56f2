#include "function_tables.h"

#include <QHash>
#include <vector>

namespace tesmora {

namespace {

constexpr T_FunctionDescription row(const char16_t *formula, const char16_t *sinonim, fTypes types)
{
    T_FunctionDescription d;
    d.Formula = formula;
    d.Sinonim = sinonim;
    d.Types = types;
    return d;
}

constexpr T_FunctionDescription jsRow(const char16_t *formula, const char16_t *sinonim,
                                      const char16_t *returnType, TJSF_obj obj, fTypes types)
{
    T_FunctionDescription d = row(formula, sinonim, types);
    d.ReturnType = returnType;
    d.Obj = obj;
    return d;
}

// clang-format off
const T_FunctionDescription kEmbeddedFunctions[] = {
    /* 0 */ row(u"Sleep(Seconds:float)", u"OS_Sleep", {fMisc}),
    /* 1 */ row(u"UpperCase(Str:string):string", u"Str_UpperCase", {fStr}),
    /* 2 */ row(u"LowerCase(Str:string):string", u"Str_LowerCase", {fStr}),
    /* 3 */ row(u"Trim(Str:string):string", u"Str_Trim", {fStr}),
    /* 4 */ row(u"Pos(SubStr:string,Str:string[,StartPos:int=1,CaseSensitive:int=0]):int", u"Str_Pos", {fStr}),
    /* 5 */ row(u"SubStr(Str:string,StartPos_or_StartWord:[,Count_or_FinishWord:]):string", u"Str_SubStr", {fStr}),
    /* 6 */ row(u"ReplaceStr(Str:string,OldSubstr:string,NewSubstr:string[,ReplaceAll:int=1,CaseSensitive:int=0]):string", u"Str_Replace", {fStr}),
    /* 7 */ row(u"LenStr(Str:string):int", u"Str_Length", {fStr}),
    /* 8 */ row(u"Str_ToFloat(Str:string[,prevent_exception:int=0]):float", u"Convert_Str_ToFloat", {fStr}),
    /* 9 */ row(u"Hex_ToInt(Str:string):float", u"Convert_Hex_ToInt", {fMath, fStr, fMisc}),
    /* 10 */ row(u"Format(Format:string,Var1:[,Var2:,Var3:,Var4:,Var5:,Var6:,Var7:,Var8:,Var9:,Var10:]):string", u"Str_Format", {fStr}),
    /* 11 */ row(u"Float_ToStr(FloatVal:float[DecimalSeparetor:string]):string", u"Str_From_Float", {fStr}),
    /* 12 */ row(u"sqrt(X:float)", u"math_square_root", {fMath}),
    /* 13 */ row(u"cubic_root(X:float)", u"math_cubic_root", {fMath}),
    /* 14 */ row(u"pow(X:float,Y:float)", u"math_pow", {fMath}),
    /* 15 */ row(u"Ord(Str:):float", u"Str_Ord", {fStr}),
    /* 16 */ row(u"Char(n:int):string", u"Str_Char", {fStr}),
    /* 17 */ row(u"File_ReadStr(FileName:string[,Character_set:string='ANSI']):string", u"ReadStringFromFile", {fFile}),
    /* 18 */ row(u"File_WriteStr(FileName:string,Content:string[,Uppend:int=0,Character_set:string='ANSI']):string", u"WriteStringToFile", {fFile}),
    /* 19 */ row(u"File_ReadBinary(FileName:string[,StartByteNumber:int=0]):array", u"ReadBinaryFromFile", {fFile}),
    /* 20 */ row(u"File_ReadFloat(FileName:string[,StartPos:int=0,Dim1:int,Dim2:int,Dim3:int,Dim4:int]):array", u"ReadFloatFromFile", {fFile}),
    /* 21 */ row(u"File_WriteFloat(FileName:string,DataArray:array[,StartPos:int=0])", u"WriteFloatToFile", {fFile}),
    /* 22 */ row(u"File_Delete(FileName:string[RaiseErrorMessage:int=0])", u"DeleteFile", {fFile}),
    /* 23 */ row(u"OS_OpenFile(FileName:string[,ShowWindow:int]):boolean", u"OpenFileByOS", {fFile}),
    /* 24 */ row(u"ScanDir(Dir:string,[Model:string=\"*.*\",Filter:int=0,ShowTime:int]):array", u"OS_Files_ListInDir", {fFile}),
    /* 25 */ row(u"Date_Time_Format(Format:string[,DateTime:int]):string", u"DT_Format_Date_Time", {fDateTime}),
    /* 26 */ row(u"UNIXTimeToDateTime([UNIXTimeStamp:int]):string", u"DT_Conv_UNIXTimeToDateTime", {fDateTime}),
    /* 27 */ row(u"DateTimeToUNIXTime([DT:string]):int", u"DT_Conv_DateTimeToUNIXTime", {fDateTime}),
    /* 28 */ row(u"Array_Length(Array_Name:array):int", u"", {fArr}),
    /* 29 */ row(u"Dim1(Array_Name:array):int", u"Arr_dim1", {fArr}),
    /* 30 */ row(u"Dim2(Array_Name:array):int", u"Arr_dim2", {fArr}),
    /* 31 */ row(u"Dim3(Array_Name:array):int", u"Arr_dim3", {fArr}),
    /* 32 */ row(u"Dim4(Array_Name:array):int", u"Arr_dim4", {fArr}),
    /* 33 */ row(u"Check(TestValue:anytype,CheckValue:anytype)", u"Equal_test", {fMisc}),
    /* 34 */ row(u"Arr_MinMax(Array1:array):array", u"MinMax", {fArr, fMatrix}),
    /* 35 */ row(u"Matrix_inversion(Matrix:array):array", u"Inversion_GaussJordan", {fMatrix}),
    /* 36 */ row(u"Matrix_Determinant(Matrix:array):float", u"GaussJordan_Determinant", {fMatrix}),
    /* 37 */ row(u"Matrix_Vector_Product(A:array,B:array):array", u"Vector_Product", {fArr, fMatrix}),
    /* 38 */ row(u"Matrix_Scalar_Product(A:array,B:array):float", u"Scalar_Product", {fArr, fMatrix}),
    /* 39 */ row(u"Matrix_Sum(A:array,B:array):array", u"Sum_Matrix", {fArr, fMatrix}),
    /* 40 */ row(u"Matrix_Subtr(A:array,B:array):array", u"Subtr_Matrix", {fArr, fMatrix}),
    /* 41 */ row(u"Matrix_multiplication(Matrix1:array,Matrix2:array):array", u"", {fMatrix}),
    /* 42 */ row(u"Matrix_mult_number(Matrix:array,Koeff:float):array", u"", {fMatrix}),
    /* 43 */ row(u"Matrix_transposition(Matrix:array):array", u"Transposition_Matrix", {fMatrix}),
    /* 44 */ row(u"Matrix_duplication(Matrix:array):array", u"Array_Duplication", {fArr, fMatrix}),
    /* 45 */ row(u"Array_Sort(Array:array[,SortCol:int=1,SortOrder:int=0]):array", u"Sort_Array", {fArr}),
    /* 46 */ row(u"Random([Limit:int])", u"math_Random", {fMath}),
    /* 47 */ row(u"Array2(X:float,Y:float):array", u"", {fArr}),
    /* 48 */ row(u"Array3(X:float,Y:float,Z:float):array", u"", {fArr}),
    /* 49 */ row(u"Array4(X1:float,X2:float,X3:float,X4:float):array", u"", {fArr}),
    /* 50 */ row(u"Array_Row(Array:array,Row:int):array", u"Matrix_Row", {fArr, fMatrix}),
    /* 51 */ row(u"Array_Row_By_Name(Array:array,Name:string[,Col:int=1,Col_1:int])", u"", {fArr}),
    /* 52 */ row(u"Array_RowNumber_By_Name(Array:array,Name:string[,Col:int=1]):int", u"", {fArr}),
    /* 53 */ row(u"Array_Col(Array:array,Col:int):array", u"Matrix_Col", {fArr, fMatrix}),
    /* 54 */ row(u"Exists(Var:anytype):boolean", u"", {fMisc}),
    /* 55 */ row(u"Array_Delete(Arr:array)", u"Delete_Array", {fArr}),
    /* 56 */ row(u"Array_Filter(Arr:array,Filter:string[,Col:int=1,Options:string='i']):array", u"Firter_Array", {fArr}),
    /* 57 */ row(u"Base64_Encode(Data:string):string", u"", {fMisc}),
    /* 58 */ row(u"Base64_Decode(Data:string):string", u"", {fMisc}),
    /* 59 */ row(u"File_ExtractExt(FileName:string):string", u"ExtractFileExt", {fFile, fMisc}),
    /* 60 */ row(u"File_ExtractName(FileName:string):string", u"ExtractFileName", {fFile, fMisc}),
    /* 61 */ row(u"File_ExtractPath(Data:string):string", u"ExtractFilePath", {fFile, fMisc}),
    /* 62 */ row(u"Play_Sound(FileName:string[asinchr:int=0])", u"OS_PlaySound", {fMisc}),
    /* 63 */ row(u"Eval(Str:string):string", u"JS_Evaluation", {fMisc}),
    /* 64 */ row(u"Exit()", u"", {fMisc}),
};
const T_FunctionDescription kJavaScriptFunctions[] = {
    /* 0 */ jsRow(u"charAt(str,position)", u"Str_CharAt", u"str", jso_Str, {fStr}),
    /* 1 */ jsRow(u"charCodeAt(str,position)", u"Str_CharCodeAt", u"int", jso_Str, {fStr}),
    /* 2 */ jsRow(u"indexOf(Str,SearchValue)", u"Str_indexOf", u"int", jso_Str, {fStr}),
    /* 3 */ jsRow(u"", u"", u"", jso_Str, {}),
    /* 4 */ jsRow(u"fromCharCode(n1:int[,n2:int,n3:int,n4:int,n5:int,n6:int])", u"Str_fromCharCode", u"str", jso_String, {fStr}),
    /* 5 */ jsRow(u"getTime([datetime:str])", u"DT_getTime", u"int", jso_Date, {fDateTime}),
    /* 6 */ jsRow(u"getFullYear([time:int])", u"DT_Year", u"int", jso_Date, {fDateTime}),
    /* 7 */ jsRow(u"getMonth([time:int])", u"DT_Month", u"int", jso_Date, {fDateTime}),
    /* 8 */ jsRow(u"getDate([time:int])", u"DT_DayOfMonth", u"int", jso_Date, {fDateTime}),
    /* 9 */ jsRow(u"getDay([time:int])", u"DT_DayOfWeek", u"int", jso_Date, {fDateTime}),
    /* 10 */ jsRow(u"getHours([time:int])", u"DT_Hours", u"int", jso_Date, {fDateTime}),
    /* 11 */ jsRow(u"getMinutes([time:int])", u"DT_Minutes", u"int", jso_Date, {fDateTime}),
    /* 12 */ jsRow(u"getSeconds([time:int])", u"DT_Seconds", u"int", jso_Date, {fDateTime}),
    /* 13 */ jsRow(u"getMilliseconds([time:int])", u"DT_Milliseconds", u"int", jso_Date, {fDateTime}),
    /* 14 */ jsRow(u"getTimezoneOffset()", u"DT_TimezoneOffset", u"int", jso_Date, {fDateTime}),
    /* 15 */ jsRow(u"toLocaleTimeString([time:int])", u"DT_LocaleTimeString", u"str", jso_Date, {fDateTime}),
    /* 16 */ jsRow(u"toLocaleDateString([time:int])", u"DT_LocaleDateString", u"str", jso_Date, {fDateTime}),
    /* 17 */ jsRow(u"setFullYear(time:int,Year:int)", u"DT_setYear", u"int", jso_Date, {fDateTime}),
    /* 18 */ jsRow(u"setMonth(time:int,Month:int)", u"DT_setMonth", u"int", jso_Date, {fDateTime}),
    /* 19 */ jsRow(u"setDate(time:int,Day:int)", u"DT_setDay", u"int", jso_Date, {fDateTime}),
    /* 20 */ jsRow(u"setHours(time:int,Day:int)", u"DT_setHours", u"int", jso_Date, {fDateTime}),
    /* 21 */ jsRow(u"setMinutes(time:int,Day:int)", u"DT_setMinutes", u"int", jso_Date, {fDateTime}),
    /* 22 */ jsRow(u"setSeconds(time:int,Day:int)", u"DT_setSeconds", u"int", jso_Date, {fDateTime}),
    /* 23 */ jsRow(u"abs(x:float)", u"math_abs", u"float", jso_Math, {fMath}),
    /* 24 */ jsRow(u"sin(x:float)", u"math_sin", u"float", jso_Math, {fMath}),
    /* 25 */ jsRow(u"cos(x:float)", u"math_cos", u"float", jso_Math, {fMath}),
    /* 26 */ jsRow(u"asin(x:float)", u"math_asin", u"float", jso_Math, {fMath}),
    /* 27 */ jsRow(u"acos(x:float)", u"math_acos", u"float", jso_Math, {fMath}),
    /* 28 */ jsRow(u"tan(x:float)", u"math_tan", u"float", jso_Math, {fMath}),
    /* 29 */ jsRow(u"atan(x:float)", u"math_atan", u"float", jso_Math, {fMath}),
    /* 30 */ jsRow(u"round(x:float)", u"math_round", u"float", jso_Math, {fMath}),
    /* 31 */ jsRow(u"ceil(x:float)", u"math_ceil", u"float", jso_Math, {fMath}),
    /* 32 */ jsRow(u"floor(x:float)", u"math_floor", u"float", jso_Math, {fMath}),
    /* 33 */ jsRow(u"log(x:float)", u"math_log", u"float", jso_Math, {fMath}),
    /* 34 */ jsRow(u"exp(x:float)", u"math_exp", u"float", jso_Math, {fMath}),
    /* 35 */ jsRow(u"min(x:float,y:float[,z:float ...])", u"math_min", u"float", jso_Math, {fMath}),
    /* 36 */ jsRow(u"max(x:float,y:float[,z:float ...])", u"math_min", u"float", jso_Math, {fMath}),
    /* 37 */ jsRow(u"", u"", u"", jso_None, {}),
    /* 38 */ jsRow(u"", u"", u"", jso_None, {}),
    /* 39 */ jsRow(u"", u"", u"", jso_None, {}),
};
const T_FunctionDescription kGraphFunctions[] = {
    /* 0 */ row(u"Introduction3()", u"", {fGraph}),
    /* 1 */ row(u"SetCoordinateSystem(x1:float,y1:float,x2:float,y2:float[,DrawGreed:int=0,layer:int=1,ScalingMode:int=0,Ratio:float=1.414])", u"Gra_SetCoordinateSystem", {fGraph}),
    /* 2 */ row(u"FillRect(x1:float,y1:float,x2:float,y2:float[,layer:int=1])", u"Gra_FillRect", {fGraph}),
    /* 3 */ row(u"Rect(x1:float,y1:float,x2:float,y2:float[,layer:int=1,Radius:int=0])", u"Gra_Rect", {fGraph}),
    /* 4 */ row(u"PictureImport(FileName:string[,x:float=1,y:float=1,Layer:int=2])", u"Gra_PictureImport", {fGraph}),
    /* 5 */ row(u"PixelRead(x:int,y:int[,Layer:int=1],key:int=0):int", u"Gra_ReadPixel", {fGraph}),
    /* 6 */ row(u"PixelWrite(x:int,y:int,color:int[,Layer:int=1])", u"", {fGraph}),
    /* 7 */ row(u"MoveTo(x:float,y:float[,layer:int=1])", u"Gra_MoveTo", {fGraph}),
    /* 8 */ row(u"LineTo(x:float,y:float[,layer:int=1])", u"Gra_LineTo", {fGraph}),
    /* 9 */ row(u"FloodFill(x:float,y:float,color:int[,layer:int=1])", u"Gra_FloodFill", {fGraph}),
    /* 10 */ row(u"SetPenParameters(width:int,color:int[,style:int=0,layer:int=1])", u"Gra_SetPenParameters", {fGraph}),
    /* 11 */ row(u"SetBrushParameters(color:int[transp:int=1,layer:int=1])", u"Gra_SetBrushParameters", {fGraph}),
    /* 12 */ row(u"Circle(x:float,y:float,radius:float[,layer:int=1])", u"Gra_Circle", {fGraph}),
    /* 13 */ row(u"TextPrint(x:float,y:float,Text:string,FontSize:float[,color:int=0,layer:int=1])", u"Gra_Text", {fGraph}),
    /* 14 */ row(u"Clean([Layer:int=1])", u"Gra_Clean", {fGraph}),
    /* 15 */ row(u"LayerTransferring()", u"Gra_LayerTransferring", {fGraph}),
    /* 16 */ row(u"Polygon(aPoint:array[,Layer:int=1,PointCount:int])", u"Gra_Polygon", {fGraph}),
    /* 17 */ row(u"Polyline(aPoint:array[,Layer:int=1,shape:int=0,PointCount:int])", u"Gra_Polyline", {fGraph}),
    /* 18 */ row(u"PolyLine1(aPoint:array,X0:float,dX:float[,Layer:int=1,shape:int=0,PointCount:int])", u"Gra_Polyline1", {fGraph}),
    /* 19 */ row(u"Gra_Indicator(Value:float,X:float,Y:float,Specifications:string)", u"Gra_Progress_Indicator", {fGraph}),
    /* 20 */ row(u"Pictograms(var Status:int,X:float,Y:float,Specifications:string[,transform:int=0])", u"Gra_Pictograms", {fGraph}),
    /* 21 */ row(u"Get_User_Cursor_Pos([key:int=0]):array", u"", {fGraph, fMisc}),
    /* 22 */ row(u"Define_Mouse_Click_Handler(Rect:array,FunctionName:string)", u"Gra_Define_Mouse_Click_Handler", {fGraph}),
    /* 23 */ row(u"", u"", {fGraph}),
};
const T_FunctionDescription kDialogFunctions[] = {
    /* 0 */ row(u"InputString(Prompt:string[,Default:string]):string", u"InputQuery", {fStr, fDialog}),
    /* 1 */ row(u"InputText(Prompt:string[,Default:string]):string", u"", {fStr, fDialog}),
    /* 2 */ row(u"Message(Prompt:string[,Caption:string='',Buttons:int=1]):int", u"Show_Message", {fDialog}),
    /* 3 */ row(u"Menu(Prompt:string,Menu:array[,Selected:int]):int", u"Show_Menu", {fDialog}),
    /* 4 */ row(u"", u"", {fDialog}),
    /* 5 */ row(u"", u"", {fDialog}),
};
// clang-format on

static_assert(std::size(kEmbeddedFunctions) == 65);
static_assert(std::size(kJavaScriptFunctions) == 40);
static_assert(std::size(kGraphFunctions) == 24);
static_assert(std::size(kDialogFunctions) == 6);

// Lower-cased synonyms and Formula names of one table, built once. The lookup
// stays the documented two-pass scan; the index only finds its answer faster.
struct TableIndex {
    QHash<QString, int> bySynonym; // first row wins
    QHash<QString, int> byName;    // first row wins
};

TableIndex buildIndex(std::span<const T_FunctionDescription> rows)
{
    TableIndex ix;
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const QString syn = rows[i].sinonim().toLower();
        if (!syn.isEmpty() && !ix.bySynonym.contains(syn))
            ix.bySynonym.insert(syn, i);
        const QString f = rows[i].formula().toLower();
        const int br = static_cast<int>(f.indexOf(QLatin1Char('(')));
        if (br > 0) {
            const QString n = f.left(br);
            if (!ix.byName.contains(n))
                ix.byName.insert(n, i);
        }
    }
    return ix;
}

const TableIndex &indexFor(FunctionTable t)
{
    static const TableIndex ix[4] = {
        buildIndex(functionTable(FunctionTable::Embedded)),
        buildIndex(functionTable(FunctionTable::JavaScript)),
        buildIndex(functionTable(FunctionTable::Graph)),
        buildIndex(functionTable(FunctionTable::Dialog)),
    };
    return ix[static_cast<int>(t)];
}

} // namespace

QString T_FunctionDescription::name() const
{
    const QString f = formula();
    const int br = static_cast<int>(f.indexOf(QLatin1Char('(')));
    return br < 0 ? f : f.left(br);
}

std::span<const T_FunctionDescription> functionTable(FunctionTable table)
{
    switch (table) {
    case FunctionTable::Embedded:
        return kEmbeddedFunctions;
    case FunctionTable::JavaScript:
        return kJavaScriptFunctions;
    case FunctionTable::Graph:
        return kGraphFunctions;
    case FunctionTable::Dialog:
        return kDialogFunctions;
    }
    return {};
}

FunctionTable tableForKind(TWordKind kind)
{
    switch (kind) {
    case wkGraphFunction:
        return FunctionTable::Graph;
    case wkDialogFunction:
        return FunctionTable::Dialog;
    case wkJS_Function:
        return FunctionTable::JavaScript;
    default:
        return FunctionTable::Embedded;
    }
}

int FindCatalogueFunction(FunctionTable table, const QString &name)
{
    const QString n = name.toLower().trimmed();
    if (n.isEmpty())
        return -1;
    const TableIndex &ix = indexFor(table);
    if (auto it = ix.bySynonym.constFind(n); it != ix.bySynonym.constEnd())
        return it.value() + kSynonymOffset;
    // A Formula "begins with the name followed by (": the name is exactly the
    // Formula's text before its first "(".
    if (auto it = ix.byName.constFind(n); it != ix.byName.constEnd())
        return it.value();
    return -1;
}

int FindFormulaName(FunctionTable table, const QString &name)
{
    return indexFor(table).byName.value(name.toLower().trimmed(), -1);
}

} // namespace tesmora
