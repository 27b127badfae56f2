// What the environment keeps between runs (the settings file beside the
// program) and what its command line asks for.
#pragma once

#include <QString>
#include <QStringList>

namespace tesmora {

class IniFile;

// The settings file of the program folder (ends with "/").
QString settingsFilePath(const QString &programFolder);

// The keys of sections MainForm and Edit_Font with their defaults.
struct IdeSettings {
    int left = 0;
    int top = 0;
    int width = 800;
    int height = 600;
    int localPanelWidth = 150;
    int bottomHeight = 220;
    QString state = QStringLiteral("wsNormal");
    QString editorKind = QStringLiteral("ekInternal");
    QString externalEditor;
    QString fontName; // empty: the editor keeps its font
    int fontSize = 10;
    int charset = 1;

    // Any spelling but exactly "ekInternal" selects the external editor.
    bool internalEditor() const { return editorKind == QLatin1String("ekInternal"); }
};

// Reads every key, a missing or unreadable one giving its default; a
// variables panel lower than 5 pixels reads as 5, a character set outside
// 0 … 255 as the default.
IdeSettings readIdeSettings(const IniFile &ini);

enum class MainWindowState { Normal, Maximized, Minimized };
// Writes the keys: the bounds, panel sizes and "wsNormal" for a normal
// window; only the state for a maximized or minimized one (the bounds keep
// their last normal values); then the editor kind and font.
void writeIdeSettings(IniFile &ini, const IdeSettings &settings, MainWindowState state);

// The command line: the script file and the switches.
struct StartOptions {
    QString scriptFile; // empty: an empty script
    QString switches;   // each switch upper-cased and followed by CR
    bool hasSwitch(const char *sw) const { return switches.contains(QLatin1String(sw)); }
};
// No parameters: the program folder's Scripts/AutoStart.txt. Otherwise a
// parameter of two characters starting with "/" is a switch, and the first
// parameter, if it is none, names the script (a bare name lies in Scripts/).
StartOptions parseCommandLine(const QStringList &arguments, const QString &programFolder);

} // namespace tesmora
