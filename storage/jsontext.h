#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QString>

// Reads JSON text the way every reader of the program does. Text whose object repeats a name
// is refused: Qt 5's parser drops all but one of the repeated values and leaks the arrays and
// objects it drops, and which value a file meant is anybody's guess. UI-free; any thread.
namespace JsonText {

// The document of text; a null document when text is not JSON or repeats a name in one
// object. error, when given, receives Qt's description of the fault ("illegal value" and the
// like) or "duplicate name", and stays empty on success.
QJsonDocument parse(const QByteArray &text, QString *error = nullptr);

} // namespace JsonText
