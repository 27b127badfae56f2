// The settings file: an INI text with sections in square brackets and one
// key=value per line. Sections and keys are matched without regard to letter
// case and blanks around key names are ignored. Lines the program does not
// know (other sections, other keys, comments) are kept as they stand, and the
// file is always written whole and replaced in one step.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tesmora {

class IniFile {
  public:
    IniFile() = default;
    explicit IniFile(const QString &path) : path_(path) {}

    const QString &path() const { return path_; }
    // Reads the file; a missing or unreadable file leaves it empty and
    // returns false.
    bool load();
    // Writes every line to a temporary file beside the target and renames
    // it over the target. Returns false (the old file untouched) on failure.
    bool save() const;

    bool contains(const QString &section, const QString &key) const;
    // The value as written (blanks around it removed), or `fallback`.
    QString value(const QString &section, const QString &key, const QString &fallback = {}) const;
    // An integer value; `fallback` when the key is missing or not a number.
    int intValue(const QString &section, const QString &key, int fallback) const;
    // Replaces the value of the key, adding the key (and the section) when missing.
    void setValue(const QString &section, const QString &key, const QString &value);
    void setValue(const QString &section, const QString &key, int value)
    {
        setValue(section, key, QString::number(value));
    }
    // The file's lines as they will be written.
    const QStringList &lines() const { return lines_; }

  private:
    // Index of the section's header line, -1 when absent.
    int sectionLine(const QString &section) const;
    // Index of the key's line inside the section starting at `header`, -1 when absent.
    int keyLine(int header, const QString &key) const;
    // The index after the last line of the section starting at `header`.
    int sectionEnd(int header) const;

    QString path_;
    QStringList lines_;
};

} // namespace tesmora
