#include "rigreply.h"

namespace {

QByteArray rprt(int code)
{
    return QByteArrayLiteral("RPRT ") + QByteArray::number(code) + '\n';
}

// "set_freq: 7050000" for a set command, "get_level: STRENGTH" for a get command with
// arguments, "get_freq:" otherwise.
QByteArray header(const RigCommand &command)
{
    QByteArray text = command.longName() + ':';
    if (!command.arguments.isEmpty())
        text += ' ' + command.arguments.join(' ');
    return text;
}

} // namespace

namespace RigReply {

QByteArray values(const RigCommand &command, const QList<Value> &values)
{
    if (!command.isExtended()) {
        QByteArray text;
        for (const Value &value : values)
            text += value.text + '\n';
        return text;
    }
    QByteArray text = header(command) + command.separator;
    for (const Value &value : values) {
        if (!value.label.isEmpty())
            text += value.label + ": ";
        text += value.text + command.separator;
    }
    return text + rprt(Ok);
}

QByteArray status(const RigCommand &command, int code)
{
    // Commands the protocol does not know have no long name to show.
    if (!command.isExtended() || command.longName().isEmpty())
        return rprt(code);
    return header(command) + command.separator + rprt(code);
}

QByteArray listing(const RigCommand &command, const QByteArray &names)
{
    if (!command.isExtended()) {
        if (command.kind == RigCommand::Kind::GetLevel)
            return names + '\n';
        return names + '\n' + rprt(Ok);
    }
    return header(command) + command.separator + names + '\n' + rprt(Ok);
}

QByteArray dumpState(const RigCommand &command, const QByteArray &body)
{
    if (!command.isExtended())
        return body;
    return header(command) + command.separator + body + rprt(Ok);
}

} // namespace RigReply
