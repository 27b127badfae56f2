#include "window_look.h"

// The drawings are compiled into this static library: their resource is
// registered explicitly before the first use.
static void initIconResources()
{
    Q_INIT_RESOURCE(icons);
}

namespace tesmora {

namespace {

struct IconSpec {
    int tag;
    const char *themeName; // freedesktop icon name
    const char *bundled;   // file under :/icons/
};

constexpr IconSpec kIcons[] = {
    {301, "media-playback-start", "start"},
    {303, "go-next", "step"},
    {316, "go-jump", "step-over"},
    {364, "go-previous", "step-back"},
    {305, "media-seek-forward", "continue"},
    {307, "", "fast"},
    {330, "media-playback-pause", "pause"},
    {309, "document-open", "load"},
    {311, "document-new", "new"},
    {313, "document-edit", "edit"},
    {318, "edit-find", "find"},
    {292, "edit-find-replace", "replace"},
    {321, "dialog-ok-apply", "work"},
    {323, "document-save", "save"},
    {290, "preferences-system", "settings"},
    {333, "input-keyboard", "keyboard"},
    {325, "dialog-cancel", "cancel"},
    {337, "help-browser", "help"},
    {335, "preferences-desktop-font", "font"},
};

QIcon bundledIcon(const char *name)
{
    static const bool registered = (initIconResources(), true);
    Q_UNUSED(registered);
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}

struct NameSpec {
    WindowPart part;
    const char *english;
    const char *russian; // UTF-8
};

constexpr NameSpec kNames[] = {
    {WindowPart::Toolbar, "Actions", "Действия"},
    {WindowPart::ScrollLeft, "Scroll the actions left", "Прокрутить действия влево"},
    {WindowPart::ScrollRight, "Scroll the actions right", "Прокрутить действия вправо"},
    {WindowPart::Editor, "Script text", "Текст скрипта"},
    {WindowPart::IndicatorStrip, "Marks of the whole script", "Метки всего скрипта"},
    {WindowPart::Variables, "Variables", "Переменные"},
    {WindowPart::Graphics, "Graphics", "Графика"},
    {WindowPart::StatusBar, "Run state", "Состояние выполнения"},
    {WindowPart::SymbolKeyboard, "Symbol keyboard", "Символьная клавиатура"},
};

} // namespace

QIcon actionIcon(int actionTag)
{
    for (const IconSpec &s : kIcons) {
        if (s.tag != actionTag)
            continue;
        const QIcon own = bundledIcon(s.bundled);
        const QString theme = QString::fromLatin1(s.themeName);
        return theme.isEmpty() || !QIcon::hasThemeIcon(theme) ? own : QIcon::fromTheme(theme, own);
    }
    return {};
}

QIcon applicationIcon()
{
    return bundledIcon("tesmora");
}

QString accessiblePartName(WindowPart part, int language)
{
    for (const NameSpec &n : kNames)
        if (n.part == part)
            return language == 1 ? QString::fromUtf8(n.russian) : QString::fromLatin1(n.english);
    return {};
}

} // namespace tesmora
