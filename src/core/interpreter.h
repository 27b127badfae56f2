// The interpreter state: one object per program run, passed explicitly.
#pragma once

#include "host.h"
#include "message_catalogue.h"
#include "words.h"
#include "library/arrays.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

namespace tesmora {

constexpr int kMaxScriptLines = 1000;
constexpr int kMaxBlockLevel = 100;

struct ConstantInfo {
    int line = -1; // -1: not found
    QString name;
    QString value;
};

class Interpreter {
public:
    explicit Interpreter(Host *host = nullptr);
    Interpreter(const Interpreter &) = delete;
    Interpreter &operator=(const Interpreter &) = delete;

    Host &host() { return *host_; }
    void setHost(Host *host);

    // ---- State ----------------------------------------------------------
    QStringList ScriptLines;
    std::array<int, kMaxScriptLines + 1> LineIndent{};
    std::array<int, kMaxScriptLines + 1> LineStart{};
    int CurrentLine = 0;
    QList<Tvariable> Variables;
    QList<int> VariableOrder;
    std::array<TBlockLevel, kMaxBlockLevel + 1> BlockStack{};
    int BlockDepth = 0;
    TBlockLevel ReturnedBlock;
    int CurrentFunctionLevel = 0;
    QString ErrorText;
    QString TryErrorText;
    bool TryMode = false;
    bool TryCaught = false;
    std::uint8_t RunState = rn_Stopped;
    bool WorkMode = false;
    int LastAssignedVariable = 0;
    QStringList ScriptFunctionNames;
    QStringList ScriptFunctionHeaders;
    QStringList ConstantList;
    int Language = 0;
    // The current script file name as loaded (shown in the caption).
    QString ScriptFileName;
    // The program folder, ending in "/".
    QString ProgramFolder;
    ArrayTable Arrays;

    // ---- Messages and errors -------------------------------------------
    QString MessageText(int id, const MessageArgs &args = {}) const;
    void ShowMessageById(int id, const MessageArgs &args = {});
    QString TranslatePhrase(const QString &englishText) const;
    // target := message + CR CR + "Line N."
    void RaiseError(const QString &message, QString &target);
    void RaiseError(const QString &message) { RaiseError(message, ErrorText); }
    void RaiseMessage(int id, const MessageArgs &args = {}) { RaiseError(MessageText(id, args)); }
    bool failed() const { return !ErrorText.isEmpty(); }
    void ShowError();

    // ---- Variables and constants --------------------------------------
    int FindVariable(const QString &name) const;
    int SetVariable(const QString &name, const QString &text, TWordKind kind, int level = -1);
    QString GetVariableText(const QString &name) const;
    ConstantInfo Constant_Lookup(const QString &name) const;
    // The numeric value of a constant's value text.
    static double constantValue(const QString &valueText);
    int FindArray(const QString &name) const { return Arrays.FindArray(name, CurrentFunctionLevel); }

    // ---- Preparation ----------------------------------------------------
    void LoadScript(const QString &fileName);
    void ExpandIncludes();
    void PrepareScript();
    void ComputeIndents();
    void ComputeLineStarts();
    static QString StripComment(const QString &line);
    QString JoinContinuationLines() const;
    // The path an INCLUDE name (upper-cased) refers to.
    QString includePath(const QString &name) const;
    // The text of a file split into lines (encoding by byte-order mark).
    static bool readScriptFile(const QString &path, QStringList &lines);

    // ---- Words ----------------------------------------------------------
    void NextWord(const QString &text, int &position, TWordStatus &word);
    void SplitWords(const QString &text, WordList &words);
    void RewritePowers(WordList &words, int priority);

private:
    void classifyIdentifier(const QString &text, int &position, int identStart, TWordStatus &word);
    Host *host_;
    NullHost nullHost_;
};

// Graphics constants (rotation codes and colour names), in their fixed order.
const QStringList &graphicsConstantLines();

} // namespace tesmora
