#include "ide_settings.h"

#include "platform/ini_file.h"
#include "platform/paths.h"

namespace tesmora {

namespace {

const QString kMain = QStringLiteral("MainForm");
const QString kFont = QStringLiteral("Edit_Font");

} // namespace

QString settingsFilePath(const QString &programFolder)
{
    return programFolder + QStringLiteral("tesmora.ini");
}

IdeSettings readIdeSettings(const IniFile &ini)
{
    IdeSettings s;
    s.left = ini.intValue(kMain, QStringLiteral("Left"), s.left);
    s.top = ini.intValue(kMain, QStringLiteral("Top"), s.top);
    s.width = ini.intValue(kMain, QStringLiteral("Width"), s.width);
    s.height = ini.intValue(kMain, QStringLiteral("Height"), s.height);
    s.localPanelWidth = ini.intValue(kMain, QStringLiteral("Panel_Var_Local_Width"), s.localPanelWidth);
    s.bottomHeight = std::max(5, ini.intValue(kMain, QStringLiteral("Panel_Bottom_Height"), s.bottomHeight));
    s.state = ini.value(kMain, QStringLiteral("State"), s.state);
    s.editorKind = ini.value(kMain, QStringLiteral("EditorKind"), s.editorKind);
    s.externalEditor = ini.value(kMain, QStringLiteral("ExternalEditorFile"));
    s.fontName = ini.value(kFont, QStringLiteral("Name"));
    s.fontSize = ini.intValue(kFont, QStringLiteral("Size"), s.fontSize);
    const int charset = ini.intValue(kFont, QStringLiteral("Charset"), s.charset);
    if (charset >= 0 && charset <= 255)
        s.charset = charset;
    return s;
}

void writeIdeSettings(IniFile &ini, const IdeSettings &s, MainWindowState state)
{
    switch (state) {
    case MainWindowState::Normal:
        ini.setValue(kMain, QStringLiteral("Left"), s.left);
        ini.setValue(kMain, QStringLiteral("Top"), s.top);
        ini.setValue(kMain, QStringLiteral("Width"), s.width);
        ini.setValue(kMain, QStringLiteral("Height"), s.height);
        ini.setValue(kMain, QStringLiteral("Panel_Var_Local_Width"), s.localPanelWidth);
        ini.setValue(kMain, QStringLiteral("Panel_Bottom_Height"), s.bottomHeight);
        ini.setValue(kMain, QStringLiteral("State"), QStringLiteral("wsNormal"));
        break;
    case MainWindowState::Maximized:
        ini.setValue(kMain, QStringLiteral("State"), QStringLiteral("wsMaximized"));
        break;
    case MainWindowState::Minimized:
        ini.setValue(kMain, QStringLiteral("State"), QStringLiteral("wsMinimized"));
        break;
    }
    ini.setValue(kMain, QStringLiteral("EditorKind"), s.editorKind);
    ini.setValue(kMain, QStringLiteral("ExternalEditorFile"), s.externalEditor);
    ini.setValue(kFont, QStringLiteral("Name"), s.fontName);
    ini.setValue(kFont, QStringLiteral("Size"), s.fontSize);
    ini.setValue(kFont, QStringLiteral("Charset"), s.charset);
}

StartOptions parseCommandLine(const QStringList &arguments, const QString &programFolder)
{
    StartOptions o;
    if (arguments.isEmpty()) {
        o.scriptFile = programFolder + QStringLiteral("Scripts/AutoStart.txt");
        return o;
    }
    for (int i = 0; i < arguments.size(); ++i) {
        const QString upper = arguments.at(i).toUpper();
        if (upper.size() == 2 && upper.startsWith(QLatin1Char('/')))
            o.switches += upper + QLatin1Char('\r');
        else if (i == 0)
            o.scriptFile = arguments.at(i);
    }
    if (!o.scriptFile.isEmpty() && !isPathName(o.scriptFile))
        o.scriptFile = programFolder + QStringLiteral("Scripts/") + o.scriptFile;
    return o;
}

} // namespace tesmora
