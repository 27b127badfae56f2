// Help texts of the canvas and drawing functions.
#include "builtin_families.h"

namespace tesmora {

void addGraphicsHelp(QList<FunctionHelp> &help)
{
    const FunctionTable t = FunctionTable::Graph;
    // clang-format off
    help.append({t, "Introduction3",
        u"Graphics: scripts draw on a canvas in the right-hand panel. The canvas has two layers of the same size: "
        u"layer 1 below and layer 2 above it, where every white pixel of layer 2 lets layer 1 show through.\r\n"
        u"SetCoordinateSystem chooses your own coordinates (y points up) and shows the panel; every drawing "
        u"function then takes points in these coordinates. Each layer keeps its own pen, brush, font and pen "
        u"position. A layer parameter of 1 means layer 1, any other value layer 2.\r\n"
        u"Colours are numbers $BBGGRR (red in the low byte) or the named constants clRed, clBlue, clLime, ...\r\n"
        u"Right-click the canvas to copy the picture or save it as a PNG file.",
        u"Графика: скрипты рисуют на холсте в правой панели. У холста два слоя одинакового размера: "
        u"слой 1 внизу и слой 2 над ним; сквозь каждый белый пиксель слоя 2 виден слой 1.\r\n"
        u"SetCoordinateSystem задаёт собственную систему координат (ось y направлена вверх) и показывает панель; "
        u"все функции рисования принимают точки в этих координатах. У каждого слоя свои перо, кисть, шрифт и "
        u"позиция пера. Параметр слоя 1 означает слой 1, любое другое значение — слой 2.\r\n"
        u"Цвета — числа $BBGGRR (красный в младшем байте) или именованные константы clRed, clBlue, clLime, ...\r\n"
        u"Щелчок правой кнопкой по холсту позволяет скопировать рисунок или сохранить его в файл PNG."});
    help.append({t, "SetCoordinateSystem",
        u"Sets the user coordinate system of the canvas and shows the graphics panel: x runs from x1 to x2, "
        u"y from y1 (bottom) to y2 (top). Both layers are resized, cleared to white, and their pen, brush and "
        u"font are reset (black pen of width 1, white brush); all pictograms and click areas are forgotten.\r\n"
        u"DrawGreed: 0 nothing, 1 coordinate axes, 2 a grid, drawn in silver on layer `layer` (1 or 2).\r\n"
        u"ScalingMode: 0 the bitmap fills the panel keeping the proportions of the ranges; 1 the bitmap has one "
        u"pixel per unit and is scaled into the panel; 2 one pixel per unit, shown unscaled (both ranges must "
        u"exceed 50); 3 the ranges are widened by 10 % on each side and the bitmap has the width : height ratio "
        u"Ratio (only read when all eight parameters are given).\r\n"
        u"Example:\r\n"
        u"SetCoordinateSystem(-10,-10,10,10,1)\r\n"
        u"Circle(0,0,5)",
        u"Задаёт пользовательскую систему координат холста и показывает графическую панель: x меняется от x1 до x2, "
        u"y — от y1 (внизу) до y2 (вверху). Оба слоя получают новый размер и заливаются белым, их перо, кисть и "
        u"шрифт сбрасываются (чёрное перо толщиной 1, белая кисть); все пиктограммы и области щелчков забываются.\r\n"
        u"DrawGreed: 0 — ничего, 1 — оси координат, 2 — сетка; рисуются серебристым цветом на слое layer (1 или 2).\r\n"
        u"ScalingMode: 0 — рисунок заполняет панель с сохранением пропорций диапазонов; 1 — один пиксель на единицу, "
        u"рисунок масштабируется в панель; 2 — один пиксель на единицу без масштабирования (оба диапазона больше 50); "
        u"3 — диапазоны расширяются на 10 % с каждой стороны, а отношение ширины к высоте равно Ratio (читается "
        u"только при всех восьми параметрах).\r\n"
        u"Пример:\r\n"
        u"SetCoordinateSystem(-10,-10,10,10,1)\r\n"
        u"Circle(0,0,5)"});
    help.append({t, "FillRect",
        u"Draws the rectangle with corners (x1, y1) and (x2, y2): outlined with the pen and filled with the brush "
        u"of the layer (layer 1 unless a fifth parameter is given).\r\n"
        u"Example:\r\n"
        u"SetCoordinateSystem(0,0,400,250)\r\n"
        u"SetBrushParameters(clAqua)\r\n"
        u"FillRect(100,50,300,200)",
        u"Рисует прямоугольник с углами (x1, y1) и (x2, y2): контур пером и заливка кистью слоя "
        u"(слой 1, если не задан пятый параметр).\r\n"
        u"Пример:\r\n"
        u"SetCoordinateSystem(0,0,400,250)\r\n"
        u"SetBrushParameters(clAqua)\r\n"
        u"FillRect(100,50,300,200)"});
    help.append({t, "Rect",
        u"Draws a rectangle with corners (x1, y1) and (x2, y2) whose corners are rounded with the radius Radius "
        u"(in y units, 0 for sharp corners) and fills its inside with the brush, unless the brush is transparent.\r\n"
        u"Parameters: the corners, layer (1 by default), Radius (read when all six parameters are given).\r\n"
        u"Example:\r\n"
        u"SetCoordinateSystem(0,0,100,100)\r\n"
        u"SetBrushParameters(clYellow)\r\n"
        u"Rect(10,10,90,60,1,8)",
        u"Рисует прямоугольник с углами (x1, y1) и (x2, y2), углы которого скруглены радиусом Radius "
        u"(в единицах оси y, 0 — острые углы), и заливает его внутренность кистью, если кисть не прозрачная.\r\n"
        u"Параметры: углы, layer (по умолчанию 1), Radius (читается, когда заданы все шесть параметров).\r\n"
        u"Пример:\r\n"
        u"SetCoordinateSystem(0,0,100,100)\r\n"
        u"SetBrushParameters(clYellow)\r\n"
        u"Rect(10,10,90,60,1,8)"});
    help.append({t, "PictureImport",
        u"Draws a picture file (.bmp, .jpg or .png) with its bottom-left corner at (x, y) — (1, 1) when x and y "
        u"are not given — on layer Layer (2 unless a fourth parameter is given). A PNG keeps its transparency. "
        u"A name without a folder is looked up in the folder \"pictures\" of the program.\r\n"
        u"Example:\r\n"
        u"SetCoordinateSystem(0,0,400,250)\r\n"
        u"PictureImport('smile.png',10,10)",
        u"Рисует картинку из файла (.bmp, .jpg или .png) так, что её левый нижний угол оказывается в точке (x, y) "
        u"(в точке (1, 1), если x и y не заданы), на слое Layer (слой 2, если не задан четвёртый параметр). "
        u"PNG сохраняет прозрачность. Имя без папки ищется в папке \"pictures\" программы.\r\n"
        u"Пример:\r\n"
        u"SetCoordinateSystem(0,0,400,250)\r\n"
        u"PictureImport('smile.png',10,10)"});
    help.append({t, "PixelRead",
        u"Returns the colour of the pixel at (x, y) (the pixel whose bottom-left corner is that point) on layer "
        u"Layer (1 by default); -1 outside the canvas. With key = 1 (fourth parameter) it returns the brightness "
        u"(R + G + B) div 3 instead.\r\n"
        u"Example:\r\n"
        u"SetCoordinateSystem(0,0,400,250,0,1,2)\r\n"
        u"PixelWrite(0,0,clLime)\r\n"
        u"c = PixelRead(0,0)   # c = 65280\r\n"
        u"b = PixelRead(0,0,1,1)   # b = 85",
        u"Возвращает цвет пикселя в точке (x, y) (пикселя, левый нижний угол которого в этой точке) на слое Layer "
        u"(по умолчанию 1); вне холста -1. При key = 1 (четвёртый параметр) возвращается яркость "
        u"(R + G + B) div 3.\r\n"
        u"Пример:\r\n"
        u"SetCoordinateSystem(0,0,400,250,0,1,2)\r\n"
        u"PixelWrite(0,0,clLime)\r\n"
        u"c = PixelRead(0,0)   # c = 65280\r\n"
        u"b = PixelRead(0,0,1,1)   # b = 85"});
    help.append({t, "PixelWrite",
        u"Gives the pixel at (x, y) (the pixel whose bottom-left corner is that point) the colour color on layer "
        u"Layer (1 when not given). Outside the canvas nothing happens.\r\n"
        u"Example:\r\n"
        u"SetCoordinateSystem(0,0,100,100,0,1,2)\r\n"
        u"for i = 0, 99\r\n"
        u"  PixelWrite(i,i,clRed)",
        u"Окрашивает пиксель в точке (x, y) (пиксель, левый нижний угол которого в этой точке) цветом color на "
        u"слое Layer (1, если не задан). Вне холста ничего не происходит.\r\n"
        u"Пример:\r\n"
        u"SetCoordinateSystem(0,0,100,100,0,1,2)\r\n"
        u"for i = 0, 99\r\n"
        u"  PixelWrite(i,i,clRed)"});
    help.append({t, "MoveTo",
        u"Moves the pen of the layer (1 unless a third parameter is given) to (x, y) without drawing; "
        u"the next LineTo on that layer starts there.\r\n"
        u"Example:\r\n"
        u"SetCoordinateSystem(0,0,10,10)\r\n"
        u"MoveTo(1,1)\r\n"
        u"LineTo(9,9)",
        u"Перемещает перо слоя (1, если не задан третий параметр) в точку (x, y), ничего не рисуя; "
        u"следующий LineTo на этом слое начнётся отсюда.\r\n"
        u"Пример:\r\n"
        u"SetCoordinateSystem(0,0,10,10)\r\n"
        u"MoveTo(1,1)\r\n"
        u"LineTo(9,9)"});
    help.append({t, "LineTo",
        u"Draws a line with the layer's pen from its pen position to (x, y) (the end point itself is left out) "
        u"and moves the pen there. The layer is 1 unless a third parameter is given.\r\n"
        u"Example:\r\n"
        u"SetCoordinateSystem(0,0,10,10)\r\n"
        u"MoveTo(1,5)\r\n"
        u"LineTo(5,9)\r\n"
        u"LineTo(9,5)",
        u"Рисует пером слоя линию от позиции пера до точки (x, y) (сама конечная точка не закрашивается) и "
        u"переносит перо туда. Слой 1, если не задан третий параметр.\r\n"
        u"Пример:\r\n"
        u"SetCoordinateSystem(0,0,10,10)\r\n"
        u"MoveTo(1,5)\r\n"
        u"LineTo(5,9)\r\n"
        u"LineTo(9,5)"});
    help.append({t, "FloodFill",
        u"Fills with the layer's brush the area around (x, y) that has the same colour as that point. "
        u"The parameter color is accepted but not used. The layer is 1 unless a fourth parameter is given.\r\n"
        u"Example:\r\n"
        u"SetCoordinateSystem(0,0,100,100)\r\n"
        u"Circle(50,50,30)\r\n"
        u"SetBrushParameters(clLime)\r\n"
        u"FloodFill(50,50,clRed)",
        u"Заливает кистью слоя область вокруг точки (x, y), имеющую тот же цвет, что и эта точка. "
        u"Параметр color принимается, но не используется. Слой 1, если не задан четвёртый параметр.\r\n"
        u"Пример:\r\n"
        u"SetCoordinateSystem(0,0,100,100)\r\n"
        u"Circle(50,50,30)\r\n"
        u"SetBrushParameters(clLime)\r\n"
        u"FloodFill(50,50,clRed)"});
    help.append({t, "SetPenParameters",
        u"Sets the pen of a layer: width in pixels (at least 1), color, and style: 0 solid, 1 dash, 2 dot, "
        u"3 dash-dot, 4 clear (nothing is drawn). Dashes and dots show only with width 1. "
        u"The layer is 1 unless a fourth parameter is given.\r\n"
        u"Example:\r\n"
        u"SetCoordinateSystem(0,0,10,10)\r\n"
        u"SetPenParameters(3,clBlue)\r\n"
        u"MoveTo(1,1)\r\n"
        u"LineTo(9,9)",
        u"Задаёт перо слоя: толщину в пикселях (не меньше 1), цвет color и стиль: 0 сплошная, 1 штрих, 2 пунктир, "
        u"3 штрих-пунктир, 4 прозрачное (ничего не рисуется). Штрихи и точки видны только при толщине 1. "
        u"Слой 1, если не задан четвёртый параметр.\r\n"
        u"Пример:\r\n"
        u"SetCoordinateSystem(0,0,10,10)\r\n"
        u"SetPenParameters(3,clBlue)\r\n"
        u"MoveTo(1,1)\r\n"
        u"LineTo(9,9)"});
    help.append({t, "SetBrushParameters",
        u"Sets the brush of a layer, which fills rectangles, circles, polygons and the cells of text: color, and "
        u"transp: 0 (the default) a solid brush, any other value a transparent one that fills nothing. "
        u"The layer is 1 unless a third parameter is given.\r\n"
        u"Example:\r\n"
        u"SetCoordinateSystem(0,0,10,10)\r\n"
        u"SetBrushParameters(clRed,1)\r\n"
        u"Circle(5,5,3)",
        u"Задаёт кисть слоя, которой заливаются прямоугольники, круги, многоугольники и фон текста: цвет color и "
        u"transp: 0 (по умолчанию) — сплошная кисть, другое значение — прозрачная, которая ничего не заливает. "
        u"Слой 1, если не задан третий параметр.\r\n"
        u"Пример:\r\n"
        u"SetCoordinateSystem(0,0,10,10)\r\n"
        u"SetBrushParameters(clRed,1)\r\n"
        u"Circle(5,5,3)"});
    help.append({t, "Circle",
        u"Draws a circle with centre (x, y) and the radius radius (in x units): outlined with the pen and filled "
        u"with the brush. The layer is 1 unless a fourth parameter is given.\r\n"
        u"Example:\r\n"
        u"SetCoordinateSystem(-10,-10,10,10)\r\n"
        u"SetBrushParameters(clYellow)\r\n"
        u"Circle(0,0,8)",
        u"Рисует круг с центром (x, y) и радиусом radius (в единицах оси x): контур пером и заливка кистью. "
        u"Слой 1, если не задан четвёртый параметр.\r\n"
        u"Пример:\r\n"
        u"SetCoordinateSystem(-10,-10,10,10)\r\n"
        u"SetBrushParameters(clYellow)\r\n"
        u"Circle(0,0,8)"});
    help.append({t, "TextPrint",
        u"Writes Text with its bottom-left corner at (x, y) in the size FontSize (points) and the colour color "
        u"(black when not given); the text cell is painted with the brush unless it is transparent. Size and colour "
        u"stay set on the layer (1 unless a sixth parameter is given).\r\n"
        u"Example:\r\n"
        u"SetCoordinateSystem(0,0,400,250)\r\n"
        u"TextPrint(10,10,'Hello!',14,clBlue)",
        u"Выводит текст Text так, что его левый нижний угол оказывается в точке (x, y), шрифтом размера FontSize "
        u"(пункты) и цвета color (чёрный, если не задан); фон текста закрашивается кистью, если она не прозрачная. "
        u"Размер и цвет остаются у слоя (1, если не задан шестой параметр).\r\n"
        u"Пример:\r\n"
        u"SetCoordinateSystem(0,0,400,250)\r\n"
        u"TextPrint(10,10,'Привет!',14,clBlue)"});
    help.append({t, "Clean",
        u"Clears a layer to white (layer 1 unless one parameter is given); a cleared layer 2 shows layer 1 everywhere. "
        u"The pen, brush and font stay as they are.\r\n"
        u"Example:\r\n"
        u"SetCoordinateSystem(0,0,100,100)\r\n"
        u"Circle(50,50,20,2)\r\n"
        u"Clean(2)",
        u"Очищает слой белым цветом (слой 1, если не задан параметр); очищенный слой 2 всюду показывает слой 1. "
        u"Перо, кисть и шрифт не меняются.\r\n"
        u"Пример:\r\n"
        u"SetCoordinateSystem(0,0,100,100)\r\n"
        u"Circle(50,50,20,2)\r\n"
        u"Clean(2)"});
    help.append({t, "LayerTransferring",
        u"Moves the drawing of layer 2 onto layer 1: every pixel of layer 2 that is not white is copied to layer 1, "
        u"then layer 2 is cleared to white and its brush becomes solid white.\r\n"
        u"Example:\r\n"
        u"SetCoordinateSystem(0,0,100,100)\r\n"
        u"Circle(50,50,20,2)\r\n"
        u"LayerTransferring()",
        u"Переносит рисунок слоя 2 на слой 1: каждый небелый пиксель слоя 2 копируется на слой 1, затем слой 2 "
        u"очищается белым, а его кисть становится сплошной белой.\r\n"
        u"Пример:\r\n"
        u"SetCoordinateSystem(0,0,100,100)\r\n"
        u"Circle(50,50,20,2)\r\n"
        u"LayerTransferring()"});
    help.append({t, "Polygon",
        u"Draws a closed polygon through the points of the float array aPoint, declared [n,2] (one row (x, y) per "
        u"point): outlined with the pen and filled with the brush. Parameters: the array, Layer (1 by default), "
        u"PointCount (the number of points to use, at most the number of rows). Arrays of other types draw nothing.\r\n"
        u"Example:\r\n"
        u"SetCoordinateSystem(0,0,10,10)\r\n"
        u"array tra[3,2]float = ((1,1),(5,9),(9,1))\r\n"
        u"SetBrushParameters(clRed)\r\n"
        u"Polygon(tra)",
        u"Рисует замкнутый многоугольник через точки массива aPoint типа float размера [n,2] (одна строка (x, y) на "
        u"точку): контур пером и заливка кистью. Параметры: массив, Layer (по умолчанию 1), PointCount (сколько точек "
        u"взять, не больше числа строк). Массивы других типов ничего не рисуют.\r\n"
        u"Пример:\r\n"
        u"SetCoordinateSystem(0,0,10,10)\r\n"
        u"array tra[3,2]float = ((1,1),(5,9),(9,1))\r\n"
        u"SetBrushParameters(clRed)\r\n"
        u"Polygon(tra)"});
    help.append({t, "Polyline",
        u"Draws an open line with the pen through the points of the float array aPoint, declared [n,2]. "
        u"Parameters: the array, Layer (1 by default), shape — a marker at each point: 0 none, 1 square, "
        u"2 solid square, 3 circle, 4 solid circle, 5 cross — and PointCount (at most the number of rows).\r\n"
        u"Example:\r\n"
        u"SetCoordinateSystem(0,0,4,12)\r\n"
        u"array A[3,2]float = ((1,10),(2,6),(3,10))\r\n"
        u"Polyline(A,1,5)",
        u"Рисует пером незамкнутую линию через точки массива aPoint типа float размера [n,2]. "
        u"Параметры: массив, Layer (по умолчанию 1), shape — маркер в каждой точке: 0 нет, 1 квадрат, "
        u"2 закрашенный квадрат, 3 круг, 4 закрашенный круг, 5 крестик — и PointCount (не больше числа строк).\r\n"
        u"Пример:\r\n"
        u"SetCoordinateSystem(0,0,4,12)\r\n"
        u"array A[3,2]float = ((1,10),(2,6),(3,10))\r\n"
        u"Polyline(A,1,5)"});
    help.append({t, "PolyLine1",
        u"Draws a graph of the values of a one-dimensional float array: point i has y = aPoint[i] and "
        u"x = X0 + i·dX. Parameters: the array, X0, dX, Layer (1 by default), shape (markers as in Polyline) "
        u"and PointCount (at most the number of elements).\r\n"
        u"Example:\r\n"
        u"SetCoordinateSystem(0,0,100,100)\r\n"
        u"array A1[5]float = (10,40,20,70,50)\r\n"
        u"PolyLine1(A1,10,20,2,1)",
        u"Рисует график значений одномерного массива типа float: точка i имеет y = aPoint[i] и x = X0 + i·dX. "
        u"Параметры: массив, X0, dX, Layer (по умолчанию 1), shape (маркеры, как в Polyline) и PointCount "
        u"(не больше числа элементов).\r\n"
        u"Пример:\r\n"
        u"SetCoordinateSystem(0,0,100,100)\r\n"
        u"array A1[5]float = (10,40,20,70,50)\r\n"
        u"PolyLine1(A1,10,20,2,1)"});
    // clang-format on
}

} // namespace tesmora
