#include "rigcommand.h"

#include <array>

namespace {

struct Entry
{
    char letter; // 0 when the command has only a long name
    const char *longName;
    RigCommand::Kind kind;
};

constexpr std::array<Entry, 15> commandTable{{
    {'f', "get_freq", RigCommand::Kind::GetFreq},
    {'F', "set_freq", RigCommand::Kind::SetFreq},
    {'m', "get_mode", RigCommand::Kind::GetMode},
    {'M', "set_mode", RigCommand::Kind::SetMode},
    {'v', "get_vfo", RigCommand::Kind::GetVfo},
    {'V', "set_vfo", RigCommand::Kind::SetVfo},
    {'l', "get_level", RigCommand::Kind::GetLevel},
    {'t', "get_ptt", RigCommand::Kind::GetPtt},
    {'T', "set_ptt", RigCommand::Kind::SetPtt},
    {'s', "get_split_vfo", RigCommand::Kind::GetSplitVfo},
    {'S', "set_split_vfo", RigCommand::Kind::SetSplitVfo},
    {0, "dump_state", RigCommand::Kind::DumpState},
    {0, "chk_vfo", RigCommand::Kind::CheckVfo},
    {0, "get_powerstat", RigCommand::Kind::GetPowerStat},
    {0, "get_lock_mode", RigCommand::Kind::GetLockMode},
}};

const Entry *entryOf(RigCommand::Kind kind)
{
    for (const Entry &entry : commandTable) {
        if (entry.kind == kind)
            return &entry;
    }
    return nullptr;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

char separatorOf(char prefix)
{
    switch (prefix) {
    case '+':
        return '\n';
    case ';':
    case '|':
    case ',':
        return prefix;
    default:
        return 0;
    }
}

} // namespace

QByteArray RigCommand::longName() const
{
    const Entry *entry = entryOf(kind);
    return entry ? QByteArray(entry->longName) : QByteArray();
}

RigCommand RigCommand::parse(const QByteArray &line)
{
    RigCommand command;
    QList<QByteArray> words;
    int i = 0;
    const int size = line.size();
    while (i < size) {
        while (i < size && isBlank(line[i]))
            ++i;
        const int start = i;
        while (i < size && !isBlank(line[i]))
            ++i;
        if (i > start)
            words.append(line.mid(start, i - start));
    }
    if (words.isEmpty() || words.first().startsWith('#'))
        return command;

    QByteArray head = words.takeFirst();
    command.separator = separatorOf(head[0]);
    if (command.separator) {
        head.remove(0, 1);
        // "+ f" and "+f" mean the same.
        if (head.isEmpty() && !words.isEmpty())
            head = words.takeFirst();
    }
    command.name = head;
    command.arguments = words;
    command.kind = Kind::Unknown;
    if (head.size() == 1 && (head[0] == 'q' || head[0] == 'Q')) {
        command.kind = Kind::Quit;
        return command;
    }
    for (const Entry &entry : commandTable) {
        const bool letterMatch = head.size() == 1 && entry.letter && head[0] == entry.letter;
        const bool longMatch =
            head.size() > 1 && head[0] == '\\' && head.mid(1) == QByteArray(entry.longName);
        if (letterMatch || longMatch) {
            command.kind = entry.kind;
            break;
        }
    }
    return command;
}
