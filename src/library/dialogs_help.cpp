// Help texts of the dialog functions.
#include "builtin_families.h"

namespace tesmora {

void addDialogHelp(QList<FunctionHelp> &help)
{
    const FunctionTable t = FunctionTable::Dialog;
    // clang-format off
    help.append({t, 0,
        u"Shows a small window with the prompt, an input line and the buttons OK and Cancel, and waits "
        u"for the user. Returns the text of the input line after OK and the empty text after Cancel.\r\n"
        u"The second parameter, when given, is the text the input line starts with.\r\n"
        u"Example:\r\n"
        u"fruit = InputString('Enter the name of the fruit','apple')\r\n"
        u"Message('You have chosen: ' + fruit)",
        u"Показывает небольшое окно с подсказкой, строкой ввода и кнопками OK и Cancel и ждёт ответа "
        u"пользователя. После OK возвращает текст строки ввода, после Cancel — пустую строку.\r\n"
        u"Второй параметр, если он задан, — текст, который уже стоит в строке ввода.\r\n"
        u"Пример:\r\n"
        u"fruit = InputString('Введите название фрукта','яблоко')\r\n"
        u"Message('Вы выбрали: ' + fruit)"});
    help.append({t, 1,
        u"Opens a window with the prompt in bold and a text field of several lines, and waits until the "
        u"user closes it with OK or Cancel. Returns the text of the field in both cases: Cancel also "
        u"returns what has been typed. The second parameter, when given, is the text the field starts with.\r\n"
        u"After OK the window remembers its position and size for the next call.\r\n"
        u"Example:\r\n"
        u"poem = InputText('Write a short poem','Roses are red')\r\n"
        u"lines = Message(poem,'Your poem')",
        u"Открывает окно с подсказкой (жирным шрифтом) и многострочным полем текста и ждёт, пока "
        u"пользователь закроет его кнопкой OK или Cancel. В обоих случаях возвращает текст поля: Cancel "
        u"тоже возвращает то, что уже набрано. Второй параметр, если он задан, — начальный текст поля.\r\n"
        u"После OK окно запоминает своё положение и размер до следующего вызова.\r\n"
        u"Пример:\r\n"
        u"poem = InputText('Напишите короткое стихотворение','Мороз и солнце')\r\n"
        u"lines = Message(poem,'Ваше стихотворение')"});
    help.append({t, 2,
        u"Shows a message box with the text Prompt and the title Caption and returns the code of the "
        u"button the user pressed.\r\n"
        u"Buttons chooses the set of buttons: 0 OK (when Buttons is not given); 1 OK, Cancel; "
        u"2 Abort, Retry, Ignore; 3 Yes, No, Cancel; 4 Yes, No; 5 Retry, Cancel.\r\n"
        u"Add 16 for the error icon, 32 for a question mark, 48 for a warning, 64 for information.\r\n"
        u"Codes returned: 1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No. "
        u"The Esc key answers Cancel when the set has that button.\r\n"
        u"Example:\r\n"
        u"answer = Message('Would you like to save the file?','',3+32)\r\n"
        u"IF answer = 6\r\n"
        u"  Message('Saved','Editor',64)",
        u"Показывает окно сообщения с текстом Prompt и заголовком Caption и возвращает код кнопки, "
        u"которую нажал пользователь.\r\n"
        u"Buttons задаёт набор кнопок: 0 OK (если Buttons не указан); 1 OK, Cancel; "
        u"2 Abort, Retry, Ignore; 3 Yes, No, Cancel; 4 Yes, No; 5 Retry, Cancel.\r\n"
        u"Прибавьте 16 для значка ошибки, 32 для вопросительного знака, 48 для предупреждения, "
        u"64 для информации.\r\n"
        u"Возвращаемые коды: 1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No. "
        u"Клавиша Esc отвечает Cancel, если такая кнопка есть в наборе.\r\n"
        u"Пример:\r\n"
        u"answer = Message('Сохранить файл?','',3+32)\r\n"
        u"IF answer = 6\r\n"
        u"  Message('Сохранено','Редактор',64)"});
    help.append({t, 3,
        u"Shows a list to choose from: one item per element of the string array Menu (all elements of "
        u"an array of several dimensions, in element order), with the prompt above it (no prompt line "
        u"when Prompt is empty). Selected is the number of the item selected at the start (from 1).\r\n"
        u"A click on an item or the Enter key returns the item's number, counted from 1; Esc returns 0.\r\n"
        u"Example:\r\n"
        u"array MenuList[4]string=('Tea','Coffee','Juice','Water')\r\n"
        u"choice = Menu('Make a choice:',MenuList,2)\r\n"
        u"IF choice > 0\r\n"
        u"  Message('You have chosen ' + MenuList[choice])",
        u"Показывает список для выбора: по одному пункту на каждый элемент строкового массива Menu "
        u"(у многомерного массива — все элементы по порядку) и подсказку над ним (строки подсказки нет, "
        u"если Prompt пуст). Selected — номер пункта, выбранного в начале (с 1).\r\n"
        u"Щелчок по пункту или клавиша Enter возвращает номер пункта, считая с 1; Esc возвращает 0.\r\n"
        u"Пример:\r\n"
        u"array MenuList[4]string=('Чай','Кофе','Сок','Вода')\r\n"
        u"choice = Menu('Сделайте выбор:',MenuList,2)\r\n"
        u"IF choice > 0\r\n"
        u"  Message('Вы выбрали ' + MenuList[choice])"});
    // clang-format on
}

} // namespace tesmora
